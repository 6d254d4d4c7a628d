#include "Unloader.h"

Unloader::Unloader(QObject* parent) : QObject(parent) {}

bool Unloader::Available()
{
    m_available = true;
    Q_EMIT Unloading(false);
    return m_available;
}

void Unloader::UnloadingNow()
{
    Q_EMIT Unloading(true);
}
