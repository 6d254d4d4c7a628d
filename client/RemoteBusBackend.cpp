#include "RemoteBusBackend.h"

#include "AppProxy.h"
#include "AuctionsProxy.h"
#include "BidManagerProxy.h"
#include "BusReading.h"
#include "CategorysProxy.h"
#include "ClockProxy.h"
#include "NetManagerProxy.h"
#include "OrvBus.h"
#include "RemoteError.h"
#include "RemoteLog.h"
#include "RemotecApp.h"
#include "SettingsProxy.h"
#include "UnloaderClient.h"
#include "UpdaterProxy.h"
#include "UpdatersProxy.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QHash>

namespace Remote {

namespace {

// A value as it came off the bus, with nested containers (which arrive still marshalled) opened into
// plain maps and lists.
QVariant plain(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        return plain(value.value<QDBusVariant>().variant());
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        switch (argument.currentType()) {
        case QDBusArgument::MapType: {
            QVariantMap map;
            argument.beginMap();
            while (!argument.atEnd()) {
                argument.beginMapEntry();
                QString key;
                argument >> key;
                map.insert(key, plain(argument.asVariant()));
                argument.endMapEntry();
            }
            argument.endMap();
            return map;
        }
        case QDBusArgument::ArrayType: {
            QVariantList list;
            argument.beginArray();
            while (!argument.atEnd())
                list << plain(argument.asVariant());
            argument.endArray();
            return list;
        }
        default:
            return argument.asVariant();
        }
    }
    if (value.userType() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (auto entry = map.begin(); entry != map.end(); ++entry)
            *entry = plain(*entry);
        return map;
    }
    if (value.userType() == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (QVariant& entry : list)
            entry = plain(entry);
        return list;
    }
    return value;
}

// Binding may start the program, which then loads its state file before it answers.
constexpr int BindTimeoutMs = 60000;

} // namespace

struct BusBackend::Private
{
    Private(const QDBusConnection& connection, const QString& name) : bus(connection), service(name) {}

    QDBusConnection bus;
    QString service;
    QHash<QString, QDBusAbstractInterface*> proxies;
    QDBusServiceWatcher watcher;
    std::unique_ptr<UnloaderClient> unloader;
    bool held = false;
};

BusBackend::BusBackend(QObject* parent)
    : BusBackend(QDBusConnection::sessionBus(), OrvBus::serviceName, parent)
{
}

BusBackend::BusBackend(const QDBusConnection& bus, const QString& service, QObject* parent)
    : Backend(parent), d(new Private(bus, service))
{
    // A whole list of a large program comes in one answer.
    OrvBus::keepReading(bus);
    auto* app = new AppProxy(service, OrvBus::appPath, bus, this);
    auto* auctions = new AuctionsProxy(service, OrvBus::auctionsPath, bus, this);
    auto* categorys = new CategorysProxy(service, OrvBus::categorysPath, bus, this);
    auto* settings = new SettingsProxy(service, OrvBus::settingsPath, bus, this);
    auto* clock = new ClockProxy(service, OrvBus::clockPath, bus, this);
    auto* bidManager = new BidManagerProxy(service, OrvBus::bidManagerPath, bus, this);
    auto* updaters = new UpdatersProxy(service, OrvBus::updatersPath, bus, this);
    auto* netManager = new NetManagerProxy(service, OrvBus::netManagerPath, bus, this);
    auto* updater = new UpdaterProxy(service, OrvBus::updaterPath, bus, this);
    d->proxies = {{QStringLiteral("App"), app},
                  {QStringLiteral("Auctions"), auctions},
                  {QStringLiteral("Categorys"), categorys},
                  {QStringLiteral("Settings"), settings},
                  {QStringLiteral("Clock"), clock},
                  {QStringLiteral("BidManager"), bidManager},
                  {QStringLiteral("Updaters"), updaters},
                  {QStringLiteral("NetManager"), netManager},
                  {QStringLiteral("Updater"), updater}};
    for (QDBusAbstractInterface* proxy : std::as_const(d->proxies))
        proxy->setTimeout(CallTimeoutMs);

    // Reports count only while bound: those that arrive while binding are older than the snapshot.
    const auto relay = [this](const QString& object, const QString& name) {
        return [this, object, name](auto... values) {
            if (bindState() == Remote::Bound)
                Q_EMIT received(object, name, {plain(QVariant::fromValue(values))...});
        };
    };
    const QString App = QStringLiteral("App"), Auctions = QStringLiteral("Auctions"),
                  Clock = QStringLiteral("Clock"), BidManager = QStringLiteral("BidManager"),
                  Updaters = QStringLiteral("Updaters"), StatusChange = QStringLiteral("StatusChange");
    connect(app, &AppProxy::StateChange, this, relay(App, QStringLiteral("StateChange")));
    connect(app, &AppProxy::StatusChange, this, relay(App, StatusChange));
    connect(app, &AppProxy::ErrorMessage, this, relay(App, QStringLiteral("ErrorMessage")));
    connect(auctions, &AuctionsProxy::AuctionChanged, this,
            relay(Auctions, QStringLiteral("AuctionChanged")));
    connect(auctions, &AuctionsProxy::Updated, this, relay(Auctions, QStringLiteral("Updated")));
    connect(categorys, &CategorysProxy::Updated, this,
            relay(QStringLiteral("Categorys"), QStringLiteral("Updated")));
    connect(settings, &SettingsProxy::Updated, this,
            relay(QStringLiteral("Settings"), QStringLiteral("Updated")));
    connect(clock, &ClockProxy::Updated, this, relay(Clock, QStringLiteral("Updated")));
    connect(clock, &ClockProxy::StatusChange, this, relay(Clock, StatusChange));
    connect(clock, &ClockProxy::StateChanged, this, relay(Clock, QStringLiteral("StateChanged")));
    connect(bidManager, &BidManagerProxy::StateChange, this,
            relay(BidManager, QStringLiteral("StateChange")));
    connect(bidManager, &BidManagerProxy::StatusChange, this, relay(BidManager, StatusChange));
    connect(updaters, &UpdatersProxy::UpdaterChanged, this,
            relay(Updaters, QStringLiteral("UpdaterChanged")));
    connect(updaters, &UpdatersProxy::StateChanged, this, relay(Updaters, QStringLiteral("StateChanged")));
    connect(updaters, &UpdatersProxy::StatusChange, this, relay(Updaters, StatusChange));
    connect(netManager, &NetManagerProxy::StatusChange, this,
            relay(QStringLiteral("NetManager"), StatusChange));

    d->watcher.setConnection(bus);
    d->watcher.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    d->watcher.addWatchedService(service);
    connect(&d->watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        if (bindState() != Remote::Bound)
            return;
        qCInfo(lcClient) << "the main program left the bus";
        setBindState(Unbound);
        d->unloader.reset();
        if (d->held)
            Q_EMIT holdChanged(false);
        Q_EMIT lost(Remote::cApp::endedText());
    });
}

