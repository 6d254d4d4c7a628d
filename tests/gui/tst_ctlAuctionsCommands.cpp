#include "BidManager.h"
#include "ListFixture.h"
#include "Updater.h"
#include "Updaters.h"
#include "cGlobal.h"

#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString yes = QStringLiteral("yes");

QAction* entryOf(QMenu* menu, const QString& name)
{
    return menu->findChild<QAction*>(name);
}

QStringList captions(const QMenu* menu, bool checkedOnly = false)
{
    QStringList shown;
    for (const QAction* action : menu->actions()) {
        if (!checkedOnly || action->isChecked())
            shown << action->text();
    }
    return shown;
}

} // namespace

// The list's commands: their questions and answers, the auctions they act on, what they hand to the
// model, the queue, the bid manager and the browser, and the errors they show.
class tst_ctlAuctionsCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        cGlobal::setLauncher({});
        cGlobal::setBrowserFolders({});
    }

    // Each command with its confirmation on: the exact question, and what the answer does.
    void confirmations_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("answer");
        const int yesNo = MessageBoxSink::YesNo;
        const QString deleteTitle = QStringLiteral("Delete Confirmation");
        const QString one = QStringLiteral("Are you sure you want to delete the Auction Brass watch?");
        const QString three = QStringLiteral("Are you sure you want to delete these 3 Auctions?");
        const QString move = QStringLiteral("Are you sure you want to move these auctions?");
        const QString bid = QStringLiteral("This will immediately send the bid for the auction Brass watch.  "
                                           "Are you sure you want to do this?");
        const QString category = QStringLiteral("Are you sure you want to delete the Category Toys?");
        for (const QString& answer : {yes, QStringLiteral("no")}) {
            QTest::addRow("delete one, %s", qPrintable(answer))
                << "delete" << QStringList{"1"} << one << deleteTitle << yesNo << answer;
            QTest::addRow("delete three, %s", qPrintable(answer))
                << "delete" << QStringList{"1", "2", "3"} << three << deleteTitle << yesNo << answer;
            QTest::addRow("move two, %s", qPrintable(answer))
                << "move" << QStringList{"1", "3"} << move << "Move Confirmation" << yesNo << answer;
            QTest::addRow("move none, %s", qPrintable(answer))
                << "move" << QStringList() << move << "Move Confirmation" << yesNo << answer;
            QTest::addRow("send bid, %s", qPrintable(answer))
                << "bid" << QStringList{"1"} << bid << "Bid Confirmation" << int(MessageBoxSink::OkCancel)
                << answer;
            QTest::addRow("delete category, %s", qPrintable(answer))
                << "delcat" << QStringList() << category << deleteTitle << yesNo << answer;
        }
        QTest::newRow("delete none: no question, still saved")
            << "delete" << QStringList() << QString() << QString() << yesNo << yes;
    }
    void confirmations()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, selected);
        QFETCH(QString, question);
        QFETCH(QString, title);
        QFETCH(int, buttons);
        QFETCH(QString, answer);
        ListFixture f;
        f.app.Categorys().Add(QStringLiteral("Toys"), false, 1);
        f.app.Categorys().Add(QStringLiteral("Books"), false, 1);
        // The auction's end is not known yet, so a bid that goes ahead is refused by the bid manager.
        const AuctionPtr watch = f.add(QStringLiteral("1"), QStringLiteral("Default"), 3600, "Brass watch");
        watch->SnipeBid = 20;
        watch->EndTime = QDateTime();
        f.add(QStringLiteral("2"), QStringLiteral("Default"));
        f.add(QStringLiteral("3"), QStringLiteral("Default"));
        f.app.Categorys().Current =
            command == QLatin1String("delcat") ? QStringLiteral("Toys") : QStringLiteral("Default");
        f.list.View(f.app);
        f.select(selected);
        QFile::remove(f.data.stateFile());
        const bool go = answer == yes;
        f.boxes.answer = buttons == MessageBoxSink::OkCancel
                             ? (go ? MessageBoxSink::AnswerOk : MessageBoxSink::AnswerCancel)
                             : (go ? MessageBoxSink::AnswerYes : MessageBoxSink::AnswerNo);

        if (command == QLatin1String("move")) {
            f.list.MoveAuction(QStringLiteral("Books"));
        } else {
            f.list.buttonClick(command);
        }

        if (question.isEmpty()) {
            QVERIFY(f.boxes.boxes.isEmpty());
        } else {
            QVERIFY(!f.boxes.boxes.isEmpty());
            const RecordingMessageBoxSink::Box& box = f.boxes.boxes.first();
            QCOMPARE(box.text, question);
            QCOMPARE(box.title, title);
            QCOMPARE(int(box.buttons), buttons);
            QCOMPARE(box.icon, MessageBoxSink::Question);
        }
        const bool saved = QFile::exists(f.data.stateFile());
        if (command == QLatin1String("delete")) {
            for (const QString& item : selected)
                QCOMPARE(f.app.Auctions().Exists(item), !go);
            QCOMPARE(saved, go);
        } else if (command == QLatin1String("move")) {
            for (const QString& item : selected)
                QCOMPARE(f.app.Auctions().Item(item)->Category,
                         go ? QStringLiteral("Books") : QStringLiteral("Default"));
            QCOMPARE(f.rows().size(), go ? 3 - selected.size() : 3);
            QCOMPARE(saved, go && !selected.isEmpty());
        } else if (command == QLatin1String("bid")) {
            // Going ahead reaches the bid manager, whose refusal is shown.
            QCOMPARE(f.boxes.boxes.size(), go ? 2 : 1);
            if (go)
                QCOMPARE(f.boxes.boxes.at(1).title, QStringLiteral("Execution Error"));
        } else if (command == QLatin1String("delcat")) {
            QCOMPARE(f.app.Categorys().Count(), go ? 2 : 3);
            QCOMPARE(f.app.Categorys().Current, go ? QStringLiteral("Default") : QStringLiteral("Toys"));
            QCOMPARE(saved, go);
        }
    }

    void settingsOffAskNothing()
    {
        ListFixture f;
        Settings& settings = f.app.Settings();
        settings.ConfirmDel = settings.ConfirmMove = settings.ConfirmBid = false;
        f.app.Categorys().Add(QStringLiteral("Toys"), false, 1);
        // Its end is not known, so the bid manager refuses rather than starts an attempt.
        const AuctionPtr one = f.add(QStringLiteral("1"), QStringLiteral("Default"));
        one->SnipeBid = 5;
        one->EndTime = QDateTime();
        f.add(QStringLiteral("2"), QStringLiteral("Default"));
        f.list.View(f.app);
        f.select({QStringLiteral("2")});
        f.list.MoveAuction(QStringLiteral("Toys"));
        f.select({QStringLiteral("1")});
        f.list.buttonClick(QStringLiteral("bid"));
        f.list.Delete();
        f.list.Tabs()->setCurrentIndex(1);
        f.list.buttonClick(QStringLiteral("delcat"));
        // No question at all: the category holds auction 2, so only the remover opened.
        for (const RecordingMessageBoxSink::Box& box : f.boxes.boxes)
            QVERIFY2(box.icon != MessageBoxSink::Question, qPrintable(box.text));
        QCOMPARE(f.app.Auctions().Item(QStringLiteral("2"))->Category, QStringLiteral("Toys"));
        QVERIFY(!f.app.Auctions().Exists(QStringLiteral("1")));
        QVERIFY(f.dialogs.calls.contains(QStringLiteral("categoryDelete:Toys")));
        QCOMPARE(f.app.Categorys().Count(), 2);
    }

    // While a question is open the heartbeat and the bus go on; the answer acts only on the auctions
    // still there, and never on a new record that took a removed one's item number.
    void answerAfterTheHeartbeatRemovedASelectedAuction_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("delete") << "delete";
        QTest::newRow("move") << "move";
        QTest::newRow("send bid") << "bid";
    }
    void answerAfterTheHeartbeatRemovedASelectedAuction()
    {
        QFETCH(QString, command);
        ListFixture f;
        f.app.Categorys().Add(QStringLiteral("Books"), false, 1);
        const AuctionPtr first = f.add(QStringLiteral("1"), QStringLiteral("Default"));
        first->SnipeBid = 9;
        first->SnipeState = OR2BidSet;
        f.add(QStringLiteral("2"), QStringLiteral("Default"));
        f.list.View(f.app);
        // A bid is sent for the one auction asked about.
        f.select(command == QLatin1String("bid") ? QStringList{QStringLiteral("1")}
                                                 : QStringList{QStringLiteral("1"), QStringLiteral("2")});
        AuctionPtr newcomer;
        f.boxes.answer =
            command == QLatin1String("bid") ? MessageBoxSink::AnswerOk : MessageBoxSink::AnswerYes;
        f.boxes.whileOpen = [&] {
            f.app.Auctions().Remove(QStringLiteral("1"));
            newcomer = f.add(QStringLiteral("1"), QStringLiteral("Default"));
            // A clock synchronisation rebuilds every row.
            f.app.Clock().setVariance(f.app.Clock().Variance() + 1);
        };
        if (command == QLatin1String("delete"))
            f.list.buttonClick(QStringLiteral("delete"));
        else if (command == QLatin1String("move"))
            f.list.MoveAuction(QStringLiteral("Books"));
        else
            f.list.buttonClick(QStringLiteral("bid"));

        QCOMPARE(f.boxes.boxes.size(), 1);
        QVERIFY(f.app.Auctions().Exists(QStringLiteral("1")));
        QCOMPARE(f.app.Auctions().Item(QStringLiteral("1")), newcomer);
        QCOMPARE(newcomer->Category, QStringLiteral("Default"));
        if (command == QLatin1String("delete"))
            QVERIFY(!f.app.Auctions().Exists(QStringLiteral("2")));
        if (command == QLatin1String("move"))
            QCOMPARE(f.app.Auctions().Item(QStringLiteral("2"))->Category, QStringLiteral("Books"));
        // No attempt was started for the removed record.
        QCOMPARE(first->SnipeState, OR2BidSet);
        QVERIFY(f.app.BidManager().State() != eBidderBidding);
    }

    // Refusals of the model and the engine reach the user from every control of the list.
    void errorsAreShownUnderTheirTitles_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString noBid =
            QStringLiteral("This auction does not have a bid set.  You need to edit the auction "
                           "and update the bidding details first.");
        const QString noUser = QStringLiteral("You must first have an eBay username and password set before "
                                              "you can create a bid for an auction.  "
                                              "Please open the configurations and enter this information.");
        QTest::newRow("toolbar bid without a bid") << "bid"
                                                   << "Execution Error" << noBid;
        QTest::newRow("pop-up send bid without a bid") << "mnuAuctionsBid"
                                                       << "Send Bid Error" << noBid;
        QTest::newRow("pop-up bid details without a user name") << "mnuAuctionsEditBid"
                                                                << "Edit Auction Bid Error" << noUser;
        QTest::newRow("tab pop-up deleting the last category") << "mnuCategorysDelete"
                                                               << "Category Delete Error"
                                                               << "You must have at least one Category.";
        QTest::newRow("toolbar deleting the last category") << "delcat"
                                                            << "Execution Error"
                                                            << "You must have at least one Category.";
        QTest::newRow("a column that is gone") << "column"
                                               << "Column Toggle Error"
                                               << "There is no column named Gone.";
    }
    void errorsAreShownUnderTheirTitles()
    {
        QFETCH(QString, entry);
        QFETCH(QString, title);
        QFETCH(QString, text);
        ListFixture f;
        f.app.Settings().ConfirmBid = f.app.Settings().ConfirmDel = false;
        f.app.Settings().Username.clear();
        // In a category of its own, so that "Default" is empty and the last one.
        const bool categoryEntry =
            entry.startsWith(QLatin1String("mnuCategorys")) || entry == QLatin1String("delcat");
        f.add(QStringLiteral("1"), categoryEntry ? QStringLiteral("Elsewhere") : QStringLiteral("Default"));
        f.list.View(f.app);
        f.select({QStringLiteral("1")});
        if (entry == QLatin1String("column")) {
            f.list.showAuctionsMenu(QPoint(0, 0));
            QMenu* columns = entryOf(f.list.auctionsMenu(), QStringLiteral("mnuAuctionsView"))->menu();
            QAction* gone = columns->actions().first();
            gone->setData(QStringLiteral("Gone"));
            gone->trigger();
        } else if (entry.startsWith(QLatin1String("mnuCategorys"))) {
            f.list.showCategorysMenu(QPoint(0, 0));
            entryOf(f.list.categorysMenu(), entry)->trigger();
        } else if (entry.startsWith(QLatin1String("mnu"))) {
            f.list.showAuctionsMenu(QPoint(0, 0));
            QAction* action = entryOf(f.list.auctionsMenu(), entry);
            action->setEnabled(true);
            action->trigger();
        } else {
            f.list.buttonClick(entry);
        }
        f.list.auctionsMenu()->hide();
        f.list.categorysMenu()->hide();
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes.at(0).title, title);
        QCOMPARE(f.boxes.boxes.at(0).text, text);
        QCOMPARE(f.boxes.boxes.at(0).icon, MessageBoxSink::Exclamation);
        QCOMPARE(f.boxes.boxes.at(0).buttons, MessageBoxSink::Ok);
    }

    void updateAllQueuesTheShownRowsFirst()
    {
        ListFixture f;
        qputenv("AUCTIONORV_ITEM_URL", "http://127.0.0.1:9");
        f.app.Settings().MaxAucUpdates = 100;
        f.app.Categorys().Add(QStringLiteral("Books"), false, 1);
        const QDateTime now = f.app.Clock().Time();
        f.add(QStringLiteral("S1"), QStringLiteral("Default"), 3 * 3600);
        f.add(QStringLiteral("B1"), QStringLiteral("Books"), 600);
        f.add(QStringLiteral("S2"), QStringLiteral("Default"), 3600);
        // Read after its end: final, left out.
        const AuctionPtr over = f.add(QStringLiteral("S3"), QStringLiteral("Default"), -600);
        over->LastUpdated = now;
        // Read, but its end did not read: never final.
        const AuctionPtr unknown = f.add(QStringLiteral("S4"), QStringLiteral("Default"));
        unknown->EndTime = QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
        unknown->LastUpdated = now;
        // Never read at all.
        const AuctionPtr fresh = f.add(QStringLiteral("B2"), QStringLiteral("Books"));
        fresh->EndTime = unknown->EndTime;
        fresh->LastUpdated = unknown->EndTime;
        f.list.View(f.app);
        QCOMPARE(f.rows(), QStringList({"S4", "S3", "S2", "S1"}));
        QSignalSpy started(&f.app.Updaters(), &Updaters::UpdaterChanged);
        f.list.buttonClick(QStringLiteral("updateall"));
        QStringList order;
        for (const QVariantList& change : std::as_const(started)) {
            if (change.at(0).toInt() == sfRunning)
                order << change.at(1).value<Updater*>()->Auction->Item;
        }
        f.app.Updaters().Cancel();
        qunsetenv("AUCTIONORV_ITEM_URL");
        QCOMPARE(order, QStringList({"S4", "S2", "S1", "B1", "B2"}));
    }

    void updateSelectedQueuesTheSelection()
    {
        ListFixture f;
        qputenv("AUCTIONORV_ITEM_URL", "http://127.0.0.1:9");
        f.app.Settings().MaxAucUpdates = 100;
        f.add(QStringLiteral("1"), QStringLiteral("Default"), 300);
        f.add(QStringLiteral("2"), QStringLiteral("Default"), 200);
        f.add(QStringLiteral("3"), QStringLiteral("Default"), 100);
        f.list.View(f.app);
        f.select({QStringLiteral("1"), QStringLiteral("3")});
        QSignalSpy started(&f.app.Updaters(), &Updaters::UpdaterChanged);
        f.list.buttonClick(QStringLiteral("update"));
        QStringList order;
        for (const QVariantList& change : std::as_const(started)) {
            if (change.at(0).toInt() == sfRunning)
                order << change.at(1).value<Updater*>()->Auction->Item;
        }
        f.list.buttonClick(QStringLiteral("stop"));
        qunsetenv("AUCTIONORV_ITEM_URL");
        // In the list's order, not the order of selecting.
        QCOMPARE(order, QStringList({"3", "1"}));
        QCOMPARE(f.app.Updaters().State(), sfNotBusy);
    }

    void navigateOpensTheItemPage_data()
    {
        QTest::addColumn<bool>("forceBrowser");
        QTest::addColumn<bool>("ownBrowser");
        QTest::newRow("default browser") << false << true;
        QTest::newRow("forced, own browser present") << true << true;
        QTest::newRow("forced, no own browser: the default one") << true << false;
    }
    void navigateOpensTheItemPage()
    {
        QFETCH(bool, forceBrowser);
        QFETCH(bool, ownBrowser);
        ListFixture f;
        f.app.Settings().ForceIE = forceBrowser;
        // The program's own browser: a stand-in that writes the address it was given.
        QTemporaryDir folder;
        const QString record = folder.filePath(QStringLiteral("started-with.txt"));
        cGlobal::setBrowserFolders({folder.path()});
        if (ownBrowser) {
            const QString browser = folder.filePath(QStringLiteral("orvbrowser"));
            QFile script(browser);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nprintf '%s' \"$2\" > \"$0.part\" && mv \"$0.part\" \"" +
                         record.toLocal8Bit() + "\"\n");
            script.close();
            QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        QList<QUrl> opened;
        cGlobal::setLauncher([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        f.add(QStringLiteral("AB123"), QStringLiteral("Default"));
        f.list.resize(800, 300);
        f.list.show();
        f.list.View(f.app);
        QTreeView* view = f.list.ListView();
        // As the desktop delivers a double click: a click, then the double click.
        const QPoint row = view->visualRect(f.model().index(0, f.section(QStringLiteral("Item")))).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row);
        const QString page = QStringLiteral("http://cgi.ebay.com/ws/eBayISAPI.dll?ViewItem&item=AB123");
        if (forceBrowser && ownBrowser) {
            QTRY_VERIFY(QFile::exists(record));
            QFile file(record);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(file.readAll()), page);
            QVERIFY(opened.isEmpty());
        } else {
            QCOMPARE(opened.size(), 1);
            QCOMPARE(opened.at(0).toString(), page);
            QVERIFY(!QFile::exists(record));
        }
    }

    // An item number read from an odd state file never becomes an address.
    void navigateRefusesAnItemThatIsNotLettersAndDigits()
    {
        FakeTimeSource now;
        TestDataFolder data;
        data.write(
            QStringLiteral("auctions.xml"),
            "<Root><Auctions><Auction><Item>12 3&amp;x=\"y</Item><Category>Default</Category></Auction>"
            "</Auctions></Root>");
        RecordingShellHost dialogs;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        cApp app(dialogs, boxes, engine.factories());
        app.Load();
        ctlAuctions list;
        list.View(app);
        list.ListView()->selectionModel()->select(list.model()->index(0, 1),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QList<QUrl> opened;
        cGlobal::setLauncher([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        list.buttonClick(QStringLiteral("navigate"));
        QVERIFY(opened.isEmpty());
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.at(0).title, QStringLiteral("Execution Error"));
        QVERIFY(boxes.boxes.at(0).text.contains(QStringLiteral("letters and digits")));
    }

    void popupMenuFollowsTheSelection_data()
    {
        QTest::addColumn<double>("snipeBid");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("bidCaption");
        QTest::newRow("without a bid") << 0.0 << true << "Create Bid for Auction...";
        QTest::newRow("with a bid") << 12.5 << true << "Edit / View Bid Details...";
        QTest::newRow("nothing selected") << 12.5 << false << "Edit Auction Bid Details";
    }
    void popupMenuFollowsTheSelection()
    {
        QFETCH(double, snipeBid);
        QFETCH(bool, selected);
        QFETCH(QString, bidCaption);
        ListFixture f;
        f.app.Categorys().Add(QStringLiteral("Books"), false, 1);
        f.app.Categorys().Add(QStringLiteral("Toys & Games"), false, 1);
        f.app.Columns().Item(QStringLiteral("Local End"))->setVisible(false);
        f.add(QStringLiteral("1"), QStringLiteral("Books"))->SnipeBid = snipeBid;
        f.app.Categorys().Current = QStringLiteral("Books");
        f.list.View(f.app);
        if (selected)
            f.select({QStringLiteral("1")});
        f.list.showAuctionsMenu(QPoint(0, 0));
        QMenu* menu = f.list.auctionsMenu();
        auto enabled = [menu](const char* name) {
            return entryOf(menu, QString::fromLatin1(name))->isEnabled();
        };
        QCOMPARE(entryOf(menu, QStringLiteral("mnuAuctionsEditBid"))->text(), bidCaption);
        QCOMPARE(enabled("mnuAuctionsBid"), selected && snipeBid > 0);
        QCOMPARE(enabled("mnuAuctionsEditBid"), selected);
        for (const char* name : {"mnuAuctionsEdit", "mnuAuctionsDelete", "mnuAuctionsUpdateSelected",
                                 "mnuAuctionsNavigate", "mnuAuctionsMove"})
            QCOMPARE(enabled(name), selected);
        QVERIFY(enabled("mnuAuctionsAdd"));
        QVERIFY(enabled("mnuAuctionsUpdateAll"));

        QMenu* move = entryOf(menu, QStringLiteral("mnuAuctionsMove"))->menu();
        QCOMPARE(captions(move), QStringList({"Default", "Books", "Toys && Games"}));
        QCOMPARE(captions(move, true), selected ? QStringList{"Books"} : QStringList());
        QMenu* columns = entryOf(menu, QStringLiteral("mnuAuctionsView"))->menu();
        QCOMPARE(columns->actions().size(), 22);
        QVERIFY(!captions(columns, true).contains(QStringLiteral("Local End")));
        QCOMPARE(captions(columns, true).size(), 21);
        menu->hide();
    }

    void columnEntryShowsAndHides()
    {
        ListFixture f;
        f.list.View(f.app);
        f.list.showAuctionsMenu(QPoint(0, 0));
        QMenu* columns = entryOf(f.list.auctionsMenu(), QStringLiteral("mnuAuctionsView"))->menu();
        auto entry = [columns] {
            for (QAction* action : columns->actions()) {
                if (action->data().toString() == QLatin1String("Seller"))
                    return action;
            }
            return static_cast<QAction*>(nullptr);
        };
        const int section = f.section(QStringLiteral("Seller"));
        entry()->trigger();
        QVERIFY(!f.app.Columns().Item(QStringLiteral("Seller"))->Visible());
        QVERIFY(f.list.ListView()->header()->isSectionHidden(section));
        QVERIFY(!entry()->isChecked());
        entry()->trigger();
        QVERIFY(f.app.Columns().Item(QStringLiteral("Seller"))->Visible());
        QVERIFY(!f.list.ListView()->header()->isSectionHidden(section));
        QVERIFY(entry()->isChecked());
        f.list.auctionsMenu()->hide();
    }

    void editBidOpensTheBidDialog_data()
    {
        QTest::addColumn<AucSnipeStates>("state");
        QTest::addColumn<QString>("opened");
        QTest::newRow("watching: a new bid") << OR2Watching << "newBid:1";
        QTest::newRow("bid set") << OR2BidSet << "bid:1";
        QTest::newRow("failed") << OR2BidFailed << "bid:1";
        QTest::newRow("won") << OR2BidSuccess << "bid:1";
        QTest::newRow("cancelled") << OR2BidCancelled << "bid:1";
    }
    void editBidOpensTheBidDialog()
    {
        QFETCH(AucSnipeStates, state);
        QFETCH(QString, opened);
        ListFixture f;
        f.app.Settings().Username = QStringLiteral("someone");
        f.add(QStringLiteral("1"), QStringLiteral("Default"))->SnipeState = state;
        f.list.View(f.app);
        f.select({QStringLiteral("1")});
        f.list.EditBid();
        QCOMPARE(f.dialogs.calls.filter(QStringLiteral("bid:"), Qt::CaseInsensitive), QStringList{opened});
    }

    // The dialogs are the model's; the list only asks for them.
    void commandsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("opened");
        QTest::newRow("add") << "add"
                             << "auction:";
        QTest::newRow("edit") << "edit"
                              << "auction:1";
        QTest::newRow("clock") << "clock"
                               << "clock";
        QTest::newRow("settings") << "config"
                                  << "settings";
        QTest::newRow("add category") << "addcat"
                                      << "category:";
        QTest::newRow("edit category") << "editcat"
                                       << "category:Default";
    }
    void commandsOpenTheirWindows()
    {
        QFETCH(QString, key);
        QFETCH(QString, opened);
        ListFixture f;
        f.add(QStringLiteral("1"), QStringLiteral("Default"));
        f.list.View(f.app);
        f.select({QStringLiteral("1")});
        f.dialogs.calls.clear();
        f.list.buttonClick(key);
        QCOMPARE(f.dialogs.calls, QStringList{opened});
        QVERIFY(f.boxes.boxes.isEmpty());
    }

    void cancelBidsAndDownloadsReachTheEngine()
    {
        ListFixture f;
        f.list.View(f.app);
        f.app.Updaters().setState(sfBusy);
        f.list.buttonClick(QStringLiteral("stop"));
        QCOMPARE(f.app.Updaters().State(), sfNotBusy);
        // Nothing runs: cancelling bids changes nothing, and says nothing.
        f.list.buttonClick(QStringLiteral("stopbid"));
        QVERIFY(f.boxes.boxes.isEmpty());
        // An unknown key does nothing.
        f.list.buttonClick(QStringLiteral("nothing"));
        QVERIFY(f.boxes.boxes.isEmpty());
    }
};

QTEST_MAIN(tst_ctlAuctionsCommands)
#include "tst_ctlAuctionsCommands.moc"
