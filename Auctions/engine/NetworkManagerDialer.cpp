#include "NetworkManagerDialer.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QProcess>
#include <algorithm>
#include <memory>

namespace {

const QString service = QStringLiteral("org.freedesktop.NetworkManager");
const QString managerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString managerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString settingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString settingsInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString profileInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString activeInterface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// The states of an activation that end a dial.
constexpr uint activated = 2;
constexpr uint deactivated = 4;

} // namespace

NetworkManagerDialer::NetworkManagerDialer(const QDBusConnection& bus, QObject* parent)
    : Dialer(parent), m_bus(bus)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, &NetworkManagerDialer::timedOut);
    for (const char* name : {"NewConnection", "ConnectionRemoved"})
        m_bus.connect(service, settingsPath, settingsInterface, QString::fromLatin1(name), this,
                      SLOT(profilesChanged()));
    refreshEntries();
}

NetworkManagerDialer::~NetworkManagerDialer()
{
    unfollow();
}

QStringList NetworkManagerDialer::entries() const
{
    QStringList names;
    for (const auto& [path, name] : m_entries)
        names << name;
    return names;
}

void NetworkManagerDialer::setEntries(const QList<Entry>& entries)
{
    const QStringList before = this->entries();
    m_entries = entries;
    if (this->entries() != before)
        Q_EMIT EntriesChanged();
}

bool NetworkManagerDialer::CreateEntry()
{
    return QProcess::startDetached(QStringLiteral("nm-connection-editor"), {QStringLiteral("--create")});
}

void NetworkManagerDialer::Dial()
{
    const quint64 attempt = ++m_attempt;
    unfollow();
    m_state = Dialling;
    m_timeout.start(m_timeoutMs);
    // Listed afresh: a profile may have been added or renamed since the last listing.
    refreshEntries([this, attempt, name = m_entryName](const QList<Entry>& listed, const QDBusError& error) {
        if (attempt != m_attempt)
            return;
        if (error.isValid()) {
            fail(NotAvailable, QStringLiteral("NetworkManager is not available: ") + error.message());
            return;
        }
        const auto found = std::find_if(listed.cbegin(), listed.cend(),
                                        [&](const Entry& entry) { return entry.second == name; });
        if (found == listed.cend()) {
            fail(NoSuchEntry, QStringLiteral("No connection named \"%1\".").arg(name));
            return;
        }
        activate(attempt, found->first, name);
    });
}

void NetworkManagerDialer::refreshEntries(const Listed& done)
{
    const quint64 listing = ++m_listing;
    const QDBusMessage call = QDBusMessage::createMethodCall(service, settingsPath, settingsInterface,
                                                             QStringLiteral("ListConnections"));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, listing, done](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QList<QDBusObjectPath>> reply = *w;
                if (!reply.isError()) {
                    nameProfiles(listing, reply.value(), done);
                    return;
                }
                if (listing == m_listing)
                    setEntries({});
                if (done)
                    done({}, reply.error());
            });
}

void NetworkManagerDialer::nameProfiles(quint64 listing, const QList<QDBusObjectPath>& paths,
                                        const Listed& done)
{
    struct Naming
    {
        QList<Entry> entries;
        qsizetype remaining = 0;
    };
    auto naming = std::make_shared<Naming>();
    const auto finish = [this, listing, done, naming] {
        // A profile that went away or did not answer in the meantime is left out.
        naming->entries.removeIf([](const Entry& entry) { return entry.second.isEmpty(); });
        if (listing == m_listing)
            setEntries(naming->entries);
        if (done)
            done(naming->entries, QDBusError());
    };
    if (paths.isEmpty()) {
        finish();
        return;
    }
    naming->remaining = paths.size();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        naming->entries.append({paths.at(i).path(), QString()});
        const QDBusMessage get = QDBusMessage::createMethodCall(service, paths.at(i).path(), profileInterface,
                                                                QStringLiteral("GetSettings"));
        auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
        connect(
            watcher, &QDBusPendingCallWatcher::finished, this,
            [i, naming, finish](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusMessage reply = w->reply();
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                    QMap<QString, QVariantMap> settings;
                    reply.arguments().constFirst().value<QDBusArgument>() >> settings;
                    naming->entries[i].second =
                        settings.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString();
                }
                if (--naming->remaining == 0)
                    finish();
            });
    }
}

void NetworkManagerDialer::activate(quint64 attempt, const QString& profilePath, const QString& name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, managerPath, managerInterface,
                                                       QStringLiteral("ActivateConnection"));
    // No device and no specific object: NetworkManager picks the device that suits the profile.
    call << QVariant::fromValue(QDBusObjectPath(profilePath))
         << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))
         << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, attempt, name](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (attempt != m_attempt)
                    return;
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError()) {
                    fail(ActivationFailed, reply.error().message());
                    return;
                }
                m_dialledName = name;
                follow(attempt, reply.value().path());
            });
}

void NetworkManagerDialer::follow(quint64 attempt, const QString& activePath)
{
    m_activePath = activePath;
    m_bus.connect(service, activePath, activeInterface, QStringLiteral("StateChanged"), this,
                  SLOT(activeStateChanged(uint, uint)));
    // The activation may have moved on before the connection above: its state now catches up.
    QDBusMessage get =
        QDBusMessage::createMethodCall(service, activePath, propertiesInterface, QStringLiteral("Get"));
    get << activeInterface << QStringLiteral("State");
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, attempt](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        if (attempt == m_attempt && !reply.isError())
            activeState(reply.value().variant().toUInt());
    });
}

void NetworkManagerDialer::unfollow()
{
    if (m_activePath.isEmpty())
        return;
    m_bus.disconnect(service, m_activePath, activeInterface, QStringLiteral("StateChanged"), this,
                     SLOT(activeStateChanged(uint, uint)));
    m_activePath.clear();
}

void NetworkManagerDialer::activeStateChanged(uint state, uint)
{
    activeState(state);
}

void NetworkManagerDialer::activeState(uint state)
{
    if (state == activated && m_state == Dialling) {
        m_timeout.stop();
        m_state = Connected;
        Q_EMIT OnConnect();
    } else if (state == deactivated) {
        if (m_state == Dialling) {
            fail(ActivationFailed,
                 QStringLiteral("NetworkManager could not activate \"%1\".").arg(m_dialledName));
        } else if (m_state == Connected) {
            unfollow();
            m_state = Disconnected;
            Q_EMIT OnDisconnect();
        }
    }
}

void NetworkManagerDialer::profilesChanged()
{
    refreshEntries();
}

void NetworkManagerDialer::fail(int code, const QString& description)
{
    ++m_attempt;
    m_timeout.stop();
    unfollow();
    m_state = Disconnected;
    Q_EMIT OnError(code, description);
}

void NetworkManagerDialer::timedOut()
{
    if (m_state != Dialling)
        return;
    ++m_attempt;
    unfollow();
    m_state = Disconnected;
    Q_EMIT OnTimeout();
}
