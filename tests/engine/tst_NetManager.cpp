#include "BidManager.h"
#include "Categorys.h"
#include "Clock.h"
#include "FakeClockUpdater.h"
#include "FakeDialer.h"
#include "FakeSite.h"
#include "FakeTimeSource.h"
#include "NetManager.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "Settings.h"
#include "cApp.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString attempting = QStringLiteral("Attempting to connect to internet...");

// A connection watch with a fake dialer and a clock whose synchronisations are counted.
struct Watch
{
    Watch()
    {
        clock.setUpdater(updater);
        net.Init(bids, clock);
        net.link(settings);
        net.setDialer(dialer);
        QObject::connect(&net, &NetManager::StatusChange, &net, [this](const QString& s) { statuses << s; });
        settings.CheckNetSeconds = 10;
    }

    FakeTimeSource pc;
    Settings settings;
    Clock clock;
    FakeClockUpdater* updater = new FakeClockUpdater; // owned by the clock
    Categorys categorys;
    // The watch only follows the bid manager's state; no bid attempt is ever made here.
    BidManager bids{[]() -> BrowserWindow* { return nullptr; }, settings, categorys, [] {}};
    NetManager net;
    FakeDialer* dialer = new FakeDialer; // owned by the connection watch
    QStringList statuses;
};

} // namespace

// The connection watch of the red phase. Its connection test asks the loopback site's three test
// hosts, which answer while the site is "online" and drop the connection otherwise.
class tst_NetManager : public QObject
{
    Q_OBJECT

private:
    FakeSite m_site;
    bool m_online = true;

