#include "Settings.h"

Settings::Settings(QObject* parent) : QObject(parent) {}

void Settings::Load(XMLManager&) {}

void Settings::Save(XMLManager&) {}
