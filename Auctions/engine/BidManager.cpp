#include "BidManager.h"

#include "Auctions.h"
#include "BidSender.h"
#include "BidSenders.h"
#include "Categorys.h"
#include "Clock.h"
#include "DateTimes.h"
#include "EngineLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TextForms.h"
#include "TimeSource.h"
#include "XMLManager.h"

#include <QSet>

namespace {

const QString errorSource = QStringLiteral("BidManager");

const QString noBidText = QStringLiteral(
    "This auction does not have a bid set.  You need to edit the auction and update the bidding details "
    "first.");
const QString unknownEndText = QStringLiteral(
    "The end time of this auction is not known yet.  Update the auction before sending a bid.");
const QString endedText = QStringLiteral("Auction ended while program was not running.");
const QString winLimitText = QStringLiteral("Bid cancelled because Category win limit met.");

// The end time is not known: the item page gave none that reads.
bool endUnknown(const Auction& auction)
{
    return DateTimes::isZero(auction.EndTime);
}

qint64 secondsLeft(const Auction& auction, const QDateTime& siteNow)
{
    return DateTimes::secondsBetween(siteNow, auction.EndTime);
}

// Seconds until the moment at which the bid must be submitted.
qint64 sendMargin(const Auction& auction, const QDateTime& siteNow)
{
    return secondsLeft(auction, siteNow) - auction.SnipeSeconds;
}

} // namespace

BidManager::BidManager(BrowserWindow::Factory browsers, const Settings& settings, const Categorys& categorys,
                       std::function<void()> save, QObject* parent)
    : QObject(parent), m_settings(settings), m_categorys(categorys), m_save(std::move(save)),
      mBidSenders(new BidSenders(std::move(browsers), settings, m_save, this)),
      mLastEvaluation(DateTimes::zero())
{
    connect(mBidSenders, &BidSenders::StateChanged, this, &BidManager::mBidSenders_StateChanged);
}

void BidManager::Init(Auctions& oAuctions, Clock& oClock)
{
    mClock = &oClock;
    connect(mClock, &Clock::Updated, this, &BidManager::mClock_Updated);
    mAuctions = &oAuctions;
    connect(mAuctions, &Auctions::Updated, this, &BidManager::mAuctions_Updated);
    connect(mAuctions, &Auctions::AuctionChanged, this, &BidManager::mAuctions_AuctionChanged);
    mBidSenders->bindRecords(oAuctions);
    resumeNext(lcBid, [&] { ExpireMissedBids(); });
}

void BidManager::RefreshState()
{
    resumeNext(lcBid, [&] { EvaluateState(); });
}

void BidManager::setState(eBidderState value)
{
    if (value == m_state)
        return;
    m_state = value;
    switch (value) {
    case eBidderGreen:
        setStatus(QStringLiteral("No bids to watch.  Ready for new Auctions."));
        break;
    case eBidderYellow:
        setStatus(QStringLiteral("Watching auction(s) with scheduled bids."));
        break;
    case eBidderRed:
        setStatus(QStringLiteral("Auction(s) near completion.  Preparing to Bid."));
        break;
    case eBidderBidding:
        setStatus(QStringLiteral("Bidding state activated."));
        break;
    case eBidderPaused:
        setStatus(QStringLiteral("Bid-Manager Paused"));
        break;
    }
    Q_EMIT StateChange(value);
}

void BidManager::setPaused(bool value)
{
    if (value) {
        setState(eBidderPaused);
        return;
    }
    if (!Paused())
        return;
    // The state the evaluation finds, straight away: no passing green, and no wait for the throttle.
    eBidderState state = eBidderGreen;
    resumeNext(lcBid, [&] { state = evaluatedState(); });
    setState(state);
}

void BidManager::setStatus(const QString& text)
{
    Q_EMIT StatusChange(text);
}

void BidManager::SendBid(const AuctionPtr& auction)
{
    if (!auction || auction->SnipeBid <= 0)
        throw OrvError::refused(errorSource, noBidText);
    if (const QString fault = auction->bidFault(); !fault.isEmpty())
        throw OrvError::refused(errorSource, fault);
    // A bid is never sent for an auction whose item page has not been read.
    if (endUnknown(*auction))
        throw OrvError::refused(errorSource, unknownEndText);
    mBidSenders->Send(auction);
    EvaluateState();
}

