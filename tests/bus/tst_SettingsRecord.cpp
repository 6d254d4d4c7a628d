#include "BusSettingsRecord.h"

#include <QTest>

using Bus::SettingsRecord;

class tst_SettingsRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void travelsWhole_data();
    void travelsWhole();
    void unreadableFieldsKeepANewRecordsValues_data();
    void unreadableFieldsKeepANewRecordsValues();
};

void tst_SettingsRecord::travelsWhole_data()
{
    QTest::addColumn<SettingsRecord>("record");

    QTest::newRow("new record") << SettingsRecord();
    QTest::newRow("every flag, every colour")
        << SettingsRecord{true, true, true, true, 0x00FF00, 0x00FFFF, 8421504, 255};
    QTest::newRow("first-view flags alone") << SettingsRecord{false, false, true, false, 0, 0, 0, 0};
    QTest::newRow("colour numbers at their edges")
        << SettingsRecord{false, true, false, true, 0xFFFFFF, std::numeric_limits<qint32>::max(), -1, 1};
}

void tst_SettingsRecord::travelsWhole()
{
    QFETCH(SettingsRecord, record);

    const QVariantMap map = record.toMap();
    QCOMPARE(map.size(), 8);
    QCOMPARE(SettingsRecord::fromMap(map), record);
}

void tst_SettingsRecord::unreadableFieldsKeepANewRecordsValues_data()
{
    QTest::addColumn<QVariantMap>("map");
    QTest::addColumn<SettingsRecord>("expected");

    QTest::newRow("empty") << QVariantMap() << SettingsRecord();
    QTest::newRow("wrong types") << QVariantMap{{QStringLiteral("ColorActive"), QStringLiteral("green")},
                                                {QStringLiteral("ColorWarning"), QVariantMap{}}}
                                 << SettingsRecord();
    QTest::newRow("readable beside unreadable")
        << QVariantMap{{QStringLiteral("ConfirmDel"), true},
                       {QStringLiteral("ColorCaution"), 128},
                       {QStringLiteral("ColorComplete"), QStringLiteral("grey")}}
        << SettingsRecord{false, true, false, false, 0, 128, 0, 0};
}

void tst_SettingsRecord::unreadableFieldsKeepANewRecordsValues()
{
    QFETCH(QVariantMap, map);
    QFETCH(SettingsRecord, expected);

    QCOMPARE(SettingsRecord::fromMap(map), expected);
}

QTEST_GUILESS_MAIN(tst_SettingsRecord)
#include "tst_SettingsRecord.moc"
