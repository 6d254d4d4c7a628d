#include "Auctions.h"
#include "BidManager.h"
#include "Categorys.h"
#include "Clock.h"
#include "DateTimes.h"
#include "FakeBidSite.h"
#include "FakeEngine.h"
#include "FakeTimeSource.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "WebEngineTest.h"
#include "XMLManager.h"
#include "cApp.h"
#include "frmBrowser.h"

#include <QPointer>

namespace {

// The PC clock as it runs, to the millisecond, moved on by `shift` seconds. Installed while it lives.
class ShiftedTimeSource : public TimeSource
{
public:
    ShiftedTimeSource() { TimeSource::install(this); }
    ~ShiftedTimeSource() override { TimeSource::install(nullptr); }

    QDateTime localNow() const override
    {
        return DateTimes::asNaive(QDateTime::currentDateTime()).addSecs(shift);
    }
    QDateTime utcNow() const override
    {
        return DateTimes::asNaive(QDateTime::currentDateTimeUtc()).addSecs(shift);
    }
    int biasMinutes() const override { return m_system.biasMinutes(); }
    int summerMinutes() const override { return m_system.summerMinutes(); }
    qint64 monotonicMs() const override { return m_system.monotonicMs(); }

    qint64 shift = 0;

private:
    SystemTimeSource m_system;
};

const QString winLimitText = QStringLiteral("Bid cancelled because Category win limit met.");

QString itemOf(const FakeSite::Request& request)
{
    return request.form.value(QStringLiteral("item"));
}

} // namespace

class tst_WholeSnipe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void snipesRunByThemselves();
    void winLimitOfOneSubmitsOneBid();
    void changedWhileHoldingSendsOnceTheCurrentAmount_data();
    void changedWhileHoldingSendsOnceTheCurrentAmount();
    void bidPreparedAtAQuitIsSentOnceAfterTheRestart();
};