void BidManager::Cancel()
{
    resumeNext(lcBid, [&] { mBidSenders->Cancel(); });
    setStatus(QStringLiteral("Bids Cancelled."));
}

void BidManager::Tick()
{
    const QDateTime now = TimeSource::current().localNow();
    if (qAbs(DateTimes::secondsBetween(mLastEvaluation, now)) > EvaluationSeconds) {
        mLastEvaluation = now;
        EvaluateState();
    }
    if (m_state != eBidderRed && m_state != eBidderBidding)
        return;
    if (!mAuctions || !mClock || mBidSenders->halted())
        return;
    const QDateTime siteNow = mClock->Time();
    for (const AuctionPtr& auction : mAuctions->Items()) {
        // One auction's failure must not keep the later ones from their send moments.
        resumeNext(lcBid, [&] {
            if (auction->SnipeState != OR2BidSet && auction->SnipeState != OR2BidPrepared)
                return;
            if (endUnknown(*auction) || !auction->bidFault().isEmpty())
                return;
            if (auction->SnipeState == OR2BidSet) {
                // An attempt of an earlier record of the item that cannot give way goes on by itself.
                if (sendMargin(*auction, siteNow) <= m_settings.PrepareSeconds &&
                    mBidSenders->mayPrepare(auction))
                    mBidSenders->Prepare(auction, false);
            } else if (auction->SnipeState == OR2BidPrepared) {
                if (sendMargin(*auction, siteNow) <= 0)
                    mBidSenders->Send(auction);
            }
        });
    }
}

void BidManager::halt()
{
    mBidSenders->halt();
}

void BidManager::EvaluateState()
{
    if (Paused())
        return;
    resumeNext(lcBid, [&] { FailInvalidBids(); });
    setState(evaluatedState());
}

eBidderState BidManager::evaluatedState() const
{
    if (mBidSenders->Count() >= 1)
        return eBidderBidding;
    if (!mAuctions || !mClock)
        return eBidderGreen;
    const QDateTime siteNow = mClock->Time();
    const qint64 redSecs = qint64(m_settings.RedMinutes) * 60;
    eBidderState newState = eBidderGreen;
    for (const AuctionPtr& auction : mAuctions->Items()) {
        if (!auction->IsBidding())
            continue;
        newState = eBidderYellow;
        // Without a known end time the send moment is not known either: watched, never near.
        if (!endUnknown(*auction) && sendMargin(*auction, siteNow) < redSecs)
            return eBidderRed;
    }
    return newState;
}

void BidManager::FailInvalidBids()
{
    if (!mAuctions)
        return;
    bool changed = false;
    for (const AuctionPtr& auction : mAuctions->Items()) {
        resumeNext(lcBid, [&] {
            // A running attempt started from sound values; a change to them ends it by itself.
            if (!auction->IsBidding() || mBidSenders->attemptOf(auction.data()))
                return;
            const QString fault = auction->bidFault();
            if (fault.isEmpty())
                return;
            auction->SysComments = fault;
            auction->SnipeState = OR2BidFailed;
            changed = true;
            auction->Changed();
        });
    }
    if (changed)
        save();
}

void BidManager::ExpireMissedBids()
{
    if (!mAuctions || !mClock)
        return;
    QDateTime siteNow;
    resumeNext(lcBid, [&] { siteNow = mClock->Time(); });
    bool changed = false;
    for (const AuctionPtr& auction : mAuctions->Items()) {
        resumeNext(lcBid, [&] {
            // An attempt under way ends by itself, with the site's own answer.
            if (!auction->IsBidding() || endUnknown(*auction) || secondsLeft(*auction, siteNow) > 0 ||
                mBidSenders->attemptOf(auction.data()))
                return;
            auction->SysComments = endedText;
            auction->SnipeState = OR2BidFailed;
            changed = true;
            auction->Changed();
        });
    }
    // A restart must not find these bids scheduled again.
    if (changed)
        save();
}

