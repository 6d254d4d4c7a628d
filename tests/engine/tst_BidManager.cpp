#include "Auctions.h"
#include "BidManager.h"
#include "BidSender.h"
#include "Categorys.h"
#include "CaughtError.h"
#include "Clock.h"
#include "DateTimes.h"
#include "EnumName.h"
#include "FakeTimeSource.h"
#include "OrvError.h"
#include "ScriptedBrowser.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "XMLManager.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QUrlQuery>
#include <cmath>
#include <limits>

namespace {

const QString endedText = QStringLiteral("Auction ended while program was not running.");
const QString winLimitText = QStringLiteral("Bid cancelled because Category win limit met.");
const QString noBidText =
    QStringLiteral("This auction does not have a bid set.  You need to edit the auction "
                   "and update the bidding details first.");
const QString unknownEndText = QStringLiteral(
    "The end time of this auction is not known yet.  Update the auction before sending a bid.");
const QString greenText = QStringLiteral("No bids to watch.  Ready for new Auctions.");
const QString yellowText = QStringLiteral("Watching auction(s) with scheduled bids.");
const QString redText = QStringLiteral("Auction(s) near completion.  Preparing to Bid.");
const QString biddingText = QStringLiteral("Bidding state activated.");
const QString pausedText = QStringLiteral("Bid-Manager Paused");
const QString highBidderText = QStringLiteral("You are the current high bidder");

const QHash<QString, QStringList> signInForms{
    {QStringLiteral("SignInForm"),
     {QStringLiteral("userid"), QStringLiteral("pass"), QStringLiteral("keepMeSignInOption")}}};
const QHash<QString, QStringList> reviewForms{{QStringLiteral("PlaceBid"), {QStringLiteral("item")}}};

// A bid manager over a small model, with the PC clock at 2026-03-01 12:00:00 in the site's zone (the site
// clock reads the same), scripted browser windows, and a log of what it reports.
struct Manager
{
    FakeTimeSource pc{DateTimes::naive(2026, 3, 1, 12, 0), 480};
    TestDataFolder data;
    Settings settings;
    Categorys categorys;
    Clock siteClock;
    Auctions auctions;
    ScriptedBrowsers browsers;
    int saves = 0;
    BidManager manager{browsers.factory(), settings, categorys, [this] { ++saves; }};
    QStringList log; // "status <text>" and "state <name>" in the order raised
    QList<Auction*> changed;

    Manager()
    {
        settings.Username = QStringLiteral("bob");
        settings.Password = QStringLiteral("pw");
        settings.RedMinutes = 1;
        settings.PrepareSeconds = 60;
        auctions.Init(siteClock);
        categorys.Add(QStringLiteral("Default"), false, 0);
        QObject::connect(&manager, &BidManager::StatusChange, &manager,
                         [this](const QString& text) { log << QStringLiteral("status ") + text; });
        QObject::connect(&manager, &BidManager::StateChange, &manager, [this](int state) {
            log << QStringLiteral("state ") + enumName<eBidderState>(state);
        });
        QObject::connect(&auctions, &Auctions::AuctionChanged, &auctions,
                         [this](Auction* auction) { changed << auction; });
    }

    void init() { manager.Init(auctions, siteClock); }

    // An auction ending `secondsLeft` from now by the site clock, with a bid sent `snipeSeconds` before.
    AuctionPtr bid(const QString& item, qint64 secondsLeft, qint32 snipeSeconds = 10,
                   AucSnipeStates state = OR2BidSet, const QString& category = QStringLiteral("Default"))
    {
        AuctionPtr auction = auctions.Add(item, category);
        auction->EndTime = siteClock.Time().addSecs(secondsLeft);
        auction->SnipeBid = 25;
        auction->SnipeSeconds = snipeSeconds;
        auction->SnipeState = state;
        return auction;
    }

    void advance(qint64 seconds) { pc.advanceSeconds(seconds); }
    // Heartbeats one second apart, `count` of them.
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) {
            advance(1);
            manager.Tick();
        }
    }
    QStringList statuses() const
    {
        QStringList texts;
        for (const QString& entry : log) {
            if (entry.startsWith(QLatin1String("status ")))
                texts << entry.mid(7);
        }
        return texts;
    }
    qsizetype windowCount() const { return browsers.windows.size(); }
};

// Takes an attempt's window through sign-in to the site's review step.
void toReview(ScriptedBrowser& window, const Auction& auction)
{
    window.complete(BidSender::signInUrl().toString(), QStringLiteral("Sign In"),
                    QStringLiteral("eBay User ID"), signInForms);
    window.complete(BidSender::signInUrl().toString(), QStringLiteral("My eBay"), QStringLiteral("My eBay"));
    window.complete(BidSender::bidUrl(auction).toString(), QStringLiteral("Review"),
                    QStringLiteral("Review and Confirm Bid"), reviewForms);
}

void answer(ScriptedBrowser& window, const Auction& auction, const QString& body)
{
    window.complete(BidSender::bidUrl(auction).toString(), QStringLiteral("Bid"), body);
}

bool submitted(const ScriptedBrowser* window)
{
    return window && window->log.contains(QStringLiteral("submit PlaceBid"));
}

