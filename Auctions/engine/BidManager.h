#pragma once

#include "Auction.h"
#include "BrowserWindow.h"
#include "IXMLPersist.h"
#include "OrvEnums.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <functional>

class Auctions;
class BidSender;
class BidSenders;
class Categorys;
class Clock;
class Settings;

// The bidding state machine, driven by the heartbeat. It keeps one overall state (green, yellow, red,
// bidding or paused) that the tray icon, the list and the connection watch follow, starts each auction's
// bid attempt when its send moment comes near and submits it at that moment, fails bids of auctions
// that ended unnoticed, and cancels a category's remaining bids once its win limit is met.
//
// Every time that decides a bid is a site time; only the throttle of the periodic evaluation reads the
// PC clock. An auction whose end time is unknown (the zero date) is never prepared or sent, nor taken
// for ended. A bid that breaks the bid rule (Auction::bidFault) is never prepared or sent: the evaluation
// marks it failed with the rule's sentence. Deleting or changing an auction ends its attempt unless the
// bid has been submitted.
class BidManager : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    // Seconds that must pass, by the PC clock in whole seconds, before the heartbeat evaluates again.
    static constexpr qint64 EvaluationSeconds = 5;

    // `browsers` makes the hidden window of each bid attempt; `save` writes the state file (cApp.Save).
    BidManager(BrowserWindow::Factory browsers, const Settings& settings, const Categorys& categorys,
               std::function<void()> save, QObject* parent = nullptr);

    // Binds the model, then fails the bids of auctions that have already ended.
    void Init(Auctions& oAuctions, Clock& oClock);
    // Evaluates the overall state now.
    void RefreshState();

    eBidderState State() const { return m_state; }
    // A change writes the state's status line, then raises StateChange; the same value does nothing.
    void setState(eBidderState value);
    // Raises StatusChange; the text is not kept.
    void setStatus(const QString& text);
    bool Paused() const { return m_state == eBidderPaused; }
    // Leaving the pause evaluates the state at once.
    void setPaused(bool value);

    // Submits the auction's bid now, preparing an attempt first when none runs. An auction without a
    // bid, with one that breaks the bid rule, or whose end time is not known, is refused with error 11.
    void SendBid(const AuctionPtr& auction);
    // Ends every running attempt that has not submitted its bid yet.
    void Cancel();
    // One heartbeat: the throttled evaluation, then, while red or bidding, the prepare and send rules.
    void Tick();
    // The program ends after its last save: no attempt takes another step and none starts, so that the
    // next start finds every bid as that save left it.
    void halt();

    // The pause survives a restart through "Paused".
    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void StatusChange(const QString& sStatus);
    void StateChange(int State);

private:
    void EvaluateState();
    eBidderState evaluatedState() const;
    void FailInvalidBids();
    void ExpireMissedBids();
    void ApplyCategoryWinLimit(BidSender* sender);
    void mAuctions_Updated();
    void mAuctions_AuctionChanged(Auction* auction);
    void mClock_Updated();
    void mBidSenders_StateChanged(qint32 State, BidSender* Sender);
    void save();

    const Settings& m_settings;
    const Categorys& m_categorys;
    std::function<void()> m_save;
    QPointer<Auctions> mAuctions;
    QPointer<Clock> mClock;
    BidSenders* mBidSenders;
    eBidderState m_state = eBidderGreen;
    QDateTime mLastEvaluation;
};
