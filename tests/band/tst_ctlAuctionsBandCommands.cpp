// The band's commands on the fake program: what each toolbar button, menu entry, key, double-click and
// drop asks of the program, the confirmations and error boxes with their exact texts and titles, the
// menus, the button states, "Update All Auctions" and "Add Current Auction".
#include "BandFixture.h"
#include "BandTree.h"
#include "EnumName.h"
#include "RemoteSettings.h"

#include <QMenu>
#include <QMimeData>
#include <QTest>

using namespace Remote;

namespace {

// Default holding 100 "Zebra lamp" (watched) and 101 "12 3" (an odd item number); Books holding
// 200 "Atlas" (bid set); Art empty.
struct Desk : BandFixture
{
    Desk()
    {
        fake->addCategory(QStringLiteral("Default"));
        fake->addCategory(QStringLiteral("Books"));
        fake->addCategory(QStringLiteral("Art"));
        fake->putAuction(
            auction(QStringLiteral("100"), QStringLiteral("Default"), QStringLiteral("Zebra lamp")));
        AuctionRecord atlas =
            auction(QStringLiteral("200"), QStringLiteral("Books"), QStringLiteral("Atlas"));
        atlas.SnipeState = OR2BidSet;
        atlas.SnipeBid = 25;
        fake->putAuction(atlas);
        fake->putAuction(auction(QStringLiteral("12 3"), QStringLiteral("Default"), QStringLiteral("Odd")));
        band.resize(300, 500);
        band.show();
        view();
        fake->clearCalls();
    }
    // An information line is made by selecting its auction first, as a click does.
    void select(const QString& key)
    {
        if (key.endsWith(QLatin1String(":INF")))
            select(key.section(QLatin1Char(':'), 0, 0) + QLatin1Char('~'));
        QTreeWidgetItem* node = band.node(key);
        QVERIFY2(node, qPrintable(key));
        band.TreeView()->setCurrentItem(node);
    }
    // "button:<key>", "menu:<entry>", "move:<category>", "key:Delete", "double-click", "drop:<text>".
    void invoke(const QString& how)
    {
        const QString what = how.section(QLatin1Char(':'), 1);
        if (how.startsWith(QLatin1String("button:"))) {
            band.buttonClick(what);
        } else if (how.startsWith(QLatin1String("menu:"))) {
            QVERIFY(band.PopupMenu());
            band.menuEntry(what)->trigger();
        } else if (how.startsWith(QLatin1String("move:"))) {
            QVERIFY(band.PopupMenu());
            for (QAction* entry : band.moveEntries()) {
                if (entry->data().toString() == what)
                    entry->trigger();
            }
        } else if (how == QLatin1String("key:Delete")) {
            QTest::keyClick(band.TreeView(), Qt::Key_Delete);
        } else if (how == QLatin1String("double-click")) {
            BandTree* tree = band.TreeView();
            QTreeWidgetItem* node = tree->currentItem();
            for (QTreeWidgetItem* parent = node->parent(); parent; parent = parent->parent())
                parent->setExpanded(true);
            tree->scrollToItem(node);
            // As the desktop delivers a double click: a click, then the double click.
            const QPoint at = tree->visualItemRect(node).center();
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        } else if (how.startsWith(QLatin1String("drop:"))) {
            drop(how.mid(5));
        }
    }
    void drop(const QString& text, bool asAddresses = false)
    {
        QMimeData data;
        if (asAddresses)
            data.setData(QStringLiteral("text/uri-list"), text.toUtf8());
        else
            data.setText(text);
        BandTree* tree = band.TreeView();
        const QPoint at = tree->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &dropped);
    }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const RecordingMessageBoxSink::Box& box : boxes.boxes)
            texts << enumName<MessageBoxSink::Icon>(box.icon) + QLatin1Char('|') + box.title +
                         QLatin1Char('|') + box.text + QLatin1Char('|') +
                         enumName<MessageBoxSink::Buttons>(box.buttons);
        return texts;
    }
};

} // namespace

