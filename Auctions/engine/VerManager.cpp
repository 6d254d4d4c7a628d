#include "VerManager.h"

VerManager::VerManager(QObject* parent) : QObject(parent) {}

void VerManager::Check() {}

void VerManager::Load(XMLManager&) {}

void VerManager::Save(XMLManager&) {}
