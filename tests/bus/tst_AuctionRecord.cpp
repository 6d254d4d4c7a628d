#include "BusAuctionRecord.h"
#include "RecordPack.h"

#include <QIODevice>
#include <QTest>

using Bus::AuctionRecord;
using namespace OrvEnums;

class tst_AuctionRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void travelsWhole_data();
    void travelsWhole();
    void unreadableFieldsKeepANewRecordsValues_data();
    void unreadableFieldsKeepANewRecordsValues();
    void packedListReadsAsTheMapDoes_data();
    void packedListReadsAsTheMapDoes();
    void unreadablePackedListGivesNoRecords_data();
    void unreadablePackedListGivesNoRecords();
};

namespace {

AuctionRecord everyField()
{
    AuctionRecord record;
    record.Item = QStringLiteral("123");
    record.Description = QStringLiteral("Lamp & shade");
    record.EndTime = QDateTime(QDate(2099, 3, 4), QTime(18, 30, 5), Qt::UTC);
    record.StartTime = QDateTime(QDate(1950, 1, 2), QTime(0, 0, 1), Qt::UTC);
    record.Price = 41.5;
    record.Shipping = 6.95;
    record.Quantity = 3;
    record.Bids = 12;
    record.HighBidder = QStringLiteral("b***r");
    record.Seller = QStringLiteral("seller");
    record.LastUpdated = QDateTime(QDate(2024, 6, 1), QTime(12, 0, 59), Qt::UTC);
    record.Comments = QStringLiteral("note");
    record.Category = QStringLiteral("Books");
    record.CurrencyTxt = QStringLiteral("US $");
    record.SysComments = QStringLiteral("Waiting.");
    record.Deleted = true;
    record.SnipeBid = 57.25;
    record.SnipeSeconds = 8;
    record.SnipeQuantity = 2;
    record.SnipeState = OR2BidCancelled;
    record.LastTimeLeftLevel = OR2Caution;
    record.TimeLeftLevel = OR2Warning;
    return record;
}

// The value's type as the packed form names it.
char packedTypeOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return 's';
    case QMetaType::LongLong:
        return 'x';
    case QMetaType::Int:
        return 'i';
    case QMetaType::Double:
        return 'd';
    case QMetaType::Bool:
        return 'b';
    default:
        return '?';
    }
}

} // namespace

void tst_AuctionRecord::travelsWhole_data()
{
    QTest::addColumn<AuctionRecord>("record");

    QTest::newRow("new record") << AuctionRecord();
    QTest::newRow("every field") << everyField();
    AuctionRecord zero = everyField();
    zero.EndTime = DateTimes::zero();
    zero.StartTime = DateTimes::zero();
    zero.LastUpdated = DateTimes::zero();
    zero.Deleted = false;
    QTest::newRow("zero dates, not deleted") << zero;
    AuctionRecord text = everyField();
    text.Description = QStringLiteral("Vase – 日本 \U0001F3FA, \"blue\"\nsecond line");
    text.Seller = QStringLiteral("Müßig");
    text.CurrencyTxt = QStringLiteral("€");
    text.Comments = QString();
    QTest::newRow("unicode and empty text") << text;
    AuctionRecord extremes = everyField();
    extremes.Price = 0.01;
    extremes.SnipeBid = 1e9;
    extremes.Quantity = std::numeric_limits<qint32>::max();
    extremes.Bids = 0;
    extremes.SnipeQuantity = 0;
    extremes.SnipeSeconds = 3600;
    extremes.SnipeState = OR2Watching;
    extremes.LastTimeLeftLevel = OR2Active;
    extremes.TimeLeftLevel = OR2Complete;
    extremes.EndTime = QDateTime(QDate(2038, 1, 19), QTime(3, 14, 8), Qt::UTC);
    QTest::newRow("edges of the ranges") << extremes;
}

void tst_AuctionRecord::travelsWhole()
{
    QFETCH(AuctionRecord, record);

    const QVariantMap map = record.toMap();
    QCOMPARE(AuctionRecord::fromMap(map), record);

    // One record packed alone, and between others in a list.
    QCOMPARE(AuctionRecord::unpackList(AuctionRecord::packList({record.packed()})),
             QList<AuctionRecord>{record});
    const QList<AuctionRecord> list{everyField(), record, AuctionRecord()};
    QList<QByteArray> parts;
    for (const AuctionRecord& each : list)
        parts << each.packed();
    QCOMPARE(AuctionRecord::unpackList(AuctionRecord::packList(parts)), list);

    // The two forms carry the same fields with the same types.
    const QStringList names = AuctionRecord::packedNames();
    QCOMPARE(names.size(), AuctionRecord::packedTypes().size());
    QStringList keys = map.keys();
    QStringList sortedNames = names;
    keys.sort();
    sortedNames.sort();
    QCOMPARE(keys, sortedNames);
    for (qsizetype i = 0; i < names.size(); ++i)
        QCOMPARE(packedTypeOf(map.value(names.at(i))), AuctionRecord::packedTypes().at(i));
    QCOMPARE(RecordPack::unpackList(AuctionRecord::packList({record.packed()})), QVariantList{map});
}

