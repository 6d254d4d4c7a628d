#include "Auction.h"
#include "Clock.h"
#include "Column.h"
#include "Columns.h"
#include "DateTimes.h"
#include "FakeTimeSource.h"
#include "ListCell.h"
#include "OrvError.h"
#include "RecordingDialogHost.h"
#include "Settings.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <optional>

namespace {

// A cell that remembers what the column wrote into it, and whether it wrote anything.
struct RecordingCell : ListCell
{
    void setText(const QString& value) override { text = value; }
    void setImageKey(const QString& value) override { key = value; }
    std::optional<QString> text;
    std::optional<QString> key;
};

QString written(const RecordingCell& cell)
{
    if (cell.text)
        return QStringLiteral("text:") + *cell.text;
    if (cell.key)
        return QStringLiteral("key:") + *cell.key;
    return QStringLiteral("nothing");
}

} // namespace

class tst_Columns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void add_data();
    void add();
    void sortColumn();
    void failedAddLeavesTheSortAlone();
    void pausedSilencesAddRemoveClear();
    void removeKeepsOtherIndexes();
    void visible();
    void iconic();

    void cell_data();
    void cell();
    void regionalCells_data();
    void regionalCells();
    void snipeCells_data();
    void snipeCells();
    void levelIcon_data();
    void levelIcon();
    void hotIcon_data();
    void hotIcon();

    void standardColumns();
    void standardColumnsKeepStoredOnes();

private:
    // Renders `auction` through a column of that name, shown or hidden.
    QString render(const QString& name, bool visible = true);

    RecordingDialogHost m_host;
    std::unique_ptr<FakeTimeSource> m_time;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<Columns> m_columns;
    Auction m_auction;
};

void tst_Columns::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // A PC in the site's zone: in winter the site clock reads what the PC clock does.
    m_time = std::make_unique<FakeTimeSource>(DateTimes::naive(2026, 1, 15, 12, 0, 0), 480);
    m_settings = std::make_unique<Settings>();
    m_clock = std::make_unique<Clock>();
    m_clock->Init(*m_settings, m_host);
    m_columns = std::make_unique<Columns>();
    m_columns->link(*m_settings);

    m_auction = Auction();
    m_auction.Clock = m_clock.get();
    m_auction.Item = QStringLiteral("1234");
    m_auction.Description = QStringLiteral("Pocket watch");
    m_auction.EndTime = DateTimes::naive(2026, 1, 15, 15, 4, 5);
    m_auction.LastUpdated = DateTimes::naive(2026, 1, 15, 11, 0, 0);
    m_auction.Price = 12.5;
    m_auction.Shipping = 3;
    m_auction.Quantity = 2;
    m_auction.Bids = 11;
    m_auction.HighBidder = QStringLiteral("bidder1");
    m_auction.Seller = QStringLiteral("seller1");
    m_auction.Comments = QStringLiteral("for the shelf");
    m_auction.Category = QStringLiteral("Books");
    m_auction.SnipeBid = 20.25;
    m_auction.SnipeSeconds = 8;
    m_auction.CurrencyTxt = QStringLiteral("US $");
}

void tst_Columns::cleanup()
{
    m_columns.reset();
    m_clock.reset();
    m_settings.reset();
    m_time.reset();
    QLocale::setDefault(QLocale::c());
}

QString tst_Columns::render(const QString& name, bool visible)
{
    const ColumnPtr column = m_columns->Exists(name)
                                 ? m_columns->Item(name)
                                 : m_columns->Add(name, 500, QString(), QString(), 0, OR2ColumnLeft,
                                                  QString(), QString(), false, false);
    column->Width = visible ? 500 : 0;
    RecordingCell cell;
    column->UpdateListItem(cell, m_auction);
    return written(cell);
}

void tst_Columns::add_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("lDefault");
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QString>("expectedCaption");
    QTest::addColumn<QString>("expectedMenu");
    QTest::addColumn<int>("expectedDefault");
    QTest::addColumn<QString>("expectedSort");

    QTest::newRow("star caption, no menu") << "*"
                                           << "" << 0 << ""
                                           << "Price"
                                           << "Price" << 700 << "Price";
    QTest::newRow("no caption, no menu") << ""
                                         << "" << 0 << ""
                                         << ""
                                         << "" << 700 << "Price";
    QTest::newRow("caption, menu") << "Cost"
                                   << "Item cost" << 300 << "Amount"
                                   << "Cost"
                                   << "Item cost" << 300 << "Amount";
    QTest::newRow("caption only") << "Cost"
                                  << "" << -5 << ""
                                  << "Cost"
                                  << "Cost" << 700 << "Price";
}