// The main program's own heartbeat takes each auction from a scheduled bid to a confirmed one, and every
// bid reaches the site within 3 seconds after its send moment, while another auction's bid page hangs.
void tst_WholeSnipe::snipesRunByThemselves()
{
    TestDataFolder data;
    ShiftedTimeSource pc;
    FakeBidSite site;
    QVERIFY(site.start());
    site.site().setHandler(
        SiteEndpoints::Bid,
        QStringLiteral("/ws/eBayISAPI.dll?MfcISAPICommand=MakeBid&item=1004&fb=1&maxbid=25.5"
                       "&quant=1"),
        [](const FakeSite::Request&) { return FakeSite::Response::hang(); });
    RecordingShellHost dialogs;
    FakeEngine engine;
    RecordingMessageBoxSink boxes;
    cApp app(dialogs, boxes, engine.factoriesWithRealBrowsers());
    app.Load();
    Settings& settings = app.Settings();
    settings.Username = site.Username;
    settings.Password = site.Password;
    settings.RedMinutes = 1;
    settings.PrepareSeconds = 30;

    QList<eBidderState> managerStates;
    connect(&app.BidManager(), &BidManager::StateChange, this,
            [&](int state) { managerStates << eBidderState(state); });
    QHash<QString, QList<AucSnipeStates>> snipeStates;
    connect(&app.Auctions(), &Auctions::AuctionChanged, this, [&](Auction* auction) {
        QList<AucSnipeStates>& states = snipeStates[auction->Item];
        if (states.isEmpty() || states.last() != auction->SnipeState)
            states << auction->SnipeState;
    });

    // Stored as the bid window stores a bid, 70 to 76 seconds before the send moments: yellow first.
    const QDateTime siteNow = DateTimes::truncatedToSecond(app.Clock().Time());
    const QStringList items{"1001", "1002", "1003", "1004"};
    const QList<int> margins{70, 73, 76, 70};
    QHash<QString, QDateTime> sendMoments; // by the PC clock
    for (qsizetype i = 0; i < items.size(); ++i) {
        const AuctionPtr auction = app.Auctions().Add(items.at(i), QStringLiteral("Default"));
        auction->SnipeSeconds = 5;
        auction->EndTime = siteNow.addSecs(margins.at(i) + auction->SnipeSeconds);
        auction->SnipeBid = 25.5;
        auction->SnipeState = OR2BidSet;
        auction->Changed();
        app.BidManager().RefreshState();
        sendMoments.insert(auction->Item,
                           auction->EndTime.addSecs(-auction->SnipeSeconds - app.Clock().Variance()));
    }
    app.Save();
    QCOMPARE(app.BidManager().State(), eBidderYellow);

    // A minute passes at once; from here on the heartbeat does everything.
    pc.shift = 60;
    auto done = [&](const QString& item) {
        return app.Auctions().Item(item)->SnipeState == OR2BidSuccess ||
               app.Auctions().Item(item)->SnipeState == OR2BidFailed;
    };
    QVERIFY(waitForEngine([&] { return done("1001") && done("1002") && done("1003"); }, 40000));

    const QList<FakeSite::Request> bids = site.requests(FakeBidSite::Confirmation);
    QCOMPARE(bids.size(), 3);
    for (const FakeSite::Request& bid : bids) {
        const qint64 lateMs = sendMoments.value(itemOf(bid)).msecsTo(bid.receivedLocal);
        QVERIFY2(lateMs >= 0 && lateMs <= 3000,
                 qPrintable(QStringLiteral("item %1 submitted %2 ms after its send moment")
                                .arg(itemOf(bid))
                                .arg(lateMs)));
        QCOMPARE(bid.form.value(QStringLiteral("maxbid")), QStringLiteral("25.5"));
    }
    for (const char* item : {"1001", "1002", "1003"}) {
        QCOMPARE(app.Auctions().Item(item)->SysComments,
                 QStringLiteral("Bid successfully sent and confirmed."));
        QCOMPARE(snipeStates.value(item),
                 QList<AucSnipeStates>({OR2Watching, OR2BidSet, OR2BidPreparing, OR2BidPrepared,
                                        OR2BidSending, OR2BidSuccess}));
    }
    // The hanging bid page holds its own attempt only.
    QCOMPARE(app.Auctions().Item(QStringLiteral("1004"))->SnipeState, OR2BidPreparing);
    app.BidManager().Cancel();
    QCOMPARE(app.Auctions().Item(QStringLiteral("1004"))->SysComments,
             QStringLiteral("Bid cancelled by user."));

    QVERIFY(waitForEngine([&] { return app.BidManager().State() == eBidderGreen; }, 10000));
    QCOMPARE(managerStates, QList<eBidderState>({eBidderYellow, eBidderRed, eBidderBidding, eBidderGreen}));
    // Every outcome is in the state file.
    XMLManager saved;
    saved.LoadFile(cApp::stateFilePath());
    QHash<QString, QString> stored;
    for (XmlElement auction = saved.Node().firstChildElement(QStringLiteral("Auctions")).firstChildElement();
         !auction.isNull(); auction = auction.nextSiblingElement()) {
        stored.insert(auction.firstChildElement(QStringLiteral("Item")).text(),
                      auction.firstChildElement(QStringLiteral("SnipeState")).text());
    }
    QCOMPARE(stored, (QHash<QString, QString>{{"1001", "6"}, {"1002", "6"}, {"1003", "6"}, {"1004", "5"}}));
}