void BidManager::ApplyCategoryWinLimit(BidSender* sender)
{
    const AuctionPtr won = sender->Auction;
    // By exact name, as Contains counts the wins: the collection's own lookup ignores letter case.
    CategoryPtr category;
    for (const CategoryPtr& candidate : m_categorys.Items()) {
        if (candidate->Contains(*won)) {
            category = candidate;
            break;
        }
    }
    if (!category || !category->Limited)
        return;
    if (!mAuctions)
        return;
    const QList<AuctionPtr> auctions = mAuctions->Items();
    qint32 wins = 0;
    for (const AuctionPtr& auction : auctions) {
        if (auction->SnipeState == OR2BidSuccess && category->Contains(*auction))
            ++wins;
    }
    if (wins < category->MaxWins)
        return;
    QSet<const Auction*> cancelled;
    for (const AuctionPtr& auction : auctions) {
        resumeNext(lcBid, [&] {
            // A bid already submitted cannot be taken back: the site's answer is recorded as it comes.
            if (!category->Contains(*auction) || !auction->IsBidding() ||
                auction->SnipeState == OR2BidSending)
                return;
            auction->SysComments = winLimitText;
            auction->SnipeState = OR2BidCancelled;
            cancelled.insert(auction.data());
            auction->Changed();
        });
    }
    if (cancelled.isEmpty())
        return;
    // Their attempts end here without submitting; each one leaves the cancellation as it stands.
    for (BidSender* running : mBidSenders->Items()) {
        if (running != sender && cancelled.contains(running->Auction.data()))
            resumeNext(lcBid, [&] { running->Cancel(); });
    }
    save();
}

void BidManager::mAuctions_Updated()
{
    resumeNext(lcBid, [&] { ExpireMissedBids(); });
}

void BidManager::mAuctions_AuctionChanged(Auction* auction)
{
    resumeNext(lcBid, [&] { mBidSenders->recordChanged(auction); });
}

void BidManager::mClock_Updated()
{
    resumeNext(lcBid, [&] { ExpireMissedBids(); });
}

void BidManager::mBidSenders_StateChanged(qint32 State, BidSender* Sender)
{
    QString item;
    resumeNext(lcBid, [&] { item = Sender->Auction->Item; });
    switch (State) {
    case BidSender::SignInRequested:
    case BidSender::SignInSubmitted:
        setStatus(QStringLiteral("Logging in user ") + m_settings.Username + QStringLiteral("..."));
        break;
    case BidSender::BidPageRequested:
        setStatus(QStringLiteral("Preparing bid for auction ") + item + QStringLiteral("..."));
        break;
    case BidSender::Holding:
        setStatus(QStringLiteral("Auction ") + item + QStringLiteral(" prepared.  Holding bid..."));
        break;
    case BidSender::BidSubmitted:
        setStatus(QStringLiteral("Sending bid for auction ") + item + QStringLiteral("..."));
        break;
    case BidSender::Succeeded:
        resumeNext(lcBid, [&] { ApplyCategoryWinLimit(Sender); });
        setStatus(QStringLiteral("Auction ") + item +
                  QStringLiteral(" successfully submitted and confirmed."));
        break;
    case BidSender::Failed:
        setStatus(QStringLiteral("Could not send bid for auction ") + item +
                  QStringLiteral(".  See auction details."));
        break;
    default:
        break;
    }
}

void BidManager::save()
{
    if (m_save)
        resumeNext(lcBid, [&] { m_save(); });
}

void BidManager::Load(XMLManager& loader)
{
    // A value that is not a flag leaves the state as it is.
    resumeNext(lcBid, [&] {
        if (const auto paused =
                TextForms::readFlag(loader.ReadProperty(QStringLiteral("Paused"), QStringLiteral("False"))))
            setPaused(*paused);
    });
}

void BidManager::Save(XMLManager& loader)
{
    resumeNext(lcBid, [&] { loader.WriteProperty(QStringLiteral("Paused"), TextForms::flag(Paused())); });
}
