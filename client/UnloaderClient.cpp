#include "UnloaderClient.h"

#include "OrvBus.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <utility>

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

void UnloaderClient::RegisterHold()
{
    if (m_held || m_pending)
        return;
    m_pending = true;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        m_service, OrvBus::unloaderPath, OrvBus::unloaderInterface, QStringLiteral("RegisterHold"));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        // A release sent meanwhile already undid the hold on the program's side.
        if (!std::exchange(m_pending, false))
            return;
        m_held = !answer->isError();
        Q_EMIT HoldChanged(m_held);
    });
}

void UnloaderClient::ReleaseHold()
{
    if (!m_held && !m_pending)
        return;
    m_held = false;
    m_pending = false;
    // Nobody waits on the answer: the hold ends with the connection anyway. A program that has ended
    // meanwhile must not be started again just to hear it.
    QDBusMessage release = QDBusMessage::createMethodCall(
        m_service, OrvBus::unloaderPath, OrvBus::unloaderInterface, QStringLiteral("ReleaseHold"));
    release.setAutoStartService(false);
    m_bus.send(release);
}

void UnloaderClient::onUnloading(bool bValue)
{
    Q_EMIT Unloading(bValue);
}