// With a win limit of 1, the first of two auctions ending ten seconds apart wins, and the second one's
// prepared bid is never submitted.
void tst_WholeSnipe::winLimitOfOneSubmitsOneBid()
{
    FakeTimeSource pc;
    TestDataFolder data;
    FakeBidSite site;
    QVERIFY(site.start());
    Settings settings;
    settings.Username = site.Username;
    settings.Password = site.Password;
    settings.RedMinutes = 1;
    settings.PrepareSeconds = 60;
    Categorys categorys;
    categorys.Add(QStringLiteral("Lamps"), true, 1);
    Clock clock;
    Auctions auctions;
    auctions.Init(clock);
    QList<QPointer<frmBrowser>> windows;
    int saves = 0;
    BidManager manager(
        [&] {
            auto* window = new frmBrowser(settings);
            windows << window;
            return window;
        },
        settings, categorys, [&] { ++saves; });
    manager.Init(auctions, clock);

    QList<AuctionPtr> bids;
    for (const int endsIn : {30, 40}) {
        const AuctionPtr auction = auctions.Add(QString::number(2000 + endsIn), QStringLiteral("Lamps"));
        auction->EndTime = clock.Time().addSecs(endsIn);
        auction->SnipeSeconds = 5;
        auction->SnipeBid = 12;
        auction->SnipeState = OR2BidSet;
        bids << auction;
    }
    manager.Tick();
    QCOMPARE(windows.size(), 2);
    QVERIFY(waitForEngine([&] {
        return bids.at(0)->SnipeState == OR2BidPrepared && bids.at(1)->SnipeState == OR2BidPrepared;
    }));

    pc.advanceSeconds(25);
    manager.Tick();
    QVERIFY(waitForEngine([&] { return bids.at(0)->SnipeState == OR2BidSuccess; }));
    QCOMPARE(bids.at(1)->SnipeState, OR2BidCancelled);
    QCOMPARE(bids.at(1)->SysComments, winLimitText);

    for (int i = 0; i < 15; ++i) {
        pc.advanceSeconds(1);
        manager.Tick();
    }
    QVERIFY(waitForEngine([&] {
        return std::all_of(windows.cbegin(), windows.cend(), [](const auto& w) { return w.isNull(); });
    }));
    const QList<FakeSite::Request> submitted = site.requests(FakeBidSite::Confirmation);
    QCOMPARE(submitted.size(), 1);
    QCOMPARE(itemOf(submitted.first()), QStringLiteral("2030"));
    QCOMPARE(site.requests(FakeBidSite::BidPage).size(), 2);
    QCOMPARE(bids.at(1)->SnipeState, OR2BidCancelled);
    QCOMPARE(bids.at(1)->SysComments, winLimitText);
}

void tst_WholeSnipe::changedWhileHoldingSendsOnceTheCurrentAmount_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("amount changed") << "amount";
    QTest::newRow("deleted and re-added with send now") << "re-added";
}

// An auction changed while its attempt holds at the review step: the site receives one bid, with the
// amount that stands, from a fresh attempt.
void tst_WholeSnipe::changedWhileHoldingSendsOnceTheCurrentAmount()
{
    QFETCH(QString, change);
    FakeTimeSource pc;
    TestDataFolder data;
    FakeBidSite site;
    QVERIFY(site.start());
    Settings settings;
    settings.Username = site.Username;
    settings.Password = site.Password;
    settings.RedMinutes = 1;
    settings.PrepareSeconds = 60;
    Categorys categorys;
    categorys.Add(QStringLiteral("Default"), false, 0);
    Clock clock;
    Auctions auctions;
    auctions.Init(clock);
    QList<QPointer<frmBrowser>> windows;
    BidManager manager(
        [&] {
            auto* window = new frmBrowser(settings);
            windows << window;
            return window;
        },
        settings, categorys, {});
    manager.Init(auctions, clock);

    const QString item = QStringLiteral("3001");
    const AuctionPtr original = auctions.Add(item, QStringLiteral("Default"));
    original->EndTime = clock.Time().addSecs(30);
    original->SnipeSeconds = 5;
    original->SnipeBid = 12;
    original->SnipeState = OR2BidSet;
    manager.Tick();
    QVERIFY(waitForEngine([&] { return original->SnipeState == OR2BidPrepared; }));

    AuctionPtr current = original;
    if (change == QLatin1String("amount")) {
        original->SnipeBid = 15;
        original->SnipeState = OR2BidSet;
        original->Changed();
        manager.RefreshState();
        pc.advanceSeconds(1);
        manager.Tick();
        QVERIFY(waitForEngine([&] { return original->SnipeState == OR2BidPrepared; }));
        pc.advanceSeconds(24);
        manager.Tick();
    } else {
        auctions.Remove(item);
        current = auctions.Add(item, QStringLiteral("Default"));
        current->EndTime = original->EndTime;
        current->SnipeSeconds = 5;
        current->SnipeBid = 15;
        manager.SendBid(current);
    }
    QVERIFY(waitForEngine([&] { return current->SnipeState == OR2BidSuccess; }));
    QVERIFY(waitForEngine([&] {
        return std::all_of(windows.cbegin(), windows.cend(), [](const auto& w) { return w.isNull(); });
    }));

    QCOMPARE(windows.size(), 2);
    QStringList bidPages;
    for (const FakeSite::Request& request : site.requests(FakeBidSite::BidPage))
        bidPages << request.query.queryItemValue(QStringLiteral("maxbid"));
    QCOMPARE(bidPages, QStringList({QStringLiteral("12"), QStringLiteral("15")}));
    const QList<FakeSite::Request> submitted = site.requests(FakeBidSite::Confirmation);
    QCOMPARE(submitted.size(), 1);
    QCOMPARE(submitted.first().form.value(QStringLiteral("maxbid")), QStringLiteral("15"));
    QCOMPARE(current->SysComments, QStringLiteral("Bid successfully sent and confirmed."));
}

