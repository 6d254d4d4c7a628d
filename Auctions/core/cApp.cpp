#include "cApp.h"

#include "AppLog.h"
#include "Auctions.h"
#include "BidManager.h"
#include "Categorys.h"
#include "Clock.h"
#include "ClockUpdater.h"
#include "Columns.h"
#include "DataFolder.h"
#include "DialogHost.h"
#include "NetManager.h"
#include "NetworkManagerDialer.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TrayIcon.h"
#include "Unloader.h"
#include "UnreadableFile.h"
#include "Updaters.h"
#include "VerManager.h"
#include "XMLManager.h"
#include "frmBrowser.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <utility>

namespace {

const QString refusedQuitText = QStringLiteral(
    "Other applications are using this program.  Please close all Internet Explorer plugins or applications "
    "before closing.");

} // namespace

cApp::cApp(DialogHost& dialogs, MessageBoxSink& messageBoxes, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_messageBoxes(messageBoxes)
{
    m_clock = new ::Clock(this);
    m_columns = new ::Columns(this);
    m_settings = new ::Settings(this);
    m_auctions = new ::Auctions(this);
    m_categorys = new ::Categorys(this);
    m_updaters = new ::Updaters(*m_settings, this);
    m_bidManager = new ::BidManager([settings = m_settings] { return new frmBrowser(*settings); },
                                    *m_settings, *m_categorys, [this] { engineSave(); }, this);
    m_netManager = new ::NetManager(this);
    m_verManager = new ::VerManager(this);
    m_trayIcon = new ::TrayIcon(*this);
    m_unloader = new ::Unloader(this);

    m_clock->Init(*m_settings, m_dialogs);
    m_settings->Init(m_dialogs);
    m_auctions->Init(*m_clock);
    m_bidManager->Init(*m_auctions, *m_clock);
    m_netManager->Init(*m_bidManager, *m_clock);
    m_trayIcon->Init(*m_bidManager);
    // What the model reaches of the rest of the application, given here rather than looked up globally.
    m_columns->link(*m_settings);
    m_netManager->link(*m_settings);
    m_auctions->link(*m_settings, *m_categorys, m_dialogs);
    m_categorys->link(*m_auctions, m_dialogs);
    m_clock->setUpdater(new ClockUpdater);
    m_netManager->setDialer(new NetworkManagerDialer(QDBusConnection::systemBus()));

    // The one heartbeat of the process: it runs whether the main window is shown or not.
    m_heartbeat.setInterval(HeartbeatMs);
    m_heartbeat.setTimerType(Qt::PreciseTimer);
    connect(&m_heartbeat, &QTimer::timeout, this, &cApp::Tick);

    setState(AppCreated);
}

cApp::~cApp() = default;

void cApp::setState(AppState value)
{
    if (value == m_state)
        return;
    switch (value) {
    case AppCreated:
        resumeNext(lcApp, [&] { m_dialogs.viewSplash(*this); });
        setStatus(QStringLiteral("Application Created"));
        break;
    case AppLoaded:
        setStatus(QStringLiteral("Application Loaded."));
        break;
    case AppStarted:
        setStatus(QStringLiteral("Application Started."));
        break;
    case AppShuttingDown:
        setStatus(QStringLiteral("Application Shutting Down..."));
        break;
    default:
        break;
    }
    m_state = value;
    Q_EMIT StateChange(value);
}

void cApp::setStatus(const QString& text)
{
    m_status = text;
    Q_EMIT StatusChange(text);
}

void cApp::Tick()
{
    resumeNext(lcApp, [&] { m_bidManager->Tick(); });
    resumeNext(lcApp, [&] { m_netManager->Tick(); });
}

QString cApp::stateFilePath()
{
    return DataFolder::stateFile();
}

void cApp::Load()
{
    resumeNext(lcApp, [&] {
        const QString path = stateFilePath();
        XMLManager manager;
        manager.LoadFile(path);
        // A file that exists but does not read is kept aside before the first save replaces it.
        if (manager.lastLoad() == XMLManager::LoadResult::Unreadable &&
            UnreadableFile::keepAside(path).isEmpty())
            qCWarning(lcApp).noquote() << "The unreadable state file could not be kept aside:" << path;
        manager.Restore(*this, manager.Node());
    });
    resumeNext(lcApp, [&] { m_columns->addMissingDefaults(); });
    setState(AppLoaded);
    if (std::exchange(m_saveAfterLoad, false))
        Save();
    m_heartbeat.start();
}

void cApp::Save()
{
    try {
        XMLManager manager;
        manager.Save(*this, manager.Node());
        manager.SaveFile(stateFilePath());
    } catch (const std::exception& error) {
        setStatus(QStringLiteral("Could not save the auction list: ") + QString::fromUtf8(error.what()));
    }
}

void cApp::engineSave()
{
    // A change made while the file is still being read waits until all of it is in: saving now would
    // write the parts not yet read as defaults.
    if (m_state == AppNoState || m_state == AppCreated)
        m_saveAfterLoad = true;
    else
        Save();
}

QList<std::pair<QString, IXMLPersist*>> cApp::storedChildren() const
{
    // The state file's top elements, in the order they are written and read.
    return {{QStringLiteral("Clock"), m_clock},          {QStringLiteral("Columns"), m_columns},
            {QStringLiteral("Settings"), m_settings},    {QStringLiteral("Auctions"), m_auctions},
            {QStringLiteral("Categorys"), m_categorys},  {QStringLiteral("BidManager"), m_bidManager},
            {QStringLiteral("VerManager"), m_verManager}};
}

void cApp::Save(XMLManager& loader)
{
    for (const auto& [name, object] : storedChildren())
        resumeNext(lcApp, [&] { loader.Save(*object, loader.NewNode(name)); });
}

void cApp::Load(XMLManager& loader)
{
    for (const auto& [name, object] : storedChildren())
        resumeNext(lcApp, [&] { loader.Restore(*object, loader.SubNode(name)); });
}

void cApp::show()
{
    resumeNext(lcApp, [&] { m_dialogs.viewMainWindow(*this); });
    resumeNext(lcApp, [&] { m_trayIcon->setVisible(false); });
    setState(AppStarted);
}

void cApp::hide()
{
    resumeNext(lcApp, [&] { m_trayIcon->setVisible(true); });
    setState(AppHidden);
    resumeNext(lcApp, [&] { m_dialogs.closeMainWindow(); });
}

void cApp::ShowAbout()
{
    resumeNext(lcApp, [&] { m_dialogs.viewAbout(*this); });
}

void cApp::ShowInfo(ViewInfoType eInfo)
{
    resumeNext(lcApp, [&] { m_dialogs.viewInfo(*this, eInfo); });
}

void cApp::Quit()
{
    if (m_state == AppShuttingDown)
        return;
    bool available = true;
    resumeNext(lcApp, [&] { available = m_unloader->Available(); });
    if (!available) {
        Q_EMIT ErrorMessage(refusedQuitText);
        return;
    }
    setState(AppShuttingDown);
    resumeNext(lcApp, [&] { m_trayIcon->setVisible(false); });
    Save();
    resumeNext(lcApp, [&] { m_dialogs.closeAllWindows(); });
    m_heartbeat.stop();
    endProcess();
}

void cApp::endProcess()
{
    // exit(), not quit(): quit() would ask the windows again, and a window may decline.
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void cApp::sessionEnd()
{
    if (m_state == AppShuttingDown)
        return;
    setState(AppShuttingDown);
    Save();
    m_heartbeat.stop();
    endProcess();
}
