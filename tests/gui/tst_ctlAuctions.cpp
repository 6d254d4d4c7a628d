#include "BgrColor.h"
#include "BidManager.h"
#include "ItemLinks.h"
#include "ListFixture.h"
#include "TextForms.h"
#include "Twips.h"
#include "Updater.h"
#include "Updaters.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

// The auction list: which rows it shows and how, the time-left refresh, sorting, the header written
// back, the tabs, the lights and buttons, and what a drop does.
class tst_ctlAuctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheExactCategoryAndCounts()
    {
        ListFixture f;
        f.app.Categorys().Add(QStringLiteral("Books"), false, 1);
        f.add(QStringLiteral("1"), QStringLiteral("Books"));
        f.add(QStringLiteral("2"), QStringLiteral("books"));
        f.add(QStringLiteral("3"), QStringLiteral("Default"));
        f.add(QStringLiteral("4"), QStringLiteral("Books"));
        f.app.Categorys().Current = QStringLiteral("Books");
        QSignalSpy counts(&f.list, &ctlAuctions::RecordCountChange);
        f.list.View(f.app);
        QCOMPARE(f.rows(), QStringList({QStringLiteral("1"), QStringLiteral("4")}));
        QCOMPARE(counts.last(), QVariantList({2, 4}));

        f.list.Tabs()->setCurrentIndex(0);
        QCOMPARE(f.app.Categorys().Current, QStringLiteral("Default"));
        QCOMPARE(f.rows(), QStringList{QStringLiteral("3")});
        QCOMPARE(counts.last(), QVariantList({1, 4}));

        // Without any category there is no tab: the list is empty and no count is raised.
        counts.clear();
        f.app.Categorys().Clear();
        QCOMPARE(f.model().rowCount(), 0);
        QCOMPARE(counts.count(), 0);
    }

    void oneRowUpdate_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("changed in place") << "describe" << QStringList{"30", "10", "20"};
        QTest::newRow("moved to another category") << "move" << QStringList{"30", "20"};
        QTest::newRow("removed") << "remove" << QStringList{"30", "20"};
        QTest::newRow("new here, at the end, unsorted") << "add here" << QStringList{"30", "10", "20", "05"};
        QTest::newRow("new elsewhere") << "add elsewhere" << QStringList{"30", "10", "20"};
        QTest::newRow("marked deleted, category unchanged") << "deleted" << QStringList{"30", "20"};
    }
    void oneRowUpdate()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, rows);
        ListFixture f;
        f.app.Categorys().Add(QStringLiteral("Books"), false, 1);
        const AuctionPtr ten = f.add(QStringLiteral("10"), QStringLiteral("Default"), 600);
        f.add(QStringLiteral("20"), QStringLiteral("Default"), 900);
        f.add(QStringLiteral("30"), QStringLiteral("Default"), 300);
        f.list.View(f.app);
        QCOMPARE(f.rows(), QStringList({"30", "10", "20"}));
        QSignalSpy counts(&f.list, &ctlAuctions::RecordCountChange);

        if (change == QLatin1String("describe")) {
            ten->Description = QStringLiteral("Renamed lot");
            ten->Changed();
            QCOMPARE(f.cell(1, QStringLiteral("Description")), QStringLiteral("Renamed lot"));
        } else if (change == QLatin1String("move")) {
            ten->Category = QStringLiteral("Books");
            ten->Changed();
        } else if (change == QLatin1String("remove")) {
            f.app.Auctions().Remove(QStringLiteral("10"));
        } else if (change == QLatin1String("add here")) {
            f.add(QStringLiteral("05"), QStringLiteral("Default"), 60);
        } else if (change == QLatin1String("add elsewhere")) {
            f.add(QStringLiteral("05"), QStringLiteral("Books"), 60);
        } else if (change == QLatin1String("deleted")) {
            ten->Deleted = true;
            ten->Changed();
        }
        QCOMPARE(f.rows(), rows);
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts.last().at(0).toInt(), int(rows.size()));
        QCOMPARE(counts.last().at(1).toInt(), f.app.Auctions().Count());
    }

    // The time-left cell over six beats of one second each, as "1" where it changed and "0" where not.
    void timeLeftRefresh_data()
    {
        QTest::addColumn<int>("every");
        QTest::addColumn<int>("setBackAfterBeat");
        QTest::addColumn<QString>("changes");
        QTest::newRow("-1: off") << -1 << 0 << "000000";
        QTest::newRow("0: every beat") << 0 << 0 << "111111";
        QTest::newRow("-5: every beat") << -5 << 0 << "111111";
        QTest::newRow("5: the first beat, then every fifth second") << 5 << 0 << "100001";
        QTest::newRow("5, the clock set back an hour") << 5 << 1 << "100001";
    }
    void timeLeftRefresh()
    {
        QFETCH(int, every);
        QFETCH(int, setBackAfterBeat);
        QFETCH(QString, changes);
        ListFixture f;
        f.app.Settings().TimeLeftRefresh = every;
        f.add(QStringLiteral("1"), QStringLiteral("Default"), 7200);
        f.list.View(f.app);
        QString shown = f.cell(0, QStringLiteral("TimeLeft"));
        QCOMPARE(shown, QStringLiteral("00:02:00:00"));
        QString seen;
        for (int beat = 1; beat <= 6; ++beat) {
            f.now.advanceSeconds(1);
            f.list.heartbeat();
            const QString text = f.cell(0, QStringLiteral("TimeLeft"));
            seen += text == shown ? QLatin1Char('0') : QLatin1Char('1');
            shown = text;
            if (beat == setBackAfterBeat)
                f.now.setLocalNow(f.now.localNow().addSecs(-3600));
        }
        QCOMPARE(seen, changes);
    }

    void rowColourAndIconFollowTheLevel()
    {
        ListFixture f;
        Settings& settings = f.app.Settings();
        settings.TimeLeftRefresh = 0;
        settings.ColorCaution = 33023;
        settings.ColorWarning = 255;
        f.add(QStringLiteral("1"), QStringLiteral("Default"), 7 * 60);
        f.list.View(f.app);
        auto colour = [&f](const QString& column) {
            return f.model()
                .data(f.model().index(0, f.section(column)), Qt::ForegroundRole)
                .value<QBrush>()
                .color();
        };
        QCOMPARE(f.image(0, QStringLiteral("Icon")), QStringLiteral("yellow"));
        QCOMPARE(colour(QStringLiteral("Item")), BgrColor::toColor(33023));
        QCOMPARE(colour(QStringLiteral("Description")), BgrColor::toColor(33023));
        // Only the coloured columns take the row colour.
        QVERIFY(!f.model()
                     .data(f.model().index(0, f.section(QStringLiteral("End"))), Qt::ForegroundRole)
                     .isValid());

        // Two minutes on, under six minutes are left: the refresh renders the row in its new level.
        f.now.advanceSeconds(120);
        f.list.heartbeat();
        QCOMPARE(f.image(0, QStringLiteral("Icon")), QStringLiteral("red"));
        QCOMPARE(colour(QStringLiteral("Item")), QColor(Qt::red));
    }

    void sortsByValue_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QStringList>("ascending");
        // Items 1, 2, 3 hold the values in this order.
        QTest::newRow("time left by the end time, not \"10 Days\" before \"2 Days\"")
            << "TimeLeft" << QStringList{"3", "2", "1"};
        QTest::newRow("money") << "Price" << QStringList{"2", "1", "3"};
        QTest::newRow("count") << "Bids" << QStringList{"3", "2", "1"};
        QTest::newRow("date") << "End" << QStringList{"3", "2", "1"};
        QTest::newRow("text without letter case") << "Description" << QStringList{"2", "1", "3"};
    }
    void sortsByValue()
    {
        QFETCH(QString, column);
        QFETCH(QStringList, ascending);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ListFixture f;
        const AuctionPtr one =
            f.add(QStringLiteral("1"), QStringLiteral("Default"), 10 * 86400 + 60, "banana");
        const AuctionPtr two = f.add(QStringLiteral("2"), QStringLiteral("Default"), 2 * 86400 + 60, "Apple");
        const AuctionPtr three = f.add(QStringLiteral("3"), QStringLiteral("Default"), 3 * 3600, "cherry");
        one->Price = 10;
        two->Price = 9;
        three->Price = 100;
        one->Bids = 10;
        two->Bids = 9;
        three->Bids = 2;
        f.list.View(f.app);
        f.sortBy(column, OR2Ascending);
        QCOMPARE(f.rows(), ascending);
        f.sortBy(column, OR2Descending);
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(f.rows(), ascending);
        QLocale::setDefault(QLocale::c());
    }

    void headerClickTurnsTheOrder()
    {
        ListFixture f;
        f.add(QStringLiteral("1"), QStringLiteral("Default"))->Price = 5;
        f.add(QStringLiteral("2"), QStringLiteral("Default"))->Price = 50;
        f.add(QStringLiteral("3"), QStringLiteral("Default"))->Price = 20;
        f.list.resize(1400, 400);
        f.list.show();
        f.list.View(f.app);
        QHeaderView* header = f.list.ListView()->header();
        auto click = [&](const QString& column) {
            const int section = f.section(column);
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                       header->height() / 2));
        };
        QCOMPARE(f.app.Columns().SortOrder, OR2Ascending);
        click(QStringLiteral("Price"));
        QCOMPARE(f.app.Columns().SortColumn(), QStringLiteral("Price"));
        QCOMPARE(f.rows(), QStringList({"1", "3", "2"}));
        click(QStringLiteral("Price"));
        QCOMPARE(f.app.Columns().SortOrder, OR2Descending);
        QCOMPARE(f.rows(), QStringList({"2", "3", "1"}));
        QCOMPARE(header->sortIndicatorSection(), f.section(QStringLiteral("Price")));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        // Another column keeps the order and changes the key.
        click(QStringLiteral("Item"));
        QCOMPARE(f.app.Columns().SortOrder, OR2Descending);
        QCOMPARE(f.rows(), QStringList({"3", "2", "1"}));
        // A sort column that names no header leaves the key as it was.
        f.app.Columns().setSortColumn(QStringLiteral("Nothing"));
        QCOMPARE(f.rows(), QStringList({"3", "2", "1"}));
    }

    void headerWrittenBackSurvivesAReopen()
    {
        ListFixture f;
        Columns& columns = f.app.Columns();
        columns.Item(QStringLiteral("Seller"))->TooltipText = QStringLiteral("who sells");
        columns.Item(QStringLiteral("Seller"))->Colored = true;
        f.add(QStringLiteral("1"), QStringLiteral("Default"));
        f.list.resize(1400, 400);
        f.list.show();
        f.list.View(f.app);
        // The sort column is the one the user drags to the front.
        f.sortBy(QStringLiteral("Price"), OR2Descending);
        QHeaderView* header = f.list.ListView()->header();
        header->moveSection(header->visualIndex(f.section(QStringLiteral("Price"))), 1);
        header->moveSection(header->visualIndex(f.section(QStringLiteral("Seller"))), 2);
        header->resizeSection(f.section(QStringLiteral("Description")), 300);
        QSignalSpy counts(&f.list, &ctlAuctions::RecordCountChange);

        f.list.Terminate();
        QCOMPARE(counts.count(), 0);
        QStringList order;
        for (const ColumnPtr& column : columns.Items())
            order << column->Name;
        QCOMPARE(order.mid(0, 3), QStringList({"Price", "Seller", "Icon"}));
        QCOMPARE(columns.Count(), 22);
        QCOMPARE(columns.Item(QStringLiteral("Description"))->Width, 300 * 15);
        // Widths left alone keep their twips (250 would come back as 255 through pixels).
        QCOMPARE(columns.Item(QStringLiteral("Icon"))->Width, 250);
        QCOMPARE(columns.Item(QStringLiteral("TimeLeft"))->Width, 1100);
        const ColumnPtr seller = columns.Item(QStringLiteral("Seller"));
        QCOMPARE(seller->TooltipText, QStringLiteral("who sells"));
        QVERIFY(seller->Colored);
        QCOMPARE(seller->Sort, QStringLiteral("Seller"));
        QCOMPARE(columns.SortColumn(), QStringLiteral("Price"));
        QCOMPARE(columns.SortOrder, OR2Descending);

        // Saved and read again, a new list shows the same order and widths.
        f.app.Save();
        RecordingShellHost dialogs;
        RecordingMessageBoxSink boxes;
        cApp again(dialogs, boxes, f.engine.factories());
        again.Load();
        ctlAuctions reopened;
        reopened.resize(1400, 400);
        reopened.show();
        reopened.View(again);
        const QHeaderView* shown = reopened.ListView()->header();
        QCOMPARE(reopened.model()->columnAt(shown->logicalIndex(1))->Name, QStringLiteral("Price"));
        QCOMPARE(reopened.model()->columnAt(shown->logicalIndex(2))->Name, QStringLiteral("Seller"));
        QCOMPARE(shown->sectionSize(reopened.model()->sectionOf(QStringLiteral("Description"))), 300);
        QCOMPARE(again.Columns().SortColumn(), QStringLiteral("Price"));
        QCOMPARE(again.Columns().SortOrder, OR2Descending);
    }

    // At the stored default widths the list shows its key values and captions whole, in the desktop's
    // font or a larger one, and the stored twips stay as they were.
    void defaultColumnsShowTheirValues_data()
    {
        QTest::addColumn<int>("pointSize"); // 0: the desktop's font
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        for (const int pointSize : {0, 14}) {
            const QByteArray font = pointSize ? QByteArray("14 pt") : QByteArray("desktop font");
            QTest::addRow("%s: item number", font.constData()) << pointSize << "Item"
                                                               << "300000000000";
            QTest::addRow("%s: time left", font.constData()) << pointSize << "TimeLeft"
                                                             << "00:00:07:12";
            QTest::addRow("%s: price", font.constData()) << pointSize << "Price"
                                                         << "1234.56";
            QTest::addRow("%s: bid", font.constData()) << pointSize << "SnipeBid"
                                                       << "1234.56";
            QTest::addRow("%s: shipping", font.constData()) << pointSize << "Shipping"
                                                            << "1234.56";
            // The end time's own text, in the regional form.
            QTest::addRow("%s: end", font.constData()) << pointSize << "End" << QString();
            QTest::addRow("%s: seconds", font.constData()) << pointSize << "SnipeTime"
                                                           << "10";
        }
    }
    void defaultColumnsShowTheirValues()
    {
        QFETCH(int, pointSize);
        QFETCH(QString, column);
        QFETCH(QString, text);
        const QLocale regional;
        const QFont desktop = QApplication::font();
        const auto restore = qScopeGuard([&] {
            QLocale::setDefault(regional);
            QApplication::setFont(desktop);
        });
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        QFont font = desktop;
        if (pointSize > 0)
            font.setPointSize(pointSize);
        QApplication::setFont(font);
        ListFixture f;
        const qint32 stored = f.app.Columns().Item(column)->Width;
        const AuctionPtr auction =
            f.add(QStringLiteral("300000000000"), QStringLiteral("Default"), 7 * 60 + 12);
        auction->Price = 1234.56;
        auction->Shipping = 1234.56;
        auction->SnipeBid = 1234.56;
        auction->SnipeSeconds = 10;
        f.list.resize(2400, 300);
        f.list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.list));
        f.list.View(f.app);
        QCOMPARE(f.cell(0, column), text.isEmpty() ? TextForms::generalDate(auction->EndTime) : text);

        const QTreeView* view = f.list.ListView();
        const int section = f.section(column);
        const int width = view->header()->sectionSize(section);
        // What the view itself needs for the cell and the header for the caption.
        const int cellNeeds = static_cast<const QAbstractItemView*>(view)->sizeHintForColumn(section);
        const int captionNeeds = view->header()->sectionSizeHint(section);
        QVERIFY2(width >= cellNeeds, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(cellNeeds)));
        QVERIFY2(width >= captionNeeds, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(captionNeeds)));
        QCOMPARE(f.app.Columns().Item(column)->Width, stored);
        f.list.Terminate();
        QCOMPARE(f.app.Columns().Item(column)->Width, stored);
    }

    // A width the user set wider than the values need is drawn as set.
    void widerWidthsAreDrawnAsSet()
    {
        ListFixture f;
        f.app.Columns().Item(QStringLiteral("Item"))->Width = 4500;
        f.list.View(f.app);
        QCOMPARE(f.list.ListView()->header()->sectionSize(f.section(QStringLiteral("Item"))),
                 Twips::toPixels(4500));
    }

    void tabsKeepTheirOwnChoiceForARemovedCurrent()
    {
        ListFixture f;
        Categorys& categorys = f.app.Categorys();
        categorys.Add(QStringLiteral("Books"), true, 2);
        categorys.Add(QStringLiteral("Arts & Crafts"), false, 1);
        f.add(QStringLiteral("1"), QStringLiteral("Default"));
        categorys.Current = QStringLiteral("Gone");
        f.list.View(f.app);
        QTabBar* tabs = f.list.Tabs();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(categorys.Current, QStringLiteral("Gone"));
        QCOMPARE(f.rows(), QStringList{"1"});
        // A name with "&" shows as typed, not as a mnemonic.
        QCOMPARE(tabs->tabText(2), QStringLiteral("Arts && Crafts"));
        QCOMPARE(tabs->tabData(2).toString(), QStringLiteral("Arts & Crafts"));

        tabs->setCurrentIndex(2);
        QCOMPARE(categorys.Current, QStringLiteral("Arts & Crafts"));
        categorys.Remove(QStringLiteral("Books"));
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabData(tabs->currentIndex()).toString(), QStringLiteral("Arts & Crafts"));
        QCOMPARE(categorys.Current, QStringLiteral("Arts & Crafts"));
    }

    void lightsFollowTheBidManager_data()
    {
        QTest::addColumn<eBidderState>("state");
        QTest::addColumn<QStringList>("lights");
        QTest::addColumn<bool>("stopBid");
        QTest::newRow("green") << eBidderGreen << QStringList{"green", "grey", "grey"} << false;
        QTest::newRow("yellow") << eBidderYellow << QStringList{"grey", "yellow", "grey"} << false;
        QTest::newRow("red") << eBidderRed << QStringList{"grey", "grey", "red"} << false;
        QTest::newRow("bidding") << eBidderBidding << QStringList{"red", "red", "red"} << true;
        QTest::newRow("paused") << eBidderPaused << QStringList{"grey", "grey", "grey"} << false;
        QTest::newRow("unknown") << static_cast<eBidderState>(99) << QStringList{"grey", "grey", "grey"}
                                 << false;
    }
    void lightsFollowTheBidManager()
    {
        QFETCH(eBidderState, state);
        QFETCH(QStringList, lights);
        QFETCH(bool, stopBid);
        {
            ListFixture f;
            f.list.View(f.app);
            f.app.BidManager().setState(state);
            QCOMPARE(QStringList({f.list.lightKey(0), f.list.lightKey(1), f.list.lightKey(2)}), lights);
            QCOMPARE(f.list.toolButton(QStringLiteral("stopbid"))->isEnabled(), stopBid);
        }
        // A list opened in the middle of the state shows it at once.
        ListFixture f;
        f.app.BidManager().setState(state);
        f.list.View(f.app);
        QCOMPARE(QStringList({f.list.lightKey(0), f.list.lightKey(1), f.list.lightKey(2)}), lights);
        QCOMPARE(f.list.toolButton(QStringLiteral("stopbid"))->isEnabled(), stopBid);
    }

    void buttonsFollowTheQueue_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("openedWhileSo");
        QTest::newRow("busy") << true << false;
        QTest::newRow("not busy") << false << false;
        QTest::newRow("opened while busy") << true << true;
    }
    void buttonsFollowTheQueue()
    {
        QFETCH(bool, busy);
        QFETCH(bool, openedWhileSo);
        ListFixture f;
        Updaters& queue = f.app.Updaters();
        if (openedWhileSo) {
            queue.setState(busy ? sfBusy : sfNotBusy);
            f.list.View(f.app);
        } else {
            f.list.View(f.app);
            queue.setState(busy ? sfNotBusy : sfBusy);
            queue.setState(busy ? sfBusy : sfNotBusy);
            QCOMPARE(f.list.Status(), busy ? QStringLiteral("Downloading Auctions...")
                                           : QStringLiteral("Auctions Downloaded"));
        }
        QCOMPARE(f.list.toolButton(QStringLiteral("stop"))->isEnabled(), busy);
        QCOMPARE(f.list.toolButton(QStringLiteral("update"))->isEnabled(), !busy);
        QCOMPARE(f.list.toolButton(QStringLiteral("updateall"))->isEnabled(), !busy);
    }

    void commandButtonsFollowTheRows()
    {
        ListFixture f;
        f.list.View(f.app);
        QVERIFY(!f.list.toolButton(QStringLiteral("edit"))->isEnabled());
        const AuctionPtr auction = f.add(QStringLiteral("1"), QStringLiteral("Default"));
        for (const char* key : {"edit", "delete", "navigate"})
            QVERIFY2(f.list.toolButton(QString::fromLatin1(key))->isEnabled(), key);
        // "bid" follows the clicked row only.
        QVERIFY(!f.list.toolButton(QStringLiteral("bid"))->isEnabled());
        auction->SnipeBid = 12;
        f.list.resize(1000, 300);
        f.list.show();
        QTreeView* view = f.list.ListView();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(f.model().index(0, f.section(QStringLiteral("Item")))).center());
        QVERIFY(f.list.toolButton(QStringLiteral("bid"))->isEnabled());
    }

    void downloadIcon_data()
    {
        QTest::addColumn<sfRunState>("state");
        QTest::addColumn<bool>("hideColumn");
        QTest::addColumn<QString>("icon");
        QTest::newRow("running") << sfRunning << false << "ieyellow";
        QTest::newRow("complete") << sfComplete << false << "iegreen";
        QTest::newRow("failed") << sfFailed << false << "iered";
        QTest::newRow("not running changes nothing") << sfNotRunning << false << "";
        QTest::newRow("column hidden") << sfComplete << true << "";
    }
    void downloadIcon()
    {
        QFETCH(sfRunState, state);
        QFETCH(bool, hideColumn);
        QFETCH(QString, icon);
        ListFixture f;
        if (hideColumn)
            f.app.Columns().Item(QStringLiteral("DL"))->Width = 0;
        const AuctionPtr auction = f.add(QStringLiteral("1"), QStringLiteral("Default"));
        f.list.View(f.app);
        Updater updater;
        updater.Auction = auction;
        Q_EMIT f.app.Updaters().UpdaterChanged(int(state), &updater);
        QCOMPARE(f.image(0, QStringLiteral("DL")), icon);
        // The picture stays when the row is rendered again, and goes with a rebuild.
        auction->Changed();
        QCOMPARE(f.image(0, QStringLiteral("DL")), icon);
        Q_EMIT f.app.Auctions().Updated();
        QCOMPARE(f.image(0, QStringLiteral("DL")), QString());
    }

    void dropParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("item");
        const QString page = QStringLiteral("http://cgi.ebay.com/ws/eBayISAPI.dll?ViewItem");
        QTest::newRow("item at the end") << page + "&item=123456"
                                         << "123456";
        QTest::newRow("more parameters") << page + "&item=123456&rd=1"
                                         << "123456";
        QTest::newRow("letter case") << "HTTP://CGI.EBAY.COM/WS/EBAYISAPI.DLL?VIEWITEM&ITEM=5"
                                     << "5";
        QTest::newRow("line end after the item") << page + "&item=77\r\n"
                                                 << "77";
        QTest::newRow("fragment") << page + "&item=88#photos"
                                  << "88";
        QTest::newRow("another key ending in item first") << page + "&previtem=111&item=222"
                                                          << "222";
        QTest::newRow("only a key ending in item") << page + "&xitem=111"
                                                   << "";
        QTest::newRow("item= without the marker") << "http://example.com/?item=5"
                                                  << "";
        QTest::newRow("marker without item=") << page << "";
        QTest::newRow("empty item") << page + "&item=&rd=1"
                                    << "";
        QTest::newRow("blank inside the item") << page + "&item=12 34"
                                               << "";
        QTest::newRow("markup") << page + "&item=<b>1</b>"
                                << "";
        QTest::newRow("a plain word") << "watch"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("a huge text") << QString(2'000'000, QLatin1Char('x')) + page + "&item=9"
                                     << "9";
        QTest::newRow("a huge item") << page + "&item=" + QString(100'000, QLatin1Char('7')) + " x"
                                     << "";
    }
    void dropParsing()
    {
        QFETCH(QString, text);
        QFETCH(QString, item);
        QCOMPARE(ItemLinks::itemFromDrop(text), item);
        ListFixture f;
        f.list.View(f.app);
        f.list.dropText(text);
        const QStringList expected =
            item.isEmpty() ? QStringList() : QStringList{QStringLiteral("auctionNewItem:%1:").arg(item)};
        QCOMPARE(f.dialogs.calls.filter(QStringLiteral("auction")), expected);
        QCOMPARE(f.boxes.boxes.size(), 0);
    }

    void droppingAListedAuctionSaysSo()
    {
        ListFixture f;
        f.add(QStringLiteral("4711"), QStringLiteral("Default"));
        f.list.resize(800, 300);
        f.list.show();
        f.list.View(f.app);
        // As a browser drops it: an address list and its text.
        QMimeData data;
        data.setText(QStringLiteral("http://cgi.ebay.com/ws/eBayISAPI.dll?ViewItem&item=4711"));
        QWidget* viewport = f.list.ListView()->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &drop);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes.at(0).icon, MessageBoxSink::Exclamation);
        QCOMPARE(f.boxes.boxes.at(0).title, QStringLiteral("Add Auction Error"));
        QCOMPARE(f.boxes.boxes.at(0).text,
                 QStringLiteral("Cannot add auction.  Item 4711 already exists in Category Default."));
        QVERIFY(f.dialogs.calls.filter(QStringLiteral("auction")).isEmpty());
    }

    void deleteKeyAsksOnceForAll()
    {
        ListFixture f;
        f.add(QStringLiteral("1"), QStringLiteral("Default"));
        f.add(QStringLiteral("2"), QStringLiteral("Default"));
        f.add(QStringLiteral("3"), QStringLiteral("Default"));
        f.list.View(f.app);
        f.select({QStringLiteral("1"), QStringLiteral("3")});
        f.boxes.answer = MessageBoxSink::AnswerYes;
        QTest::keyClick(f.list.ListView(), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes.at(0).text,
                 QStringLiteral("Are you sure you want to delete these 2 Auctions?"));
        QCOMPARE(f.rows(), QStringList{"2"});
    }

    void modelStaysConsistent()
    {
        ListFixture f;
        f.app.Categorys().Add(QStringLiteral("Books"), false, 1);
        for (int i = 1; i <= 30; ++i)
            f.add(QString::number(i), i % 3 ? QStringLiteral("Default") : QStringLiteral("Books"),
                  i * 97 % 5000);
        QAbstractItemModelTester tester(f.list.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        f.list.View(f.app);
        f.sortBy(QStringLiteral("Price"), OR2Descending);
        f.sortBy(QStringLiteral("TimeLeft"), OR2Ascending);
        f.app.Auctions().Remove(QStringLiteral("4"));
        f.add(QStringLiteral("100"), QStringLiteral("Default"));
        f.app.Auctions().Item(QStringLiteral("5"))->Category = QStringLiteral("Books");
        f.app.Auctions().Item(QStringLiteral("5"))->Changed();
        f.list.Tabs()->setCurrentIndex(1);
        f.app.Settings().TimeLeftRefresh = 0;
        f.list.heartbeat();
        f.app.Columns().Item(QStringLiteral("Icon"))->setVisible(false);
        QVERIFY(f.model().rowCount() > 0);
    }
};

QTEST_MAIN(tst_ctlAuctions)
#include "tst_ctlAuctions.moc"