// The maximum bid of each submitted bid, as the bid page's address carried it, in the windows' order.
QStringList submittedAmounts(const ScriptedBrowsers& browsers)
{
    QStringList amounts;
    for (const QPointer<ScriptedBrowser>& window : browsers.windows) {
        if (!submitted(window))
            continue;
        for (const QUrl& url : window->navigations) {
            const QUrlQuery query(url);
            if (query.hasQueryItem(QStringLiteral("maxbid")))
                amounts << query.queryItemValue(QStringLiteral("maxbid"));
        }
    }
    return amounts;
}

} // namespace

class tst_BidManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stateSetter_data();
    void stateSetter();
    void evaluateState_data();
    void evaluateState();
    void prepareAndSendMoments_data();
    void prepareAndSendMoments();
    void evaluationThrottle_data();
    void evaluationThrottle();
    void expireMissedBids_data();
    void expireMissedBids();
    void unknownEndTimeIsNeverBid();
    void oneAuctionsErrorSparesTheOthers_data();
    void oneAuctionsErrorSparesTheOthers();
    void senderStatusLines_data();
    void senderStatusLines();
    void sendBidWithoutBidIsRefused_data();
    void sendBidWithoutBidIsRefused();
    void sendBidSubmitsAtTheReviewStep();
    void cancelEndsTheAttempts();
    void winLimit_data();
    void winLimit();
    void pauseHoldsEverything();
    void winLimitFindsItsCategoryByExactName();
    void leavingThePauseEvaluatesAtOnce_data();
    void leavingThePauseEvaluatesAtOnce();
    void auctionChangedWhileItsAttemptRuns_data();
    void auctionChangedWhileItsAttemptRuns();
    void runningAttemptIsNotExpired();
    void invalidBidsAreNeverSent_data();
    void invalidBidsAreNeverSent();
    void haltedAttemptsTakeNoFurtherStep();
};

void tst_BidManager::stateSetter_data()
{
    QTest::addColumn<eBidderState>("state");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("yellow") << eBidderYellow << QStringList{"status " + yellowText, "state eBidderYellow"};
    QTest::newRow("red") << eBidderRed << QStringList{"status " + redText, "state eBidderRed"};
    QTest::newRow("bidding") << eBidderBidding
                             << QStringList{"status " + biddingText, "state eBidderBidding"};
    QTest::newRow("paused") << eBidderPaused << QStringList{"status " + pausedText, "state eBidderPaused"};
    QTest::newRow("1, no text") << eBidderState(1) << QStringList{"state 1"};
}

void tst_BidManager::stateSetter()
{
    QFETCH(eBidderState, state);
    QFETCH(QStringList, log);
    Manager m;
    m.manager.setState(state);
    QCOMPARE(m.log, log);
    m.manager.setState(state);
    QCOMPARE(m.log, log);
    m.manager.setState(eBidderGreen);
    QCOMPARE(m.log, (log + QStringList{"status " + greenText, "state eBidderGreen"}));
}

void tst_BidManager::evaluateState_data()
{
    // One auction: seconds left by the site clock, its snipe seconds and state.
    QTest::addColumn<bool>("endKnown");
    QTest::addColumn<qint64>("secondsLeft");
    QTest::addColumn<int>("snipeSeconds");
    QTest::addColumn<AucSnipeStates>("snipeState");
    QTest::addColumn<eBidderState>("expected");

    QTest::newRow("send margin 59 of 60: red") << true << qint64(69) << 10 << OR2BidSet << eBidderRed;
    QTest::newRow("send margin 60 of 60: yellow") << true << qint64(70) << 10 << OR2BidSet << eBidderYellow;
    QTest::newRow("preparing, far") << true << qint64(3600) << 10 << OR2BidPreparing << eBidderYellow;
    QTest::newRow("prepared, near") << true << qint64(30) << 10 << OR2BidPrepared << eBidderRed;
    QTest::newRow("sending, ended") << true << qint64(-5) << 10 << OR2BidSending << eBidderRed;
    QTest::newRow("watching, near") << true << qint64(30) << 10 << OR2Watching << eBidderGreen;
    QTest::newRow("failed") << true << qint64(30) << 10 << OR2BidFailed << eBidderGreen;
    QTest::newRow("won") << true << qint64(30) << 10 << OR2BidSuccess << eBidderGreen;
    QTest::newRow("cancelled") << true << qint64(30) << 10 << OR2BidCancelled << eBidderGreen;
    QTest::newRow("end time unknown") << false << qint64(0) << 10 << OR2BidSet << eBidderYellow;
}

void tst_BidManager::evaluateState()
{
    QFETCH(bool, endKnown);
    QFETCH(qint64, secondsLeft);
    QFETCH(int, snipeSeconds);
    QFETCH(AucSnipeStates, snipeState);
    QFETCH(eBidderState, expected);
    Manager m;
    m.init();
    m.manager.setState(eBidderYellow);
    // A watched auction before it must not hide it.
    m.bid(QStringLiteral("1"), 30, 10, OR2Watching);
    const AuctionPtr auction = m.bid(QStringLiteral("2"), secondsLeft, snipeSeconds, snipeState);
    if (!endKnown)
        auction->EndTime = DateTimes::zero();

    m.manager.RefreshState();
    QCOMPARE(m.manager.State(), expected);
    QCOMPARE(m.windowCount(), 0);
}

