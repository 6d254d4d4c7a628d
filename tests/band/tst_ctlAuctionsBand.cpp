// The band's tree on the fake program: node keys, texts, pictures and colours, the sorting of
// categories and auctions but not of information lines, the lazy information lines and the time-left
// line, and how the tree follows the program's reports (added, moved, removed, rebuilt).
#include "BandFixture.h"
#include "BandTree.h"
#include "OrvPictures.h"

#include <QSignalSpy>
#include <QTest>

using namespace Remote;

namespace {

QStringList childKeys(const QTreeWidgetItem* node)
{
    QStringList keys;
    for (int i = 0; i < node->childCount(); ++i)
        keys << node->child(i)->data(0, BandTreeItem::KeyRole).toString();
    return keys;
}

QStringList childTexts(const QTreeWidgetItem* node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

QStringList rootTexts(const QTreeWidget* tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

bool shows(const QTreeWidgetItem* node, const char* picture)
{
    return node && node->icon(0).cacheKey() == OrvPictures::icon(QString::fromLatin1(picture)).cacheKey();
}

// Default holding "Zebra lamp" (100) and "apple crate" (101), Books (limited) holding 200.
struct Shelf : BandFixture
{
    Shelf()
    {
        fake->addCategory(QStringLiteral("Default"));
        fake->addCategory(QStringLiteral("Books"), true, 2);
        fake->putAuction(
            auction(QStringLiteral("100"), QStringLiteral("Default"), QStringLiteral("Zebra lamp")));
        fake->putAuction(
            auction(QStringLiteral("101"), QStringLiteral("Default"), QStringLiteral("apple crate")));
        fake->putAuction(auction(QStringLiteral("200"), QStringLiteral("Books"), QStringLiteral("Atlas")));
        band.resize(300, 500);
        band.show();
        view();
    }
    QTreeWidgetItem* node(const QString& key) const { return band.node(key); }
    void click(QTreeWidgetItem* item)
    {
        BandTree* tree = band.TreeView();
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
};

} // namespace

class tst_ctlAuctionsBand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void categoriesAndAuctionsSortedTheFirstCategorySelected()
    {
        Shelf f;
        BandTree* tree = f.band.TreeView();
        QVERIFY(tree->isEnabled());
        QCOMPARE(rootTexts(tree), QStringList({"Books (1)", "Default (2)"}));
        // The collection's first category, wherever the sorting shows it.
        QCOMPARE(tree->currentItem(), f.node(QStringLiteral("Default:CAT")));
        QCOMPARE(f.band.Category()->Name, QStringLiteral("Default"));
        QVERIFY(!f.band.Auction());
        // Auctions by their text, letter case aside.
        QCOMPARE(childKeys(f.node(QStringLiteral("Default:CAT"))), QStringList({"101~", "100~"}));
        QCOMPARE(childTexts(f.node(QStringLiteral("Default:CAT"))),
                 QStringList({"apple crate", "Zebra lamp"}));
        QVERIFY(shows(f.node(QStringLiteral("Default:CAT")), "closed"));
        QVERIFY(shows(f.node(QStringLiteral("Books:CAT")), "closed2"));
    }

    void categoryPicturesFollowExpanding()
    {
        Shelf f;
        QTreeWidgetItem* books = f.node(QStringLiteral("Books:CAT"));
        QTreeWidgetItem* shelf = f.node(QStringLiteral("Default:CAT"));
        books->setExpanded(true);
        shelf->setExpanded(true);
        QVERIFY(shows(books, "open2"));
        QVERIFY(shows(shelf, "open"));
        books->setExpanded(false);
        QVERIFY(shows(books, "closed2"));
        QVERIFY(shows(shelf, "open"));
    }

    void auctionPictureAndColour_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QColor>("colour");
        // The fake's colours, blue-green-red: complete 0x808080, warning 0x0000FF, caution 0x000080,
        // active 0.
        const QColor grey(0x80, 0x80, 0x80), red(0xff, 0, 0), darkRed(0x80, 0, 0), black(0, 0, 0);
        QTest::newRow("watched, complete") << int(OR2Watching) << int(OR2Complete) << "white" << grey;
        QTest::newRow("watched, warning") << int(OR2Watching) << int(OR2Warning) << "red" << red;
        QTest::newRow("watched, caution") << int(OR2Watching) << int(OR2Caution) << "yellow" << darkRed;
        QTest::newRow("watched, active") << int(OR2Watching) << int(OR2Active) << "green" << black;
        QTest::newRow("bid set, complete") << int(OR2BidSet) << int(OR2Complete) << "bid" << grey;
        QTest::newRow("preparing") << int(OR2BidPreparing) << int(OR2Warning) << "preparing" << red;
        QTest::newRow("prepared") << int(OR2BidPrepared) << int(OR2Warning) << "preparing" << red;
        QTest::newRow("sending") << int(OR2BidSending) << int(OR2Warning) << "bidding" << red;
        QTest::newRow("failed") << int(OR2BidFailed) << int(OR2Complete) << "failed" << grey;
        QTest::newRow("won") << int(OR2BidSuccess) << int(OR2Complete) << "star" << grey;
        QTest::newRow("cancelled") << int(OR2BidCancelled) << int(OR2Active) << "cancelled" << black;
    }
    void auctionPictureAndColour()
    {
        QFETCH(int, state);
        QFETCH(int, level);
        QFETCH(QString, picture);
        QFETCH(QColor, colour);
        Shelf f;
        AuctionRecord record = f.fake->auctions().at(0);
        record.SnipeState = AucSnipeStates(state);
        record.SnipeBid = state == OR2Watching ? 0 : 12;
        record.TimeLeftLevel = AucTimeLeftLevel(level);
        f.fake->putAuction(record);
        QTreeWidgetItem* node = f.node(QStringLiteral("100~"));
        QVERIFY(shows(node, qPrintable(picture)));
        QCOMPARE(node->foreground(0).color(), colour);
    }

    void informationLinesMadeOnClickInTheirOwnOrder()
    {
        Shelf f;
        AuctionRecord record = f.fake->auctions().at(0);
        record.Price = 5;
        record.Quantity = 3;
        record.Bids = 4;
        record.SnipeBid = 7; // a watched auction shows no bid
        record.HighBidder = QStringLiteral("bidder1");
        record.Seller = QStringLiteral("seller9");
        record.Comments = QStringLiteral("check the base");
        record.EndTime = QDateTime(QDate(2024, 6, 1), QTime(13, 2, 3), Qt::UTC);
        f.fake->putAuction(record);
        QTreeWidgetItem* lamp = f.node(QStringLiteral("100~"));
        f.node(QStringLiteral("Default:CAT"))->setExpanded(true);
        QCOMPARE(lamp->childCount(), 0);
        f.click(lamp);
        QCOMPARE(f.band.Auction()->Item, QStringLiteral("100"));
        QCOMPARE(childKeys(lamp),
                 QStringList({"100:Item:INF", "100:Price:INF", "100:Quantity:INF", "100:Bids:INF",
                              "100:SnipeBid:INF", "100:SnipeState:INF", "100:TimeLeft:INF", "100:EndTime:INF",
                              "100:HighBidder:INF", "100:Seller:INF", "100:Comments:INF"}));
        const QStringList texts = childTexts(lamp);
        QCOMPARE(texts.mid(0, 6),
                 QStringList({"ITEM: 100", "PRICE: 5.00", "QTY: 3", "BIDS: 4", "BID: N/A", "NOT BIDDING"}));
        QCOMPARE(texts.mid(8), QStringList({"BIDDER: bidder1", "SELLER: seller9", "check the base"}));
        QVERIFY(texts.at(7).startsWith(QLatin1String("END: ")));
        QVERIFY(shows(lamp->child(0), "none"));
        QVERIFY(shows(lamp->child(1), "dollar"));
        QVERIFY(shows(lamp->child(5), "eye"));
        QVERIFY(shows(lamp->child(6), "clock"));
        QVERIFY(shows(lamp->child(8), "smile"));
        QVERIFY(shows(lamp->child(10), "comment"));

        // Collapsed, the time-left line stays empty whatever the timer does.
        QVERIFY(!lamp->isExpanded());
        f.band.tmrTick_Timer();
        QCOMPARE(lamp->child(6)->text(0), QString());
        lamp->setExpanded(true);
        f.band.tmrTick_Timer();
        QCOMPARE(lamp->child(6)->text(0), QStringLiteral("00:01:02:03"));
        f.fake->advanceSiteTime(3);
        f.band.tmrTick_Timer();
        QCOMPARE(lamp->child(6)->text(0), QStringLiteral("00:01:02:00"));

        // A report rewrites the lines of an expanded node; the lines keep their order.
        record.SnipeState = OR2BidSet;
        record.Price = 6;
        f.fake->putAuction(record);
        QCOMPARE(lamp->child(1)->text(0), QStringLiteral("PRICE: 6.00"));
        QCOMPARE(lamp->child(4)->text(0), QStringLiteral("BID: 7"));
        QCOMPARE(lamp->child(5)->text(0), QStringLiteral("SNIPE READY"));
        QVERIFY(shows(lamp->child(5), "bid"));
        QCOMPARE(childKeys(lamp).first(), QStringLiteral("100:Item:INF"));
        // Clicking again rewrites them, and makes none twice.
        f.click(lamp);
        QCOMPARE(lamp->childCount(), 11);
    }

    void theTimerRefreshesOnlyTheSelectedAuction()
    {
        Shelf f;
        for (const QString& item : {QStringLiteral("100"), QStringLiteral("101")}) {
            AuctionRecord record = *f.app().Auctions().Item(item);
            record.EndTime = QDateTime(QDate(2024, 6, 1), QTime(12, 10), Qt::UTC);
            f.fake->putAuction(record);
        }
        f.node(QStringLiteral("Default:CAT"))->setExpanded(true);
        QTreeWidgetItem* lamp = f.node(QStringLiteral("100~"));
        QTreeWidgetItem* crate = f.node(QStringLiteral("101~"));
        f.click(crate);
        crate->setExpanded(true);
        f.band.tmrTick_Timer();
        QCOMPARE(crate->child(6)->text(0), QStringLiteral("00:00:10:00"));
        f.click(lamp);
        lamp->setExpanded(true);
        f.fake->advanceSiteTime(60);
        f.band.tmrTick_Timer();
        QCOMPARE(lamp->child(6)->text(0), QStringLiteral("00:00:09:00"));
        QCOMPARE(crate->child(6)->text(0), QStringLiteral("00:00:10:00"));
        // An information line selected refreshes its auction.
        f.band.TreeView()->setCurrentItem(lamp->child(3));
        f.fake->advanceSiteTime(60);
        f.band.tmrTick_Timer();
        QCOMPARE(lamp->child(6)->text(0), QStringLiteral("00:00:08:00"));
    }

    void followsAddedMovedAndRemovedAuctions()
    {
        Shelf f;
        QTreeWidgetItem* books = f.node(QStringLiteral("Books:CAT"));
        QTreeWidgetItem* shelf = f.node(QStringLiteral("Default:CAT"));
        // Added: under its category, which opens.
        f.fake->putAuction(
            BandFixture::auction(QStringLiteral("300"), QStringLiteral("Books"), QStringLiteral("Bible")));
        QCOMPARE(childKeys(books), QStringList({"200~", "300~"}));
        QCOMPARE(books->text(0), QStringLiteral("Books (2)"));
        QVERIFY(books->isExpanded());
        // Moved: both counts change; the new category does not open.
        AuctionRecord lamp = *f.app().Auctions().Item(QStringLiteral("100"));
        lamp.Category = QStringLiteral("Books");
        books->setExpanded(false);
        f.fake->putAuction(lamp);
        QCOMPARE(books->text(0), QStringLiteral("Books (3)"));
        QCOMPARE(shelf->text(0), QStringLiteral("Default (1)"));
        QCOMPARE(f.node(QStringLiteral("100~"))->parent(), books);
        QVERIFY(!books->isExpanded());
        // Removed: gone, and not added back.
        f.fake->removeAuction(QStringLiteral("300"));
        QVERIFY(!f.node(QStringLiteral("300~")));
        QCOMPARE(books->text(0), QStringLiteral("Books (2)"));
        QCOMPARE(childKeys(books), QStringList({"200~", "100~"}));
    }

    // The program's category editor renames, its remover moves a category's auctions elsewhere, without
    // a report of each auction: the tree shows the auctions where the program has them, and deleting
    // the category that now holds them asks the program's remover.
    void followsARenameAndARemoverMove_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QStringList>("roots");
        QTest::addColumn<QString>("holder");
        QTest::newRow("renamed") << true << QStringList{"Default (2)", "Novels (1)"} << "Novels";
        QTest::newRow("removed, its auctions moved") << false << QStringList{"Default (3)"} << "Default";
    }
    void followsARenameAndARemoverMove()
    {
        QFETCH(bool, rename);
        QFETCH(QString, holder);
        Shelf f;
        f.node(QStringLiteral("Books:CAT"))->setExpanded(true);
        const CategoryRecord defaults{QStringLiteral("Default"), 1, false};
        if (rename) {
            f.fake->addCategory(QStringLiteral("Novels"), true, 2);
            f.fake->moveQuietly(QStringLiteral("Books"), QStringLiteral("Novels"));
            f.fake->setCategories({defaults, {QStringLiteral("Novels"), 2, true}});
        } else {
            f.fake->moveQuietly(QStringLiteral("Books"), QStringLiteral("Default"));
            f.fake->setCategories({defaults});
        }
        QTEST(rootTexts(f.band.TreeView()), "roots");
        QTreeWidgetItem* atlas = f.node(QStringLiteral("200~"));
        QVERIFY(atlas);
        QCOMPARE(atlas->parent(), f.node(holder + QStringLiteral(":CAT")));
        QCOMPARE(atlas->text(0), QStringLiteral("Atlas"));
        QVERIFY(!f.node(QStringLiteral("Books:CAT")));

        f.fake->setSetting(QStringLiteral("ConfirmDel"), false);
        f.fake->clearCalls();
        f.band.TreeView()->setCurrentItem(f.node(holder + QStringLiteral(":CAT")));
        f.band.DeleteCategory();
        QCOMPARE(f.fake->calls(), QStringList{QStringLiteral("Categorys.ViewRemove(\"%1\")").arg(holder)});
        QCOMPARE(f.fake->categories().size(), rename ? 2 : 1);
    }

