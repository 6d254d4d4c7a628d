#include "Clock.h"
#include "DateTimes.h"
#include "EnumName.h"
#include "FakeClockUpdater.h"
#include "FakeTimeSource.h"
#include "RecordingDialogHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "XMLManager.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using DateTimes::naive;

class tst_Clock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void siteSummerTimeFollowsTheRulesOfEachYear_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<bool>("isUtc");
        QTest::addColumn<int>("offset");

        auto site = [](const char* name, QDateTime when, int offset) {
            QTest::newRow(name) << when << false << offset;
        };
        auto utc = [](const char* name, QDateTime when, int offset) {
            QTest::newRow(name) << when << true << offset;
        };
        // 2005 and 2006: first Sunday of April to last Sunday of October.
        site("2005 day before start", naive(2005, 4, 2, 12), -8);
        site("2005 start, hour before", naive(2005, 4, 3, 1, 59, 59), -8);
        site("2005 start, hour after", naive(2005, 4, 3, 3), -7);
        site("2005 last summer day", naive(2005, 10, 29, 12), -7);
        site("2005 end, hour before", naive(2005, 10, 30, 0, 59, 59), -7);
        site("2005 end, repeated hour", naive(2005, 10, 30, 1, 30), -7);
        site("2005 end, hour after", naive(2005, 10, 30, 2), -8);
        site("2006 start, hour before", naive(2006, 4, 2, 1), -8);
        site("2006 start, hour after", naive(2006, 4, 2, 3), -7);
        site("2006 end, hour before", naive(2006, 10, 29, 0, 30), -7);
        site("2006 end, hour after", naive(2006, 10, 29, 2, 30), -8);
        // Since 2007: second Sunday of March to first Sunday of November.
        site("2007 start, hour before", naive(2007, 3, 11, 1, 59, 59), -8);
        site("2007 start, hour after", naive(2007, 3, 11, 3), -7);
        site("2007 first Sunday of April", naive(2007, 4, 1, 12), -7);
        site("2007 last Sunday of October", naive(2007, 10, 28, 12), -7);
        site("2007 end, hour before", naive(2007, 11, 4, 0, 59, 59), -7);
        site("2007 end, hour after", naive(2007, 11, 4, 2), -8);
        site("2024 winter", naive(2024, 1, 15, 12), -8);
        site("2024 start, hour before", naive(2024, 3, 10, 1, 59, 59), -8);
        site("2024 start, hour after", naive(2024, 3, 10, 3), -7);
        site("2024 end, hour before", naive(2024, 11, 3, 0, 59, 59), -7);
        site("2024 end, hour after", naive(2024, 11, 3, 2), -8);
        // The same switches as UTC instants, where no hour is repeated.
        utc("UTC 2005 start, second before", naive(2005, 4, 3, 9, 59, 59), -8);
        utc("UTC 2005 start", naive(2005, 4, 3, 10), -7);
        utc("UTC 2005 end, second before", naive(2005, 10, 30, 8, 59, 59), -7);
        utc("UTC 2005 end", naive(2005, 10, 30, 9), -8);
        utc("UTC 2024 start, second before", naive(2024, 3, 10, 9, 59, 59), -8);
        utc("UTC 2024 start", naive(2024, 3, 10, 10), -7);
        utc("UTC 2024 end, second before", naive(2024, 11, 3, 8, 59, 59), -7);
        utc("UTC 2024 end", naive(2024, 11, 3, 9), -8);
    }
    void siteSummerTimeFollowsTheRulesOfEachYear()
    {
        QFETCH(QDateTime, when);
        QFETCH(bool, isUtc);
        QFETCH(int, offset);
        QCOMPARE(isUtc ? Clock::siteUtcOffsetHoursAtUtc(when) : Clock::siteUtcOffsetHours(when), offset);
    }

    void siteTimeIsLocalTimePlusVariance()
    {
        FakeTimeSource pc(naive(2024, 3, 10, 12, 0));
        Clock clock;
        clock.setVariance(-10 * 3600); // site time 2024-03-10 02:00, the first minute of summer time
        QCOMPARE(clock.Time(), naive(2024, 3, 10, 2, 0));
        QCOMPARE(clock.UTCVariance(), -7);
        pc.advanceSeconds(-1);
        QCOMPARE(clock.Time(), naive(2024, 3, 10, 1, 59, 59));
        QCOMPARE(clock.UTCVariance(), -8);
    }

    void localUtcVarianceComesFromTheUsersZone()
    {
        FakeTimeSource pc(naive(2026, 1, 15, 12, 0));
        Settings settings;
        settings.LocalTimeZone = 1;
        RecordingDialogHost dialogs;
        Clock clock;
        clock.Init(settings, dialogs);
        QCOMPARE(clock.LocalUTCVariance(), 9);
        pc.setLocalNow(naive(2026, 7, 15, 12, 0));
        QCOMPARE(clock.LocalUTCVariance(), 8);
    }

    void writingTheVarianceStampsAndRaisesUpdated()
    {
        FakeTimeSource pc(naive(2026, 3, 1, 12, 0));
        Clock clock;
        QSignalSpy updated(&clock, &Clock::Updated);
        clock.setVariance(-3600);
        QCOMPARE(clock.Variance(), -3600);
        QCOMPARE(clock.LastUpdated(), naive(2026, 3, 1, 11, 0));
        QCOMPARE(updated.size(), 1);

        clock.setTime(naive(2026, 3, 1, 12, 0, 30));
        QCOMPARE(clock.Variance(), 30);
        QCOMPARE(clock.LastUpdated(), naive(2026, 3, 1, 12, 0, 30));
        QCOMPARE(clock.Time(), naive(2026, 3, 1, 12, 0, 30));
        QCOMPARE(updated.size(), 2);
    }

    void timesAtOrBeforeTheZeroDateAreIgnored_data()
    {
        QTest::addColumn<QDateTime>("value");
        QTest::newRow("zero date") << DateTimes::zero();
        QTest::newRow("before the zero date") << naive(1899, 12, 29, 23, 0);
        QTest::newRow("no date") << QDateTime();
    }
    void timesAtOrBeforeTheZeroDateAreIgnored()
    {
        QFETCH(QDateTime, value);
        FakeTimeSource pc(naive(2026, 3, 1, 12, 0));
        Clock clock;
        clock.setVariance(-3600);
        const QDateTime stamped = clock.LastUpdated();
        QSignalSpy updated(&clock, &Clock::Updated);
        pc.advanceSeconds(60);
        clock.setTime(value);
        QCOMPARE(clock.Variance(), -3600);
        QCOMPARE(clock.LastUpdated(), stamped);
        QVERIFY(updated.isEmpty());
    }

    void stateWritesItsStatusLineFirst_data()
    {
        QTest::addColumn<QList<sfRunState>>("states");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("running") << QList<sfRunState>{sfRunning}
                                 << QStringList{"status:Synchronizing eBay clock...", "state:sfRunning"};
        QTest::newRow("complete") << QList<sfRunState>{sfComplete}
                                  << QStringList{"status:eBay clock synchronized.", "state:sfComplete"};
        QTest::newRow("failed") << QList<sfRunState>{sfFailed}
                                << QStringList{"status:Error synchronizing clock.", "state:sfFailed"};
        QTest::newRow("the same state twice")
            << QList<sfRunState>{sfRunning, sfRunning}
            << QStringList{"status:Synchronizing eBay clock...", "state:sfRunning"};
        QTest::newRow("back to not running leaves the status")
            << QList<sfRunState>{sfFailed, sfNotRunning}
            << QStringList{"status:Error synchronizing clock.", "state:sfFailed", "state:sfNotRunning"};
        QTest::newRow("not running to begin with") << QList<sfRunState>{sfNotRunning} << QStringList{};
    }
    void stateWritesItsStatusLineFirst()
    {
        QFETCH(QList<sfRunState>, states);
        QFETCH(QStringList, events);
        Clock clock;
        QStringList seen;
        connect(&clock, &Clock::StatusChange, this,
                [&](const QString& s) { seen << QStringLiteral("status:") + s; });
        connect(&clock, &Clock::StateChanged, this,
                [&](int s) { seen << QStringLiteral("state:") + enumName<sfRunState>(s); });
        for (sfRunState state : states)
            clock.setState(state);
        QCOMPARE(seen, events);
        QCOMPARE(clock.State(), states.constLast());
    }

    void statusIsRaisedEvenWhenUnchanged()
    {
        Clock clock;
        QSignalSpy status(&clock, &Clock::StatusChange);
        clock.setStatus(QStringLiteral("same"));
        clock.setStatus(QStringLiteral("same"));
        QCOMPARE(status.size(), 2);
        QCOMPARE(clock.Status(), QStringLiteral("same"));
    }

    void synchronisationSetsTheSiteTime_data()
    {
        QTest::addColumn<QDateTime>("pcNow");
        QTest::addColumn<QDateTime>("utcRead");
        QTest::addColumn<QDateTime>("siteTime");
        QTest::newRow("2006 summer") << naive(2006, 7, 1, 14, 0) << naive(2006, 7, 1, 12, 0)
                                     << naive(2006, 7, 1, 5, 0);
        QTest::newRow("2007 summer") << naive(2007, 7, 1, 14, 0) << naive(2007, 7, 1, 12, 0)
                                     << naive(2007, 7, 1, 5, 0);
        QTest::newRow("winter") << naive(2024, 1, 15, 13, 0) << naive(2024, 1, 15, 12, 0)
                                << naive(2024, 1, 15, 4, 0);
        QTest::newRow("just after the spring switch")
            << naive(2024, 3, 10, 11, 30) << naive(2024, 3, 10, 10, 30) << naive(2024, 3, 10, 3, 30);
        // The PC's calendar is months out: the offset is the one of the instant read, not of the PC's date.
        QTest::newRow("PC date far off")
            << naive(2024, 1, 1, 12, 0) << naive(2024, 7, 1, 12, 0) << naive(2024, 7, 1, 5, 0);
    }
    void synchronisationSetsTheSiteTime()
    {
        QFETCH(QDateTime, pcNow);
        QFETCH(QDateTime, utcRead);
        QFETCH(QDateTime, siteTime);
        FakeTimeSource pc(pcNow);
        Clock clock;
        auto* updater = new FakeClockUpdater;
        clock.setUpdater(updater);
        QSignalSpy updated(&clock, &Clock::Updated);

        clock.Download();
        QCOMPARE(updater->downloads, 1);
        updater->report(sfRunning);
        QCOMPARE(clock.State(), sfRunning);
        QCOMPARE(clock.Status(), QStringLiteral("Synchronizing eBay clock..."));
        updater->utc = utcRead;
        updater->report(sfComplete);

        QCOMPARE(clock.Time(), siteTime);
        QCOMPARE(clock.LastUpdated(), siteTime);
        QCOMPARE(updated.size(), 1);
        QCOMPARE(clock.State(), sfComplete);
        QCOMPARE(clock.Status(), QStringLiteral("eBay clock synchronized."));
    }

    void anUnsuccessfulSynchronisationKeepsTheOffset_data()
    {
        QTest::addColumn<sfRunState>("reported");
        QTest::addColumn<QDateTime>("utcRead");
        QTest::newRow("failed") << sfFailed << naive(2024, 7, 1, 12, 0);
        // A completion that read no time is no synchronisation either.
        QTest::newRow("completed without a time") << sfComplete << DateTimes::zero();
    }
    void anUnsuccessfulSynchronisationKeepsTheOffset()
    {
        QFETCH(sfRunState, reported);
        QFETCH(QDateTime, utcRead);
        FakeTimeSource pc(naive(2024, 7, 1, 14, 0));
        Clock clock;
        clock.setVariance(-32400);
        auto* updater = new FakeClockUpdater;
        clock.setUpdater(updater);
        QSignalSpy updated(&clock, &Clock::Updated);
        updater->report(sfRunning);
        updater->utc = utcRead;
        updater->report(reported);
        QCOMPARE(clock.Variance(), -32400);
        QVERIFY(updated.isEmpty());
        QCOMPARE(clock.State(), sfFailed);
        QCOMPARE(clock.Status(), QStringLiteral("Error synchronizing clock."));
    }

    void requestsGoToTheUpdaterTheClockOwns()
    {
        Clock clock;
        clock.Download(); // no worker yet: nothing happens
        clock.Cancel();
        QCOMPARE(clock.State(), sfNotRunning);

        QPointer<FakeClockUpdater> first = new FakeClockUpdater;
        clock.setUpdater(first);
        QCOMPARE(first->parent(), &clock);
        clock.Download();
        clock.Cancel();
        QCOMPARE(first->downloads, 1);
        QCOMPARE(first->cancels, 1);

        auto* second = new FakeClockUpdater;
        clock.setUpdater(second);
        QVERIFY(first.isNull());
        second->report(sfRunning);
        QCOMPARE(clock.State(), sfRunning);
    }

    void showOpensTheClockWindow()
    {
        Settings settings;
        RecordingDialogHost dialogs;
        Clock clock;
        clock.Init(settings, dialogs);
        clock.show();
        QCOMPARE(dialogs.calls, QStringList{QStringLiteral("clock")});
    }

    void varianceAndStampRoundTripThroughTheStateFile()
    {
        FakeTimeSource pc(naive(2026, 3, 1, 12, 0));
        Clock clock;
        clock.setVariance(-10800);
        XMLManager saver;
        saver.Save(clock, saver.NewNode(QStringLiteral("Clock")));
        QCOMPARE(saver.toBytes(),
                 QByteArray("<Root><Clock><Variance>-10800</Variance>"
                            "<LastUpdated>2026-03-01 09:00:00</LastUpdated></Clock></Root>"));

        TestDataFolder folder;
        saver.SaveFile(folder.stateFile());
        pc.advanceSeconds(3600);
        Clock loaded;
        QSignalSpy updated(&loaded, &Clock::Updated);
        XMLManager loader;
        loader.LoadFile(folder.stateFile());
        loader.Restore(loaded, loader.SubNode(QStringLiteral("Clock")));
        QCOMPARE(loaded.Variance(), -10800);
        QCOMPARE(loaded.LastUpdated(), naive(2026, 3, 1, 9, 0));
        QCOMPARE(loaded.Time(), naive(2026, 3, 1, 10, 0));
        QVERIFY(updated.isEmpty()); // loading stores the values directly
    }

    void aFirstStartTakesTheZonesDifferenceAsOffset_data()
    {
        QTest::addColumn<QDateTime>("pcNow");
        QTest::addColumn<int>("bias");
        QTest::addColumn<int>("summer");
        QTest::addColumn<int>("variance");
        QTest::newRow("New York, winter") << naive(2026, 1, 15, 12, 0) << 300 << 0 << -3 * 3600;
        QTest::newRow("New York, summer") << naive(2026, 7, 15, 12, 0) << 300 << 60 << -3 * 3600;
        QTest::newRow("Berlin, summer") << naive(2026, 7, 15, 12, 0) << -60 << 60 << -9 * 3600;
        QTest::newRow("Dublin, summer") << naive(2026, 7, 15, 12, 0) << 0 << 60 << -8 * 3600;
        QTest::newRow("Kolkata, half an hour") << naive(2026, 1, 15, 12, 0) << -330 << 0 << -48600;
        QTest::newRow("the site's own zone, summer") << naive(2026, 7, 15, 12, 0) << 480 << 60 << 0;
        // Site and PC switch on different days: the site is already in summer time, the PC not yet.
        QTest::newRow("London before its switch") << naive(2026, 3, 20, 12, 0) << 0 << 0 << -7 * 3600;
    }
    void aFirstStartTakesTheZonesDifferenceAsOffset()
    {
        QFETCH(QDateTime, pcNow);
        QFETCH(int, bias);
        QFETCH(int, summer);
        QFETCH(int, variance);
        FakeTimeSource pc(pcNow, bias, summer);
        Clock clock;
        QSignalSpy updated(&clock, &Clock::Updated);
        XMLManager loader; // a new state file: no "Clock" element
        loader.Restore(clock, loader.SubNode(QStringLiteral("Clock")));
        QCOMPARE(clock.Variance(), variance);
        QCOMPARE(clock.LastUpdated(), pcNow);
        QVERIFY(updated.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Clock)
#include "tst_Clock.moc"
