#include "Columns.h"

Columns::Columns(QObject* parent) : QObject(parent) {}

void Columns::Load(XMLManager&) {}

void Columns::Save(XMLManager&) {}
