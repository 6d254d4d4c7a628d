#include "cApp.h"

#include "AppLog.h"
#include "Auctions.h"
#include "BidManager.h"
#include "Categorys.h"
#include "Clock.h"
#include "ClockUpdater.h"
#include "Columns.h"
#include "DataFolder.h"
#include "DateTimes.h"
#include "MessageBoxSink.h"
#include "NetManager.h"
#include "OrvError.h"
#include "OwnerOnlyFile.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "ShellHost.h"
#include "TimeSource.h"
#include "TrayIcon.h"
#include "Unloader.h"
#include "UnreadableFile.h"
#include "Updaters.h"
#include "VerManager.h"
#include "XMLManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLockFile>
#include <cstdio>
#include <utility>

namespace {

const QString refusedQuitText = QStringLiteral(
    "Other applications are using this program.  Please close all Internet Explorer plugins or applications "
    "before closing.");
const QString saveFailedText = QStringLiteral("Could not save the auction list: ");
const QString endWithoutSavingText = QStringLiteral("\n\nEnd the program without saving?");

// A save takes about this long per auction on an ordinary PC, until one has been timed.
constexpr qint64 saveMicrosecondsPerAuction = 50;

// Milliseconds since the whole second of the PC clock. The heartbeat's timer runs by the PC clock, so
// this is read from it directly, also while a test gives the model a time of its own.
qint64 pcClockPhaseMs()
{
    return QDateTime::currentMSecsSinceEpoch() % 1000;
}

} // namespace

cApp::cApp(ShellHost& dialogs, MessageBoxSink& messageBoxes, EngineFactories engine, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_messageBoxes(messageBoxes), m_engine(std::move(engine))
{
    m_clock = new ::Clock(this);
    m_columns = new ::Columns(this);
    m_settings = new ::Settings(this);
    m_auctions = new ::Auctions(this);
    m_categorys = new ::Categorys(this);
    m_updaters = new ::Updaters(*m_settings, this);
    m_bidManager = new ::BidManager([this] { return m_engine.browserWindow(*m_settings); }, *m_settings,
                                    *m_categorys, [this] { engineSave(); }, this);
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
    m_netManager->setDialer(m_engine.dialer());
    m_verManager->setShowWindow([this](::VerManager& verManager) { m_dialogs.viewVersion(verManager); });
    // What the downloads read goes into the file once the batch is over, not at some later save.
    connect(m_updaters, &::Updaters::StateChanged, this, [this](int state) {
        if (state == sfNotBusy)
            engineSave();
    });

    // The one heartbeat of the process: it runs whether the main window is shown or not.
    m_heartbeat.setInterval(HeartbeatMs);
    m_heartbeat.setTimerType(Qt::PreciseTimer);
    connect(&m_heartbeat, &QTimer::timeout, this, &cApp::onHeartbeat);

    setState(AppCreated);
}

cApp::~cApp()
{
    // The queue reports its end once more as it goes; that is no batch to save.
    m_updaters->disconnect(this);
}

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
    Q_EMIT Ticked();
}

void cApp::startHeartbeat()
{
    m_heartbeat.start(int(HeartbeatMs - pcClockPhaseMs() + HeartbeatAlignMs));
}

void cApp::onHeartbeat()
{
    // Set right before the tick, while the moment of firing is still the moment read. One that fired
    // early (the PC clock was set back) or late (the thread was busy) fires again at the next second.
    const qint64 phase = pcClockPhaseMs();
    if (phase < HeartbeatAlignMs - 2 || phase > HeartbeatAlignMs + HeartbeatDriftMs)
        m_heartbeat.start(int(HeartbeatMs - phase + HeartbeatAlignMs));
    else if (m_heartbeat.interval() != HeartbeatMs)
        m_heartbeat.start(HeartbeatMs);

    m_inHeartbeat = true;
    Tick();
    m_inHeartbeat = false;
    savePendingUnlessBidDue();
}

qint64 cApp::nextHeartbeatMs() const
{
    return QDateTime::currentMSecsSinceEpoch() + m_heartbeat.remainingTime();
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
        // A file that exists but does not read is kept aside before the first save replaces it; one that
        // read is kept as it was by that save, since what this program does not know of it is not saved.
        // One that could not be moved aside is kept the same way, or no save replaces it.
        m_keepLoadedFile = manager.lastLoad() == XMLManager::LoadResult::Loaded;
        if (manager.lastLoad() == XMLManager::LoadResult::Unreadable) {
            const QString aside = UnreadableFile::keepAside(path);
            m_keepLoadedFile = aside.isEmpty();
            m_loadNotice = aside.isEmpty()
                               ? QStringLiteral("The auction list \"%1\" could not be read.").arg(path)
                               : QStringLiteral("The auction list could not be read.  It was kept aside as "
                                                "\"%1\".")
                                     .arg(aside);
        }
        manager.Restore(*this, manager.Node());
        // What was not taken of a file that read is not in the next save: the file as it was is kept for
        // good, beside the copy that the session's first save makes.
        const QStringList skipped = manager.skippedOnLoad();
        if (manager.lastLoad() == XMLManager::LoadResult::Loaded && !skipped.isEmpty()) {
            qCWarning(lcApp).noquote()
                << "Not loaded from" << path << ":" << skipped.join(QStringLiteral(", "));
            const QString kept = UnreadableFile::keepCopyAside(path);
            m_loadNotice =
                kept.isEmpty()
                    ? QStringLiteral("Part of the auction list \"%1\" could not be loaded, and the "
                                     "file could not be kept as it was.")
                          .arg(path)
                    : QStringLiteral("Part of the auction list could not be loaded.  The file as "
                                     "it was is kept as \"%1\".")
                          .arg(kept);
        }
    });
    resumeNext(lcApp, [&] { m_columns->addMissingDefaults(); });
    setState(AppLoaded);
    if (!m_loadNotice.isEmpty())
        setStatus(m_loadNotice);
    if (std::exchange(m_saveAfterLoad, false))
        Save();
    startHeartbeat();
}

