#include "RemoteBusBackend.h"

#include "OrvBus.h"
#include "RemoteError.h"

namespace Remote {

struct BusBackend::Private
{
    QDBusConnection bus;
    QString service;
    bool held = false;
};

BusBackend::BusBackend(QObject* parent)
    : BusBackend(QDBusConnection::sessionBus(), OrvBus::serviceName, parent)
{
}

BusBackend::BusBackend(const QDBusConnection& bus, const QString& service, QObject* parent)
    : Backend(parent), d(new Private{bus, service})
{
}

BusBackend::~BusBackend() = default;

void BusBackend::bind() {}

QVariant BusBackend::call(const QString&, const QString&, const QVariantList&)
{
    throw Error(Error::NotRunning, Error::notRunningText());
}

void BusBackend::fetchAuctions() {}

void BusBackend::setHold(bool held)
{
    d->held = held;
}

bool BusBackend::isHeld() const
{
    return d->held;
}

} // namespace Remote
