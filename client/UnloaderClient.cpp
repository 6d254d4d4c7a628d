#include "UnloaderClient.h"

#include "OrvBus.h"

#include <QDBusMessage>

UnloaderClient::UnloaderClient(QObject* parent)
    : UnloaderClient(QDBusConnection::sessionBus(), OrvBus::serviceName, parent)
{
}

UnloaderClient::UnloaderClient(const QDBusConnection& bus, const QString& service, QObject* parent)
    : QObject(parent), m_bus(bus), m_service(service)
{
    m_bus.connect(m_service, OrvBus::unloaderPath, OrvBus::unloaderInterface, QStringLiteral("Unloading"),
                  this, SLOT(onUnloading(bool)));
}

UnloaderClient::~UnloaderClient()
{
    ReleaseHold();
}

bool UnloaderClient::RegisterHold()
{
    if (m_held)
        return true;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        m_service, OrvBus::unloaderPath, OrvBus::unloaderInterface, QStringLiteral("RegisterHold"));
    m_held = m_bus.call(call).type() == QDBusMessage::ReplyMessage;
    return m_held;
}

void UnloaderClient::ReleaseHold()
{
    if (!m_held)
        return;
    m_held = false;
    // Nobody waits on the answer: the hold ends with the connection anyway.
    m_bus.send(QDBusMessage::createMethodCall(m_service, OrvBus::unloaderPath, OrvBus::unloaderInterface,
                                              QStringLiteral("ReleaseHold")));
}

void UnloaderClient::onUnloading(bool bValue)
{
    Q_EMIT Unloading(bValue);
}
