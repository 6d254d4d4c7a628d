#include "BusCategoryRecord.h"

#include <QTest>

using Bus::CategoryRecord;

class tst_CategoryRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void travelsWhole_data();
    void travelsWhole();
    void unreadableFieldsKeepANewRecordsValues_data();
    void unreadableFieldsKeepANewRecordsValues();
};

void tst_CategoryRecord::travelsWhole_data()
{
    QTest::addColumn<CategoryRecord>("record");

    QTest::newRow("new record") << CategoryRecord();
    QTest::newRow("limited") << CategoryRecord{QStringLiteral("Books"), 2, true};
    QTest::newRow("unlimited with a count") << CategoryRecord{QStringLiteral("Default"), 7, false};
    QTest::newRow("unicode name") << CategoryRecord{QStringLiteral("Bücher – 本 \U0001F4DA"), 1, true};
}

void tst_CategoryRecord::travelsWhole()
{
    QFETCH(CategoryRecord, record);

    const QVariantMap map = record.toMap();
    QCOMPARE(map.size(), 3);
    QCOMPARE(map.value(Bus::CategoryKey::MaxWins).typeId(), QMetaType::Int);
    QCOMPARE(CategoryRecord::fromMap(map), record);
}

void tst_CategoryRecord::unreadableFieldsKeepANewRecordsValues_data()
{
    QTest::addColumn<QVariantMap>("map");
    QTest::addColumn<CategoryRecord>("expected");

    QTest::newRow("empty") << QVariantMap() << CategoryRecord();
    QTest::newRow("wrong types") << QVariantMap{{QStringLiteral("MaxWins"), QStringLiteral("many")},
                                                {QStringLiteral("Name"), QVariantList{}}}
                                 << CategoryRecord();
    QTest::newRow("readable beside unreadable")
        << QVariantMap{{QStringLiteral("Name"), QStringLiteral("Toys")},
                       {QStringLiteral("MaxWins"), 1e11},
                       {QStringLiteral("Limited"), true}}
        << CategoryRecord{QStringLiteral("Toys"), 0, true};
}

void tst_CategoryRecord::unreadableFieldsKeepANewRecordsValues()
{
    QFETCH(QVariantMap, map);
    QFETCH(CategoryRecord, expected);

    QCOMPARE(CategoryRecord::fromMap(map), expected);
}

QTEST_GUILESS_MAIN(tst_CategoryRecord)
#include "tst_CategoryRecord.moc"
