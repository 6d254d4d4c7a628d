#pragma once

#include "Auction.h"
#include "OrvEnums.h"

#include <QList>
#include <QObject>
#include <QString>

class Settings;
class Updater;
class UpdatersEvents;

// The download queue: refreshes a batch of auctions from their item pages, running at most
// Settings.MaxAucUpdates downloads at once and starting the next waiting one, in queue order, whenever one
// ends. A new request cancels the batch under way.
class Updaters : public QObject
{
    Q_OBJECT
public:
    explicit Updaters(Settings& settings, QObject* parent = nullptr);
    ~Updaters() override;

    bool Paused = false;

    sfBusyState State() const { return m_state; }
    // Stores and announces a change only: the status text first, then StateChanged.
    void setState(sfBusyState value);
    void setStatus(const QString& sStatus) { Q_EMIT StatusChange(sStatus); }

    // A new batch of the one auction.
    void DownloadItem(const AuctionPtr& auction);
    // A new batch of the given auctions, in their order; an item number given twice is queued once.
    void DownloadItems(const QList<AuctionPtr>& auctions);
    // Drops the waiting updaters without a word and cancels the running ones.
    void Cancel();

    // The updater of an item number; error 5 when none is queued.
    Updater* Item(const QString& sItem) const;
    qsizetype Count() const { return m_queue.size(); }
    qsizetype Count2(sfRunState eState) const;
    // Takes the item's updater out of the queue (deleted later) and recomputes the state.
    void Remove(const QString& sItem);

Q_SIGNALS:
    void StatusChange(const QString& sStatus);
    void StateChanged(int State);
    void UpdaterChanged(int State, Updater* updater);

private:
    qsizetype indexOf(const QString& item) const;
    void startWaiting();
    void updaterStateChanged(int state, Updater* updater);
    void clearQueue();

    Settings& m_settings;
    UpdatersEvents* m_events;
    QList<Updater*> m_queue;
    qint32 m_limit = 1;
    sfBusyState m_state = sfNotBusy;
};
