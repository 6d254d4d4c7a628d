#include "cAppStarter.h"

#include "AppAdaptor.h"
#include "AppLog.h"
#include "Clock.h"
#include "DateTimes.h"
#include "DialogHost.h"
#include "HandOverReceiver.h"
#include "MessageBoxSink.h"
#include "OrvBus.h"
#include "OrvError.h"
#include "Registry.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TimeSource.h"
#include "TrayIcon.h"
#include "UnloaderService.h"
#include "VerManager.h"
#include "cApp.h"
#include "frmTrayIcon.h"
#include "mMain.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>
#include <cstdlib>

namespace {

const char bandClassId[] = "C53E0366-5A1C-11D9-BAFB-000102735E90";

const QString cannotActivateText = QStringLiteral(
    "Application is currently running, but cannot be activated.  To view the program, you may have to "
    "terminate it from the task manager or reboot your computer.");

// Claims the bus name; false when another instance owns it. Without a session bus there is no other
// instance to find, and this one runs alone.
bool claimBusName(bool& busAvailable)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    busAvailable = bus.isConnected();
    if (!busAvailable)
        return true;
    const auto reply =
        bus.interface()->registerService(OrvBus::serviceName, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

// While the program sits in the notification area the hidden tray window takes the text; while the
// main window is shown, "Show" brings that window to the front.
void wireHandOver(cApp& app, HandOverReceiver& receiver)
{
    QObject::connect(&receiver, &HandOverReceiver::textChanged, &app, [&app](const QString& text) {
        if (frmTrayIcon* tray = app.TrayIcon().window())
            tray->setTxtMsg(text);
        else if (text == QLatin1String("Show") && app.dialogHost().isMainWindowOpen())
            app.dialogHost().raiseMainWindow();
    });
}

} // namespace

cAppStarter::cAppStarter(DialogHost& dialogs, MessageBoxSink& messageBoxes, QStringList arguments)
    : m_dialogs(dialogs), m_messageBoxes(messageBoxes), m_arguments(std::move(arguments))
{
}

bool cAppStarter::isShowCommand(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' ')).toUpper() == QLatin1String("SHOW");
}

void cAppStarter::Start(bool bFlag)
{
    try {
        if (!bFlag && mMain::App())
            return;
        bool busAvailable = false;
        if (bFlag || !claimBusName(busAvailable)) {
            if (SendTextToApp(QStringLiteral("Show")))
                return;
            throw OrvError::refused(QStringLiteral("cAppStarter.Start"), cannotActivateText);
        }
        startFirstInstance();
    } catch (const OrvError& error) {
        m_messageBoxes.show(MessageBoxSink::Exclamation, QStringLiteral("Application Error"),
                            error.description());
    } catch (const std::exception& error) {
        m_messageBoxes.show(MessageBoxSink::Exclamation, QStringLiteral("Application Error"),
                            QString::fromUtf8(error.what()));
    }
}

void cAppStarter::startFirstInstance()
{
    // The band's display name, as the default value of its class key; a registry that cannot be
    // written ends the start here.
    Registry bandName;
    bandName.ClassKey = HKEY_CLASSES_ROOT;
    bandName.SectionKey = QStringLiteral("CLSID\\{") + QLatin1String(bandClassId) + QLatin1Char('}');
    bandName.ValueType = REG_SZ;
    bandName.setValue(QStringLiteral("Auction Orv"));

    auto* app = new cApp(m_dialogs, m_messageBoxes);
    mMain::setApp(app);
    app->Load();

    // Objects go on the bus only now, so that no client ever sees a half-loaded application.
    auto* receiver = new HandOverReceiver(app);
    wireHandOver(*app, *receiver);
    new AppAdaptor(*app);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        auto* unloader = new UnloaderService(app->Unloader(), bus, app);
        bus.registerObject(OrvBus::handOverPath, receiver, QDBusConnection::ExportAllSlots);
        bus.registerObject(OrvBus::appPath, app, QDBusConnection::ExportAdaptors);
        bus.registerObject(OrvBus::unloaderPath, unloader,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
    }

    if (isShowCommand(m_arguments)) {
        app->show();
        StartupChecks(*app);
    } else {
        app->hide();
    }
}

bool cAppStarter::SendTextToApp(const QString& sText)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::handOverPath,
                                                       OrvBus::handOverInterface, QStringLiteral("SetText"));
    call << sText;
    const QDBusMessage reply = bus.call(call, QDBus::Block, HandOverTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toBool();
}

void cAppStarter::StartupChecks(cApp& app)
{
    resumeNext(lcApp, [&] {
        const qint32 interval = app.Settings().CheckForUpdates;
        const QDateTime today = TimeSource::current().localNow();
        if (interval > 0 &&
            std::llabs(DateTimes::daysBetween(app.VersionManager().LastCheck(), today)) > interval)
            app.VersionManager().Check();
    });
    resumeNext(lcApp, [&] {
        const qint32 days = app.Settings().AutoSyncDays;
        const ::Clock& clock = app.Clock();
        if (days > 0 && std::llabs(DateTimes::daysBetween(clock.LastUpdated(), clock.Time())) > days)
            app.Clock().show();
    });
}