void tst_Columns::add()
{
    QFETCH(QString, caption);
    QFETCH(QString, menu);
    QFETCH(int, lDefault);
    QFETCH(QString, sort);

    m_columns->Add(QStringLiteral("Icon"), 250, QString(), QString(), 0, OR2ColumnLeft, QString(), QString(),
                   false, false);
    QSignalSpy updated(m_columns.get(), &Columns::Updated);
    const ColumnPtr column = m_columns->Add(QStringLiteral("Price"), 700, caption, menu, lDefault,
                                            OR2ColumnRight, sort, QStringLiteral("The price"), false, true);
    QTEST(column->Caption, "expectedCaption");
    QTEST(column->Menu, "expectedMenu");
    QTEST(int(column->Default), "expectedDefault");
    QTEST(column->Sort, "expectedSort");
    QCOMPARE(column->Width, 700);
    QCOMPARE(column->Index, 2);
    QCOMPARE(column->Alignment, OR2ColumnRight);
    QCOMPARE(column->TooltipText, QStringLiteral("The price"));
    QVERIFY(column->Colored);
    QCOMPARE(m_columns->Item(QStringLiteral("PRICE")), column);
    QCOMPARE(updated.count(), 1);
}

void tst_Columns::sortColumn()
{
    QSignalSpy sorted(m_columns.get(), &Columns::SortUpdated);
    m_columns->Add(QStringLiteral("Item"), 100, QString(), QString(), 0, OR2ColumnLeft, QString(), QString(),
                   false, false);
    QCOMPARE(m_columns->SortColumn(), QStringLiteral("Item")); // the first column
    QCOMPARE(m_columns->SortOrder, OR2Ascending);
    m_columns->Add(QStringLiteral("End"), 100, QString(), QString(), 0, OR2ColumnLeft, QString(), QString(),
                   false, false);
    QCOMPARE(m_columns->SortColumn(), QStringLiteral("Item"));
    m_columns->Add(QStringLiteral("TimeLeft"), 100, QString(), QString(), 0, OR2ColumnLeft, QString(),
                   QString(), true, false);
    QCOMPARE(m_columns->SortColumn(), QStringLiteral("TimeLeft"));
    QCOMPARE(sorted.count(), 2);

    m_columns->setSortColumn(QStringLiteral("TimeLeft"));
    QCOMPARE(m_columns->SortOrder, OR2Descending);
    m_columns->setSortColumn(QStringLiteral("TimeLeft"));
    QCOMPARE(m_columns->SortOrder, OR2Ascending);
    m_columns->setSortColumn(QStringLiteral("TimeLeft"));
    m_columns->setSortColumn(QStringLiteral("End"));
    QCOMPARE(m_columns->SortOrder, OR2Descending);
    m_columns->setSortColumn(QStringLiteral("end")); // the name compares exactly
    QCOMPARE(m_columns->SortOrder, OR2Descending);
    QCOMPARE(m_columns->SortColumn(), QStringLiteral("end"));
    QCOMPARE(sorted.count(), 7);
}

void tst_Columns::failedAddLeavesTheSortAlone()
{
    m_columns->Add(QStringLiteral("TimeLeft"), 100, QString(), QString(), 0, OR2ColumnLeft, QString(),
                   QString(), true, false);
    QSignalSpy sorted(m_columns.get(), &Columns::SortUpdated);
    QSignalSpy updated(m_columns.get(), &Columns::Updated);
    QVERIFY_THROWS_EXCEPTION(OrvError, m_columns->Add(QStringLiteral("timeleft"), 100, QString(), QString(),
                                                      0, OR2ColumnLeft, QString(), QString(), true, false));
    QCOMPARE(m_columns->Count(), 1);
    QCOMPARE(m_columns->SortColumn(), QStringLiteral("TimeLeft"));
    QCOMPARE(m_columns->SortOrder, OR2Ascending);
    QCOMPARE(sorted.count(), 0);
    QCOMPARE(updated.count(), 0);
}