bool cApp::Save()
{
    QElapsedTimer timer;
    timer.start();
    // Whatever the outcome, a waiting save is done: a failed one is not tried again every heartbeat.
    m_savePending = false;
    try {
        writeStateFile();
    } catch (const std::exception& error) {
        m_saveError = saveFailedText + QString::fromUtf8(error.what());
        setStatus(m_saveError);
        Q_EMIT saveFailed(m_saveError);
        return false;
    }
    m_lastSaveMs = timer.elapsed();
    m_saveError.clear();
    return true;
}

void cApp::writeStateFile()
{
    const QString path = stateFilePath();
    if (m_keepLoadedFile) {
        const QString failure = OwnerOnlyFile::keepCopy(path, path + QStringLiteral(".bak"));
        if (!failure.isEmpty())
            throw OrvError(OrvError::FileAccess, QStringLiteral("cApp"),
                           QStringLiteral("Cannot keep the loaded file as '%1.bak': %2").arg(path, failure));
        m_keepLoadedFile = false;
    }
    XMLManager manager;
    manager.Save(*this, manager.Node());
    manager.SaveFile(path);
}

void cApp::engineSave()
{
    // A change made while the file is still being read waits until all of it is in: saving now would
    // write the parts not yet read as defaults.
    if (m_state == AppNoState || m_state == AppCreated) {
        m_saveAfterLoad = true;
        return;
    }
    if (!m_savePending)
        m_savePendingSinceMs = TimeSource::current().monotonicMs();
    m_savePending = true;
    // One asked for by the heartbeat's own work waits until the heartbeat's sends are done.
    if (!m_inHeartbeat)
        savePendingUnlessBidDue();
}

void cApp::savePendingUnlessBidDue()
{
    if (!m_savePending || m_state == AppShuttingDown)
        return;
    // A long save must not hold the thread across a send moment: a later heartbeat saves instead.
    const qint64 estimateMs =
        std::max(m_lastSaveMs, qint64(m_auctions->Count()) * saveMicrosecondsPerAuction / 1000);
    if (TimeSource::current().monotonicMs() - m_savePendingSinceMs < MaxSaveDelayMs &&
        bidDueWithin(estimateMs))
        return;
    Save();
}

bool cApp::bidDueWithin(qint64 ms) const
{
    QDateTime siteNow;
    if (!resumeNext(lcApp, [&] { siteNow = m_clock->Time(); }))
        return false;
    // Whole seconds, with the second under way and one to spare.
    const qint64 horizon = ms / 1000 + 2;
    for (const AuctionPtr& auction : m_auctions->Items()) {
        switch (auction->SnipeState) {
        case OR2BidSending:
            // Its request may still need this thread to leave.
            return true;
        case OR2BidSet:
        case OR2BidPreparing:
        case OR2BidPrepared: {
            if (DateTimes::isZero(auction->EndTime))
                break;
            const qint64 left = DateTimes::secondsBetween(siteNow, auction->EndTime);
            if (left > 0 && left - auction->SnipeSeconds <= horizon)
                return true;
            break;
        }
        default:
            break;
        }
    }
    return false;
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
    // What became of an unreadable state file, once where the user reads it.
    if (!m_loadNotice.isEmpty())
        setStatus(std::exchange(m_loadNotice, QString()));
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
    const AppState before = m_state;
    const bool trayShown = m_trayIcon->Visible();
    setState(AppShuttingDown);
    resumeNext(lcApp, [&] { m_trayIcon->setVisible(false); });
    if (!Save() && m_messageBoxes.show(MessageBoxSink::Question, QStringLiteral("Save Error"),
                                       m_saveError + endWithoutSavingText,
                                       MessageBoxSink::YesNo) != MessageBoxSink::AnswerYes) {
        // The user keeps the program, and the auctions that could not be saved, as they were.
        const QString failure = m_saveError;
        setState(before);
        resumeNext(lcApp, [&] { m_trayIcon->setVisible(trayShown); });
        setStatus(failure);
        return;
    }
    // Nothing may reach the site now that the saved file does not know of.
    m_bidManager->halt();
    resumeNext(lcApp, [&] { m_dialogs.closeAllWindows(); });
    m_heartbeat.stop();
    endProcess();
}

void cApp::endProcess(int exitCode)
{
    // exit(), not quit(): quit() would ask the windows again, and a window may decline.
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); },
            Qt::QueuedConnection);
}

void cApp::sessionEnd()
{
    if (m_state == AppShuttingDown)
        return;
    setState(AppShuttingDown);
    const bool saved = saveForSessionEnd();
    m_bidManager->halt();
    m_heartbeat.stop();
    endProcess(saved ? 0 : SaveFailedExitCode);
}

bool cApp::saveForSessionEnd()
{
    // The main window's layout goes into the file too, as its own unload would have put it.
    resumeNext(lcApp, [&] { m_dialogs.storeMainWindowLayout(); });
    const bool saved = Save();
    // Nobody may be left to read a box: the reason goes where the session keeps its log.
    if (!saved)
        std::fprintf(stderr, "%s\n", m_saveError.toLocal8Bit().constData());
    return saved;
}

void cApp::keepDataFolderLock(std::unique_ptr<QLockFile> lock)
{
    m_dataFolderLock = std::move(lock);
}
