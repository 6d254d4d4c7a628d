#include "Updaters.h"

Updaters::Updaters(QObject* parent) : QObject(parent) {}
