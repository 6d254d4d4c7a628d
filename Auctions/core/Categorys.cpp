#include "Categorys.h"

Categorys::Categorys(QObject* parent) : QObject(parent) {}

void Categorys::Load(XMLManager&) {}

void Categorys::Save(XMLManager&) {}
