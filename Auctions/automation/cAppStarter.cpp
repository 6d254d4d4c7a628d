#include "cAppStarter.h"

#include "AppLog.h"
#include "BusFace.h"
#include "Clock.h"
#include "DataFolder.h"
#include "DateTimes.h"
#include "MessageBoxSink.h"
#include "OrvBus.h"
#include "OrvError.h"
#include "OwnerOnlyFile.h"
#include "Registry.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "ShellHost.h"
#include "TimeSource.h"
#include "TrayIcon.h"
#include "VerManager.h"
#include "cApp.h"
#include "mMain.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QLockFile>
#include <QLoggingCategory>
#include <cstdlib>

namespace {

const char bandClassId[] = "C53E0366-5A1C-11D9-BAFB-000102735E90";

const QString cannotActivateText = QStringLiteral(
    "Application is currently running, but cannot be activated.  To view the program, you may have to "
    "terminate it from the task manager or reboot your computer.");

Q_LOGGING_CATEGORY(lcStart, "orv.start")

// The data folder's lock: a file without its owner's process number (the program died between making
// it and filling it in) counts as stale this soon, where the default would keep the next start out for
// half a minute. A running instance keeps its lock regardless: the lock library never removes a file
// whose holder still has it locked at the file-system level.
constexpr int ownerlessLockStaleMs = 100;
constexpr int lockWaitMs = 500;

// A call to the running instance's hand-over mailbox; true when it took the text.
bool handOverCall(const QDBusConnection& bus, const QString& sText, int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::handOverPath,
                                                       OrvBus::handOverInterface, QStringLiteral("SetText"));
    call << sText;
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toBool();
}

} // namespace

cAppStarter::cAppStarter(ShellHost& dialogs, MessageBoxSink& messageBoxes, EngineFactories engine,
                         QStringList arguments)
    : m_dialogs(dialogs), m_messageBoxes(messageBoxes), m_engine(std::move(engine)),
      m_arguments(std::move(arguments))
{
}

bool cAppStarter::isShowCommand(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' ')).toUpper() == QLatin1String("SHOW");
}

bool cAppStarter::Start(bool bFlag)
{
    try {
        if (!bFlag && mMain::App())
            return true;
        // The objects go on the bus before the name is claimed, so that a call that comes with the name
        // finds them; they answer once the state file is loaded. Without a session bus there is no other
        // instance to find there, and the data folder's lock alone keeps a second one off.
        QDBusConnection bus = QDBusConnection::sessionBus();
        std::unique_ptr<BusFace> face;
        if (!bFlag && bus.isConnected()) {
            face = std::make_unique<BusFace>(bus);
            if (!face->claim())
                face.reset();
        }
        if (bFlag || (bus.isConnected() && !face)) {
            if (SendTextToApp(QStringLiteral("Show")))
                return true;
            throw OrvError::refused(QStringLiteral("cAppStarter.Start"), cannotActivateText);
        }
        startFirstInstance(std::move(face));
        return true;
    } catch (const std::exception& error) {
        m_messageBoxes.show(MessageBoxSink::Exclamation, QStringLiteral("Application Error"),
                            QString::fromUtf8(error.what()));
    }
    return false;
}

void cAppStarter::startFirstInstance(std::unique_ptr<BusFace> face)
{
    // One instance per data folder, whatever bus each was started on (or none).
    auto lock = std::make_unique<QLockFile>(DataFolder::lockFile());
    lock->setStaleLockTime(ownerlessLockStaleMs);
    if (!lock->tryLock(lockWaitMs)) {
        if (lock->error() == QLockFile::LockFailedError)
            throw OrvError::refused(QStringLiteral("cAppStarter.Start"), cannotActivateText);
        // A folder where no lock can be made is no reason not to start; its saves will say what fails.
        qCWarning(lcStart) << "Could not lock the data folder" << DataFolder::path();
        lock.reset();
    }
    // The folder is this instance's alone now: what a save killed half-way left there can go. The lock
    // file names this process and its host, for the owner's eyes only.
    if (lock) {
        OwnerOnlyFile::makeOwnerOnly(DataFolder::lockFile());
        OwnerOnlyFile::removeTemporaryFiles(DataFolder::path());
        OwnerOnlyFile::removeTemporaryFiles(DataFolder::sentSnipesFolder());
    }

    // The band's display name, as the default value of its class key; a registry that cannot be
    // written ends the start here.
    Registry bandName;
    bandName.ClassKey = HKEY_CLASSES_ROOT;
    bandName.SectionKey = QStringLiteral("CLSID\\{") + QLatin1String(bandClassId) + QLatin1Char('}');
    bandName.ValueType = REG_SZ;
    bandName.setValue(QStringLiteral("Auction Orv"));

    auto* app = new cApp(m_dialogs, m_messageBoxes, m_engine);
    mMain::setApp(app);
    // The tray menu's hidden entry runs a second start's hand-over inside this process.
    QObject::connect(&app->TrayIcon(), &TrayIcon::testActivateRequested, app, [app] {
        cAppStarter(app->dialogHost(), app->messageBoxes(), app->engineFactories(),
                    QCoreApplication::arguments())
            .Start(true);
    });
    if (lock)
        app->keepDataFolderLock(std::move(lock));
    BusFace* busFace = face.release();
    if (busFace) {
        busFace->setParent(app);
        busFace->attach(*app);
    }
    app->Load();

    if (isShowCommand(m_arguments)) {
        app->show();
        StartupChecks(*app);
    } else {
        app->hide();
    }
    // Calls that came while loading are answered now, in the order they came.
    if (busFace)
        busFace->open();
}

bool cAppStarter::SendTextToApp(const QString& sText)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // An instance still loading its state file answers once it has; one that has started answers at
    // once or is taken for hung.
    const bool starting = BusFace::isStarting(bus);
    if (handOverCall(bus, sText, starting ? StartingTimeoutMs : HandOverTimeoutMs))
        return true;
    // It may have claimed its name a moment before saying that it is starting.
    return !starting && BusFace::isStarting(bus) && handOverCall(bus, sText, StartingTimeoutMs);
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