void tst_BidManager::prepareAndSendMoments_data()
{
    QTest::addColumn<int>("redMinutes");
    QTest::addColumn<int>("prepareSeconds");
    QTest::addColumn<int>("preparedAt"); // send margin of the heartbeat that prepared
    QTest::addColumn<int>("sentAt");     // and of the one that submitted

    QTest::newRow("red at once, prepare window inclusive") << 2 << 60 << 60 << 0;
    // Red is noticed by the evaluation every 6 seconds from margin 90: 90, 84, ... 60 (not below 60), 54.
    QTest::newRow("preparing waits for red") << 1 << 300 << 54 << 0;
    QTest::newRow("prepared at the send moment, sent a heartbeat later") << 1 << 0 << 0 << -1;
}

void tst_BidManager::prepareAndSendMoments()
{
    QFETCH(int, redMinutes);
    QFETCH(int, prepareSeconds);
    QFETCH(int, preparedAt);
    QFETCH(int, sentAt);
    Manager m;
    m.settings.RedMinutes = redMinutes;
    m.settings.PrepareSeconds = prepareSeconds;
    m.init();
    const AuctionPtr auction = m.bid(QStringLiteral("123"), 100, 10);

    std::optional<int> prepared;
    std::optional<int> sent;
    for (int margin = 90; margin >= -3; --margin) {
        m.manager.Tick();
        if (!prepared && m.windowCount() == 1) {
            prepared = margin;
            toReview(*m.browsers.last(), *auction);
            QCOMPARE(auction->SnipeState, OR2BidPrepared);
        }
        if (!sent && submitted(m.browsers.last()))
            sent = margin;
        m.advance(1);
    }
    QCOMPARE(prepared, std::optional<int>(preparedAt));
    QCOMPARE(sent, std::optional<int>(sentAt));
    QCOMPARE(m.windowCount(), 1);
    QCOMPARE(auction->SnipeState, OR2BidSending);
}

void tst_BidManager::evaluationThrottle_data()
{
    QTest::addColumn<int>("afterMs"); // PC time of the second heartbeat after the first one
    QTest::addColumn<bool>("evaluates");

    // The first heartbeat is at 12:00:00.900; whole seconds count.
    QTest::newRow("5 s later") << 5000 << false;
    QTest::newRow("5.099 s later, still 12:00:05") << 5099 << false;
    QTest::newRow("5.1 s later, 12:00:06") << 5100 << true;
    QTest::newRow("clock set back 5 s") << -5000 << false;
    QTest::newRow("clock set back 6 s") << -6000 << true;
}

void tst_BidManager::evaluationThrottle()
{
    QFETCH(int, afterMs);
    QFETCH(bool, evaluates);
    Manager m;
    m.settings.PrepareSeconds = 0;
    m.init();
    const QDateTime first = DateTimes::naive(2026, 3, 1, 12, 0, 0).addMSecs(900);
    m.pc.setLocalNow(first);
    m.manager.Tick();
    QCOMPARE(m.manager.State(), eBidderGreen);

    m.bid(QStringLiteral("123"), 30);
    m.pc.setLocalNow(first.addMSecs(afterMs));
    m.manager.Tick();
    QCOMPARE(m.manager.State(), evaluates ? eBidderRed : eBidderGreen);
}

void tst_BidManager::expireMissedBids_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<AucSnipeStates>("snipeState");
    QTest::addColumn<bool>("endKnown");
    QTest::addColumn<qint64>("secondsLeft");
    QTest::addColumn<bool>("expires");

    for (const char* t : {"init", "clock"}) {
        const QString trigger = QString::fromLatin1(t);
        QTest::addRow("%s: bid set, ends now", t) << trigger << OR2BidSet << true << qint64(0) << true;
        QTest::addRow("%s: bid set, ends in 1 s", t) << trigger << OR2BidSet << true << qint64(1) << false;
        QTest::addRow("%s: prepared, ended half an hour ago", t)
            << trigger << OR2BidPrepared << true << qint64(-1800) << true;
        QTest::addRow("%s: sending, ended", t) << trigger << OR2BidSending << true << qint64(-2) << true;
        QTest::addRow("%s: watching, ended", t) << trigger << OR2Watching << true << qint64(-2) << false;
        QTest::addRow("%s: won, ended", t) << trigger << OR2BidSuccess << true << qint64(-2) << false;
        QTest::addRow("%s: bid set, end time unknown", t)
            << trigger << OR2BidSet << false << qint64(0) << false;
    }
}

void tst_BidManager::expireMissedBids()
{
    QFETCH(QString, trigger);
    QFETCH(AucSnipeStates, snipeState);
    QFETCH(bool, endKnown);
    QFETCH(qint64, secondsLeft);
    QFETCH(bool, expires);
    Manager m;
    const bool byClock = trigger == QLatin1String("clock");
    // Through the clock: the auction ends an hour later, and a synchronisation moves the site an hour on.
    const AuctionPtr auction =
        m.bid(QStringLiteral("123"), secondsLeft + (byClock ? 3600 : 0), 10, snipeState);
    if (!endKnown)
        auction->EndTime = DateTimes::zero();
    m.changed.clear();
    m.init();
    if (byClock) {
        QCOMPARE(auction->SnipeState, snipeState);
        m.siteClock.setVariance(3600);
    }

    QCOMPARE(auction->SnipeState, expires ? OR2BidFailed : snipeState);
    QCOMPARE(auction->SysComments, expires ? endedText : QString());
    QCOMPARE(m.changed.size(), expires ? 1 : 0);
    QCOMPARE(m.saves, expires ? 1 : 0);
    // The state is left to the next evaluation.
    QVERIFY(m.log.isEmpty());
}