void tst_Columns::pausedSilencesAddRemoveClear()
{
    QSignalSpy updated(m_columns.get(), &Columns::Updated);
    m_columns->Paused = true;
    m_columns->Add(QStringLiteral("Item"), 100, QString(), QString(), 0, OR2ColumnLeft, QString(), QString(),
                   false, false);
    m_columns->Remove(QStringLiteral("Item"));
    m_columns->Remove(QStringLiteral("Missing"));
    m_columns->Clear();
    QCOMPARE(updated.count(), 0);
    m_columns->raiseUpdated();
    QCOMPARE(updated.count(), 1);

    m_columns->Paused = false;
    m_columns->Remove(QStringLiteral("Missing"));
    QCOMPARE(updated.count(), 2);
    m_columns->Clear();
    QCOMPARE(updated.count(), 3);
    QVERIFY(m_columns->IsEmpty());
}

void tst_Columns::removeKeepsOtherIndexes()
{
    for (const char* name : {"A", "B", "C"})
        m_columns->Add(QString::fromLatin1(name), 100, QString(), QString(), 0, OR2ColumnLeft, QString(),
                       QString(), false, false);
    m_columns->Remove(QStringLiteral("b"));
    const ColumnPtr d = m_columns->Add(QStringLiteral("D"), 100, QString(), QString(), 0, OR2ColumnLeft,
                                       QString(), QString(), false, false);
    QCOMPARE(m_columns->Item(QStringLiteral("C"))->Index, 3);
    QCOMPARE(d->Index, 3); // count + 1, even though C holds 3
    QVERIFY(m_columns->Exists(QStringLiteral("C")));
    QVERIFY(!m_columns->Exists(QStringLiteral("c")));
    QVERIFY(!m_columns->Exists(QStringLiteral("B")));
}

void tst_Columns::visible()
{
    const ColumnPtr column = m_columns->Add(QStringLiteral("Seller"), 1200, QStringLiteral("*"), QString(),
                                            900, OR2ColumnLeft, QString(), QString(), false, false);
    QSignalSpy columnUpdated(m_columns.get(), &Columns::ColumnUpdated);
    QVERIFY(column->Visible());

    column->setVisible(false);
    QCOMPARE(column->Width, 0);
    QCOMPARE(columnUpdated.count(), 1);
    QCOMPARE(columnUpdated.at(0).at(0).value<Column*>(), column.data());
    column->setVisible(false);
    QCOMPARE(columnUpdated.count(), 1);

    column->setVisible(true);
    QCOMPARE(column->Width, 900);
    QCOMPARE(columnUpdated.count(), 2);
    column->setVisible(true);
    QCOMPARE(columnUpdated.count(), 2);
}

void tst_Columns::iconic()
{
    QStringList iconic;
    for (const char* name : {"Icon", "DL", "Hot", "Snipe", "icon", "Item", "TimeLeft", "Snipes"}) {
        Column column;
        column.Name = QString::fromLatin1(name);
        if (column.Iconic())
            iconic << column.Name;
    }
    QCOMPARE(iconic, (QStringList{"Icon", "DL", "Hot", "Snipe"}));
}

void tst_Columns::cell_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Item") << "Item"
                          << "text:1234";
    QTest::newRow("Description") << "Description"
                                 << "text:Pocket watch";
    QTest::newRow("Qty") << "Qty"
                         << "text:2";
    QTest::newRow("Bids") << "Bids"
                          << "text:11";
    QTest::newRow("HighBidder") << "HighBidder"
                                << "text:bidder1";
    QTest::newRow("Seller") << "Seller"
                            << "text:seller1";
    QTest::newRow("TimeLeft") << "TimeLeft"
                              << "text:00:03:04:05";
    QTest::newRow("Comments") << "Comments"
                              << "text:for the shelf";
    QTest::newRow("Category") << "Category"
                              << "text:Books";
    QTest::newRow("SnipeTime") << "SnipeTime"
                               << "text:8";
    QTest::newRow("Currency") << "Currency"
                              << "text:US $";
    QTest::newRow("DL") << "DL"
                        << "nothing";
    QTest::newRow("unknown name") << "Colour"
                                  << "nothing";
    QTest::newRow("name compared exactly") << "item"
                                           << "nothing";
}

void tst_Columns::cell()
{
    QFETCH(QString, name);
    QTEST(render(name), "expected");
}

