#include "Auctions.h"
#include "BidManager.h"
#include "Clock.h"
#include "DateTimes.h"
#include "FakeEngine.h"
#include "FakeSite.h"
#include "FakeTimeSource.h"
#include "NetManager.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "Updaters.h"
#include "XMLManager.h"
#include "cApp.h"

#include <QTest>

using DateTimes::naive;

namespace {

const QString endedText = QStringLiteral("Auction ended while program was not running.");

} // namespace

// The application object with its engine: the bid manager's saves, the clock's synchronisation and the
// red phase's connection watch as cApp wires them, against the loopback site's time host and its three
// connection-test hosts (any answer counts as connected).
class tst_cAppEngine : public QObject
{
    Q_OBJECT

private:
    FakeSite m_site;

    // The time host answers its page with `body`.
    void serveTimePage(const QByteArray& body)
    {
        m_site.setHandler(SiteEndpoints::TimePage, QStringLiteral("/cgi-bin/timer.pl"),
                          [body](const FakeSite::Request&) { return FakeSite::Response::page(body); });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_site.listen({SiteEndpoints::TimePage, SiteEndpoints::NetTest1, SiteEndpoints::NetTest2,
                               SiteEndpoints::NetTest3, SiteEndpoints::ItemPage}));
        m_site.exportEnvironment();
    }
    void init() { m_site.clearRequests(); }

    // What the download queue read is in the file as soon as its downloads are over, without a save of
    // anyone else: a program killed a second later loses none of it.
    void finishedDownloadsAreSaved()
    {
        FakeTimeSource pc(naive(2026, 3, 1, 12, 0));
        TestDataFolder data;
        m_site.setItemPage(QStringLiteral("123"),
                           FakeSite::Response::page(FakeSite::fixture(QStringLiteral("item-lamp.html"))));
        RecordingShellHost dialogs;
        FakeEngine engine;
        RecordingMessageBoxSink boxes;
        cApp app(dialogs, boxes, engine.factories());
        app.Load();
        const AuctionPtr added = app.Auctions().Add(QStringLiteral("123"), QStringLiteral("Default"));
        added->Description = QStringLiteral("Downloading New Auction...");
        app.Save();

        app.Updaters().DownloadItem(added);
        QTRY_COMPARE(app.Updaters().State(), sfNotBusy);
        QCOMPARE(added->Description, QStringLiteral("Brass Lamp"));
        XMLManager saved;
        saved.LoadFile(data.stateFile());
        const XmlElement stored =
            saved.Node().firstChildElement(QStringLiteral("Auctions")).firstChildElement();
        QCOMPARE(stored.firstChildElement(QStringLiteral("Item")).text(), QStringLiteral("123"));
        QCOMPARE(stored.firstChildElement(QStringLiteral("Description")).text(),
                 QStringLiteral("Brass Lamp"));
        QCOMPARE(stored.firstChildElement(QStringLiteral("EndTime")).text(),
                 QStringLiteral("2006-03-15 10:00:00"));
    }

    void expiryAfterLoadingIsSaved()
    {
        FakeTimeSource pc(naive(2026, 3, 1, 12, 0), 480); // in the site's zone, as the file says
        TestDataFolder data;
        data.write(QStringLiteral("auctions.xml"),
                   "<Root><Clock><Variance>0</Variance></Clock>"
                   "<Auctions>"
                   "<Auction><Item>1</Item><EndTime>2026-03-01 11:59:00</EndTime><Category>Lamps</Category>"
                   "<SnipeState>1</SnipeState><SnipeBid>10</SnipeBid></Auction>"
                   "<Auction><Item>2</Item><EndTime>2026-03-01 13:00:00</EndTime><Category>Lamps</Category>"
                   "<SnipeState>1</SnipeState><SnipeBid>10</SnipeBid></Auction>"
                   "</Auctions>"
                   "<Categorys><Category><Name>Lamps</Name><Limited>True</Limited><MaxWins>2</MaxWins>"
                   "</Category></Categorys></Root>");
        RecordingShellHost dialogs;
        FakeEngine engine;
        RecordingMessageBoxSink boxes;
        cApp app(dialogs, boxes, engine.factories());
        app.Load();

        const AuctionPtr ended = app.Auctions().Item(QStringLiteral("1"));
        QCOMPARE(ended->SnipeState, OR2BidFailed);
        QCOMPARE(ended->SysComments, endedText);
        QCOMPARE(app.Auctions().Item(QStringLiteral("2"))->SnipeState, OR2BidSet);
        // Written once the whole file was read: the parts read after the auctions are in it too.
        XMLManager saved;
        saved.LoadFile(data.stateFile());
        const XmlElement root = saved.Node();
        const XmlElement first = root.firstChildElement(QStringLiteral("Auctions")).firstChildElement();
        QCOMPARE(first.firstChildElement(QStringLiteral("SnipeState")).text(), QStringLiteral("5"));
        QCOMPARE(first.firstChildElement(QStringLiteral("SysComments")).text(), endedText);
        const XmlElement category = root.firstChildElement(QStringLiteral("Categorys")).firstChildElement();
        QCOMPARE(category.firstChildElement(QStringLiteral("Name")).text(), QStringLiteral("Lamps"));
        QCOMPARE(category.firstChildElement(QStringLiteral("MaxWins")).text(), QStringLiteral("2"));
    }

    // The application's clock synchronises through the time page: the UTC reading becomes site time
    // (UTC-7 in summer), or the old offset stays with the failure shown. A reading far from the PC's own
    // clock is refused with its reason.
    void theApplicationsClockTakesTheReading_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<sfRunState>("state");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("variance");

        // The PC, in Berlin, shows 2006-07-01 14:00 local time, 12:00 UTC.
        const QString refused =
            QStringLiteral("Error synchronizing clock.  The time server reads %1 UTC, this "
                           "computer 2006-07-01 12:00:00 UTC: more than 15 minutes apart.");
        QTest::newRow("reading") << QByteArray("<b>Jul. 1, 2006, 12:00:00 UTC</b>") << sfComplete
                                 << "eBay clock synchronized." << -9 * 3600;
        QTest::newRow("2 minutes ahead") << QByteArray("<b>Jul. 1, 2006, 12:02:00 UTC</b>") << sfComplete
                                         << "eBay clock synchronized." << -9 * 3600 + 120;
        QTest::newRow("2 minutes behind") << QByteArray("<b>Jul. 1, 2006, 11:58:00 UTC</b>") << sfComplete
                                          << "eBay clock synchronized." << -9 * 3600 - 120;
        QTest::newRow("20 minutes behind")
            << QByteArray("<b>Jul. 1, 2006, 11:40:00 UTC</b>") << sfFailed
            << refused.arg(QStringLiteral("2006-07-01 11:40:00")) << -9 * 3600 + 5;
        QTest::newRow("30 years ahead")
            << QByteArray("<b>Jul. 1, 2036, 12:00:00 UTC</b>") << sfFailed
            << refused.arg(QStringLiteral("2036-07-01 12:00:00")) << -9 * 3600 + 5;
        QTest::newRow("garbage") << QByteArray("<b>no time today UTC</b>") << sfFailed
                                 << "Error synchronizing clock." << -9 * 3600 + 5;
    }
    void theApplicationsClockTakesTheReading()
    {
        QFETCH(QByteArray, body);
        QFETCH(sfRunState, state);
        QFETCH(QString, status);
        QFETCH(int, variance);

        FakeTimeSource pc(naive(2006, 7, 1, 14), -60, 60);
        RecordingShellHost dialogs;
        FakeEngine engine;
        RecordingMessageBoxSink boxes;
        cApp app(dialogs, boxes, engine.factories());
        app.Clock().setVariance(-9 * 3600 + 5);
        serveTimePage(body);

        app.Clock().Download();
        QCOMPARE(app.Clock().State(), sfRunning);
        QTRY_COMPARE(app.Clock().State(), state);
        QCOMPARE(app.Clock().Status(), status);
        QCOMPARE(app.Clock().Variance(), variance);
        QCOMPARE(app.Clock().Time(), naive(2006, 7, 1, 5).addSecs(variance + 9 * 3600));
        QCOMPARE(m_site.requests().size(), 1);
    }

    // In the application, the red phase's synchronisation fetches the time page.
    void theApplicationsRedPhaseSynchronisesTheClock()
    {
        FakeTimeSource pc(naive(2006, 7, 1, 14), -60, 60); // Berlin in summer: 12:00 UTC
        serveTimePage("<b>Jul. 1, 2006, 12:00:00 UTC</b>");
        RecordingShellHost dialogs;
        FakeEngine engine;
        RecordingMessageBoxSink boxes;
        cApp app(dialogs, boxes, engine.factories());
        QVERIFY(engine.dialer);
        QCOMPARE(app.NetManager().dialer(), engine.dialer.data());
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

QTEST_GUILESS_MAIN(tst_cAppEngine)
#include "tst_cAppEngine.moc"