void tst_BidManager::unknownEndTimeIsNeverBid()
{
    Manager m;
    m.init();
    const AuctionPtr unknownSet = m.bid(QStringLiteral("1"), 0, 10, OR2BidSet);
    const AuctionPtr unknownPrepared = m.bid(QStringLiteral("2"), 0, 10, OR2BidPrepared);
    unknownSet->EndTime = DateTimes::zero();
    unknownPrepared->EndTime = DateTimes::zero();
    const AuctionPtr near = m.bid(QStringLiteral("3"), 30);

    m.ticks(3);
    m.siteClock.setVariance(600);
    m.ticks(3);
    QCOMPARE(m.windowCount(), 1);
    QCOMPARE(near->SnipeState, OR2BidPreparing); // its attempt runs on after the clock's move
    QCOMPARE(unknownSet->SnipeState, OR2BidSet);
    QCOMPARE(unknownPrepared->SnipeState, OR2BidPrepared);
    QVERIFY(unknownSet->SysComments.isEmpty() && unknownPrepared->SysComments.isEmpty());
}

void tst_BidManager::oneAuctionsErrorSparesTheOthers_data()
{
    QTest::addColumn<QString>("readded");
    QTest::newRow("same item added again") << "abc";
    QTest::newRow("same item in other letter case") << "ABC";
}

void tst_BidManager::oneAuctionsErrorSparesTheOthers()
{
    QFETCH(QString, readded);
    Manager m;
    m.init();
    const AuctionPtr first = m.bid(QStringLiteral("abc"), 30);
    m.ticks(1);
    QCOMPARE(m.windowCount(), 1);
    toReview(*m.browsers.last(), *first);
    m.manager.SendBid(first);
    QVERIFY(submitted(m.browsers.last()));
    // The submitted attempt goes on for the removed record; the new record cannot have a second one yet.
    m.auctions.Remove(QStringLiteral("abc"));
    const AuctionPtr again = m.bid(readded, 30);
    const AuctionPtr later = m.bid(QStringLiteral("xyz"), 30);

    m.ticks(2);
    QCOMPARE(m.windowCount(), 2);
    QCOMPARE(later->SnipeState, OR2BidPreparing);
    QCOMPARE(again->SnipeState, OR2BidSet);
    QCOMPARE(first->SnipeState, OR2BidSending);
}

void tst_BidManager::senderStatusLines_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("finalStatus");
    QTest::addColumn<AucSnipeStates>("snipeState");

    QTest::newRow("won") << "You are the current high bidder"
                         << "Auction 123 successfully submitted and confirmed." << OR2BidSuccess;
    QTest::newRow("outbid") << "You have been outbid"
                            << "Could not send bid for auction 123.  See auction details." << OR2BidFailed;
}

void tst_BidManager::senderStatusLines()
{
    QFETCH(QString, answer);
    QFETCH(QString, finalStatus);
    QFETCH(AucSnipeStates, snipeState);
    Manager m;
    m.init();
    const AuctionPtr auction = m.bid(QStringLiteral("123"), 30, 10);
    m.manager.Tick();
    toReview(*m.browsers.last(), *auction);
    m.ticks(20);
    QVERIFY(submitted(m.browsers.last()));
    ::answer(*m.browsers.last(), *auction, answer);

    QCOMPARE(m.statuses(),
             QStringList({redText, "Logging in user bob...", "Logging in user bob...",
                          "Preparing bid for auction 123...", "Auction 123 prepared.  Holding bid...",
                          biddingText, "Sending bid for auction 123...", finalStatus}));
    QCOMPARE(auction->SnipeState, snipeState);
    // The state follows at the next evaluation, not at the attempt's end.
    QCOMPARE(m.manager.State(), eBidderBidding);
    m.ticks(6);
    QCOMPARE(m.manager.State(), eBidderGreen);
}

void tst_BidManager::sendBidWithoutBidIsRefused_data()
{
    QTest::addColumn<double>("snipeBid");
    QTest::addColumn<bool>("endKnown");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0.0 << true << noBidText;
    QTest::newRow("negative") << -1.0 << true << noBidText;
    QTest::newRow("end time unknown") << 10.0 << false << unknownEndText;
}

void tst_BidManager::sendBidWithoutBidIsRefused()
{
    QFETCH(double, snipeBid);
    QFETCH(bool, endKnown);
    QFETCH(QString, text);
    Manager m;
    m.init();
    const AuctionPtr auction = m.bid(QStringLiteral("123"), 3600, 10, OR2Watching);
    auction->SnipeBid = snipeBid;
    if (!endKnown)
        auction->EndTime = DateTimes::zero();
    QCOMPARE(refusal([&] { m.manager.SendBid(auction); }), text);
    QCOMPARE(m.windowCount(), 0);
    QCOMPARE(auction->SnipeState, OR2Watching);
    QVERIFY(m.log.isEmpty());
}

