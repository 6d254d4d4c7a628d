#pragma once

#include "IXMLPersist.h"
#include "OrvEnums.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class Auctions;
class BidManager;
class Categorys;
class Clock;
class Columns;
class DialogHost;
class MessageBoxSink;
class NetManager;
class Settings;
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

    cApp(DialogHost& dialogs, MessageBoxSink& messageBoxes, QObject* parent = nullptr);
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
    DialogHost& dialogHost() const { return m_dialogs; }
    MessageBoxSink& messageBoxes() const { return m_messageBoxes; }

    AppState State() const { return m_state; }
    void setState(AppState value);
    QString Status() const { return m_status; }
    void setStatus(const QString& text);

    void Tick();
    void Load();
    void Save();
    void show();
    void hide();
    void ShowAbout();
    void ShowInfo(ViewInfoType eInfo);
    void Quit();

    // The session ends (logout, SIGTERM): save whatever clients hold, then end.
    void sessionEnd();

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

    // Where Load and Save read and write: "auctions.xml" in the data folder.
    static QString stateFilePath();
    bool isHeartbeatRunning() const { return m_heartbeat.isActive(); }

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& Status);
    void ErrorMessage(const QString& sMessage);
    // After each beat of the heartbeat, for views that refresh with it.
    void Ticked();

private:
    void endProcess();
    QList<std::pair<QString, IXMLPersist*>> storedChildren() const;
    // Saves for the bid engine, which records outcomes and expiries by itself.
    void engineSave();

    DialogHost& m_dialogs;
    MessageBoxSink& m_messageBoxes;
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
    bool m_saveAfterLoad = false;
};
