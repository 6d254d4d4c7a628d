#include "BusSnapshotRecord.h"

#include <QTest>

using Bus::AuctionRecord;
using Bus::SnapshotRecord;

class tst_SnapshotRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void travelsWhole_data();
    void travelsWhole();
    void unreadableFieldsKeepANewRecordsValues_data();
    void unreadableFieldsKeepANewRecordsValues();
};

namespace {

AuctionRecord auction(const QString& item, const QString& category)
{
    AuctionRecord record;
    record.Item = item;
    record.Category = category;
    record.EndTime = QDateTime(QDate(2024, 6, 2), QTime(20, 0), Qt::UTC);
    record.SnipeBid = 12.5;
    record.SnipeState = OrvEnums::OR2BidSet;
    return record;
}

} // namespace

void tst_SnapshotRecord::travelsWhole_data()
{
    QTest::addColumn<SnapshotRecord>("record");
    QTest::addColumn<QList<AuctionRecord>>("auctions");

    QTest::newRow("new record") << SnapshotRecord() << QList<AuctionRecord>();
    const QList<AuctionRecord> auctions{auction(QStringLiteral("100"), QStringLiteral("Default")),
                                        auction(QStringLiteral("200"), QStringLiteral("Bücher"))};
    QList<QByteArray> parts;
    for (const AuctionRecord& each : auctions)
        parts << each.packed();
    SnapshotRecord full;
    full.AppState = 4;
    full.AppStatus = QStringLiteral("Application Started.");
    full.Auctions = AuctionRecord::packList(parts);
    full.Serial = 1ULL << 40;
    full.Categorys = {{QStringLiteral("Default"), 0, false}, {QStringLiteral("Bücher"), 2, true}};
    full.Settings = {true, true, false, true, 0, 128, 8421504, 255};
    full.Clock.UtcOffset = -7 * 3600;
    full.Clock.Status = QStringLiteral("synchronized");
    full.Clock.NextChange = QDateTime(QDate(2024, 11, 3), QTime(9, 0), Qt::UTC);
    full.Clock.NextUtcOffset = -8 * 3600;
    full.BidManagerState = 3;
    full.UpdatersState = 1;
    QTest::newRow("every part") << full << auctions;
    SnapshotRecord empty = full;
    empty.Auctions = AuctionRecord::packList({});
    empty.Categorys.clear();
    QTest::newRow("no auctions, no categories") << empty << QList<AuctionRecord>();
}

void tst_SnapshotRecord::travelsWhole()
{
    QFETCH(SnapshotRecord, record);
    QFETCH(QList<AuctionRecord>, auctions);

    const SnapshotRecord read = SnapshotRecord::fromMap(record.toMap());
    QCOMPARE(read, record);
    QCOMPARE(AuctionRecord::unpackList(read.Auctions), auctions);
}

void tst_SnapshotRecord::unreadableFieldsKeepANewRecordsValues_data()
{
    QTest::addColumn<QVariantMap>("map");
    QTest::addColumn<SnapshotRecord>("expected");

    QTest::newRow("empty") << QVariantMap() << SnapshotRecord();
    QTest::newRow("wrong types") << QVariantMap{{QStringLiteral("App"), QStringLiteral("running")},
                                                {QStringLiteral("Auctions"), 5},
                                                {QStringLiteral("Serial"), QStringLiteral("next")},
                                                {QStringLiteral("Categorys"), 7},
                                                {QStringLiteral("Settings"), QVariantList{}},
                                                {QStringLiteral("BidManager"), QVariantMap{{"State", "red"}}}}
                                 << SnapshotRecord();
    SnapshotRecord some;
    some.AppStatus = QStringLiteral("Application Loaded.");
    some.UpdatersState = 2;
    some.Clock.Variance = 3;
    QTest::newRow("readable beside unreadable")
        << QVariantMap{{QStringLiteral("App"),
                        QVariantMap{{QStringLiteral("State"), QStringLiteral("loaded")},
                                    {QStringLiteral("Status"), QStringLiteral("Application Loaded.")}}},
                       {QStringLiteral("Updaters"), QVariantMap{{QStringLiteral("State"), 2}}},
                       {QStringLiteral("Clock"), QVariantMap{{QStringLiteral("Variance"), 3}}}}
        << some;
}

void tst_SnapshotRecord::unreadableFieldsKeepANewRecordsValues()
{
    QFETCH(QVariantMap, map);
    QFETCH(SnapshotRecord, expected);

    QCOMPARE(SnapshotRecord::fromMap(map), expected);
}

QTEST_GUILESS_MAIN(tst_SnapshotRecord)
#include "tst_SnapshotRecord.moc"