void tst_BidManager::sendBidSubmitsAtTheReviewStep()
{
    Manager m;
    m.init();
    // Only watched, and far from its end: sending now waits for neither.
    const AuctionPtr auction = m.bid(QStringLiteral("123"), 3600, 10, OR2Watching);
    m.manager.SendBid(auction);
    QCOMPARE(m.windowCount(), 1);
    QCOMPARE(auction->SnipeState, OR2BidPreparing);
    QCOMPARE(m.manager.State(), eBidderBidding);

    toReview(*m.browsers.last(), *auction);
    QVERIFY(submitted(m.browsers.last()));
    QCOMPARE(auction->SnipeState, OR2BidSending);
}

void tst_BidManager::cancelEndsTheAttempts()
{
    Manager m;
    m.init();
    const AuctionPtr a = m.bid(QStringLiteral("1"), 40);
    const AuctionPtr b = m.bid(QStringLiteral("2"), 50);
    m.ticks(1);
    QCOMPARE(m.windowCount(), 2);
    toReview(*m.browsers.windows.at(0), *a);

    const eBidderState before = m.manager.State();
    m.manager.Cancel();
    for (const AuctionPtr& auction : {a, b}) {
        QCOMPARE(auction->SnipeState, OR2BidFailed);
        QCOMPARE(auction->SysComments, QStringLiteral("Bid cancelled by user."));
    }
    QCOMPARE(m.statuses().last(), QStringLiteral("Bids Cancelled."));
    // The state is left to the next evaluation.
    QCOMPARE(m.manager.State(), before);
    m.ticks(30);
    QVERIFY(!submitted(m.browsers.windows.at(0)));
    QCOMPARE(m.windowCount(), 2);
    QCOMPARE(m.manager.State(), eBidderGreen);
}

void tst_BidManager::winLimit_data()
{
    QTest::addColumn<bool>("limited");
    QTest::addColumn<int>("maxWins");
    QTest::addColumn<bool>("cancels");

    QTest::newRow("limit 2, one earlier win") << true << 2 << true;
    QTest::newRow("limit 3, one earlier win") << true << 3 << false;
    QTest::newRow("not limited") << false << 2 << false;
}

void tst_BidManager::winLimit()
{
    QFETCH(bool, limited);
    QFETCH(int, maxWins);
    QFETCH(bool, cancels);
    Manager m;
    m.categorys.Add(QStringLiteral("Lamps"), limited, maxWins);
    m.categorys.Add(QStringLiteral("Other"), false, 0);
    m.init();
    const QString lamps = QStringLiteral("Lamps");
    m.bid(QStringLiteral("10"), -600, 10, OR2BidSuccess, lamps);
    const AuctionPtr winning = m.bid(QStringLiteral("11"), 30, 10, OR2BidSet, lamps);
    const AuctionPtr holding = m.bid(QStringLiteral("12"), 50, 10, OR2BidSet, lamps);
    const AuctionPtr sentAlongside = m.bid(QStringLiteral("16"), 30, 10, OR2BidSet, lamps);
    const AuctionPtr waiting = m.bid(QStringLiteral("13"), 3600, 10, OR2BidSet, lamps);
    const AuctionPtr otherCategory =
        m.bid(QStringLiteral("14"), 3600, 10, OR2BidSet, QStringLiteral("Other"));
    const AuctionPtr otherCase = m.bid(QStringLiteral("15"), 3600, 10, OR2BidSet, QStringLiteral("LAMPS"));

    m.ticks(1);
    QCOMPARE(m.windowCount(), 3);
    ScriptedBrowser* winningWindow = m.browsers.windows.at(0);
    QPointer<ScriptedBrowser> holdingWindow = m.browsers.windows.at(1);
    ScriptedBrowser* alongsideWindow = m.browsers.windows.at(2);
    toReview(*winningWindow, *winning);
    toReview(*holdingWindow, *holding);
    toReview(*alongsideWindow, *sentAlongside);
    m.ticks(20);
    QVERIFY(submitted(winningWindow) && submitted(alongsideWindow));
    const int savesBefore = m.saves;
    answer(*winningWindow, *winning, QStringLiteral("You are the current high bidder"));
    QCOMPARE(winning->SnipeState, OR2BidSuccess);

    for (const AuctionPtr& auction : {holding, waiting}) {
        QCOMPARE(auction->SnipeState, cancels              ? OR2BidCancelled
                                      : auction == holding ? OR2BidPrepared
                                                           : OR2BidSet);
        QCOMPARE(auction->SysComments, cancels ? winLimitText : QString());
    }
    // Submitted in the same second, its bid stands at the site whatever the limit says.
    QCOMPARE(sentAlongside->SnipeState, OR2BidSending);
    QCOMPARE(otherCategory->SnipeState, OR2BidSet);
    QCOMPARE(otherCase->SnipeState, OR2BidSet);
    // The win's own save, then the ended attempt's and the manager's.
    QCOMPARE(m.saves - savesBefore, cancels ? 3 : 1);

    // The held attempt has ended without submitting (its window closes), and the cancellation stands.
    answer(*alongsideWindow, *sentAlongside, QStringLiteral("You have been outbid"));
    QCOMPARE(sentAlongside->SnipeState, OR2BidFailed);
    QCOMPARE(sentAlongside->SysComments, QStringLiteral("Another bidder had a higher bid in reserve."));
    if (cancels)
        QTRY_VERIFY(holdingWindow.isNull());
    m.ticks(60);
    QCOMPARE(submitted(holdingWindow), !cancels);
    QCOMPARE(m.windowCount(), 3);
    QCOMPARE(holding->SnipeState, cancels ? OR2BidCancelled : OR2BidSending);
    QCOMPARE(holding->SysComments, cancels ? winLimitText : QString());
}

