#include "Clock.h"
#include "ClockUpdater.h"
#include "DateTimes.h"
#include "FakeSite.h"
#include "FakeTimeSource.h"
#include "RecordingDialogHost.h"
#include "Settings.h"
#include "TextForms.h"
#include "WidgetDialogHost.h"
#include "frmClock.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

const QString timePage = QStringLiteral("/cgi-bin/timer.pl");

// A site clock on fake time (2026-03-01 12:00 UTC, site standard time), for a user one hour east of
// UTC, shown in a clock window.
struct ClockWindow
{
    ClockWindow()
    {
        settings.LocalTimeZone = 1;
        clock.Init(settings, host);
        window = new frmClock(false);
    }
    ~ClockWindow() { delete window; }

    QString text(const char* label) const
    {
        return window->findChild<QLabel*>(QString::fromLatin1(label))->text();
    }
    QPushButton* button() const { return window->findChild<QPushButton*>(QStringLiteral("cmdUpdate")); }

    FakeTimeSource now{DateTimes::naive(2026, 3, 1, 12, 0)};
    Settings settings;
    RecordingDialogHost host;
    Clock clock;
    QPointer<frmClock> window;
};

} // namespace

class tst_frmClock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }

    void showsTheThreeTimesTwiceASecond();
    void synchronisesAgainstTheTimePage_data();
    void synchronisesAgainstTheTimePage();
    void opensDuringASynchronisation();
    void hostShowsOneSharedWindow();
};

void tst_frmClock::showsTheThreeTimesTwiceASecond()
{
    ClockWindow w;
    w.window->View(w.clock);
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Clock Settings"));
    QStringList titles;
    for (int i = 0; i < 4; ++i)
        titles << w.window->findChild<QLabel*>(QStringLiteral("lblTitle_%1").arg(i))->text();
    QCOMPARE(titles, QStringList({"eBay Time:", "Local Time:", "System Time:", "Last Updated:"}));
    QCOMPARE(w.button()->text(), QStringLiteral("Synchronize Clock"));
    QVERIFY(w.button()->isEnabled());
    // Never synchronised, and no tick yet.
    QCOMPARE(w.text("lblLastUpdated"), QStringLiteral("N/A"));
    QCOMPARE(w.text("lblRemoteTime"), QStringLiteral("N/A"));
    QCOMPARE(w.text("lblLocalTime"), QStringLiteral("N/A"));
    QCOMPARE(w.text("lblSystemTime"), QStringLiteral("N/A"));

    QTRY_VERIFY_WITH_TIMEOUT(w.text("lblRemoteTime") != QLatin1String("N/A"), 2000);
    const QDateTime site = w.clock.Time();
    QCOMPARE(w.text("lblRemoteTime"), TextForms::generalDate(site));
    // The site keeps standard time (UTC-8) on 1 March: the user, at UTC+1, is nine hours ahead.
    QCOMPARE(w.text("lblLocalTime"), TextForms::generalDate(site.addSecs(9 * 3600)));
    QCOMPARE(w.text("lblSystemTime"), QStringLiteral("3/1/2026 12:00:00 PM"));

    // The next tick follows the clock.
    w.now.advanceSeconds(5);
    QTRY_COMPARE_WITH_TIMEOUT(w.text("lblSystemTime"), QStringLiteral("3/1/2026 12:00:05 PM"), 2000);
    QCOMPARE(w.text("lblRemoteTime"), TextForms::generalDate(site.addSecs(5)));
}

void tst_frmClock::synchronisesAgainstTheTimePage_data()
{
    QTest::addColumn<bool>("answers");
    QTest::addColumn<QString>("status");
    QTest::newRow("synchronised") << true << "eBay clock synchronized.";
    QTest::newRow("failed") << false << "Error synchronizing clock.";
}

void tst_frmClock::synchronisesAgainstTheTimePage()
{
    QFETCH(bool, answers);
    QFETCH(QString, status);
    FakeSite site;
    QVERIFY(site.listen({SiteEndpoints::TimePage}));
    site.exportEnvironment();
    site.setHandler(SiteEndpoints::TimePage, timePage, [answers](const FakeSite::Request&) {
        if (!answers)
            return FakeSite::Response::error(500);
        // The PC clock is twenty seconds slow.
        const QDateTime utc = TimeSource::current().utcNow().addSecs(20);
        return FakeSite::Response::page(
                   QStringLiteral("<html><body><b>%1 UTC</b></body></html>")
                       .arg(QLocale::c().toString(utc, QStringLiteral("MMM. d, yyyy HH:mm:ss")))
                       .toUtf8())
            .delayed(100);
    });
    ClockWindow w;
    w.clock.setUpdater(new ClockUpdater);
    w.window->View(w.clock);

    w.button()->click();
    // While the clock synchronises the button waits, and the status shows the clock's progress.
    QVERIFY(!w.button()->isEnabled());
    QCOMPARE(w.text("status"), QStringLiteral("Synchronizing eBay clock..."));
    QTRY_VERIFY(w.button()->isEnabled());
    QCOMPARE(w.text("status"), status);
    QCOMPARE(site.requests(SiteEndpoints::TimePage).size(), 1);
    if (answers) {
        QVERIFY(!DateTimes::isZero(w.clock.LastUpdated()));
        QCOMPARE(w.text("lblLastUpdated"), TextForms::generalDate(w.clock.LastUpdated()));
        // The site time now runs twenty seconds ahead of the PC's own reading of it.
        QCOMPARE(DateTimes::secondsBetween(TimeSource::current().utcNow().addSecs(-8 * 3600), w.clock.Time()),
                 20);
    } else {
        QCOMPARE(w.text("lblLastUpdated"), QStringLiteral("N/A"));
    }
}

void tst_frmClock::opensDuringASynchronisation()
{
    ClockWindow w;
    w.clock.setState(sfRunning);
    w.window->View(w.clock);
    QVERIFY(!w.button()->isEnabled());
    w.clock.setState(sfFailed);
    QVERIFY(w.button()->isEnabled());
    QCOMPARE(w.text("status"), QStringLiteral("Error synchronizing clock."));
}

void tst_frmClock::hostShowsOneSharedWindow()
{
    ClockWindow w;
    WidgetDialogHost host;
    host.viewClock(w.clock);
    host.viewClock(w.clock);
    QList<frmClock*> open;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<frmClock*>(widget); window && window->isVisible())
            open << window;
    }
    QCOMPARE(open.size(), 1);
    // Closed, the window goes and stops listening; the clock carries on.
    const QPointer<frmClock> closing = open.constFirst();
    closing->close();
    QTRY_VERIFY(!closing);
    w.clock.setStatus(QStringLiteral("after"));
    w.clock.setVariance(5);
}

QTEST_MAIN(tst_frmClock)
#include "tst_frmClock.moc"
