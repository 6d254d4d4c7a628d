#include "BusFace.h"

#include "AppService.h"
#include "DialogHost.h"
#include "HandOverReceiver.h"
#include "OrvBus.h"
#include "TrayIcon.h"
#include "UnloaderService.h"
#include "cApp.h"
#include "frmTrayIcon.h"

#include <QDBusConnectionInterface>

BusFace::BusFace(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus), m_handOver(new HandOverReceiver(&m_gate, this)),
      m_app(new AppService(m_gate, this)), m_unloader(new UnloaderService(m_bus, &m_gate, this))
{
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
        {OrvBus::appPath, m_app,
         Export::ExportAllSlots | Export::ExportAllSignals | Export::ExportAllProperties},
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
    m_app->attach(app);
    m_unloader->attach(app.Unloader());
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
        m_bus.interface()->unregisterService(OrvBus::startingName);
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
        m_bus.interface()->unregisterService(name);
}
