#include "FakeTimeSource.h"
#include "OrvError.h"
#include "StopWatch.h"

#include <QTest>

class tst_StopWatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The count follows the monotonic clock only: a wall-clock jump does not move it.
    void countsMonotonicMilliseconds()
    {
        FakeTimeSource clock;
        StopWatch watch;
        QCOMPARE(watch.Elapsed(), 0);
        clock.advanceMs(1234);
        QCOMPARE(watch.Elapsed(), 1234);
        clock.setLocalNow(clock.localNow().addDays(-3));
        QCOMPARE(watch.Elapsed(), 1234);
        watch.Reset();
        clock.advanceMs(5);
        QCOMPARE(watch.Elapsed(), 5);
        QVERIFY(watch.MinimumResolution() >= 1);
        QVERIFY(watch.MaximumResolution() >= watch.MinimumResolution());
    }

    void overflowsAfterThirtyTwoBits()
    {
        FakeTimeSource clock;
        StopWatch watch;
        clock.advanceMs(std::numeric_limits<qint32>::max());
        QCOMPARE(watch.Elapsed(), std::numeric_limits<qint32>::max());
        clock.advanceMs(1);
        try {
            watch.Elapsed();
            QFAIL("no overflow");
        } catch (const OrvError& e) {
            QCOMPARE(e.number(), StopWatch::ErrOverflow);
        }
    }
};

QTEST_GUILESS_MAIN(tst_StopWatch)
#include "tst_StopWatch.moc"