void tst_AuctionRecord::unreadableFieldsKeepANewRecordsValues_data()
{
    QTest::addColumn<QVariantMap>("map");
    QTest::addColumn<AuctionRecord>("expected");

    QTest::newRow("empty") << QVariantMap() << AuctionRecord();
    QTest::newRow("wrong types") << QVariantMap{{QStringLiteral("Price"), QStringLiteral("cheap")},
                                                {QStringLiteral("Quantity"), QVariantList{1}},
                                                {QStringLiteral("EndTime"), QStringLiteral("soon")},
                                                {QStringLiteral("LastUpdated"), QVariant()}}
                                 << AuctionRecord();
    QTest::newRow("states outside their lists") << QVariantMap{{QStringLiteral("SnipeState"), 42},
                                                               {QStringLiteral("LastTimeLeftLevel"), 4},
                                                               {QStringLiteral("TimeLeftLevel"), -1}}
                                                << AuctionRecord();
    QTest::newRow("numbers beyond the field")
        << QVariantMap{{QStringLiteral("Bids"), 1e12}, {QStringLiteral("SnipeQuantity"), -3e10}}
        << AuctionRecord();
    AuctionRecord some;
    some.Item = QStringLiteral("77");
    some.Quantity = 4;
    some.SnipeState = OR2BidSet;
    QTest::newRow("readable beside unreadable")
        << QVariantMap{{QStringLiteral("Item"), QStringLiteral("77")},
                       {QStringLiteral("Quantity"), QStringLiteral("4")},
                       {QStringLiteral("SnipeState"), qint64(1)},
                       {QStringLiteral("Bids"), QStringLiteral("many")},
                       {QStringLiteral("Unknown"), 5}}
        << some;
}

void tst_AuctionRecord::unreadableFieldsKeepANewRecordsValues()
{
    QFETCH(QVariantMap, map);
    QFETCH(AuctionRecord, expected);

    QCOMPARE(AuctionRecord::fromMap(map), expected);
}

void tst_AuctionRecord::packedListReadsAsTheMapDoes_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QList<AuctionRecord>>("expected");

    AuctionRecord outside = everyField();
    outside.SnipeState = AucSnipeStates(42);
    outside.LastTimeLeftLevel = AucTimeLeftLevel(9);
    outside.TimeLeftLevel = AucTimeLeftLevel(-1);
    AuctionRecord outsideRead = everyField();
    outsideRead.SnipeState = OR2Watching;
    outsideRead.LastTimeLeftLevel = OR2Complete;
    outsideRead.TimeLeftLevel = OR2Complete;
    QTest::newRow("states outside their lists")
        << AuctionRecord::packList({outside.packed(), everyField().packed()})
        << QList<AuctionRecord>{outsideRead, everyField()};

    // Another version's layout: fields in another order, one unknown here, the rest missing.
    QByteArray other;
    QDataStream stream(&other, QIODevice::WriteOnly);
    stream.setVersion(RecordPack::streamVersion);
    stream << QStringList{QStringLiteral("Price"), QStringLiteral("Item"), QStringLiteral("Watchers"),
                          QStringLiteral("SnipeState")}
           << QByteArray("dsxi") << quint32(1) << 41.5 << QByteArray("123") << qint64(7)
           << qint32(OR2BidPrepared);
    AuctionRecord otherRead;
    otherRead.Price = 41.5;
    otherRead.Item = QStringLiteral("123");
    otherRead.SnipeState = OR2BidPrepared;
    QTest::newRow("another layout, read by name") << other << QList<AuctionRecord>{otherRead};
}

void tst_AuctionRecord::packedListReadsAsTheMapDoes()
{
    QFETCH(QByteArray, list);
    QFETCH(QList<AuctionRecord>, expected);

    QCOMPARE(AuctionRecord::unpackList(list), expected);
    QList<AuctionRecord> byName;
    for (const QVariant& map : RecordPack::unpackList(list))
        byName << AuctionRecord::fromMap(map.toMap());
    QCOMPARE(byName, expected);
}

void tst_AuctionRecord::unreadablePackedListGivesNoRecords_data()
{
    QTest::addColumn<QByteArray>("list");

    const QByteArray whole = AuctionRecord::packList({everyField().packed(), AuctionRecord().packed()});
    QTest::newRow("cut short") << whole.left(whole.size() - 3);
    QTest::newRow("head only, two records counted")
        << whole.left(whole.size() - everyField().packed().size() - AuctionRecord().packed().size());
    const auto headed = [](const QStringList& names, const QByteArray& types) {
        QByteArray list;
        QDataStream stream(&list, QIODevice::WriteOnly);
        stream.setVersion(RecordPack::streamVersion);
        stream << names << types << quint32(1) << qint32(5);
        return list;
    };
    QTest::newRow("unknown type letter") << headed({QStringLiteral("Bids")}, "q");
    QTest::newRow("names and types differ") << headed({QStringLiteral("Bids"), QStringLiteral("Item")}, "i");
    QTest::newRow("not a list") << QByteArray("auctions");
}

void tst_AuctionRecord::unreadablePackedListGivesNoRecords()
{
    QFETCH(QByteArray, list);

    QVERIFY(AuctionRecord::unpackList(list).isEmpty());
}

QTEST_GUILESS_MAIN(tst_AuctionRecord)
#include "tst_AuctionRecord.moc"
