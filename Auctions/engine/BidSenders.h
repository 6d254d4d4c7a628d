#pragma once

#include "Auction.h"
#include "BrowserWindow.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class BidSender;
class BidSendersEvents;
class Settings;

// The running bid attempts, keyed by their auction's item number (keys compare without regard to case).
// A sender that reaches its final state is reported first and then removed; it is deleted later, since
// the removal happens inside its own handlers.
class BidSenders : public QObject
{
    Q_OBJECT
public:
    // `browsers` makes each attempt's hidden window; `save` writes the state file (cApp.Save).
    BidSenders(BrowserWindow::Factory browsers, const Settings& settings, std::function<void()> save,
               QObject* parent = nullptr);

    bool Paused = false;

    void Cancel();
    // Starts an attempt; a second one for the same item is refused with error 11.
    BidSender* Prepare(const AuctionPtr& auction, bool bSendNow);
    // Sends the running attempt of the auction, or starts one that sends as soon as it can.
    BidSender* Send(const AuctionPtr& auction);
    QList<BidSender*> Items() const { return m_senders; }
    // The attempt under `sItem`; error 11 when there is none.
    BidSender* Item(const QString& sItem) const;
    qint32 Count() const { return qint32(m_senders.size()); }
    // Whether an attempt's item number equals `sItem` exactly, letter case included.
    bool Exists(const QString& sItem) const;
    void Remove(const QString& sItem);
    void Clear();

Q_SIGNALS:
    void Updated();
    void StateChanged(qint32 State, BidSender* Sender);

private:
    void mEvents_StateChanged(qint32 State, BidSender* Sender);
    qsizetype indexOf(const QString& sItem) const;

    BrowserWindow::Factory m_browsers;
    const Settings& m_settings;
    std::function<void()> m_save;
    BidSendersEvents* mEvents;
    QList<BidSender*> m_senders;
};
