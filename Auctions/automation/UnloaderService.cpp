#include "UnloaderService.h"

#include "BusGate.h"
#include "Unloader.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

UnloaderService::UnloaderService(Unloader& unloader, const QDBusConnection& bus, QObject* parent)
    : UnloaderService(bus, nullptr, parent)
{
    attach(unloader);
}

UnloaderService::UnloaderService(const QDBusConnection& bus, BusGate* gate, QObject* parent)
    : QObject(parent), m_gate(gate), m_bus(bus)
{
    m_watcher.setConnection(m_bus);
    m_watcher.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &UnloaderService::dropHolder);
}

void UnloaderService::attach(Unloader& unloader)
{
    m_unloader = &unloader;
    connect(&unloader, &Unloader::Unloading, this, &UnloaderService::onUnloading);
}

int UnloaderService::holdCount() const
{
    int count = 0;
    for (int holds : m_holds)
        count += holds;
    return count;
}

void UnloaderService::RegisterHold()
{
    if (!calledFromDBus())
        return;
    const QString holder = message().service();
    // A hold that starts the program is answered once the program has loaded, and holds it from then.
    if (m_gate && m_gate->hold(*this, [this, holder] {
            addHold(holder);
            return QVariantList();
        }))
        return;
    addHold(holder);
}

void UnloaderService::ReleaseHold()
{
    if (!calledFromDBus())
        return;
    const QString holder = message().service();
    if (m_gate && m_gate->hold(*this, [this, holder] {
            releaseHold(holder);
            return QVariantList();
        }))
        return;
    releaseHold(holder);
}

void UnloaderService::addHold(const QString& holder)
{
    if (m_holds[holder]++ > 0)
        return;
    m_watcher.addWatchedService(holder);
    // The holder may have gone before the watch was in place: ask the bus once, after the watch.
    dropHolderIfGone(holder);
}

void UnloaderService::releaseHold(const QString& holder)
{
    const auto found = m_holds.find(holder);
    if (found == m_holds.end())
        return;
    if (--found.value() <= 0)
        dropHolder(holder);
}

void UnloaderService::dropHolder(const QString& name)
{
    m_holds.remove(name);
    m_watcher.removeWatchedService(name);
}

void UnloaderService::dropHolderIfGone(const QString& name)
{
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                       QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"))
        << name;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, name](QDBusPendingCallWatcher* watcher) {
                const QDBusMessage reply = watcher->reply();
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                    !reply.arguments().constFirst().toBool())
                    dropHolder(name);
                watcher->deleteLater();
            });
}

void UnloaderService::onUnloading(bool bValue)
{
    if (!m_holds.isEmpty() && m_unloader)
        m_unloader->setAvailable(false);
    Q_EMIT Unloading(bValue);
}
