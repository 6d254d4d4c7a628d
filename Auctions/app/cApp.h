#pragma once

#include "EngineFactories.h"
#include "IXMLPersist.h"
#include "OrvEnums.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class Auctions;
class BidManager;
class Categorys;
class Clock;
class Columns;
class QLockFile;
class MessageBoxSink;
class NetManager;
class Settings;
class ShellHost;
class TrayIcon;
class Unloader;
class Updaters;
class VerManager;

// The main program's one application object: owns the model and the engine, loads and saves the state
// file, runs the one-second heartbeat for the life of the process, and switches between the main window
// and the notification area.
class cApp : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    static constexpr int HeartbeatMs = 1000;
    // The heartbeat fires this long after each whole second of the PC clock, so that a send moment (a
    // whole second) is met within milliseconds; it is set right again once its moment strays out of
    // [HeartbeatAlignMs - 2, HeartbeatAlignMs + HeartbeatDriftMs].
    static constexpr int HeartbeatAlignMs = 5;
    static constexpr int HeartbeatDriftMs = 20;
    // The longest a save asked for by the bid engine waits for a moment when no bid is due.
    static constexpr int MaxSaveDelayMs = 60000;
    // Exit status of a session end whose save failed.
    static constexpr int SaveFailedExitCode = 1;

    cApp(ShellHost& dialogs, MessageBoxSink& messageBoxes, EngineFactories engine, QObject* parent = nullptr);
    ~cApp() override;

    ::Auctions& Auctions() const { return *m_auctions; }
    ::BidManager& BidManager() const { return *m_bidManager; }
    ::Clock& Clock() const { return *m_clock; }
    ::Columns& Columns() const { return *m_columns; }
    ::NetManager& NetManager() const { return *m_netManager; }
    ::Settings& Settings() const { return *m_settings; }
    ::TrayIcon& TrayIcon() const { return *m_trayIcon; }
    ::Unloader& Unloader() const { return *m_unloader; }
    ::Updaters& Updaters() const { return *m_updaters; }
    ::Categorys& Categorys() const { return *m_categorys; }
    ::VerManager& VersionManager() const { return *m_verManager; }
    ShellHost& dialogHost() const { return m_dialogs; }
    MessageBoxSink& messageBoxes() const { return m_messageBoxes; }
    const EngineFactories& engineFactories() const { return m_engine; }

    AppState State() const { return m_state; }
    void setState(AppState value);
    QString Status() const { return m_status; }
    void setStatus(const QString& text);

    void Tick();
    void Load();
    // Writes the whole state file; false when it failed, which the status line and saveFailed tell.
    bool Save();
    void show();
    void hide();
    void ShowAbout();
    void ShowInfo(ViewInfoType eInfo);
    void Quit();

    // The session ends (logout, SIGTERM): save whatever clients hold, then end; a save that fails is
    // written to standard error and the process ends with SaveFailedExitCode.
    void sessionEnd();
    // The session's save (logout, SIGTERM): the main window's layout, then the state file; a failed save
    // is written to standard error. False when the save failed.
    bool saveForSessionEnd();

    // The process's hold on the data folder, kept while the application lives.
    void keepDataFolderLock(std::unique_ptr<QLockFile> lock);

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

    // Where Load and Save read and write: "auctions.xml" in the data folder.
    static QString stateFilePath();
    bool isHeartbeatRunning() const { return m_heartbeat.isActive(); }
    // When the heartbeat fires next, in milliseconds since the epoch by the PC clock.
    qint64 nextHeartbeatMs() const;

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& Status);
    void ErrorMessage(const QString& sMessage);
    // A save failed; `text` says why. Whoever the user sees at that moment shows it.
    void saveFailed(const QString& text);
    // After each beat of the heartbeat, for views that refresh with it.
    void Ticked();

private:
    void endProcess(int exitCode = 0);
    QList<std::pair<QString, IXMLPersist*>> storedChildren() const;
    void startHeartbeat();
    void onHeartbeat();
    // Saves for the bid engine, which records outcomes and expiries by itself: they wait until the
    // heartbeat's sends are done and no bid is due within the time a save takes.
    void engineSave();
    void savePendingUnlessBidDue();
    bool bidDueWithin(qint64 ms) const;
    void writeStateFile();

    ShellHost& m_dialogs;
    MessageBoxSink& m_messageBoxes;
    EngineFactories m_engine;
    AppState m_state = AppNoState;
    ::Clock* m_clock;
    ::Columns* m_columns;
    ::Settings* m_settings;
    ::Auctions* m_auctions;
    ::Categorys* m_categorys;
    ::Updaters* m_updaters;
    ::BidManager* m_bidManager;
    ::NetManager* m_netManager;
    ::VerManager* m_verManager;
    ::TrayIcon* m_trayIcon;
    ::Unloader* m_unloader;
    QString m_status;
    QTimer m_heartbeat;
    bool m_inHeartbeat = false;
    bool m_saveAfterLoad = false;
    bool m_savePending = false;
    qint64 m_savePendingSinceMs = 0;
    qint64 m_lastSaveMs = 0;
    QString m_saveError;
    // The file as loaded is kept as "auctions.xml.bak" by the session's first save.
    bool m_keepLoadedFile = false;
    // Said on the status line when the main window first shows: a state file, or a copy of one, kept aside.
    QString m_loadNotice;
    std::unique_ptr<QLockFile> m_dataFolderLock;
};