    // Ticks once and, when a connection test starts, waits for its result to be acted on.
    bool tickChecks(Watch& w)
    {
        QSignalSpy finished(&w.net.connectionTest(), &NetDetector::finished);
        w.net.Tick();
        if (!w.net.connectionTest().isRunning())
            return false;
        return finished.wait(5000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QList<FakeSite::Role> tests{SiteEndpoints::NetTest1, SiteEndpoints::NetTest2,
                                          SiteEndpoints::NetTest3};
        QVERIFY(m_site.listen(tests + QList<FakeSite::Role>{SiteEndpoints::TimePage}));
        m_site.exportEnvironment();
        for (FakeSite::Role role : tests)
            m_site.setDefaultHandler(role, [this](const FakeSite::Request&) {
                return m_online ? FakeSite::Response::page("<html>up</html>") : FakeSite::Response::drop();
            });
    }
    void init()
    {
        m_online = true;
        m_site.clearRequests();
    }

    void actsOnTheCheck_data()
    {
        QTest::addColumn<bool>("connectOnRed");
        QTest::addColumn<bool>("syncClockRed");
        QTest::addColumn<QString>("phoneEntry");
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("tested");
        QTest::addColumn<QStringList>("dialled");
        QTest::addColumn<int>("syncs");

        const QStringList none;
        const QStringList modem{QStringLiteral("Modem")};
        QTest::newRow("dedicated line, online") << true << true << "none" << true << true << none << 1;
        QTest::newRow("dedicated line, offline") << true << true << "none" << false << true << none << 0;
        QTest::newRow("empty entry counts as none") << true << true << "" << false << true << none << 0;
        QTest::newRow("entry, offline: dial") << true << true << "Modem" << false << true << modem << 0;
        QTest::newRow("entry, online: sync") << true << true << "Modem" << true << true << none << 1;
        QTest::newRow("no sync, offline: dial") << true << false << "Modem" << false << true << modem << 0;
        QTest::newRow("no sync, online") << true << false << "Modem" << true << true << none << 0;
        QTest::newRow("no test: sync without one") << false << true << "Modem" << false << false << none << 1;
        QTest::newRow("neither") << false << false << "Modem" << false << false << none << 0;
    }
    void actsOnTheCheck()
    {
        QFETCH(bool, connectOnRed);
        QFETCH(bool, syncClockRed);
        QFETCH(QString, phoneEntry);
        QFETCH(bool, online);
        QFETCH(bool, tested);
        QFETCH(QStringList, dialled);
        QFETCH(int, syncs);

        Watch w;
        w.settings.ConnectOnRed = connectOnRed;
        w.settings.SyncClockRed = syncClockRed;
        w.settings.PhoneEntry = phoneEntry;
        m_online = online;
        w.bids.setState(eBidderRed);

        QCOMPARE(tickChecks(w), tested);
        QCOMPARE(w.dialer->dialled, dialled);
        QCOMPARE(w.updater->downloads, syncs);
        QCOMPARE(w.statuses, dialled.isEmpty() ? QStringList() : QStringList{attempting});
        QCOMPARE(m_site.requests().isEmpty(), !tested);
    }

    // Checks come only in the red phase, the first at once, then whenever more than CheckNetSeconds
    // whole seconds have passed; a new red phase waits out the interval of the last check.
    void checksEveryIntervalOnlyInRed()
    {
        struct Step
        {
            int advance;
            eBidderState state;
            bool checks;
        };
        const Step steps[] = {
            {0, eBidderGreen, false},   {0, eBidderYellow, false}, {0, eBidderRed, true},
            {10, eBidderRed, false},    {1, eBidderRed, true},     {3, eBidderBidding, false},
            {2, eBidderRed, false},     {5, eBidderRed, false},    {1, eBidderRed, true},
            {11, eBidderPaused, false},
        };
        Watch w;
        w.settings.ConnectOnRed = true;
        w.settings.PhoneEntry = QStringLiteral("none");
        for (int i = 0; i < int(std::size(steps)); ++i) {
            w.pc.advanceSeconds(steps[i].advance);
            w.bids.setState(steps[i].state);
            QVERIFY2(tickChecks(w) == steps[i].checks, qPrintable(QStringLiteral("step %1").arg(i)));
        }
        QCOMPARE(m_site.requests().size(), 3);
    }

    // One synchronisation per red phase, at the first check that finds the connection.
    void synchronisesOncePerRedPhase()
    {
        Watch w;
        w.settings.ConnectOnRed = true;
        w.settings.SyncClockRed = true;
        w.settings.PhoneEntry = QStringLiteral("none");
        w.bids.setState(eBidderRed);
        m_online = false;
        QVERIFY(tickChecks(w));
        QCOMPARE(w.updater->downloads, 0);

        m_online = true;
        w.pc.advanceSeconds(11);
        QVERIFY(tickChecks(w));
        QCOMPARE(w.updater->downloads, 1);
        w.pc.advanceSeconds(11);
        QVERIFY(tickChecks(w));
        QCOMPARE(w.updater->downloads, 1);

        w.bids.setState(eBidderBidding);
        w.bids.setState(eBidderRed);
        w.pc.advanceSeconds(11);
        QVERIFY(tickChecks(w));
        QCOMPARE(w.updater->downloads, 2);
    }

    // The dialler is asked only while it is idle: not while it dials, not while it is connected.
    void dialsOnlyAnIdleDialer()
    {
        Watch w;
        w.settings.ConnectOnRed = true;
        w.settings.PhoneEntry = QStringLiteral("Modem");
        w.bids.setState(eBidderRed);
        m_online = false;

        QVERIFY(tickChecks(w));
        QCOMPARE(w.dialer->dialled.size(), 1);
        w.pc.advanceSeconds(11);
        QVERIFY(tickChecks(w));
        QCOMPARE(w.dialer->dialled.size(), 1);

        w.dialer->reportError(678, QStringLiteral("No answer"));
        w.pc.advanceSeconds(11);
        QVERIFY(tickChecks(w));
        QCOMPARE(w.dialer->dialled.size(), 2);

        w.dialer->reportConnected();
        w.pc.advanceSeconds(11);
        QVERIFY(tickChecks(w));
        QCOMPARE(w.dialer->dialled.size(), 2);
        QCOMPARE(w.statuses, QStringList({attempting, "Error connecting to internet: No answer", attempting,
                                          "Connected to internet."}));
    }

    // The dialer's events are shown while the red phase that dialled lasts, and not after it.
    void dialerEventsBecomeStatusLines_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("status");
        QTest::newRow("connected") << "connected"
                                   << "Connected to internet.";
        QTest::newRow("disconnected") << "disconnected"
                                      << "Disconnected from internet.";
        QTest::newRow("timed out") << "timeout"
                                   << "Attempt to connect to internet timed out.";
        QTest::newRow("error") << "error"
                               << "Error connecting to internet: The line is busy.";
    }
    void dialerEventsBecomeStatusLines()
    {
        QFETCH(QString, event);
        QFETCH(QString, status);

        Watch w;
        w.settings.ConnectOnRed = true;
        w.settings.PhoneEntry = QStringLiteral("Modem");
        w.bids.setState(eBidderRed);
        m_online = false;
        QVERIFY(tickChecks(w));

        const auto report = [&] {
            if (event == QLatin1String("connected"))
                w.dialer->reportConnected();
            else if (event == QLatin1String("disconnected"))
                w.dialer->reportDisconnected();
            else if (event == QLatin1String("timeout"))
                w.dialer->reportTimeout();
            else
                w.dialer->reportError(676, QStringLiteral("The line is busy."));
        };
        report();
        QCOMPARE(w.statuses, QStringList({attempting, status}));
        w.bids.setState(eBidderBidding);
        report();
        QCOMPARE(w.statuses, QStringList({attempting, status}));
    }

