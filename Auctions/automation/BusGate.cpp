#include "BusGate.h"

#include "AppLog.h"
#include "OrvBus.h"
#include "OrvError.h"

#include <QDBusContext>
#include <QDBusPendingCallWatcher>
#include <algorithm>
#include <new>
#include <utility>

BusGate::BusGate(QObject* parent) : QObject(parent)
{
    m_turn.setSingleShot(true);
    m_turn.setInterval(0);
    connect(&m_turn, &QTimer::timeout, this, &BusGate::answerNext);
}

bool BusGate::hold(QDBusContext& context, std::function<QVariantList()> answer, std::function<bool()> ready)
{
    if (!context.calledFromDBus())
        return false;
    const QDBusMessage call = context.message();
    // A call of the program to itself is delivered within that call, and answered in it.
    if (call.service() == context.connection().baseService())
        return false;
    context.setDelayedReply(true);
    // A call that is answered on the next turn needs no watch; one that waits behind others may outlive
    // its client.
    const bool waits = (!m_open || !m_held.isEmpty()) && !call.service().isEmpty();
    if (waits)
        watch(context.connection(), call.service());
    m_held.append({context.connection(), call, std::move(answer), std::move(ready), waits});
    if (!m_rotation.contains(call.service()))
        m_rotation.append(call.service());
    if (m_open && !m_turn.isActive())
        m_turn.start();
    return true;
}

void BusGate::open()
{
    m_open = true;
    if (!m_held.isEmpty())
        m_turn.start();
}

void BusGate::answerNext()
{
    if (m_held.isEmpty())
        return;
    // The next client's first call. Taken off first: an answer may open a window, whose event loop may
    // deliver further calls.
    QString next = m_rotation.isEmpty() ? m_held.constFirst().call.service() : m_rotation.takeFirst();
    const auto ofNext = [&next](const Held& held) { return held.call.service() == next; };
    qsizetype index = std::find_if(m_held.cbegin(), m_held.cend(), ofNext) - m_held.cbegin();
    if (index == m_held.size()) {
        index = 0;
        next = m_held.constFirst().call.service();
    }
    Held held = m_held.takeAt(index);
    if (std::any_of(m_held.cbegin(), m_held.cend(), ofNext) && !m_rotation.contains(next))
        m_rotation.append(next);
    bool ready = true;
    try {
        ready = !held.ready || held.ready();
    } catch (const std::exception& error) {
        // Answered now: the answer meets the same error and says what failed.
        qCInfo(lcApp) << held.call.member() << "could not be prepared:" << error.what();
    }
    if (!ready) {
        m_held.insert(index, std::move(held));
        if (!m_rotation.contains(next))
            m_rotation.append(next);
        m_turn.start();
        return;
    }
    const QString client = held.call.service();
    const auto watched = held.watched ? m_watched.find(client) : m_watched.end();
    if (watched != m_watched.end() && --watched.value() <= 0) {
        m_watched.erase(watched);
        m_watcher->removeWatchedService(client);
    }
    if (!m_held.isEmpty())
        m_turn.start();
    QDBusMessage reply;
    try {
        reply = held.call.createReply(held.answer());
    } catch (const std::exception& error) {
        reply = errorReply(held.call, error);
    }
    QDBusConnection(held.bus).send(reply);
}

void BusGate::watch(const QDBusConnection& bus, const QString& client)
{
    if (!m_watcher) {
        m_watcher.emplace(QString(), bus, QDBusServiceWatcher::WatchForUnregistration);
        connect(&*m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &BusGate::dropCallsOf);
    }
    if (m_watched[client]++ > 0)
        return;
    m_watcher->addWatchedService(client);
    dropCallsIfGone(client);
}

void BusGate::dropCallsOf(const QString& client)
{
    const qsizetype before = m_held.size();
    m_held.removeIf([&client](const Held& held) { return held.call.service() == client; });
    m_rotation.removeAll(client);
    if (m_watched.remove(client) > 0)
        m_watcher->removeWatchedService(client);
    if (before != m_held.size())
        qCInfo(lcApp) << before - m_held.size() << "calls dropped: their client" << client << "left the bus";
}

void BusGate::dropCallsIfGone(const QString& client)
{
    // The client may have left before the watch was in place: the bus is asked once, after the watch.
    const QDBusMessage question =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                       QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"))
        << client;
    auto* pending = new QDBusPendingCallWatcher(m_watcher->connection().asyncCall(question), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, client](QDBusPendingCallWatcher* watcher) {
                const QDBusMessage reply = watcher->reply();
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                    !reply.arguments().constFirst().toBool())
                    dropCallsOf(client);
                watcher->deleteLater();
            });
}

QDBusMessage BusGate::errorReply(const QDBusMessage& call, const std::exception& error)
{
    qint32 number = 0;
    QString description;
    if (const auto* modelError = dynamic_cast<const OrvError*>(&error)) {
        number = modelError->number();
        description = modelError->description();
    } else {
        // Not the model's own answer: worth a trace beside the reply.
        qCWarning(lcApp) << call.interface() << call.member() << "failed:" << error.what();
        if (dynamic_cast<const std::bad_alloc*>(&error)) {
            number = OrvError::OutOfMemory;
            description = QStringLiteral("Out of memory");
        } else {
            description = QString::fromLocal8Bit(error.what());
        }
    }
    QDBusMessage reply = call.createErrorReply(
        number == OrvError::Refused ? OrvBus::errorRefused : OrvBus::errorFailed, description);
    reply << number;
    return reply;
}
