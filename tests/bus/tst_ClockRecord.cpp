#include "BusClockRecord.h"

#include <QTest>

using Bus::ClockRecord;

class tst_ClockRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void travelsWhole_data();
    void travelsWhole();
    void unreadableFieldsKeepANewRecordsValues_data();
    void unreadableFieldsKeepANewRecordsValues();
};

void tst_ClockRecord::travelsWhole_data()
{
    QTest::addColumn<ClockRecord>("record");
    QTest::addColumn<ClockRecord>("expected");

    QTest::newRow("new record") << ClockRecord() << ClockRecord();
    const ClockRecord synchronised{.Variance = -25200,
                                   .LastUpdated = QDateTime(QDate(2024, 10, 30), QTime(8, 15, 2), Qt::UTC),
                                   .State = 2,
                                   .Status = QStringLiteral("Synchronisiert – ±0 s"),
                                   .UtcOffset = -7 * 3600,
                                   .NextChange = QDateTime(QDate(2024, 11, 3), QTime(9, 0), Qt::UTC),
                                   .NextUtcOffset = -8 * 3600};
    QTest::newRow("with the next change") << synchronised << synchronised;
    ClockRecord far = synchronised;
    far.UtcOffset = 3'000'000'000LL;
    far.NextUtcOffset = -3'000'000'000LL;
    far.LastUpdated = DateTimes::zero();
    QTest::newRow("offsets beyond 32 bits, zero date") << far << far;
    // Without a next change its offset does not travel either.
    ClockRecord noChange = synchronised;
    noChange.NextChange = QDateTime();
    ClockRecord noChangeRead = noChange;
    noChangeRead.NextUtcOffset = 0;
    QTest::newRow("no next change") << noChange << noChangeRead;
}

void tst_ClockRecord::travelsWhole()
{
    QFETCH(ClockRecord, record);
    QFETCH(ClockRecord, expected);

    const QVariantMap map = record.toMap();
    QCOMPARE(map.contains(Bus::ClockKey::NextChange), record.NextChange.isValid());
    QCOMPARE(map.contains(Bus::ClockKey::NextUtcOffset), record.NextChange.isValid());
    QCOMPARE(ClockRecord::fromMap(map), expected);
}

void tst_ClockRecord::unreadableFieldsKeepANewRecordsValues_data()
{
    QTest::addColumn<QVariantMap>("map");
    QTest::addColumn<ClockRecord>("expected");

    QTest::newRow("empty") << QVariantMap() << ClockRecord();
    QTest::newRow("wrong types") << QVariantMap{{QStringLiteral("Variance"), QStringLiteral("none")},
                                                {QStringLiteral("LastUpdated"), QStringLiteral("today")},
                                                {QStringLiteral("UtcOffset"), QVariantList{}},
                                                {QStringLiteral("NextChange"), QStringLiteral("tomorrow")},
                                                {QStringLiteral("NextUtcOffset"), 3600}}
                                 << ClockRecord();
    QTest::newRow("readable beside unreadable")
        << QVariantMap{{QStringLiteral("UtcOffset"), -7 * 3600},
                       {QStringLiteral("NextChange"), QStringLiteral("2024-11-03T09:00:00Z")},
                       {QStringLiteral("NextUtcOffset"), QStringLiteral("later")},
                       {QStringLiteral("State"), 2}}
        << ClockRecord{.State = 2,
                       .UtcOffset = -7 * 3600,
                       .NextChange = QDateTime(QDate(2024, 11, 3), QTime(9, 0), Qt::UTC)};
}

void tst_ClockRecord::unreadableFieldsKeepANewRecordsValues()
{
    QFETCH(QVariantMap, map);
    QFETCH(ClockRecord, expected);

    QCOMPARE(ClockRecord::fromMap(map), expected);
}

QTEST_GUILESS_MAIN(tst_ClockRecord)
#include "tst_ClockRecord.moc"
