#include "Clock.h"
#include "DateTimes.h"
#include "FakeClockUpdater.h"
#include "FakeTimeSource.h"
#include "RecordingDialogHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "XMLManager.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

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

    // Site time is the PC's UTC time, corrected by the error a synchronisation measured, plus the site's
    // offset in force at that moment, for a PC in any zone, whatever switches of summer time (the site's,
    // the PC's) lie between the synchronisation and the reading. The state file's Variance keeps its
    // meaning, site time minus the PC's local time, and gives the same clock back.
    void siteTimeFollowsUtcInEveryZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("syncAt"); // the PC's UTC time at the synchronisation
        QTest::addColumn<int>("error");        // how far the PC clock is behind the time read
        QTest::addColumn<QDateTime>("readAt"); // the PC's UTC time at the reading

        const QList<QByteArray> zones{"Asia/Tokyo",       "Europe/Berlin",       "Australia/Sydney",
                                      "America/New_York", "America/Los_Angeles", "Asia/Kolkata"};
        const QList<std::pair<QDateTime, int>> syncs{
            {naive(2026, 1, 15, 12), 7},     // everyone in standard time (Sydney in summer time)
            {naive(2026, 3, 20, 12), -42},   // the site in summer time, Europe not yet
            {naive(2026, 7, 1, 12), 300},    // northern summer
            {naive(2026, 10, 30, 12), -899}, // Europe back in standard time, the site not yet
        };
        // The switches of 2026 and the site's next one, as UTC instants.
        const QList<std::pair<const char*, QDateTime>> switches{
            {"site spring", naive(2026, 3, 8, 10)},       {"New York spring", naive(2026, 3, 8, 7)},
            {"Europe spring", naive(2026, 3, 29, 1)},     {"Sydney autumn", naive(2026, 4, 4, 16)},
            {"Sydney spring", naive(2026, 10, 3, 16)},    {"Europe autumn", naive(2026, 10, 25, 1)},
            {"New York autumn", naive(2026, 11, 1, 6)},   {"site autumn", naive(2026, 11, 1, 9)},
            {"site spring 2027", naive(2027, 3, 14, 10)},
        };
        for (const QByteArray& zone : zones) {
            for (const auto& [syncAt, error] : syncs) {
                const auto row = [&, syncAt = syncAt, error = error](const char* what,
                                                                     const QDateTime& readAt) {
                    QTest::addRow("%s, synchronised %s, read %s %s", zone.constData(),
                                  qPrintable(syncAt.toString(QStringLiteral("MMM d"))), what,
                                  qPrintable(readAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))))
                        << zone << syncAt << error << readAt;
                };
                for (const auto& [name, at] : switches) {
                    row(name, at.addSecs(-3600));
                    row(name, at.addSecs(3600));
                }
                // The site's own switches to the second, on the true time the PC clock is corrected to.
                for (const QDateTime& at : {naive(2026, 3, 8, 10), naive(2026, 11, 1, 9)}) {
                    row("site switch, second before", at.addSecs(-error - 1));
                    row("site switch", at.addSecs(-error));
                }
            }
        }
    }
    void siteTimeFollowsUtcInEveryZone()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, syncAt);
        QFETCH(int, error);
        QFETCH(QDateTime, readAt);
        const QTimeZone pcZone(zone);
        const QTimeZone siteZone("America/Los_Angeles");
        QVERIFY(pcZone.isValid() && siteZone.isValid());

        FakeTimeSource pc;
        pc.setUtcNowIn(pcZone, syncAt);
        Clock clock;
        auto* updater = new FakeClockUpdater;
        clock.setUpdater(updater);
        updater->utc = syncAt.addSecs(error);
        updater->report(sfRunning);
        updater->report(sfComplete);
        QCOMPARE(clock.State(), sfComplete);
        XMLManager savedAtSync;
        savedAtSync.Save(clock, savedAtSync.NewNode(QStringLiteral("Clock")));

        pc.setUtcNowIn(pcZone, readAt);
        const QDateTime utc = QDateTime(readAt.date(), readAt.time(), Qt::UTC).addSecs(error);
        const int siteOffset = siteZone.offsetFromUtc(utc);
        const QDateTime expected = DateTimes::asNaive(utc.addSecs(siteOffset));
        QCOMPARE(clock.Time(), expected);
        QCOMPARE(clock.UTCVariance(), siteOffset / 3600);
        QCOMPARE(qint64(clock.Variance()), DateTimes::secondsBetween(pc.localNow(), expected));

        XMLManager savedNow;
        savedNow.Save(clock, savedNow.NewNode(QStringLiteral("Clock")));
        Clock reloaded;
        savedNow.Restore(reloaded, savedNow.SubNode(QStringLiteral("Clock")));
        QCOMPARE(reloaded.Variance(), clock.Variance());
        QCOMPARE(reloaded.Time(), expected);
        // A file saved at the synchronisation and read after the switches since then.
        Clock restarted;
        savedAtSync.Restore(restarted, savedAtSync.SubNode(QStringLiteral("Clock")));
        QCOMPARE(restarted.Time(), expected);
    }

    // The user's zone is a standard offset; the PC's summer time in force is added to it.
    void localUtcVarianceComesFromTheUsersZone_data()
    {
        QTest::addColumn<QDateTime>("pcNow");
        QTest::addColumn<int>("summer");
        QTest::addColumn<int>("expected");
        QTest::newRow("both in standard time") << naive(2026, 1, 15, 12, 0) << 0 << 9;
        QTest::newRow("the site in summer time") << naive(2026, 3, 20, 12, 0) << 0 << 8;
        QTest::newRow("both in summer time") << naive(2026, 7, 15, 12, 0) << 60 << 9;
        QTest::newRow("the PC in summer time") << naive(2026, 11, 5, 12, 0) << 60 << 10;
    }
    void localUtcVarianceComesFromTheUsersZone()
    {
        QFETCH(QDateTime, pcNow);
        QFETCH(int, summer);
        QFETCH(int, expected);
        FakeTimeSource pc(pcNow, -60, summer);
        Settings settings;
        settings.LocalTimeZone = 1;
        RecordingDialogHost dialogs;
        Clock clock;
        clock.Init(settings, dialogs);
        QCOMPARE(clock.LocalUTCVariance(), expected);
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
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("running") << QList<int>{sfRunning}
                                 << QStringList{"status:Synchronizing eBay clock...", "state:1"};
        QTest::newRow("complete") << QList<int>{sfComplete}
                                  << QStringList{"status:eBay clock synchronized.", "state:2"};
        QTest::newRow("failed") << QList<int>{sfFailed}
                                << QStringList{"status:Error synchronizing clock.", "state:3"};
        QTest::newRow("the same state twice") << QList<int>{sfRunning, sfRunning}
                                              << QStringList{"status:Synchronizing eBay clock...", "state:1"};
        QTest::newRow("back to not running leaves the status")
            << QList<int>{sfFailed, sfNotRunning}
            << QStringList{"status:Error synchronizing clock.", "state:3", "state:0"};
        QTest::newRow("not running to begin with") << QList<int>{sfNotRunning} << QStringList{};
    }
    void stateWritesItsStatusLineFirst()
    {
        QFETCH(QList<int>, states);
        QFETCH(QStringList, events);
        Clock clock;
        QStringList seen;
        connect(&clock, &Clock::StatusChange, this,
                [&](const QString& s) { seen << QStringLiteral("status:") + s; });
        connect(&clock, &Clock::StateChanged, this,
                [&](int s) { seen << QStringLiteral("state:%1").arg(s); });
        for (int state : states)
            clock.setState(sfRunState(state));
        QCOMPARE(seen, events);
        QCOMPARE(int(clock.State()), states.constLast());
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
        QTest::addColumn<QDateTime>("pcUtc");
        QTest::addColumn<QDateTime>("utcRead");
        QTest::addColumn<QDateTime>("siteTime");
        QTest::newRow("2006 summer") << naive(2006, 7, 1, 12, 0, 5) << naive(2006, 7, 1, 12, 0)
                                     << naive(2006, 7, 1, 5, 0);
        QTest::newRow("2007 summer") << naive(2007, 7, 1, 11, 59) << naive(2007, 7, 1, 12, 0)
                                     << naive(2007, 7, 1, 5, 0);
        QTest::newRow("winter") << naive(2024, 1, 15, 12, 0) << naive(2024, 1, 15, 12, 0)
                                << naive(2024, 1, 15, 4, 0);
        // The PC clock is still before the switch; the time read is after it.
        QTest::newRow("just after the spring switch")
            << naive(2024, 3, 10, 9, 58) << naive(2024, 3, 10, 10, 0, 30) << naive(2024, 3, 10, 3, 0, 30);
    }
    void synchronisationSetsTheSiteTime()
    {
        QFETCH(QDateTime, pcUtc);
        QFETCH(QDateTime, utcRead);
        QFETCH(QDateTime, siteTime);
        FakeTimeSource pc(pcUtc);
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
        QTest::addColumn<int>("reported");
        QTest::addColumn<QDateTime>("utcRead");
        QTest::addColumn<QString>("status");
        const QString failed = QStringLiteral("Error synchronizing clock.");
        QTest::newRow("failed") << int(sfFailed) << naive(2024, 7, 1, 14, 0) << failed;
        // A completion that read no time is no synchronisation either.
        QTest::newRow("completed without a time") << int(sfComplete) << DateTimes::zero() << failed;
        // Nor is a reading that no sane PC clock is that far from; the status says why.
        const auto far = [&](const char* read) -> QString {
            return failed + QStringLiteral("  The time server reads ") + QLatin1String(read) +
                   QStringLiteral(" UTC, this computer 2024-07-01 14:00:00 UTC: more than 15 minutes apart.");
        };
        QTest::newRow("30 years ahead")
            << int(sfComplete) << naive(2054, 7, 1, 14, 0) << far("2054-07-01 14:00:00");
        QTest::newRow("20 minutes behind")
            << int(sfComplete) << naive(2024, 7, 1, 13, 40) << far("2024-07-01 13:40:00");
        QTest::newRow("a second beyond 15 minutes ahead")
            << int(sfComplete) << naive(2024, 7, 1, 14, 15, 1) << far("2024-07-01 14:15:01");
        QTest::newRow("the PC's date months off")
            << int(sfComplete) << naive(2024, 1, 1, 14, 0) << far("2024-01-01 14:00:00");
    }
    void anUnsuccessfulSynchronisationKeepsTheOffset()
    {
        QFETCH(int, reported);
        QFETCH(QDateTime, utcRead);
        QFETCH(QString, status);
        FakeTimeSource pc(naive(2024, 7, 1, 14, 0));
        Clock clock;
        clock.setVariance(-25190);
        const QDateTime siteTime = clock.Time();
        auto* updater = new FakeClockUpdater;
        clock.setUpdater(updater);
        QSignalSpy updated(&clock, &Clock::Updated);
        QSignalSpy statuses(&clock, &Clock::StatusChange);
        updater->report(sfRunning);
        updater->utc = utcRead;
        updater->report(sfRunState(reported));
        QCOMPARE(clock.Variance(), -25190);
        QCOMPARE(clock.Time(), siteTime);
        QVERIFY(updated.isEmpty());
        QCOMPARE(clock.State(), sfFailed);
        QCOMPARE(clock.Status(), status);
        QCOMPARE(statuses.size(), 2); // running, then failed with its reason: one line each
    }

    // Readings up to 15 minutes from the PC clock are taken: it is the PC clock that is out.
    void aReadingNearThePcClockIsTaken_data()
    {
        QTest::addColumn<int>("error");
        QTest::newRow("2 minutes ahead") << 120;
        QTest::newRow("2 minutes behind") << -120;
        QTest::newRow("15 minutes ahead") << 900;
        QTest::newRow("15 minutes behind") << -900;
    }
    void aReadingNearThePcClockIsTaken()
    {
        QFETCH(int, error);
        FakeTimeSource pc(naive(2024, 7, 1, 14, 0));
        Clock clock;
        auto* updater = new FakeClockUpdater;
        clock.setUpdater(updater);
        updater->report(sfRunning);
        updater->utc = naive(2024, 7, 1, 14, 0).addSecs(error);
        updater->report(sfComplete);
        QCOMPARE(clock.State(), sfComplete);
        QCOMPARE(clock.Time(), naive(2024, 7, 1, 7, 0).addSecs(error));
        QCOMPARE(clock.Variance(), -7 * 3600 + error);
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
        clock.setVariance(-28795); // the PC clock 5 seconds behind
        XMLManager saver;
        saver.Save(clock, saver.NewNode(QStringLiteral("Clock")));
        QCOMPARE(saver.toBytes(),
                 QByteArray("<Root><Clock><Variance>-28795</Variance>"
                            "<LastUpdated>2026-03-01 04:00:05</LastUpdated></Clock></Root>"));

        TestDataFolder folder;
        saver.SaveFile(folder.stateFile());
        pc.advanceSeconds(3600);
        Clock loaded;
        QSignalSpy updated(&loaded, &Clock::Updated);
        XMLManager loader;
        loader.LoadFile(folder.stateFile());
        loader.Restore(loaded, loader.SubNode(QStringLiteral("Clock")));
        QCOMPARE(loaded.Variance(), -28795);
        QCOMPARE(loaded.LastUpdated(), naive(2026, 3, 1, 4, 0, 5));
        QCOMPARE(loaded.Time(), naive(2026, 3, 1, 5, 0, 5));
        QVERIFY(updated.isEmpty()); // loading stores the values directly
    }

    // A stored Variance is read with the offsets in force at loading. One that would put the site clock
    // more than 15 minutes from the PC's own UTC-based site time gives way to the default for the PC's
    // zone; whole hours are summer time switched since the file was saved.
    void aStoredVarianceFarFromThePcClockGivesWayToTheDefault_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("variance");
        // Berlin in summer, the site in summer time: the default is -9 hours.
        const int fallback = -9 * 3600;
        const auto text = [](qint64 v) { return QString::number(v); };
        QTest::newRow("2 minutes ahead") << text(fallback + 120) << fallback + 120;
        QTest::newRow("2 minutes behind") << text(fallback - 120) << fallback - 120;
        QTest::newRow("20 minutes behind") << text(fallback - 1200) << fallback;
        QTest::newRow("20 minutes ahead") << text(fallback + 1200) << fallback;
        QTest::newRow("30 years ahead") << text(fallback + 946'728'000LL) << fallback;
        QTest::newRow("saved before a switch") << text(fallback - 3600 + 30) << fallback + 30;
        QTest::newRow("saved before both switched") << text(fallback + 7200 - 30) << fallback - 30;
        QTest::newRow("the site's and the PC's time alike") << text(0) << fallback;
        QTest::newRow("beyond 32 bits") << text(99'999'999'999LL) << fallback;
        QTest::newRow("not a number") << QStringLiteral("soon") << fallback;
    }
    void aStoredVarianceFarFromThePcClockGivesWayToTheDefault()
    {
        QFETCH(QString, stored);
        QFETCH(int, variance);
        FakeTimeSource pc(naive(2026, 7, 15, 12, 0), -60, 60);
        TestDataFolder folder;
        folder.write(QStringLiteral("auctions.xml"),
                     "<Root><Clock><Variance>" + stored.toUtf8() + "</Variance></Clock></Root>");
        XMLManager file;
        file.LoadFile(folder.stateFile());
        Clock clock;
        file.Restore(clock, file.SubNode(QStringLiteral("Clock")));
        QCOMPARE(clock.Variance(), variance);
        QCOMPARE(qint64(clock.Variance()), DateTimes::secondsBetween(pc.localNow(), clock.Time()));
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