void tst_BidManager::pauseHoldsEverything()
{
    Manager m;
    m.init();
    const AuctionPtr held = m.bid(QStringLiteral("1"), 20);
    m.ticks(1);
    toReview(*m.browsers.last(), *held);
    const AuctionPtr later = m.bid(QStringLiteral("2"), 40);

    m.manager.setPaused(true);
    QCOMPARE(m.log.mid(m.log.size() - 2), QStringList({"status " + pausedText, "state eBidderPaused"}));
    m.ticks(20);
    QCOMPARE(m.manager.State(), eBidderPaused);
    QVERIFY(!submitted(m.browsers.last()));
    QCOMPARE(m.windowCount(), 1);
    QCOMPARE(later->SnipeState, OR2BidSet);

    // The pause is stored, and comes back through the state setter.
    XMLManager file;
    file.Save(m.manager, file.NewNode(QStringLiteral("BidManager")));
    QCOMPARE(file.Node().text(), QStringLiteral("True"));
    ScriptedBrowsers noBrowsers;
    BidManager restarted(noBrowsers.factory(), m.settings, m.categorys, {});
    QSignalSpy status(&restarted, &BidManager::StatusChange);
    file.Restore(restarted, file.Node().firstChildElement(QStringLiteral("BidManager")));
    QCOMPARE(restarted.State(), eBidderPaused);
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().first().toString(), pausedText);

    // Leaving the pause evaluates at once, with no green on the way, and the next heartbeat acts.
    const qsizetype logged = m.log.size();
    m.manager.setPaused(false);
    QCOMPARE(m.log.mid(logged), QStringList({"status " + biddingText, "state eBidderBidding"}));
    m.ticks(1);
    QVERIFY(submitted(m.browsers.windows.at(0)));
    QCOMPARE(m.windowCount(), 2);
}

// A category is found by its exact name, as its wins are counted: a win in "LAMPS" is no win of "Lamps"
// and does not use up its limit.
void tst_BidManager::winLimitFindsItsCategoryByExactName()
{
    Manager m;
    m.categorys.Add(QStringLiteral("Lamps"), true, 1);
    m.init();
    m.bid(QStringLiteral("10"), -600, 10, OR2BidSuccess, QStringLiteral("Lamps"));
    const AuctionPtr winning = m.bid(QStringLiteral("11"), 30, 10, OR2BidSet, QStringLiteral("LAMPS"));
    const AuctionPtr waiting = m.bid(QStringLiteral("12"), 3600, 10, OR2BidSet, QStringLiteral("Lamps"));

    m.ticks(1);
    QCOMPARE(m.windowCount(), 1);
    ScriptedBrowser* window = m.browsers.windows.at(0);
    toReview(*window, *winning);
    m.ticks(20);
    QVERIFY(submitted(window));
    answer(*window, *winning, QStringLiteral("You are the current high bidder"));
    QCOMPARE(winning->SnipeState, OR2BidSuccess);
    QCOMPARE(waiting->SnipeState, OR2BidSet);
    QCOMPARE(waiting->SysComments, QString());
}

void tst_BidManager::leavingThePauseEvaluatesAtOnce_data()
{
    QTest::addColumn<qint64>("secondsLeft"); // of the one scheduled auction; 0 for none
    QTest::addColumn<eBidderState>("state");
    QTest::newRow("nothing scheduled") << qint64(0) << eBidderGreen;
    QTest::newRow("scheduled, far") << qint64(3600) << eBidderYellow;
    QTest::newRow("scheduled, near") << qint64(40) << eBidderRed;
}

void tst_BidManager::leavingThePauseEvaluatesAtOnce()
{
    QFETCH(qint64, secondsLeft);
    QFETCH(eBidderState, state);
    Manager m;
    m.init();
    m.manager.setPaused(true);
    m.ticks(1);
    if (secondsLeft > 0)
        m.bid(QStringLiteral("123"), secondsLeft);
    // Within the throttle of the last evaluation.
    m.ticks(1);
    m.log.clear();
    m.manager.setPaused(false);
    QCOMPARE(m.manager.State(), state);
    QCOMPARE(m.log.size(), 2);
    QCOMPARE(m.log.last(), QStringLiteral("state ") + enumName<eBidderState>(state));
}

void tst_BidManager::auctionChangedWhileItsAttemptRuns_data()
{
    QTest::addColumn<int>("stage"); // of the attempt when the auction changes
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("submits"); // the amounts that reach the site

    const QStringList none;
    for (const int stage :
         {int(BidSender::SignInSubmitted), int(BidSender::BidPageRequested), int(BidSender::Holding)}) {
        QTest::addRow("amount changed, stage %d", stage) << stage << "amount" << QStringList{"30"};
        QTest::addRow("saved again as set, stage %d", stage) << stage << "set again" << QStringList{"25"};
        QTest::addRow("set to watching, stage %d", stage) << stage << "watching" << none;
        QTest::addRow("deleted, stage %d", stage) << stage << "deleted" << none;
        QTest::addRow("deleted and re-added with send now, stage %d", stage)
            << stage << "re-added" << QStringList{"27"};
    }
    // Once submitted, the bid stands: nothing is sent again, whatever the change.
    for (const char* change : {"amount", "set again", "watching", "deleted", "re-added"})
        QTest::addRow("%s after submitting", change)
            << int(BidSender::BidSubmitted) << change << QStringList{"25"};
}

