#pragma once

#include "Auction.h"
#include "BrowserWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class Auctions;
class BidSender;
class BidSendersEvents;
class Settings;

// The running bid attempts, keyed by their auction's item number (keys compare without regard to case).
// A sender that reaches its final state is reported first and then removed; it is deleted later, since
// the removal happens inside its own handlers. An attempt belongs to its auction record: one whose record
// was deleted, replaced or changed before its bid was submitted gives way to a new one, and is never sent.
class BidSenders : public QObject
{
    Q_OBJECT
public:
    // `browsers` makes each attempt's hidden window; `save` writes the state file (cApp.Save).
    BidSenders(BrowserWindow::Factory browsers, const Settings& settings, std::function<void()> save,
               QObject* parent = nullptr);

    bool Paused = false;

    void Cancel();
    // Starts an attempt. Refused with error 11: a bid that breaks the bid rule, and a second attempt for the
    // same item while the first is not superseded (a superseded one ends first).
    BidSender* Prepare(const AuctionPtr& auction, bool bSendNow);
    // Sends the running attempt of this very record, or starts one that sends as soon as it can.
    BidSender* Send(const AuctionPtr& auction);
    QList<BidSender*> Items() const { return m_senders; }
    // The attempt under `sItem`; error 11 when there is none.
    BidSender* Item(const QString& sItem) const;
    qint32 Count() const { return qint32(m_senders.size()); }
    // Whether an attempt's item number equals `sItem` exactly, letter case included.
    bool Exists(const QString& sItem) const;
    void Remove(const QString& sItem);
    void Clear();

    // The collection whose current records the attempts' auctions must stay.
    void bindRecords(Auctions& records);
    // Each step's deadline for attempts started from now on; 0 is PrepareSeconds + 60 s.
    void setStepDeadline(int ms) { m_stepDeadlineMs = ms; }
    // The running attempt of this very record; null when there is none.
    BidSender* attemptOf(const Auction* auction) const;
    // Whether Prepare would start an attempt for `auction` now rather than refuse it as a second one.
    bool mayPrepare(const AuctionPtr& auction) const;
    // A record was changed or deleted: its attempt ends if that supersedes it.
    void recordChanged(const Auction* auction);
    // The program ends after its last save: every attempt stops where it is, and none starts.
    void halt();
    bool halted() const { return m_halted; }

Q_SIGNALS:
    void Updated();
    void StateChanged(qint32 State, BidSender* Sender);

private:
    void mEvents_StateChanged(qint32 State, BidSender* Sender);
    qsizetype indexOf(const QString& sItem) const;
    BidSender* running(const QString& sItem) const;

    BrowserWindow::Factory m_browsers;
    const Settings& m_settings;
    std::function<void()> m_save;
    BidSendersEvents* mEvents;
    QList<BidSender*> m_senders;
    QPointer<Auctions> m_records;
    int m_stepDeadlineMs = 0;
    bool m_halted = false;
};
