#include "BusFace.h"

#include "AppService.h"
#include "AuctionsService.h"
#include "BidManager.h"
#include "BidManagerService.h"
#include "BusReading.h"
#include "BusSnapshotRecord.h"
#include "CategorysService.h"
#include "ClockService.h"
#include "HandOverReceiver.h"
#include "NetManagerService.h"
#include "OrvBus.h"
#include "SettingsService.h"
#include "ShellHost.h"
#include "TrayIcon.h"
#include "UnloaderService.h"
#include "UpdaterService.h"
#include "Updaters.h"
#include "UpdatersService.h"
#include "cApp.h"
#include "frmTrayIcon.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

BusFace::BusFace(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus), m_handOver(new HandOverReceiver(&m_gate, this)),
      m_app(new AppService(m_gate, this)), m_auctions(new AuctionsService(m_gate, this)),
      m_categorys(new CategorysService(m_gate, this)), m_settings(new SettingsService(m_gate, this)),
      m_clock(new ClockService(m_gate, this)), m_bidManager(new BidManagerService(m_gate, this)),
      m_updaters(new UpdatersService(m_gate, this)), m_netManager(new NetManagerService(m_gate, this)),
      m_updater(new UpdaterService(m_gate, this)), m_unloader(new UnloaderService(m_bus, &m_gate, this))
{
    OrvBus::keepReading(m_bus);
}

BusFace::~BusFace()
{
    release();
}

bool BusFace::claim()
{
    using Export = QDBusConnection::RegisterOption;
    const struct
    {
        QString path;
        QObject* object;
        QDBusConnection::RegisterOptions options;
    } objects[] = {
        {OrvBus::handOverPath, m_handOver, Export::ExportAllSlots},
        {OrvBus::appPath, m_app, Export::ExportAdaptors},
        {OrvBus::auctionsPath, m_auctions, Export::ExportAdaptors},
        {OrvBus::categorysPath, m_categorys, Export::ExportAdaptors},
        {OrvBus::settingsPath, m_settings, Export::ExportAdaptors},
        {OrvBus::clockPath, m_clock, Export::ExportAdaptors},
        {OrvBus::bidManagerPath, m_bidManager, Export::ExportAdaptors},
        {OrvBus::updatersPath, m_updaters, Export::ExportAdaptors},
        {OrvBus::netManagerPath, m_netManager, Export::ExportAdaptors},
        {OrvBus::updaterPath, m_updater, Export::ExportAdaptors},
        {OrvBus::unloaderPath, m_unloader, Export::ExportAllSlots | Export::ExportAllSignals},
    };
    for (const auto& object : objects) {
        if (m_bus.registerObject(object.path, object.object, object.options))
            m_paths << object.path;
    }
    const auto claimed =
        m_bus.interface()->registerService(OrvBus::serviceName, QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (!claimed.isValid() || claimed.value() != QDBusConnectionInterface::ServiceRegistered) {
        release();
        return false;
    }
    m_names << OrvBus::serviceName;
    const auto starting =
        m_bus.interface()->registerService(OrvBus::startingName, QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (starting.isValid() && starting.value() == QDBusConnectionInterface::ServiceRegistered)
        m_names << OrvBus::startingName;
    return true;
}

void BusFace::attach(cApp& app)
{
    for (BusService* service :
         std::initializer_list<BusService*>{m_app, m_auctions, m_categorys, m_settings, m_clock, m_bidManager,
                                            m_updaters, m_netManager, m_updater})
        service->attach(app);
    m_unloader->attach(app.Unloader());
    // One answer with everything a client binds to, so that binding costs one round trip.
    m_app->setSnapshot(
        [this, &app] {
            const QVariantMap auctions = m_auctions->items();
            Bus::SnapshotRecord snapshot;
            snapshot.AppState = qint32(app.State());
            snapshot.AppStatus = app.Status();
            snapshot.Auctions = auctions.value(Bus::AuctionsKey::Items).toByteArray();
            snapshot.Serial = auctions.value(Bus::AuctionsKey::Serial).toULongLong();
            snapshot.Categorys = m_categorys->records();
            snapshot.Settings = m_settings->tell();
            snapshot.Clock = m_clock->report();
            snapshot.BidManagerState = qint32(app.BidManager().State());
            snapshot.UpdatersState = qint32(app.Updaters().State());
            return snapshot.toMap();
        },
        [this] { return m_auctions->prepare(AuctionsService::BusyTurnMs); });
    // While the program sits in the notification area the hidden tray window takes the text; while the
    // main window is shown, "Show" brings that window to the front.
    connect(m_handOver, &HandOverReceiver::textChanged, &app, [&app](const QString& text) {
        if (frmTrayIcon* tray = app.TrayIcon().window())
            tray->setTxtMsg(text);
        else if (text == QLatin1String("Show") && app.dialogHost().isMainWindowOpen())
            app.dialogHost().raiseMainWindow();
    });
}

void BusFace::open()
{
    m_gate.open();
    if (m_names.removeAll(OrvBus::startingName) > 0)
        giveBack(OrvBus::startingName);
}

bool BusFace::isStarting(const QDBusConnection& bus)
{
    QDBusConnectionInterface* names = bus.interface();
    const QString owner = names->serviceOwner(OrvBus::serviceName).value();
    return !owner.isEmpty() && names->serviceOwner(OrvBus::startingName).value() == owner;
}

void BusFace::release()
{
    for (const QString& path : std::exchange(m_paths, {}))
        m_bus.unregisterObject(path);
    for (const QString& name : std::exchange(m_names, {}))
        giveBack(name);
}

void BusFace::giveBack(const QString& name)
{
    // Sent without waiting for the answer: the program never waits on the bus, least of all at its end.
    m_bus.send(QDBusMessage::createMethodCall(
                   QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                   QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReleaseName"))
               << name);
}