// At most one bid reaches the site, and it carries the amount that stands when it is submitted.
void tst_BidManager::auctionChangedWhileItsAttemptRuns()
{
    QFETCH(int, stage);
    QFETCH(QString, change);
    QFETCH(QStringList, submits);
    Manager m;
    m.init();
    const QString item = QStringLiteral("123");
    const AuctionPtr original = m.bid(item, 30); // send moment 20 s away: prepared at the first heartbeat
    m.ticks(1);
    QCOMPARE(m.windowCount(), 1);
    ScriptedBrowser& first = *m.browsers.last();
    const QString signIn = BidSender::signInUrl().toString();
    const QString bidPage = BidSender::bidUrl(*original).toString();
    first.complete(signIn, QStringLiteral("Sign In"), QStringLiteral("eBay User ID"), signInForms);
    if (stage >= BidSender::BidPageRequested)
        first.complete(signIn, QStringLiteral("My eBay"), QStringLiteral("My eBay"));
    if (stage >= BidSender::Holding)
        first.complete(bidPage, QStringLiteral("Review"), QStringLiteral("Review and Confirm Bid"),
                       reviewForms);
    if (stage == BidSender::BidSubmitted)
        m.manager.SendBid(original);
    QCOMPARE(submitted(&first), stage == BidSender::BidSubmitted);

    // As the bid window, the list and the band change it.
    std::optional<OrvError> refused;
    if (change == QLatin1String("amount") || change == QLatin1String("set again") ||
        change == QLatin1String("watching")) {
        if (change == QLatin1String("amount"))
            original->SnipeBid = 30;
        original->SnipeState = change == QLatin1String("watching") ? OR2Watching : OR2BidSet;
        original->Changed();
        m.manager.RefreshState();
    } else {
        m.auctions.Remove(item);
        if (change == QLatin1String("re-added")) {
            const AuctionPtr again = m.auctions.Add(item, QStringLiteral("Default"));
            again->EndTime = original->EndTime;
            again->SnipeSeconds = original->SnipeSeconds;
            again->SnipeBid = 27;
            refused = caughtError([&] { m.manager.SendBid(again); });
            QCOMPARE(refused.has_value(), stage == BidSender::BidSubmitted);
        }
    }
    // The first window's pages arrive as they would have.
    if (stage == BidSender::SignInSubmitted)
        first.complete(signIn, QStringLiteral("My eBay"), QStringLiteral("My eBay"));
    if (stage <= BidSender::BidPageRequested)
        first.complete(bidPage, QStringLiteral("Review"), QStringLiteral("Review and Confirm Bid"),
                       reviewForms);

    // Past the send moment, every new attempt is taken to the review step and every submit is answered.
    QSet<ScriptedBrowser*> driven{&first};
    QSet<ScriptedBrowser*> answered;
    for (int i = 0; i < 30; ++i) {
        for (const QPointer<ScriptedBrowser>& window : m.browsers.windows) {
            if (!window)
                continue;
            const AuctionPtr current = m.auctions.Exists(item) ? m.auctions.Item(item) : original;
            if (!driven.contains(window)) {
                driven.insert(window);
                toReview(*window, *current);
            }
            if (submitted(window) && !answered.contains(window)) {
                answered.insert(window);
                answer(*window, *current, highBidderText);
            }
        }
        m.ticks(1);
    }

    QCOMPARE(submittedAmounts(m.browsers), submits);
    const AuctionPtr current = m.auctions.Exists(item) ? m.auctions.Item(item) : AuctionPtr();
    if (stage == BidSender::BidSubmitted) {
        // The site's answer goes to the record the bid was sent for.
        QCOMPARE(original->SnipeState, OR2BidSuccess);
    } else if (change == QLatin1String("watching")) {
        QCOMPARE(current->SnipeState, OR2Watching);
        QVERIFY(current->SysComments.isEmpty());
    } else if (change == QLatin1String("deleted")) {
        // The ended attempt left the deleted record as it was.
        QVERIFY(original->SysComments.isEmpty());
        QVERIFY(original->SnipeState == OR2BidPreparing || original->SnipeState == OR2BidPrepared);
    } else {
        QCOMPARE(current->SnipeState, OR2BidSuccess);
        QCOMPARE(current->SysComments, QStringLiteral("Bid successfully sent and confirmed."));
    }
}

void tst_BidManager::runningAttemptIsNotExpired()
{
    Manager m;
    m.init();
    const AuctionPtr auction = m.bid(QStringLiteral("123"), 30);
    m.ticks(1);
    toReview(*m.browsers.last(), *auction);
    // A synchronisation moves the site clock past the end while the attempt holds.
    m.siteClock.setVariance(600);
    QCOMPARE(auction->SnipeState, OR2BidPrepared);
    QVERIFY(auction->SysComments.isEmpty());
    // The heartbeat submits it, and the site's answer is what the record keeps.
    m.ticks(1);
    QVERIFY(submitted(m.browsers.last()));
    answer(*m.browsers.last(), *auction, QStringLiteral("Auction ended"));
    QCOMPARE(auction->SnipeState, OR2BidFailed);
    QCOMPARE(auction->SysComments, QStringLiteral("Auction ended before bid was received."));
}