void tst_Columns::regionalCells_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDateTime>("endTime");
    QTest::addColumn<QString>("expected");

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QDateTime afternoon = DateTimes::naive(2026, 1, 15, 15, 4, 5);
    const QDateTime summer = DateTimes::naive(2026, 7, 1, 15, 4, 5);
    QTest::newRow("en End") << us << "End" << afternoon << "text:1/15/2026 3:04:05 PM";
    QTest::newRow("en End at midnight") << us << "End" << DateTimes::naive(2026, 1, 15) << "text:1/15/2026";
    QTest::newRow("en End not read") << us << "End" << DateTimes::zero() << "text:12:00:00 AM";
    QTest::newRow("en Updated") << us << "Updated" << afternoon << "text:1/15/2026 11:00:00 AM";
    QTest::newRow("en Price") << us << "Price" << afternoon << "text:12.50";
    QTest::newRow("en Shipping") << us << "Shipping" << afternoon << "text:3.00";
    QTest::newRow("en SnipeBid") << us << "SnipeBid" << afternoon << "text:20.25";
    QTest::newRow("de End") << de << "End" << afternoon << "text:15.01.2026 15:04:05";
    QTest::newRow("de Price") << de << "Price" << afternoon << "text:12,50";
    // Local time = site time + LocalTimeZone (1) - site offset (-8 in winter, -7 in summer).
    QTest::newRow("de Local End, winter") << de << "Local End" << afternoon << "text:16.01.2026 00:04:05";
    QTest::newRow("de Local End, summer") << de << "Local End" << summer << "text:01.07.2026 23:04:05";
}

void tst_Columns::regionalCells()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, name);
    QFETCH(QDateTime, endTime);

    QLocale::setDefault(locale);
    m_settings->LocalTimeZone = 1;
    m_auction.EndTime = endTime;
    m_time->setLocalNow(DateTimes::naive(endTime.date(), QTime(12, 0)));
    QTEST(render(name), "expected");
}

void tst_Columns::snipeCells_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");

    QTest::newRow("watching") << int(OR2Watching) << "Not Bidding"
                              << "blank";
    QTest::newRow("set") << int(OR2BidSet) << "Snipe Ready"
                         << "bid";
    QTest::newRow("preparing") << int(OR2BidPreparing) << "Preparing"
                               << "preparing";
    QTest::newRow("prepared") << int(OR2BidPrepared) << "Prepared"
                              << "bidding";
    QTest::newRow("sending") << int(OR2BidSending) << "Bidding"
                             << "bidding";
    QTest::newRow("failed") << int(OR2BidFailed) << "Bid Failed"
                            << "failed";
    QTest::newRow("success") << int(OR2BidSuccess) << "Bid Success"
                             << "star";
    QTest::newRow("cancelled") << int(OR2BidCancelled) << "Cancelled"
                               << "cancelled";
    QTest::newRow("unknown") << 9 << ""
                             << "blank";
}

void tst_Columns::snipeCells()
{
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(QString, key);

    m_auction.SnipeState = static_cast<AucSnipeStates>(state);
    QCOMPARE(render(QStringLiteral("SnipeState")), QStringLiteral("text:") + text);
    QCOMPARE(render(QStringLiteral("Snipe")), QStringLiteral("key:") + key);
    QCOMPARE(render(QStringLiteral("Snipe"), false), QStringLiteral("key:blank"));
}

void tst_Columns::levelIcon_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("key");

    QTest::newRow("complete") << int(OR2Complete) << "white";
    QTest::newRow("warning") << int(OR2Warning) << "red";
    QTest::newRow("caution") << int(OR2Caution) << "yellow";
    QTest::newRow("active") << int(OR2Active) << "green";
}

void tst_Columns::levelIcon()
{
    QFETCH(int, level);
    QFETCH(QString, key);

    // The icon shows the level stored by the last reading, not a fresh one: the end is days away.
    m_auction.LastTimeLeftLevel = static_cast<AucTimeLeftLevel>(level);
    QCOMPARE(render(QStringLiteral("Icon")), QStringLiteral("key:") + key);
    QCOMPARE(render(QStringLiteral("Icon"), false), QStringLiteral("key:blank"));
}

void tst_Columns::hotIcon_data()
{
    QTest::addColumn<int>("bids");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("expected");

    QTest::newRow("as many bids as the limit") << 10 << true << "key:blank";
    QTest::newRow("one more") << 11 << true << "key:hot";
    QTest::newRow("one more, hidden") << 11 << false << "key:blank";
}

void tst_Columns::hotIcon()
{
    QFETCH(int, bids);
    QFETCH(bool, visible);

    m_settings->HotBids = 10;
    m_auction.Bids = bids;
    QTEST(render(QStringLiteral("Hot"), visible), "expected");
}