    // An auction shows only under a category of exactly its name.
    void aCategoryNamedOtherwiseShowsNothing_data()
    {
        QTest::addColumn<QString>("category");
        QTest::newRow("no such category") << QStringLiteral("Garden");
        QTest::newRow("letter case differs") << QStringLiteral("books");
    }
    void aCategoryNamedOtherwiseShowsNothing()
    {
        QFETCH(QString, category);
        Shelf f;
        // Reported while shown, and moved there from a shown category.
        f.fake->putAuction(BandFixture::auction(QStringLiteral("400"), category));
        QVERIFY(!f.node(QStringLiteral("400~")));
        AuctionRecord atlas = *f.app().Auctions().Item(QStringLiteral("200"));
        atlas.Category = category;
        f.fake->putAuction(atlas);
        QVERIFY(!f.node(QStringLiteral("200~")));
        QCOMPARE(f.node(QStringLiteral("Books:CAT"))->text(0), QStringLiteral("Books (0)"));
        // And after a whole rebuild.
        f.fake->addCategory(QStringLiteral("Garden2"));
        QVERIFY(!f.node(QStringLiteral("400~")));
        QVERIFY(!f.node(QStringLiteral("200~")));
    }

    // A rebuild of the auctions selects the selected node's category again, opened as it was; the
    // information lines are gone.
    void theSelectedCategoryIsKeptOverARebuild()
    {
        Shelf f;
        QTreeWidgetItem* books = f.node(QStringLiteral("Books:CAT"));
        books->setExpanded(true);
        f.click(f.node(QStringLiteral("200~")));
        QCOMPARE(f.node(QStringLiteral("200~"))->childCount(), 11);
        QList<AuctionRecord> list = f.fake->auctions();
        list.append(
            BandFixture::auction(QStringLiteral("201"), QStringLiteral("Books"), QStringLiteral("Almanac")));
        f.fake->replaceAuctions(list);
        books = f.node(QStringLiteral("Books:CAT"));
        QCOMPARE(f.band.TreeView()->currentItem(), books);
        QVERIFY(books->isExpanded());
        QVERIFY(!f.node(QStringLiteral("Default:CAT"))->isExpanded());
        QCOMPARE(childKeys(books), QStringList({"201~", "200~"}));
        QCOMPARE(f.node(QStringLiteral("200~"))->childCount(), 0);
        QVERIFY(!f.node(QStringLiteral("200:Item:INF")));

        // Closed, it stays closed.
        books->setExpanded(false);
        f.fake->replaceAuctions(list);
        QCOMPARE(f.band.TreeView()->currentItem(), f.node(QStringLiteral("Books:CAT")));
        QVERIFY(!f.node(QStringLiteral("Books:CAT"))->isExpanded());

        // A change of the categories rebuilds everything and selects the first category.
        f.fake->addCategory(QStringLiteral("Art"));
        QCOMPARE(rootTexts(f.band.TreeView()), QStringList({"Art (0)", "Books (2)", "Default (2)"}));
        QCOMPARE(f.band.TreeView()->currentItem(), f.node(QStringLiteral("Default:CAT")));
    }