// A quit while one bid holds at the review step and another was being submitted: the held one is saved as
// prepared and, after the restart, prepared afresh and sent once at its moment; the other may stand at the
// site and is never sent again.
void tst_WholeSnipe::bidPreparedAtAQuitIsSentOnceAfterTheRestart()
{
    FakeTimeSource pc;
    TestDataFolder data;
    FakeBidSite site;
    QVERIFY(site.start());
    RecordingShellHost dialogs;
    FakeEngine engine;
    RecordingMessageBoxSink boxes;
    const QString held = QStringLiteral("3001");
    const QString submitted = QStringLiteral("3002");
    auto setUp = [&](cApp& app) {
        app.Settings().Username = site.Username;
        app.Settings().Password = site.Password;
        app.Settings().RedMinutes = 1;
        app.Settings().PrepareSeconds = 60;
    };
    {
        cApp app(dialogs, boxes, engine.factoriesWithRealBrowsers());
        app.Load();
        setUp(app);
        const QDateTime end = app.Clock().Time().addSecs(60);
        for (const QString& item : {held, submitted}) {
            const AuctionPtr auction = app.Auctions().Add(item, QStringLiteral("Default"));
            auction->EndTime = end;
            auction->SnipeSeconds = 5;
            auction->SnipeBid = 12;
            auction->SnipeState = item == held ? OR2BidSet : OR2BidSending;
        }
        app.BidManager().RefreshState();
        QVERIFY(waitForEngine([&] { return app.Auctions().Item(held)->SnipeState == OR2BidPrepared; }));
        app.Quit();
        QCOMPARE(app.State(), AppShuttingDown);
        // The process would end here; the test goes on without it.
        QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        XMLManager saved;
        saved.LoadFile(cApp::stateFilePath());
        QStringList states;
        for (XmlElement auction =
                 saved.Node().firstChildElement(QStringLiteral("Auctions")).firstChildElement();
             !auction.isNull(); auction = auction.nextSiblingElement())
            states << auction.firstChildElement(QStringLiteral("SnipeState")).text();
        QCOMPARE(states, (QStringList{"3", "4"}));
        // Nothing more happens after the save, whatever the site answers meanwhile.
        QTest::qWait(300);
        QCOMPARE(app.Auctions().Item(held)->SnipeState, OR2BidPrepared);
    }
    QCOMPARE(site.requests(FakeBidSite::BidPage).size(), 1);

    cApp app(dialogs, boxes, engine.factoriesWithRealBrowsers());
    app.Load();
    setUp(app);
    const AuctionPtr again = app.Auctions().Item(held);
    QCOMPARE(again->SnipeState, OR2BidSet);
    const AuctionPtr lost = app.Auctions().Item(submitted);
    QCOMPARE(lost->SnipeState, OR2BidFailed);
    QCOMPARE(lost->SysComments, QStringLiteral("Program closed during send."));

    // The heartbeat prepares it afresh, and holds it until its send moment.
    pc.advanceSeconds(45);
    QVERIFY(waitForEngine([&] { return again->SnipeState == OR2BidPrepared; }));
    QCOMPARE(site.requests(FakeBidSite::Confirmation).size(), 0);
    pc.advanceSeconds(10);
    QVERIFY(waitForEngine([&] { return again->SnipeState == OR2BidSuccess; }));
    for (int i = 0; i < 3; ++i) {
        pc.advanceSeconds(1);
        QTest::qWait(1100);
    }
    const QList<FakeSite::Request> bids = site.requests(FakeBidSite::Confirmation);
    QCOMPARE(bids.size(), 1);
    QCOMPARE(itemOf(bids.first()), held);
    QCOMPARE(site.requests(FakeBidSite::BidPage).size(), 2);
    QCOMPARE(lost->SnipeState, OR2BidFailed);
}

ORV_WEBENGINE_TEST_MAIN(tst_WholeSnipe)
#include "tst_WholeSnipe.moc"
