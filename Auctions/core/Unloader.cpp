#include "Unloader.h"

Unloader::Unloader(QObject* parent) : QObject(parent) {}

bool Unloader::Available()
{
    return true;
}