    void downloadsAndStatusLines()
    {
        Shelf f;
        QTreeWidgetItem* lamp = f.node(QStringLiteral("100~"));
        f.fake->report(QStringLiteral("Updaters"), QStringLiteral("UpdaterChanged"),
                       {int(sfRunning), QStringLiteral("100")});
        QVERIFY(shows(lamp, "ieyellow"));
        f.fake->report(QStringLiteral("Updaters"), QStringLiteral("UpdaterChanged"),
                       {int(sfComplete), QStringLiteral("100")});
        QVERIFY(shows(lamp, "ieyellow"));
        f.fake->report(QStringLiteral("Updaters"), QStringLiteral("UpdaterChanged"),
                       {int(sfFailed), QStringLiteral("100")});
        QVERIFY(shows(lamp, "iered"));
        // A finished download re-renders the node through the auction's report.
        AuctionRecord read = *f.app().Auctions().Item(QStringLiteral("100"));
        read.Price = 9;
        f.fake->putAuction(read);
        QVERIFY(shows(lamp, "white"));

        f.fake->report(QStringLiteral("Updaters"), QStringLiteral("StateChanged"), {int(sfBusy)});
        QCOMPARE(f.band.Status(), QStringLiteral("Downloading Auctions..."));
        f.fake->report(QStringLiteral("Updaters"), QStringLiteral("StatusChange"),
                       {QStringLiteral("Auction 100 read.")});
        QCOMPARE(f.band.Status(), QStringLiteral("Auction 100 read."));
        f.fake->report(QStringLiteral("Updaters"), QStringLiteral("StateChanged"), {int(sfNotBusy)});
        QCOMPARE(f.band.Status(), QStringLiteral("Auctions Downloaded"));
        for (const QString& object :
             {QStringLiteral("Clock"), QStringLiteral("BidManager"), QStringLiteral("NetManager")}) {
            f.fake->report(object, QStringLiteral("StatusChange"),
                           {QVariant(object + QStringLiteral(" says hello"))});
            QCOMPARE(f.band.Status(), object + QStringLiteral(" says hello"));
        }
    }

