#include "Clock.h"
#include "ClockUpdater.h"
#include "DateTimes.h"
#include "FakeSite.h"
#include "FakeTimeSource.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "cApp.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using DateTimes::naive;

namespace {

const QString timePage = QStringLiteral("/cgi-bin/timer.pl");
const QString parseFailure = QStringLiteral("Error parsing date from time server");

FakeSite::Response page(const QByteArray& body)
{
    return FakeSite::Response::page(body);
}

} // namespace

// The time-page reading against the loopback site's time host.
class tst_ClockUpdater : public QObject
{
    Q_OBJECT

private:
    FakeSite m_site;

    void serve(const FakeSite::Response& response)
    {
        m_site.setHandler(SiteEndpoints::TimePage, timePage,
                          [response](const FakeSite::Request&) { return response; });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_site.listen({SiteEndpoints::TimePage}));
        m_site.exportEnvironment();
    }
    void init() { m_site.clearRequests(); }

    void readsTheTimePage_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QDateTime>("utcNow"); // the PC's UTC time while reading
        QTest::addColumn<int>("biasMinutes");  // the PC's zone: UTC = local time + bias
        QTest::addColumn<QDateTime>("expected");

        const QDateTime now = naive(2026, 3, 1, 12);
        QTest::newRow("bold time before UTC, commas and points removed")
            << QByteArray("<html><body><b>Mar. 15, 2006, 18:12:34 UTC</b></body></html>") << now << 0
            << naive(2006, 3, 15, 18, 12, 34);
        QTest::newRow("a line break counts as the bold mark")
            << QByteArray("<html><body><pre>Time service\n<BR>Mar. 15, 2006, 18:12:34 UTC\t"
                          "Universal Time\n</pre></body></html>")
            << now << 0 << naive(2006, 3, 15, 18, 12, 34);
        QTest::newRow("the last bold mark before UTC")
            << QByteArray("<b>Today</b> <b>Mar 15 2006 18:12:34 UTC</b> <b>Apr 1 2006 00:00:00 UTC</b>")
            << now << 0 << naive(2006, 3, 15, 18, 12, 34);
        QTest::newRow("double blanks") << QByteArray("<b>  Mar.  15,  2006    18:12:34  UTC</b>") << now << 0
                                       << naive(2006, 3, 15, 18, 12, 34);
        QTest::newRow("without UTC the second U ends the time")
            << QByteArray("<html><b>Jun 15 2006 18:12:34 Uhr</b></html>") << now << 0
            << naive(2006, 6, 15, 18, 12, 34);
        // Without a year the reading takes the year nearest to the PC's UTC time, not its local year.
        QTest::newRow("no year, PC ahead of UTC at New Year")
            << QByteArray("<b>Dec. 31, 23:59:50 UTC</b>") << naive(2027, 1, 1, 0, 0, 5) << -600
            << naive(2026, 12, 31, 23, 59, 50);
        QTest::newRow("no year, PC behind UTC at New Year")
            << QByteArray("<b>Jan. 1, 00:00:05 UTC</b>") << naive(2027, 1, 1, 0, 0, 2) << 600
            << naive(2027, 1, 1, 0, 0, 5);
        QTest::newRow("the time page as served, without a year")
            << FakeSite::fixture(QStringLiteral("time-page.html")) << naive(2026, 3, 15, 18, 12, 30) << 0
            << naive(2026, 3, 15, 18, 12, 34);
        QTest::newRow("no year, mid-year") << QByteArray("<b>Jul. 4, 10:00:00 UTC</b>")
                                           << naive(2026, 7, 4, 10) << 0 << naive(2026, 7, 4, 10);
    }
    void readsTheTimePage()
    {
        QFETCH(QByteArray, body);
        QFETCH(QDateTime, utcNow);
        QFETCH(int, biasMinutes);
        QFETCH(QDateTime, expected);

        FakeTimeSource pc(utcNow.addSecs(-60LL * biasMinutes), biasMinutes);
        QCOMPARE(pc.utcNow(), utcNow);
        serve(page(body));
        ClockUpdater updater;
        QSignalSpy states(&updater, &ClockUpdater::StateChanged);
        updater.Download();
        QCOMPARE(updater.State(), sfRunning);
        QTRY_COMPARE(updater.State(), sfComplete);
        QCOMPARE(updater.Time(), expected);
        QCOMPARE(updater.ErrMessage(), QString());
        QCOMPARE(states.size(), 2);
        QCOMPARE(m_site.requests().size(), 1);
        QCOMPARE(m_site.requests().first().target, timePage);
    }

    void failsWithTheReason_data()
    {
        QTest::addColumn<FakeSite::Response>("response");
        QTest::addColumn<QString>("message"); // part of the error text

        QTest::newRow("no UTC and no second U")
            << page("<html><b>Mar 15 2006 18:12:34 Universal</b></html>") << parseFailure;
        QTest::newRow("no bold mark before UTC")
            << page("<html><i>Mar 15, 2006 18:12:34 UTC</i></html>") << parseFailure;
        QTest::newRow("text before UTC that names no date")
            << page("<html><b>Clock unavailable UTC</b></html>") << parseFailure;
        QTest::newRow("fraction of a second") << page("<b>Mar 15, 2006 18:12:34.5 UTC</b>") << parseFailure;
        QTest::newRow("empty page") << page("") << parseFailure;
        QTest::newRow("not found") << FakeSite::Response::error(404) << "Not Found";
        QTest::newRow("connection dropped") << FakeSite::Response::drop() << "closed";
        QTest::newRow("garbage instead of HTTP") << FakeSite::Response::garbage() << "";
    }
    void failsWithTheReason()
    {
        QFETCH(FakeSite::Response, response);
        QFETCH(QString, message);

        serve(response);
        ClockUpdater updater;
        QString messageWhenFailed;
        connect(&updater, &ClockUpdater::StateChanged, this, [&](int state) {
            if (state == sfFailed)
                messageWhenFailed = updater.ErrMessage();
        });
        updater.Download();
        QTRY_COMPARE(updater.State(), sfFailed);
        QVERIFY(!messageWhenFailed.isEmpty());
        QVERIFY2(messageWhenFailed.contains(message, Qt::CaseInsensitive), qPrintable(messageWhenFailed));
        QVERIFY(DateTimes::isZero(updater.Time()));
    }

    void anUnreachableHostFails()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QByteArray address = "http://127.0.0.1:" + QByteArray::number(closed.serverPort());
        closed.close();
        const QByteArray variable = SiteEndpoints::environmentVariable(SiteEndpoints::TimePage).toLatin1();
        const QByteArray before = qgetenv(variable.constData());
        qputenv(variable.constData(), address);

        ClockUpdater updater;
        updater.Download();
        QTRY_COMPARE(updater.State(), sfFailed);
        qputenv(variable.constData(), before);
        QVERIFY2(updater.ErrMessage().contains(QLatin1String("refused"), Qt::CaseInsensitive),
                 qPrintable(updater.ErrMessage()));
    }

    // A second Download while the first runs starts over: the first fetch is ended and only the new
    // one counts.
    void aSecondDownloadStartsOver()
    {
        int served = 0;
        m_site.setHandler(SiteEndpoints::TimePage, timePage, [&served](const FakeSite::Request&) {
            return ++served == 1 ? FakeSite::Response::hang() : page("<b>Feb 2, 2002 02:02:02 UTC</b>");
        });
        ClockUpdater updater;
        QSignalSpy states(&updater, &ClockUpdater::StateChanged);
        updater.Download();
        QTRY_COMPARE(m_site.hangingCount(), 1);
        updater.Download();
        QTRY_COMPARE(updater.State(), sfComplete);
        QCOMPARE(updater.Time(), naive(2002, 2, 2, 2, 2, 2));
        QCOMPARE(states.size(), 2);
        QCOMPARE(m_site.requests().size(), 2);
        QTRY_COMPARE(m_site.hangingCount(), 0);
    }

    void cancelEndsTheFetch()
    {
        serve(FakeSite::Response::hang());
        ClockUpdater updater;
        QSignalSpy states(&updater, &ClockUpdater::StateChanged);
        updater.Download();
        QTRY_COMPARE(m_site.hangingCount(), 1);

        updater.Cancel();
        QCOMPARE(updater.State(), sfFailed);
        QCOMPARE(updater.ErrMessage(), QStringLiteral("Update Cancelled"));
        QCOMPARE(states.size(), 2);
        // The connection is closed: nothing can report for the cancelled fetch any more.
        QTRY_COMPARE(m_site.hangingCount(), 0);
        QCOMPARE(updater.State(), sfFailed);
        QVERIFY(DateTimes::isZero(updater.Time()));
    }

    // The application's clock synchronises through the time page: the UTC reading becomes site time
    // (UTC-7 in summer), or the old offset stays with the failure shown. A reading far from the PC's own
    // clock is refused with its reason.
    void theApplicationsClockTakesTheReading_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("variance");

        // The PC, in Berlin, shows 2006-07-01 14:00 local time, 12:00 UTC.
        const QString refused =
            QStringLiteral("Error synchronizing clock.  The time server reads %1 UTC, this "
                           "computer 2006-07-01 12:00:00 UTC: more than 15 minutes apart.");
        QTest::newRow("reading") << QByteArray("<b>Jul. 1, 2006, 12:00:00 UTC</b>") << int(sfComplete)
                                 << "eBay clock synchronized." << -9 * 3600;
        QTest::newRow("2 minutes ahead") << QByteArray("<b>Jul. 1, 2006, 12:02:00 UTC</b>") << int(sfComplete)
                                         << "eBay clock synchronized." << -9 * 3600 + 120;
        QTest::newRow("2 minutes behind") << QByteArray("<b>Jul. 1, 2006, 11:58:00 UTC</b>")
                                          << int(sfComplete) << "eBay clock synchronized." << -9 * 3600 - 120;
        QTest::newRow("20 minutes behind")
            << QByteArray("<b>Jul. 1, 2006, 11:40:00 UTC</b>") << int(sfFailed)
            << refused.arg(QStringLiteral("2006-07-01 11:40:00")) << -9 * 3600 + 5;
        QTest::newRow("30 years ahead")
            << QByteArray("<b>Jul. 1, 2036, 12:00:00 UTC</b>") << int(sfFailed)
            << refused.arg(QStringLiteral("2036-07-01 12:00:00")) << -9 * 3600 + 5;
        QTest::newRow("garbage") << QByteArray("<b>no time today UTC</b>") << int(sfFailed)
                                 << "Error synchronizing clock." << -9 * 3600 + 5;
    }
    void theApplicationsClockTakesTheReading()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, state);
        QFETCH(QString, status);
        QFETCH(int, variance);

        FakeTimeSource pc(naive(2006, 7, 1, 14), -60, 60);
        RecordingDialogHost dialogs;
        RecordingMessageBoxSink boxes;
        cApp app(dialogs, boxes);
        app.Clock().setVariance(-9 * 3600 + 5);
        serve(page(body));

        app.Clock().Download();
        QCOMPARE(app.Clock().State(), sfRunning);
        QTRY_COMPARE(int(app.Clock().State()), state);
        QCOMPARE(app.Clock().Status(), status);
        QCOMPARE(app.Clock().Variance(), variance);
        QCOMPARE(app.Clock().Time(), naive(2006, 7, 1, 5).addSecs(variance + 9 * 3600));
        QCOMPARE(m_site.requests().size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_ClockUpdater)
#include "tst_ClockUpdater.moc"