void tst_BidManager::invalidBidsAreNeverSent_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("comment"); // empty: a sound bid

    const QString amount =
        QStringLiteral("Bid not sent: the maximum bid must be above 0 and at most 1,000,000,000.");
    QTest::newRow("-5") << -5.0 << 1 << 10 << amount;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 1 << 10 << amount;
    QTest::newRow("inf") << std::numeric_limits<double>::infinity() << 1 << 10 << amount;
    QTest::newRow("1e308") << 1e308 << 1 << 10 << amount;
    QTest::newRow("1e9+0.01") << 1e9 + 0.01 << 1 << 10 << amount;
    QTest::newRow("quantity 0") << 25.0 << 0 << 10
                                << QStringLiteral(
                                       "Bid not sent: the quantity to bid for must be at least 1.");
    QTest::newRow("seconds -1") << 25.0 << 1 << -1
                                << QStringLiteral(
                                       "Bid not sent: the seconds before the end must not be negative.");
    // Its send moment would be 68 years before the end: at once.
    QTest::newRow("seconds 2^31-1") << 25.0 << 1 << std::numeric_limits<qint32>::max()
                                    << QStringLiteral(
                                           "Bid not sent: the seconds before the end must be at most 3,600.");
    QTest::newRow("seconds 3601") << 25.0 << 1 << 3601
                                  << QStringLiteral(
                                         "Bid not sent: the seconds before the end must be at most 3,600.");
    QTest::newRow("seconds 3600, sound") << 25.0 << 1 << 3600 << QString();
    QTest::newRow("1e9, sound") << 1e9 << 1 << 0 << QString();
    QTest::newRow("0.01, sound") << 0.01 << 1 << 0 << QString();
}

void tst_BidManager::invalidBidsAreNeverSent()
{
    QFETCH(double, amount);
    QFETCH(int, quantity);
    QFETCH(int, seconds);
    QFETCH(QString, comment);
    Manager m;
    m.init();
    auto setBid = [&](const AuctionPtr& auction) {
        auction->SnipeBid = amount;
        auction->SnipeQuantity = quantity;
        auction->SnipeSeconds = seconds;
    };
    const bool sound = comment.isEmpty();

    // "Send now" refuses it with the reason (no bid at all keeps its own sentence).
    const AuctionPtr watched = m.bid(QStringLiteral("1"), 3600, 10, OR2Watching);
    setBid(watched);
    if (sound)
        m.manager.SendBid(watched);
    else
        QCOMPARE(refusal([&] { m.manager.SendBid(watched); }), amount <= 0 ? noBidText : comment);
    QCOMPARE(m.windowCount(), sound ? 1 : 0);

    // A scheduled one is never prepared: the evaluation fails it with the reason and keeps its values.
    const AuctionPtr scheduled = m.bid(QStringLiteral("2"), 30, 10);
    setBid(scheduled);
    m.ticks(30);
    QCOMPARE(m.windowCount(), sound ? 2 : 0);
    QCOMPARE(scheduled->SnipeState, sound ? OR2BidPreparing : OR2BidFailed);
    QCOMPARE(scheduled->SysComments, comment);
    QCOMPARE(scheduled->SnipeQuantity, quantity);
    QCOMPARE(scheduled->SnipeSeconds, seconds);
    if (!sound)
        QVERIFY(m.saves >= 1);
}

// Once the program has made its last save, no attempt goes on: a page that comes then is not answered, a
// send moment that comes is not met, nothing is recorded and no attempt starts, so the next start finds
// every bid as the save left it.
void tst_BidManager::haltedAttemptsTakeNoFurtherStep()
{
    Manager m;
    m.init();
    const AuctionPtr holding = m.bid(QStringLiteral("1"), 30);
    m.ticks(1);
    QCOMPARE(m.windowCount(), 1);
    toReview(*m.browsers.last(), *holding);
    QCOMPARE(holding->SnipeState, OR2BidPrepared);
    const AuctionPtr sentNow = m.bid(QStringLiteral("2"), 3600, 10, OR2Watching);
    m.manager.SendBid(sentNow);
    QCOMPARE(m.windowCount(), 2);
    QCOMPARE(sentNow->SnipeState, OR2BidPreparing);
    const int saves = m.saves;

    m.manager.halt();
    toReview(*m.browsers.windows.at(1), *sentNow);
    m.advance(30);
    m.manager.Tick();
    m.manager.SendBid(holding);
    QVERIFY(!submitted(m.browsers.windows.at(0)));
    QVERIFY(!submitted(m.browsers.windows.at(1)));
    QCOMPARE(holding->SnipeState, OR2BidPrepared);
    QCOMPARE(sentNow->SnipeState, OR2BidPreparing);
    const AuctionPtr another = m.bid(QStringLiteral("3"), 3600, 10, OR2Watching);
    QCOMPARE(refusal([&] { m.manager.SendBid(another); }),
             QStringLiteral("The program is closing: no bid is started."));
    m.manager.Cancel();
    QCOMPARE(holding->SnipeState, OR2BidPrepared);
    QVERIFY(holding->SysComments.isEmpty());
    QCOMPARE(m.windowCount(), 2);
    QCOMPARE(m.saves, saves);
}

QTEST_GUILESS_MAIN(tst_BidManager)
#include "tst_BidManager.moc"
