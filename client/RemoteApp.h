#pragma once

#include "BusSnapshotRecord.h"
#include "RemoteAuctionRecord.h"
#include "RemoteEnums.h"

#include <QObject>
#include <QString>
#include <QVariantList>
#include <optional>

namespace Remote {

class Auctions;
class Backend;
class BidManager;
class Categorys;
class Clock;
class NetManager;
class Settings;
class Updaters;

// The main program's application object as a client sees it (App.Auctions, App.Categorys, ...): the
// replicas of its model, its state and status, and its commands. Filled when the backend binds, kept
// current by the program's reports, emptied when the binding is lost. A change of the categories can
// move auctions without a report of each (a rename, a removal that moves them): the new categories are
// taken together with the auctions fetched again, so that Categorys.Updated finds every auction under
// the category the program has it in.
class App : public QObject
{
    Q_OBJECT
public:
    explicit App(Backend& backend, QObject* parent = nullptr);
    ~App() override;

    Remote::Auctions& Auctions() const { return *m_auctions; }
    Remote::Categorys& Categorys() const { return *m_categorys; }
    Remote::Settings& Settings() const { return *m_settings; }
    Remote::Clock& Clock() const { return *m_clock; }
    Remote::BidManager& BidManager() const { return *m_bidManager; }
    Remote::Updaters& Updaters() const { return *m_updaters; }
    Remote::NetManager& NetManager() const { return *m_netManager; }

    // The main program's own state and status line.
    AppState State() const { return m_state; }
    QString Status() const { return m_status; }

    // The main window; an information page; the state file written now.
    void show();
    void ShowInfo(ViewInfoType eInfo);
    void Save();
    // The folder that holds the program's state file and saved bid pages, as the program tells it;
    // throws Error when the program does not answer.
    QString DataFolder();

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& Status);
    void ErrorMessage(const QString& sMessage);

private:
    void takeSnapshot(const Bus::SnapshotRecord& snapshot);
    void takeReport(const QString& object, const QString& name, const QVariantList& args);
    void takeAuctions(const QList<AuctionRecord>& records, qulonglong serial);
    // The categories reported and waiting for the auctions fetched after them.
    void takeDueCategorys();
    void clear();

    Backend& m_backend;
    Remote::Auctions* m_auctions;
    Remote::Categorys* m_categorys;
    Remote::Settings* m_settings;
    Remote::Clock* m_clock;
    Remote::BidManager* m_bidManager;
    Remote::Updaters* m_updaters;
    Remote::NetManager* m_netManager;
    AppState m_state = AppNoState;
    QString m_status;
    std::optional<QVariantList> m_dueCategorys;
};

} // namespace Remote