    void releasedTheTreeIsEmptyAndDeaf()
    {
        Shelf f;
        f.band.Release();
        QCOMPARE(f.band.TreeView()->topLevelItemCount(), 0);
        QVERIFY(!f.band.TreeView()->isEnabled());
        QVERIFY(!f.band.Auction());
        f.fake->putAuction(BandFixture::auction(QStringLiteral("500"), QStringLiteral("Books")));
        f.fake->addCategory(QStringLiteral("Art"));
        QCOMPARE(f.band.TreeView()->topLevelItemCount(), 0);
        for (const char* key : {"add", "edit", "delete", "update", "updateall", "addcurrent", "app"})
            QVERIFY2(!f.band.button(QString::fromLatin1(key))->isEnabled(), key);
        // Bound again, it fills again.
        f.view();
        QCOMPARE(rootTexts(f.band.TreeView()), QStringList({"Art (0)", "Books (2)", "Default (2)"}));
    }

    // The program ends: the replicas empty and so does the tree; bound again, it fills again.
    void aLostProgramEmptiesTheTree()
    {
        Shelf f;
        f.fake->endProgram();
        QCOMPARE(f.band.TreeView()->topLevelItemCount(), 0);
        f.link->rebind();
        QCOMPARE(rootTexts(f.band.TreeView()), QStringList({"Books (1)", "Default (2)"}));
    }
};

QTEST_MAIN(tst_ctlAuctionsBand)
#include "tst_ctlAuctionsBand.moc"