class tst_ctlAuctionsBandCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("AUCTIONORV_ITEM_URL", "http://cgi.auction.test:8080"); }

    void commandTable_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("confirmDel");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("boxes");
        const int yes = MessageBoxSink::AnswerYes, no = MessageBoxSink::AnswerNo,
                  ok = MessageBoxSink::AnswerOk, cancel = MessageBoxSink::AnswerCancel;
        const QString askDelete = QStringLiteral(
            "Question|Delete Confirmation|Are you sure you want to delete the Auction Zebra lamp?|YesNo");
        const QString askBid = QStringLiteral(
            "Question|Bid Confirmation|This will immediately send the bid for the auction Atlas.  "
            "Are you sure you want to do this?|OkCancel");
        const QString askCategory = QStringLiteral(
            "Question|Delete Confirmation|Are you sure you want to delete the Category Art?|YesNo");
        QTest::newRow("add") << "Default:CAT"
                             << "button:add" << true << ok << QStringList{"Auctions.ViewAdd(\"\", \"\")"}
                             << QStringList();
        QTest::newRow("add from the menu") << "100~"
                                           << "menu:mnuAuctionsAdd" << true << ok
                                           << QStringList{"Auctions.ViewAdd(\"\", \"\")"} << QStringList();
        QTest::newRow("edit") << "100~"
                              << "button:edit" << true << ok << QStringList{"Auctions.ViewEdit(\"100\")"}
                              << QStringList();
        QTest::newRow("edit from an information line")
            << "100:Price:INF"
            << "menu:mnuAuctionsEdit" << true << ok << QStringList{"Auctions.ViewEdit(\"100\")"}
            << QStringList();
        QTest::newRow("new bid of a watched auction")
            << "100~"
            << "menu:mnuAuctionsEditBid" << true << ok << QStringList{"Auctions.ViewNewBid(\"100\")"}
            << QStringList();
        QTest::newRow("bid details") << "200~"
                                     << "menu:mnuAuctionsEditBid" << true << ok
                                     << QStringList{"Auctions.ViewEditBid(\"200\")"} << QStringList();
        QTest::newRow("delete, yes") << "100~"
                                     << "button:delete" << false << yes
                                     << QStringList{"Auctions.Remove(\"100\")", "App.Save()"}
                                     << QStringList{askDelete};
        QTest::newRow("delete, no") << "100~"
                                    << "menu:mnuAuctionsDelete" << false << no << QStringList()
                                    << QStringList{askDelete};
        QTest::newRow("delete key on an auction")
            << "100~"
            << "key:Delete" << true << yes << QStringList{"Auctions.Remove(\"100\")", "App.Save()"}
            << QStringList{askDelete};
        QTest::newRow("delete key on an information line")
            << "100:Price:INF"
            << "key:Delete" << true << yes << QStringList() << QStringList();
        QTest::newRow("update") << "100~"
                                << "button:update" << true << ok
                                << QStringList{"Updaters.DownloadItems([\"100\"])"} << QStringList();
        QTest::newRow("update from the menu")
            << "200~"
            << "menu:mnuAuctionsUpdate" << true << ok << QStringList{"Updaters.DownloadItems([\"200\"])"}
            << QStringList();
        QTest::newRow("send bid, OK") << "200~"
                                      << "button:bid" << true << ok
                                      << QStringList{"BidManager.SendBid(\"200\")"} << QStringList{askBid};
        QTest::newRow("send bid, cancel")
            << "200~"
            << "menu:mnuAuctionsBid" << true << cancel << QStringList() << QStringList{askBid};
        QTest::newRow("main window") << "100~"
                                     << "button:app" << true << ok << QStringList{"App.show()"}
                                     << QStringList();
        QTest::newRow("settings") << "100~"
                                  << "button:config" << true << ok << QStringList{"Settings.View()"}
                                  << QStringList();
        QTest::newRow("clock") << "100~"
                               << "button:clock" << true << ok << QStringList{"Clock.show()"}
                               << QStringList();
        QTest::newRow("move, never asked")
            << "100~"
            << "move:Books" << true << no
            << QStringList{"Auctions.SetCategory(\"100\", \"Books\")", "App.Save()"} << QStringList();
        QTest::newRow("add category")
            << "Art:CAT"
            << "menu:mnuCategorysAdd" << true << ok << QStringList{"Categorys.ViewAdd()"} << QStringList();
        QTest::newRow("edit category") << "Books:CAT"
                                       << "menu:mnuCategorysEdit" << true << ok
                                       << QStringList{"Categorys.ViewEdit(\"Books\")"} << QStringList();
        QTest::newRow("delete empty category, asked")
            << "Art:CAT"
            << "menu:mnuCategorysDelete" << true << yes
            << QStringList{"Categorys.Remove(\"Art\")", "App.Save()"} << QStringList{askCategory};
        QTest::newRow("delete category, answered no")
            << "Art:CAT"
            << "menu:mnuCategorysDelete" << true << no << QStringList() << QStringList{askCategory};
        QTest::newRow("delete category, not asked")
            << "Art:CAT"
            << "key:Delete" << false << no << QStringList{"Categorys.Remove(\"Art\")", "App.Save()"}
            << QStringList();
        QTest::newRow("delete category holding an auction: the remover")
            << "Books:CAT"
            << "menu:mnuCategorysDelete" << false << no << QStringList{"Categorys.ViewRemove(\"Books\")"}
            << QStringList();
        QTest::newRow("edit without an auction selected")
            << "Books:CAT"
            << "button:edit" << true << ok << QStringList() << QStringList();
    }
    void commandTable()
    {
        QFETCH(QString, selected);
        QFETCH(QString, how);
        QFETCH(bool, confirmDel);
        QFETCH(int, answer);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, boxes);
        Desk f;
        f.fake->setSetting(QStringLiteral("ConfirmDel"), confirmDel);
        f.select(selected);
        f.fake->clearCalls();
        f.boxes.answer = MessageBoxSink::Answer(answer);
        f.invoke(how);
        QCOMPARE(f.fake->calls(), calls);
        QCOMPARE(f.boxTexts(), boxes);
    }

    // The program goes on while a question is open: an auction removed meanwhile is neither removed again
    // nor bid on.
    void aConfirmedCommandSkipsAnAuctionRemovedMeanwhile_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::newRow("delete") << "100~"
                                << "button:delete" << int(MessageBoxSink::AnswerYes);
        QTest::newRow("send bid") << "200~"
                                  << "button:bid" << int(MessageBoxSink::AnswerOk);
    }

    void aConfirmedCommandSkipsAnAuctionRemovedMeanwhile()
    {
        QFETCH(QString, selected);
        QFETCH(QString, how);
        QFETCH(int, answer);
        Desk f;
        f.fake->setSetting(QStringLiteral("ConfirmDel"), true);
        f.select(selected);
        f.fake->clearCalls();
        f.boxes.answer = MessageBoxSink::Answer(answer);
        const QString item = selected.chopped(1);
        f.boxes.whileOpen = [&f, item] { f.fake->removeAuction(item); };
        f.invoke(how);
        QCOMPARE(f.boxTexts().size(), 1);
        QCOMPARE(f.fake->calls(), QStringList());
    }

    // Each entry shows a command's error under its own title, with the description and an exclamation.
    void errorTitles_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("asked");
        QTest::newRow("toolbar") << "100~"
                                 << "button:edit"
                                 << "Auctions.ViewEdit"
                                 << "Execution Error" << false;
        QTest::newRow("add") << "100~"
                             << "menu:mnuAuctionsAdd"
                             << "Auctions.ViewAdd"
                             << "Auction Add Error" << false;
        QTest::newRow("edit") << "100~"
                              << "menu:mnuAuctionsEdit"
                              << "Auctions.ViewEdit"
                              << "Auction Edit Error" << false;
        QTest::newRow("edit bid") << "100~"
                                  << "menu:mnuAuctionsEditBid"
                                  << "Auctions.ViewNewBid"
                                  << "Edit Auction Bid Error" << false;
        QTest::newRow("delete") << "100~"
                                << "menu:mnuAuctionsDelete"
                                << "Auctions.Remove"
                                << "Auction Delete Error" << true;
        QTest::newRow("navigate") << "12 3~"
                                  << "menu:mnuAuctionsNavigate"
                                  << ""
                                  << "Navigate Error" << false;
        QTest::newRow("update all") << "100~"
                                    << "menu:mnuAuctionsUpdateAll"
                                    << "Updaters.DownloadItems"
                                    << "Auctions Update Error" << false;
        QTest::newRow("update") << "100~"
                                << "menu:mnuAuctionsUpdate"
                                << "Updaters.DownloadItems"
                                << "Auction Update Error" << false;
        QTest::newRow("send bid") << "200~"
                                  << "menu:mnuAuctionsBid"
                                  << "BidManager.SendBid"
                                  << "Send Bid Error" << true;
        QTest::newRow("move") << "100~"
                              << "move:Art"
                              << "Auctions.SetCategory"
                              << "Auction Move Error" << false;
        QTest::newRow("add category") << "Art:CAT"
                                      << "menu:mnuCategorysAdd"
                                      << "Categorys.ViewAdd"
                                      << "Category Add Error" << false;
        QTest::newRow("edit category") << "Art:CAT"
                                       << "menu:mnuCategorysEdit"
                                       << "Categorys.ViewEdit"
                                       << "Category Edit Error" << false;
        QTest::newRow("delete category") << "Art:CAT"
                                         << "menu:mnuCategorysDelete"
                                         << "Categorys.Remove"
                                         << "Category Delete Error" << false;
        QTest::newRow("delete key") << "100~"
                                    << "key:Delete"
                                    << "Auctions.Remove"
                                    << "Delete Error" << true;
        QTest::newRow("double-click") << "12 3~"
                                      << "double-click"
                                      << ""
                                      << "Navigate Error" << false;
        QTest::newRow("drop") << "Art:CAT"
                              << "drop:http://x/ws/eBayISAPI.dll?ViewItem&item=9"
                              << "Auctions.ViewAdd"
                              << "Add Auction Error" << false;
    }
    void errorTitles()
    {
        QFETCH(QString, selected);
        QFETCH(QString, how);
        QFETCH(QString, failing);
        QFETCH(QString, title);
        QFETCH(bool, asked);
        Desk f;
        f.fake->setSetting(QStringLiteral("ConfirmDel"), false);
        f.boxes.answer =
            how.contains(QLatin1String("Bid")) ? MessageBoxSink::AnswerOk : MessageBoxSink::AnswerYes;
        const QString text =
            failing.isEmpty()
                ? QStringLiteral("Cannot open the auction's page.  The item number \"12 3\" may hold "
                                 "only letters and digits.")
                : QStringLiteral("Refused: ") + failing;
        if (!failing.isEmpty())
            f.fake->failCommand(failing, Error::Refused, text);
        f.select(selected);
        f.invoke(how);
        // The confirmation first, where the command asks one.
        QCOMPARE(f.boxes.boxes.size(), asked ? 2 : 1);
        const RecordingMessageBoxSink::Box box = f.boxes.boxes.last();
        QCOMPARE(box.title, title);
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, MessageBoxSink::Exclamation);
        QCOMPARE(box.buttons, MessageBoxSink::Ok);
    }

    void navigateOpensTheItemPageInTheBandsBrowser()
    {
        Desk f;
        f.select(QStringLiteral("100~"));
        f.invoke(QStringLiteral("double-click"));
        f.select(QStringLiteral("200:Item:INF"));
        f.invoke(QStringLiteral("menu:mnuAuctionsNavigate"));
        QCOMPARE(
            f.browserHost.navigated,
            QList<QUrl>(
                {QUrl(QStringLiteral("http://cgi.auction.test:8080/ws/eBayISAPI.dll?ViewItem&item=100")),
                 QUrl(QStringLiteral("http://cgi.auction.test:8080/ws/eBayISAPI.dll?ViewItem&item=200"))}));
        QVERIFY(f.boxes.boxes.isEmpty());
        QCOMPARE(f.fake->calls(), QStringList());
    }

    void buttonStates()
    {
        Desk f;
        auto enabled = [&f](const char* key) { return f.band.button(QString::fromLatin1(key))->isEnabled(); };
        // A category: nothing that needs an auction.
        f.select(QStringLiteral("Books:CAT"));
        for (const char* key : {"edit", "delete", "update", "bid"})
            QVERIFY2(!enabled(key), key);
        QVERIFY(enabled("add") && enabled("updateall") && enabled("app") && enabled("config") &&
                enabled("clock"));
        QVERIFY(!enabled("stop") && !enabled("stopbid") && !enabled("addcurrent"));
        // An auction with a bid, then one without.
        f.select(QStringLiteral("200~"));
        QVERIFY(enabled("edit") && enabled("delete") && enabled("update") && enabled("bid"));
        f.select(QStringLiteral("100~"));
        QVERIFY(enabled("edit") && !enabled("bid"));
        // An information line keeps the bid button as it was.
        f.select(QStringLiteral("200:Price:INF"));
        f.select(QStringLiteral("100:Price:INF"));
        QVERIFY(!enabled("bid"));
        f.band.TreeView()->setCurrentItem(f.band.node(QStringLiteral("200:Price:INF")));
        QVERIFY(enabled("edit") && enabled("delete") && !enabled("bid"));
        f.select(QStringLiteral("200~"));
        f.band.TreeView()->setCurrentItem(f.band.node(QStringLiteral("100:Price:INF")));
        QVERIFY(enabled("edit") && enabled("delete") && enabled("bid"));
        // Downloads: stop while busy, no updates meanwhile.
        f.fake->report(QStringLiteral("Updaters"), QStringLiteral("StateChanged"), {int(sfBusy)});
        QVERIFY(enabled("stop") && !enabled("update") && !enabled("updateall"));
        f.fake->report(QStringLiteral("Updaters"), QStringLiteral("StateChanged"), {int(sfNotBusy)});
        QVERIFY(!enabled("stop") && enabled("update") && enabled("updateall"));
        // Cancelling bids only while bidding.
        f.fake->report(QStringLiteral("BidManager"), QStringLiteral("StateChange"), {int(eBidderBidding)});
        QVERIFY(enabled("stopbid"));
        f.fake->report(QStringLiteral("BidManager"), QStringLiteral("StateChange"), {int(eBidderRed)});
        QVERIFY(!enabled("stopbid"));
        // "Add Current Auction" while an item page is shown; the first time the information page.
        f.fake->clearCalls();
        f.browserHost.show(QUrl(QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=5")));
        QVERIFY(enabled("addcurrent"));
        f.browserHost.show(QUrl(QStringLiteral("http://www.other.example/")));
        QVERIFY(!enabled("addcurrent"));
        f.browserHost.show(QUrl(QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=6")));
        QCOMPARE(f.fake->calls(),
                 QStringList({"Settings.SetFlag(\"ViewedLookingAtAuction\", true)", "App.ShowInfo(3)"}));
        QCOMPARE(f.band.button(QStringLiteral("addcurrent"))->text(),
                 QStringLiteral("Add Current Auction  "));
    }

    void toolTips()
    {
        Desk f;
        const QList<std::pair<const char*, const char*>> tips{{"add", "Add New Auction"},
                                                              {"edit", "Edit Selected Auction"},
                                                              {"delete", "Delete Selected Auction"},
                                                              {"update", "Update Selected Auction"},
                                                              {"updateall", "Update All Auctions"},
                                                              {"stop", "Stop Downloads"},
                                                              {"bid", "Send bid for selected auction now!"},
                                                              {"stopbid", "Cancel Bids in Progress"},
                                                              {"app", "Open Auctions Window"},
                                                              {"config", "Configure Application Settings"},
                                                              {"clock", "View Time Details"},
                                                              {"addcurrent", "Add Auction in Webbrowser"}};
        for (const auto& [key, tip] : tips)
            QCOMPARE(f.band.button(QString::fromLatin1(key))->toolTip(), QString::fromLatin1(tip));
    }

    void popupMenus()
    {
        Desk f;
        // The menus act on the selected node: a right press over an auction leaves the category
        // selected and shows the category menu.
        f.select(QStringLiteral("Books:CAT"));
        f.band.node(QStringLiteral("Books:CAT"))->setExpanded(true);
        BandTree* tree = f.band.TreeView();
        QTreeWidgetItem* atlas = f.band.node(QStringLiteral("200~"));
        QTest::mousePress(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(atlas).center());
        QCOMPARE(tree->currentItem(), f.band.node(QStringLiteral("Books:CAT")));
        QTRY_VERIFY(f.band.findChild<QMenu*>(QStringLiteral("mnuCategorys"))->isVisible());
        f.band.findChild<QMenu*>(QStringLiteral("mnuCategorys"))->hide();
        QCOMPARE(f.band.PopupMenu()->objectName(), QStringLiteral("mnuCategorys"));

        // No bid: "Create Bid for Auction..." and no sending.
        f.select(QStringLiteral("100~"));
        QCOMPARE(f.band.PopupMenu()->objectName(), QStringLiteral("mnuAuctions"));
        QCOMPARE(f.band.menuEntry(QStringLiteral("mnuAuctionsEditBid"))->text(),
                 QStringLiteral("Create Bid for Auction..."));
        QVERIFY(!f.band.menuEntry(QStringLiteral("mnuAuctionsBid"))->isEnabled());
        // A bid, from an information line of it.
        f.select(QStringLiteral("Books:CAT"));
        f.select(QStringLiteral("200~"));
        f.select(QStringLiteral("200:Bids:INF"));
        QCOMPARE(f.band.PopupMenu()->objectName(), QStringLiteral("mnuAuctions"));
        QCOMPARE(f.band.menuEntry(QStringLiteral("mnuAuctionsEditBid"))->text(),
                 QStringLiteral("Edit / View Bid Details..."));
        QVERIFY(f.band.menuEntry(QStringLiteral("mnuAuctionsBid"))->isEnabled());
        // The move submenu: every category in the collection's order, the auction's own checked.
        QVERIFY(f.band.menuEntry(QStringLiteral("mnuAuctionsMove"))->isEnabled());
        QStringList entries;
        for (QAction* entry : f.band.moveEntries())
            entries << entry->text() + (entry->isChecked() ? QStringLiteral(" *") : QString());
        QCOMPARE(entries, QStringList({"Default", "Books *", "Art"}));
        // The captions of the auction menu, separators as "-".
        QStringList captions;
        for (QAction* entry : f.band.PopupMenu()->actions())
            captions << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        QCOMPARE(captions,
                 QStringList({"Add New Auction...", "-", "Edit Selected Auction",
                              "Edit / View Bid Details...", "Delete Selected Auction(s)", "-",
                              "Visit Auction Webpage", "-", "Update All Auctions", "Update Selected Auction",
                              "-", "Send Auction Bid Now!", "-", "Move to Category..."}));
        // Nothing selected: no menu.
        tree->setCurrentItem(nullptr);
        QVERIFY(!f.band.PopupMenu());
    }

    void drops_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("addresses");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("boxes");
        const QString page = QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=");
        QTest::newRow("item address with further parameters")
            << "Books:CAT" << page + "123&rd=1" << false
            << QStringList{"Auctions.ViewAdd(\"123\", \"Books\")"} << QStringList();
        QTest::newRow("address list with CR LF, auction of Default selected")
            << "100~" << page + "77\r\nhttp://other.example/\r\n"
            << true << QStringList{"Auctions.ViewAdd(\"77\", \"Default\")"} << QStringList();
        QTest::newRow("another key ending in item first")
            << "Books:CAT" << QStringLiteral("http://x/ws/eBayISAPI.dll?ViewItem&previtem=111&item=222")
            << false << QStringList{"Auctions.ViewAdd(\"222\", \"Books\")"} << QStringList();
        QTest::newRow("only a key ending in item")
            << "Books:CAT" << QStringLiteral("http://x/ws/eBayISAPI.dll?ViewItem&previtem=111") << false
            << QStringList() << QStringList();
        QTest::newRow("text without the marker")
            << "Books:CAT" << QStringLiteral("http://other.example/?item=5") << false << QStringList()
            << QStringList();
        QTest::newRow("marker without item=")
            << "Books:CAT" << QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&id=5")
            << false << QStringList() << QStringList();
        QTest::newRow("empty item") << "Books:CAT" << page + "&x=1" << false << QStringList()
                                    << QStringList();
        QTest::newRow("no category selected")
            << "" << page + "5" << false << QStringList()
            << QStringList{"Exclamation|Add Auction Error|" + cBrowser::noCategoryText() + "|Ok"};
    }
    void drops()
    {
        QFETCH(QString, selected);
        QFETCH(QString, text);
        QFETCH(bool, addresses);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, boxes);
        Desk f;
        if (selected.isEmpty())
            f.band.TreeView()->setCurrentItem(nullptr);
        else
            f.select(selected);
        f.drop(text, addresses);
        QCOMPARE(f.fake->calls(), calls);
        QCOMPARE(f.boxTexts(), boxes);
    }

    // Every auction shown, in the tree's order, unless it was read after its end.
    void updateAllAuctions()
    {
        Desk f;
        const QDateTime end(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);
        auto put = [&](const QString& item, const QString& category, const QString& description,
                       const QDateTime& read, const QDateTime& ends) {
            AuctionRecord record = BandFixture::auction(item, category, description);
            record.LastUpdated = read;
            record.EndTime = ends;
            f.fake->putAuction(record);
        };
        const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
        put(QStringLiteral("100"), QStringLiteral("Default"), QStringLiteral("Zebra lamp"), end.addSecs(-60),
            end);
        put(QStringLiteral("12 3"), QStringLiteral("Default"), QStringLiteral("Odd"), end.addSecs(60), end);
        put(QStringLiteral("200"), QStringLiteral("Books"), QStringLiteral("Atlas"), end, end);
        put(QStringLiteral("201"), QStringLiteral("Books"), QStringLiteral("Bible"), zero, zero);
        put(QStringLiteral("300"), QStringLiteral("Hidden"), QStringLiteral("Not shown"), zero, zero);
        f.fake->clearCalls();
        f.band.buttonClick(QStringLiteral("updateall"));
        // Books before Default; Atlas before Bible; "Odd" read after its end.
        QCOMPARE(f.fake->calls(), QStringList({"Updaters.DownloadItems([\"200\", \"201\", \"100\"])"}));
    }

    // The first auction added from the browser shows the information page and synchronises the
    // clock; every addition saves.
    void addCurrentAuction()
    {
        Desk f;
        qputenv("AUCTIONORV_SITE_URL", "http://auction.test");
        f.select(QStringLiteral("Art:CAT"));
        f.browserHost.title = QStringLiteral("Vase: 1");
        f.browserHost.show(
            QUrl(QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=900")));
        f.fake->clearCalls();
        f.band.buttonClick(QStringLiteral("addcurrent"));
        QCOMPARE(f.fake->calls().mid(2), QStringList({"Settings.SetFlag(\"ViewedAuctionAdded\", true)",
                                                      "App.ShowInfo(1)", "Clock.Download()", "App.Save()"}));
        QCOMPARE(f.band.node(QStringLiteral("900~"))->parent(), f.band.node(QStringLiteral("Art:CAT")));
        f.fake->clearCalls();
        f.browserHost.show(QUrl(QStringLiteral("http://mirror.example/ws/eBayISAPI.dll?ViewItem&item=901")));
        f.band.buttonClick(QStringLiteral("addcurrent"));
        QCOMPARE(f.fake->calls().last(), QStringLiteral("App.Save()"));
        QCOMPARE(f.fake->calls().size(), 4);
        QVERIFY(f.boxes.boxes.isEmpty());
        // A failure: its text under "Execution Error".
        f.band.buttonClick(QStringLiteral("addcurrent"));
        QCOMPARE(f.boxTexts(),
                 QStringList(
                     {"Exclamation|Execution Error|Cannot Add Auction.  Item 901 already exists in category "
                      "Art.|Ok"}));
        qunsetenv("AUCTIONORV_SITE_URL");
    }

    // The program ends while the band is shown: the tree empties; the next command says so and binds
    // again, which fills the tree again.
    void aCommandAfterTheProgramEndedBindsAgain()
    {
        Desk f;
        f.fake->endProgram();
        QCOMPARE(f.band.TreeView()->topLevelItemCount(), 0);
        QCOMPARE(f.fake->bindCount(), 1);
        f.band.buttonClick(QStringLiteral("app"));
        QCOMPARE(f.boxTexts(),
                 QStringList({"Exclamation|Execution Error|" + Error::notRunningText() + "|Ok"}));
        QCOMPARE(f.fake->bindCount(), 2);
        QCOMPARE(f.band.TreeView()->topLevelItemCount(), 3);
        f.band.buttonClick(QStringLiteral("app"));
        QCOMPARE(f.fake->calls().last(), QStringLiteral("App.show()"));
        QCOMPARE(f.boxes.boxes.size(), 1);
    }
};

QTEST_MAIN(tst_ctlAuctionsBandCommands)
#include "tst_ctlAuctionsBandCommands.moc"