BusBackend::~BusBackend() = default;

void BusBackend::bind()
{
    if (bindState() != Unbound)
        return;
    setBindState(Binding);
    // A call to the program's name starts it (hidden) when it is not running; it answers once loaded.
    const QDBusMessage call = QDBusMessage::createMethodCall(
        d->service, OrvBus::appPath, OrvBus::interfaceOf(QStringLiteral("App")), QStringLiteral("Snapshot"));
    auto* watcher = new QDBusPendingCallWatcher(d->bus.asyncCall(call, BindTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        if (bindState() != Binding)
            return;
        const QDBusMessage reply = answer->reply();
        if (reply.type() != QDBusMessage::ReplyMessage) {
            qCWarning(lcClient) << "cannot bind to the main program:" << reply.errorMessage();
            setBindState(Unbound);
            Q_EMIT lost(Remote::cApp::notReachedText());
            return;
        }
        setBindState(Remote::Bound);
        Q_EMIT bound(Bus::SnapshotRecord::fromMap(plain(reply.arguments().value(0)).toMap()));
        if (d->held && bindState() == Remote::Bound)
            takeHold();
    });
}

QVariant BusBackend::call(const QString& object, const QString& method, const QVariantList& args)
{
    if (bindState() != Remote::Bound) {
        bind();
        throw Error(Error::NotRunning, Error::notRunningText());
    }
    QDBusAbstractInterface* proxy = d->proxies.value(object);
    if (!proxy)
        throw Error(5, QStringLiteral("The main program has no object ") + object + QLatin1Char('.'));
    const QDBusMessage reply = proxy->callWithArgumentList(QDBus::Block, method, args);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return plain(reply.arguments().value(0));
    const QString name = reply.errorName();
    if (name == OrvBus::errorRefused || name == OrvBus::errorFailed) {
        const QVariant number = reply.arguments().value(1);
        throw Error(number.isValid() ? number.toInt() : (name == OrvBus::errorRefused ? Error::Refused : 0),
                    reply.errorMessage());
    }
    // The program did not answer: it ended, hangs, or never had this command.
    qCWarning(lcClient) << object << method << "failed on the bus:" << name << reply.errorMessage();
    const QDBusError::ErrorType error = QDBusError(reply).type();
    const bool late = error == QDBusError::NoReply || error == QDBusError::Timeout;
    throw Error(Error::NotRunning, late ? Error::noAnswerText() : Error::notRunningText());
}

void BusBackend::fetchAuctions()
{
    if (bindState() != Remote::Bound)
        return;
    auto* watcher = new QDBusPendingCallWatcher(
        d->proxies.value(QStringLiteral("Auctions"))->asyncCall(QStringLiteral("Items")), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusMessage reply = answer->reply();
        if (reply.type() != QDBusMessage::ReplyMessage) {
            qCWarning(lcClient) << "cannot read the auctions:" << reply.errorMessage();
            if (bindState() == Remote::Bound)
                Q_EMIT auctionsFetchFailed();
            return;
        }
        if (bindState() != Remote::Bound)
            return;
        const QVariantMap items = plain(reply.arguments().value(0)).toMap();
        Q_EMIT auctionsFetched(AuctionRecord::unpackList(items.value(Bus::AuctionsKey::Items).toByteArray()),
                               items.value(Bus::AuctionsKey::Serial).toULongLong());
    });
}

void BusBackend::setHold(bool held)
{
    if (held == d->held)
        return;
    d->held = held;
    if (!held) {
        d->unloader.reset();
        return;
    }
    if (bindState() == Remote::Bound)
        takeHold();
}

bool BusBackend::isHeld() const
{
    return d->held;
}

void BusBackend::takeHold()
{
    d->unloader = std::make_unique<UnloaderClient>(d->bus, d->service);
    connect(d->unloader.get(), &UnloaderClient::HoldChanged, this, &Backend::holdChanged);
    d->unloader->RegisterHold();
}

} // namespace Remote