void tst_Columns::standardColumns()
{
    struct Expected
    {
        const char* name;
        int width;
        const char* caption;
        const char* menu;
        AppColumnAligments alignment;
        bool colored;
    };
    const Expected expected[] = {
        {"Icon", 250, "", "Icon", OR2ColumnLeft, false},
        {"DL", 250, "", "Download Icon", OR2ColumnLeft, false},
        {"Hot", 250, "", "Hot Item", OR2ColumnLeft, false},
        {"Snipe", 250, "", "Status Icon", OR2ColumnLeft, false},
        {"Item", 1200, "Item", "Item", OR2ColumnLeft, true},
        {"Description", 2000, "Description", "Description", OR2ColumnLeft, true},
        {"End", 1200, "End", "End", OR2ColumnLeft, false},
        {"Local End", 1200, "Local End", "Local End", OR2ColumnLeft, false},
        {"TimeLeft", 1100, "Time Left", "Time Left", OR2ColumnCenter, false},
        {"Price", 700, "Price", "Price", OR2ColumnRight, false},
        {"Currency", 500, "Curr", "Currency", OR2ColumnLeft, false},
        {"SnipeState", 1200, "Snipe State", "Snipe State", OR2ColumnLeft, false},
        {"SnipeBid", 500, "Bid", "Bid", OR2ColumnRight, false},
        {"SnipeTime", 550, "Secs", "Secs", OR2ColumnCenter, false},
        {"Qty", 500, "Qty", "Qty", OR2ColumnCenter, false},
        {"Bids", 500, "Bids", "Bids", OR2ColumnCenter, false},
        {"Shipping", 700, "Shipping", "Shipping", OR2ColumnRight, false},
        {"HighBidder", 1200, "HighBidder", "HighBidder", OR2ColumnLeft, false},
        {"Seller", 1200, "Seller", "Seller", OR2ColumnLeft, false},
        {"Updated", 1200, "Updated", "Updated", OR2ColumnLeft, false},
        {"Comments", 2000, "Comments", "Comments", OR2ColumnLeft, false},
        {"Category", 1200, "Category", "Category", OR2ColumnLeft, false},
    };

    m_columns->addMissingDefaults();
    const QList<ColumnPtr> columns = m_columns->Items();
    QCOMPARE(columns.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const Column& column = *columns.at(i);
        const Expected& e = expected[i];
        QCOMPARE(column.Name, QString::fromLatin1(e.name));
        QCOMPARE(column.Width, e.width);
        QCOMPARE(column.Default, e.width);
        QCOMPARE(column.Caption, QString::fromLatin1(e.caption));
        QCOMPARE(column.Menu, QString::fromLatin1(e.menu));
        QCOMPARE(column.Alignment, e.alignment);
        QCOMPARE(column.Colored, e.colored);
        QCOMPARE(column.Sort, column.Name);
        QCOMPARE(column.Index, int(i + 1));
        QVERIFY(column.TooltipText.isEmpty());
    }
    QCOMPARE(m_columns->SortColumn(), QStringLiteral("TimeLeft"));
    QCOMPARE(m_columns->SortOrder, OR2Ascending);
}

void tst_Columns::standardColumnsKeepStoredOnes()
{
    m_columns->Add(QStringLiteral("Item"), 999, QStringLiteral("Number"), QString(), 0, OR2ColumnRight,
                   QString(), QString(), false, false);
    // A stored column in another letter case is not found by name, and its default cannot be added.
    m_columns->Add(QStringLiteral("price"), 10, QString(), QString(), 0, OR2ColumnLeft, QString(), QString(),
                   false, false);
    m_columns->addMissingDefaults();

    QCOMPARE(m_columns->Count(), 22);
    const ColumnPtr item = m_columns->Items().at(0);
    QCOMPARE(item->Name, QStringLiteral("Item"));
    QCOMPARE(item->Width, 999);
    QCOMPARE(item->Caption, QStringLiteral("Number"));
    QCOMPARE(m_columns->Items().at(1)->Name, QStringLiteral("price"));
    QCOMPARE(m_columns->Items().at(2)->Name, QStringLiteral("Icon"));
    QCOMPARE(m_columns->Items().at(2)->Index, 3);
    QCOMPARE(m_columns->Items().last()->Name, QStringLiteral("Category"));
    QCOMPARE(m_columns->SortColumn(), QStringLiteral("TimeLeft"));
}

QTEST_GUILESS_MAIN(tst_Columns)
#include "tst_Columns.moc"