    // A test result that arrives after red turned into bidding dials nothing but still gives the phase
    // its one clock synchronisation; one that outlived its red phase does neither, even in a new one.
    void aResultAfterRedDialsNothing_data()
    {
        QTest::addColumn<QList<int>>("statesWhileTesting");
        QTest::addColumn<bool>("online");
        QTest::addColumn<int>("syncs");
        QTest::newRow("bidding, offline") << QList<int>{eBidderBidding} << false << 0;
        QTest::newRow("bidding, online") << QList<int>{eBidderBidding} << true << 1;
        QTest::newRow("left and entered red again")
            << QList<int>{eBidderBidding, eBidderYellow, eBidderRed} << true << 0;
    }
    void aResultAfterRedDialsNothing()
    {
        QFETCH(QList<int>, statesWhileTesting);
        QFETCH(bool, online);
        QFETCH(int, syncs);

        Watch w;
        w.settings.ConnectOnRed = true;
        w.settings.SyncClockRed = true;
        w.settings.PhoneEntry = QStringLiteral("Modem");
        w.bids.setState(eBidderRed);
        m_online = online;
        QSignalSpy finished(&w.net.connectionTest(), &NetDetector::finished);
        w.net.Tick();
        for (int state : statesWhileTesting)
            w.bids.setState(eBidderState(state));
        QVERIFY(finished.wait(5000));
        QCOMPARE(w.dialer->dialled, QStringList());
        QCOMPARE(w.statuses, QStringList());
        QCOMPARE(w.updater->downloads, syncs);
    }

    // In the application, the red phase's synchronisation fetches the time page.
    void theApplicationsRedPhaseSynchronisesTheClock()
    {
        FakeTimeSource pc(DateTimes::naive(2006, 7, 1, 14), -60, 60); // Berlin in summer: 12:00 UTC
        m_site.setHandler(SiteEndpoints::TimePage, QStringLiteral("/cgi-bin/timer.pl"),
                          [](const FakeSite::Request&) {
                              return FakeSite::Response::page("<b>Jul. 1, 2006, 12:00:00 UTC</b>");
                          });
        RecordingDialogHost dialogs;
        RecordingMessageBoxSink boxes;
        cApp app(dialogs, boxes);
        QVERIFY(app.NetManager().dialer());
        app.Settings().SyncClockRed = true;
        app.Settings().CheckNetSeconds = 10;
        app.BidManager().setState(eBidderRed);

        app.NetManager().Tick();
        QCOMPARE(app.Clock().State(), sfRunning);
        QTRY_COMPARE(app.Clock().State(), sfComplete);
        QCOMPARE(app.Clock().Variance(), -9 * 3600);
        QCOMPARE(m_site.requests(SiteEndpoints::TimePage).size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_NetManager)
#include "tst_NetManager.moc"
