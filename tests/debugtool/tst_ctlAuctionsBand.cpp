// The debug tool's window on the in-process fake of the main program: the tree read once by the shared
// node rules, the check rules, the lazy information lines, the time left, and "Create Debug File" from
// the save dialog to the result box.
#include "DebugPackage.h"
#include "Dialog.h"
#include "FakeBackend.h"
#include "OrvPictures.h"
#include "PackageContents.h"
#include "RecordingMessageBoxSink.h"
#include "RemoteApp.h"
#include "RemoteError.h"
#include "RemoteNodeRules.h"
#include "RemotecApp.h"
#include "ScriptedDialogBackend.h"
#include "TestDataFolder.h"
#include "ctlAuctionsBand.h"
#include "frmAuctions.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

using Remote::AuctionRecord;

namespace {

const QByteArray state = "<Root><Settings><Username>me</Username><Password>pw</Password></Settings></Root>";

const QDateTime siteNow(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);

AuctionRecord auction(const QString& item, const QString& category, const QString& description,
                      Remote::AucSnipeStates snipeState = Remote::OR2Watching,
                      Remote::AucTimeLeftLevel level = Remote::OR2Active)
{
    AuctionRecord record;
    record.Item = item;
    record.Category = category;
    record.Description = description;
    record.SnipeState = snipeState;
    record.TimeLeftLevel = level;
    record.SnipeBid = 12.5;
    record.Price = 3;
    record.EndTime = siteNow.addSecs(2 * 3600);
    return record;
}

QImage picture(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}

} // namespace

class tst_ctlAuctionsBand : public QObject
{
    Q_OBJECT

    // The tool's window on a fake program with three categories: Default holds Lamp (100); Books, limited,
    // holds Zebra book (200, a snipe set), Atlas (201) and Maps (202); Art holds nothing; auction 300 names
    // a category that does not exist.
    struct Tool
    {
        TestDataFolder data;
        FakeBackend* fake = new FakeBackend;
        DebugTool::frmAuctions window;
        ScriptedDialogBackend* dialogs = new ScriptedDialogBackend;
        RecordingMessageBoxSink boxes;

        explicit Tool(bool reachable = true)
        {
            fake->setSiteTime(siteNow);
            fake->setSetting(QStringLiteral("ColorActive"), 0x008000);
            fake->setSetting(QStringLiteral("ColorWarning"), 0x0000FF);
            fake->addCategory(QStringLiteral("Default"));
            fake->addCategory(QStringLiteral("Books"), true, 2);
            fake->addCategory(QStringLiteral("Art"));
            fake->putAuction(auction("100", "Default", "Lamp"));
            fake->putAuction(auction("200", "Books", "Zebra book", Remote::OR2BidSet, Remote::OR2Warning));
            fake->putAuction(auction("201", "Books", "Atlas"));
            fake->putAuction(auction("202", "Books", "Maps"));
            fake->putAuction(auction("300", "Gone", "Orphan"));
            fake->setReachable(reachable);
            // The program tells the data folder it runs with.
            fake->setDataFolder(data.path());
            auto link = std::make_unique<Remote::cApp>(std::unique_ptr<Remote::Backend>(fake));
            fake->pinClock(link->App().Clock());
            band()->setMessageBoxSink(&boxes);
            band()->setDialogBackend(std::unique_ptr<DialogBackend>(dialogs));
            window.View(std::move(link));
        }

        DebugTool::ctlAuctionsBand* band() const { return window.AuctionsBand(); }
        QTreeWidget* tree() const { return band()->TreeView(); }
        QTreeWidgetItem* node(const QString& key) const { return band()->node(key); }
        QPushButton* createButton() const { return band()->findChild<QPushButton*>("cmdCreate"); }

        // A click on the node's text, as the user makes it.
        void click(const QString& key) const
        {
            QTreeWidgetItem* item = node(key);
            QVERIFY2(item, qPrintable(key));
            if (item->parent())
                item->parent()->setExpanded(true);
            tree()->scrollToItem(item);
            QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
        }

        // The save dialog answers with `path`.
        void saveTo(const QString& path) const
        {
            dialogs->fileAnswer = [path](DialogBackend::FileDialog& d) {
                d.chosen = {path};
                d.fileName = path;
                return true;
            };
        }

        QStringList checkedKeys() const
        {
            QStringList keys;
            for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
                if ((*it)->checkState(0) == Qt::Checked)
                    keys << (*it)->data(0, Qt::UserRole).toString();
            }
            keys.sort();
            return keys;
        }
    };

    static QStringList children(const QTreeWidgetItem* node)
    {
        QStringList texts;
        for (int i = 0; i < node->childCount(); ++i)
            texts << node->child(i)->text(0);
        return texts;
    }

private Q_SLOTS:
    void treeReadOnceByTheNodeRules()
    {
        Tool tool;
        QCOMPARE(tool.window.windowTitle(), QStringLiteral("Auction Orv Debug Packager"));
        QVERIFY(tool.window.isVisible());
        QCOMPARE(tool.window.statusText(), QStringLiteral("Select the auctions you want to package."));

        QTreeWidget* tree = tool.tree();
        QStringList roots;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            roots << tree->topLevelItem(i)->text(0);
        QCOMPARE(roots, QStringList({"Art (0)", "Books (3)", "Default (1)"}));
        // The first category added is selected, wherever the sorting puts it.
        QCOMPARE(tree->currentItem(), tool.node("Default:CAT"));
        QCOMPARE(children(tool.node("Books:CAT")), QStringList({"Atlas", "Maps", "Zebra book"}));
        QCOMPARE(tool.node("200~")->parent(), tool.node("Books:CAT"));
        QVERIFY(!tool.node("300~"));
        QCOMPARE(tool.node("200~")->childCount(), 0);

        // Colour by time-left level from the settings, image by snipe state.
        QCOMPARE(tool.node("200~")->foreground(0).color(), QColor(0xFF, 0, 0));
        QCOMPARE(tool.node("100~")->foreground(0).color(), QColor(0, 0x80, 0));
        QCOMPARE(picture(tool.node("200~")->icon(0)), picture(OrvPictures::icon("bid")));
        QCOMPARE(picture(tool.node("100~")->icon(0)), picture(OrvPictures::icon("green")));
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            QVERIFY((*it)->flags() & Qt::ItemIsUserCheckable);

        QTimer* tick = tool.band()->findChild<QTimer*>("tmrTick");
        QVERIFY(tick && tick->isActive());
        QCOMPARE(tick->interval(), 1000);

        // A snapshot: the program's later changes do not reach the tree.
        tool.fake->putAuction(auction("101", "Default", "Chair"));
        tool.fake->removeAuction("201");
        QCOMPARE(tool.node("Default:CAT")->text(0), QStringLiteral("Default (1)"));
        QVERIFY(!tool.node("101~"));
        QVERIFY(tool.node("201~"));
    }

    // Ticks set by the user (key=1 ticks, key=0 clears, in order) and the boxes ticked afterwards. Atlas
    // (201) and Zebra book (200) have their lines; Maps (202) has none.
    void checkRules_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("ticked");

        const QStringList lines200 = infoKeys("200");
        const QStringList lines201 = infoKeys("201");
        const QStringList books = QStringList{"Books:CAT", "200~", "201~", "202~"} + lines200 + lines201;

        QTest::newRow("category ticks its auctions and their lines") << QStringList{"Books:CAT=1"} << books;
        QTest::newRow("clearing one auction clears its category, not its siblings")
            << QStringList{"Books:CAT=1", "201~=0"} << (QStringList{"200~", "202~"} + lines200);
        QTest::newRow("clearing a line clears its auction, its lines and its category")
            << QStringList{"Books:CAT=1", "200:Price:INF=0"} << (QStringList{"201~", "202~"} + lines201);
        QTest::newRow("ticking every auction leaves the category clear")
            << QStringList{"200~=1", "201~=1", "202~=1"}
            << (QStringList{"200~", "201~", "202~"} + lines200 + lines201);
        QTest::newRow("ticking a line ticks its auction and the auction's lines")
            << QStringList{"200:Item:INF=1"} << (QStringList{"200~"} + lines200);
        QTest::newRow("clearing the category clears all it holds")
            << QStringList{"Books:CAT=1", "100~=1", "Books:CAT=0"} << QStringList{"100~"};
        QTest::newRow("ticking the category again after a clear")
            << QStringList{"Books:CAT=1", "201~=0", "Books:CAT=1"} << books;
    }

    void checkRules()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, ticked);
        Tool tool;
        tool.click("200~");
        tool.click("201~");
        QCOMPARE(tool.node("200~")->childCount(), 11);
        QCOMPARE(tool.node("202~")->childCount(), 0);

        for (const QString& step : std::as_const(steps)) {
            const QStringList parts = step.split('=');
            QTreeWidgetItem* node = tool.node(parts.at(0));
            QVERIFY2(node, qPrintable(step));
            node->setCheckState(0, parts.at(1) == "1" ? Qt::Checked : Qt::Unchecked);
        }
        ticked.sort();
        QCOMPARE(tool.checkedKeys(), ticked);
    }

    // An auction's lines are made when it is first clicked, in their order, each taking the auction's tick.
    void linesMadeOnFirstClick()
    {
        Tool tool;
        tool.node("202~")->setCheckState(0, Qt::Checked);
        tool.click("202~");
        QTreeWidgetItem* maps = tool.node("202~");
        QCOMPARE(maps->childCount(), 11);
        QStringList keys;
        for (int i = 0; i < maps->childCount(); ++i) {
            keys << maps->child(i)->data(0, Qt::UserRole).toString();
            QCOMPARE(maps->child(i)->checkState(0), Qt::Checked);
        }
        QCOMPARE(keys, infoKeys("202"));
        QCOMPARE(maps->child(0)->text(0), QStringLiteral("ITEM: 202"));
        QCOMPARE(maps->child(1)->text(0), QStringLiteral("PRICE: 3.00"));
        QCOMPARE(maps->child(4)->text(0), QStringLiteral("BID: N/A"));
        QCOMPARE(maps->child(5)->text(0), QStringLiteral("NOT BIDDING"));
        // Not expanded yet: no time left written.
        QCOMPARE(maps->child(6)->text(0), QString());

        // A cleared auction's new lines are clear; a second click makes no more lines.
        tool.click("201~");
        QCOMPARE(tool.node("201:Item:INF")->checkState(0), Qt::Unchecked);
        tool.click("202~");
        QCOMPARE(maps->childCount(), 11);
    }

    // Each second the selected auction's time left is written, while its node is expanded.
    void timeLeftOfTheSelectedAuction()
    {
        Tool tool;
        tool.click("100~");
        QTreeWidgetItem* timeLeft = tool.node("100:TimeLeft:INF");
        QVERIFY(timeLeft);
        tool.band()->tick();
        QCOMPARE(timeLeft->text(0), QString());

        tool.node("100~")->setExpanded(true);
        tool.band()->tick();
        QCOMPARE(timeLeft->text(0), QStringLiteral("00:02:00:00"));
        tool.fake->advanceSiteTime(65);
        tool.band()->tick();
        QCOMPARE(timeLeft->text(0), QStringLiteral("00:01:58:55"));
        // With one of its lines selected, the same auction's.
        tool.click("100:Item:INF");
        tool.fake->advanceSiteTime(5);
        tool.band()->tick();
        QCOMPARE(timeLeft->text(0), QStringLiteral("00:01:58:50"));
        // A text written by the clock is no tick.
        QCOMPARE(tool.node("100~")->checkState(0), Qt::Unchecked);
    }

    // The save dialog as the package asks for it, the ticked auctions' pages in the order added, and the
    // success box.
    void createDebugFile()
    {
        Tool tool;
        tool.data.write("auctions.xml", state);
        QDir(tool.data.path()).mkdir("Sent Snipes");
        tool.data.write("Sent Snipes/100.html", "lamp page");
        tool.data.write("Sent Snipes/200.html", "zebra page");
        tool.data.write("Sent Snipes/202.html", "maps page, not ticked");
        QTemporaryDir out;
        const QString target = out.filePath("support.zip");
        tool.saveTo(target);
        tool.node("Books:CAT")->setCheckState(0, Qt::Checked);
        tool.node("202~")->setCheckState(0, Qt::Unchecked);
        tool.node("100~")->setCheckState(0, Qt::Checked);

        QTest::mouseClick(tool.createButton(), Qt::LeftButton);

        QCOMPARE(tool.dialogs->fileRuns.size(), 1);
        const DialogBackend::FileDialog& asked = tool.dialogs->fileRuns.first();
        QVERIFY(asked.save);
        QCOMPARE(asked.fileName, QStringLiteral("Auction Orv Debug Package"));
        QCOMPARE(asked.filters, QStringList({"Zip (*.zip)"}));
        QCOMPARE(asked.filterIndex, 1);
        QCOMPARE(asked.title, QStringLiteral("Save Debug Package"));
        QCOMPARE(asked.defaultExt, QStringLiteral("zip"));
        QCOMPARE(asked.initDir, QString());
        QVERIFY(asked.flags & Dialog::OFN_OVERWRITEPROMPT);
        QCOMPARE(asked.owner, nullptr);

        const PackageContents package(target);
        QVERIFY(package.readable());
        // The order the nodes were added: Default's Lamp before Books' Zebra book, whatever the sorting.
        QCOMPARE(package.names(),
                 QStringList({"auctions.xml", "Sent Snipes/100.html", "Sent Snipes/200.html"}));
        QCOMPARE(
            package.entry("auctions.xml"),
            QByteArray("<Root><Settings><Username>me</Username><Password></Password></Settings></Root>"));
        QCOMPARE(package.entry("Sent Snipes/200.html"), QByteArray("zebra page"));

        QCOMPARE(tool.boxes.boxes.size(), 1);
        QCOMPARE(tool.boxes.boxes.first().icon, MessageBoxSink::Information);
        QCOMPARE(tool.boxes.boxes.first().title, QStringLiteral("Debug Package Created"));
        QCOMPARE(tool.boxes.boxes.first().text,
                 QStringLiteral("The Debugging file has been successfully created."));
        QVERIFY(tool.createButton()->isEnabled());
    }

    void cancelledSaveDoesNothing()
    {
        Tool tool;
        tool.data.write("auctions.xml", state);
        tool.node("Books:CAT")->setCheckState(0, Qt::Checked);
        QTest::mouseClick(tool.createButton(), Qt::LeftButton);
        QCOMPARE(tool.dialogs->fileRuns.size(), 1);
        QCOMPARE(tool.boxes.boxes.size(), 0);
        QVERIFY(tool.createButton()->isEnabled());
    }

    // A package that fails shows why, in the failure box, never the success box.
    void failureShowsWhy()
    {
        Tool tool;
        QTemporaryDir out;
        const QString target = out.filePath("support.zip");
        tool.saveTo(target);
        tool.node("100~")->setCheckState(0, Qt::Checked);

        QTest::mouseClick(tool.createButton(), Qt::LeftButton);

        QCOMPARE(tool.boxes.boxes.size(), 1);
        QCOMPARE(tool.boxes.boxes.first().icon, MessageBoxSink::Exclamation);
        QCOMPARE(tool.boxes.boxes.first().title, QStringLiteral("Could not Zip files"));
        QVERIFY2(tool.boxes.boxes.first().text.contains("\"auctions.xml\" could not be read"),
                 qPrintable(tool.boxes.boxes.first().text));
        QVERIFY(!QFile::exists(target));
    }

    // Clicks that arrive while the save dialog or the result box is open start no second package.
    void secondClickWhileCreating()
    {
        Tool tool;
        tool.data.write("auctions.xml", state);
        QTemporaryDir out;
        const QString target = out.filePath("support.zip");
        QPushButton* button = tool.createButton();
        // The second click of a double click lands while the save dialog is open.
        tool.dialogs->fileAnswer = [&](DialogBackend::FileDialog& d) {
            QTest::mouseDClick(button, Qt::LeftButton);
            button->click();
            tool.band()->createDebugFile();
            d.chosen = {target};
            return true;
        };
        tool.boxes.whileOpen = [&] { tool.band()->createDebugFile(); };

        QTest::mouseClick(button, Qt::LeftButton);

        QCOMPARE(tool.dialogs->fileRuns.size(), 1);
        QCOMPARE(tool.boxes.boxes.size(), 1);
        QCOMPARE(tool.boxes.boxes.first().title, QStringLiteral("Debug Package Created"));
        // Once it is done, the next click makes the next package.
        tool.dialogs->fileAnswer = [&](DialogBackend::FileDialog& d) {
            d.chosen = {target};
            return true;
        };
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(tool.dialogs->fileRuns.size(), 2);
    }

    // The package holds the files of the program the tree was read from, whatever folder this tool's own
    // environment names; the tool's own folder only when no program answers.
    void packsTheProgramsDataFolder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("packedFrom");
        QTest::newRow("the program tells its folder") << "another folder"
                                                      << "program";
        QTest::newRow("the program does not answer") << "no answer"
                                                     << "tool";
        QTest::newRow("the program names no folder") << "no folder"
                                                     << "tool";
        QTest::newRow("no program") << "unreachable"
                                    << "tool";
    }

    void packsTheProgramsDataFolder()
    {
        QFETCH(QString, program);
        QFETCH(QString, packedFrom);
        Tool tool(program != QLatin1String("unreachable"));
        const QByteArray toolState = "<Root><Settings><Username>tool</Username></Settings></Root>";
        const QByteArray programState = "<Root><Settings><Username>program</Username></Settings></Root>";
        tool.data.write("auctions.xml", toolState);
        QDir(tool.data.path()).mkdir("Sent Snipes");
        tool.data.write("Sent Snipes/100.html", "the tool's page");
        QTemporaryDir programFolder;
        QVERIFY(QDir(programFolder.path()).mkdir("Sent Snipes"));
        for (const auto& [name, bytes] : {std::pair<QString, QByteArray>{"auctions.xml", programState},
                                          {"Sent Snipes/100.html", "the program's page"}}) {
            QFile file(programFolder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        if (program == QLatin1String("another folder"))
            tool.fake->setDataFolder(programFolder.path());
        else if (program == QLatin1String("no answer"))
            tool.fake->failCommand("App.DataFolder", Remote::Error::NotRunning,
                                   Remote::Error::noAnswerText());
        else if (program == QLatin1String("no folder"))
            tool.fake->setDataFolder(QString());
        if (QTreeWidgetItem* lamp = tool.node("100~"))
            lamp->setCheckState(0, Qt::Checked);

        QTemporaryDir out;
        tool.saveTo(out.filePath("support.zip"));
        QTest::mouseClick(tool.createButton(), Qt::LeftButton);
        QCOMPARE(tool.boxes.boxes.size(), 1);
        QCOMPARE(tool.boxes.boxes.first().title, QStringLiteral("Debug Package Created"));
        const PackageContents package(out.filePath("support.zip"));
        const bool fromProgram = packedFrom == QLatin1String("program");
        QCOMPARE(package.entry("auctions.xml"), fromProgram ? programState : toolState);
        if (program != QLatin1String("unreachable"))
            QCOMPARE(package.entry("Sent Snipes/100.html"),
                     fromProgram ? QByteArray("the program's page") : QByteArray("the tool's page"));
    }

    // Without the main program the tree stays empty and says why; a package then holds the state file.
    void programNotReached()
    {
        Tool tool(false);
        QCOMPARE(tool.tree()->topLevelItemCount(), 0);
        QCOMPARE(tool.window.statusText(), Remote::cApp::notReachedText());
        tool.data.write("auctions.xml", state);
        QTemporaryDir out;
        tool.saveTo(out.filePath("support.zip"));
        QTest::mouseClick(tool.createButton(), Qt::LeftButton);
        QCOMPARE(PackageContents(out.filePath("support.zip")).names(), QStringList({"auctions.xml"}));
    }

    // The program ending keeps the tree the user ticked, and its pages still pack.
    void programEndsWhileOpen()
    {
        Tool tool;
        tool.data.write("auctions.xml", state);
        QDir(tool.data.path()).mkdir("Sent Snipes");
        tool.data.write("Sent Snipes/201.html", "atlas page");
        tool.node("201~")->setCheckState(0, Qt::Checked);
        tool.fake->endProgram();
        QCOMPARE(tool.window.statusText(), Remote::cApp::endedText());
        QCOMPARE(tool.node("Books:CAT")->text(0), QStringLiteral("Books (3)"));
        tool.click("201~");
        tool.band()->tick();

        QTemporaryDir out;
        tool.saveTo(out.filePath("support.zip"));
        QTest::mouseClick(tool.createButton(), Qt::LeftButton);
        QCOMPARE(PackageContents(out.filePath("support.zip")).names(),
                 QStringList({"auctions.xml", "Sent Snipes/201.html"}));
    }

    // Closing the window empties the tree and ends the hold on the main program.
    void closingEndsTheHold()
    {
        Tool tool;
        QVERIFY(tool.fake->isHeld());
        QSignalSpy hold(tool.fake, &Remote::Backend::holdChanged);
        tool.window.close();
        QCOMPARE(hold.count(), 1);
        QCOMPARE(hold.first().first().toBool(), false);
        QCOMPARE(tool.window.App(), nullptr);
        QCOMPARE(tool.tree()->topLevelItemCount(), 0);
        QVERIFY(!tool.band()->findChild<QTimer*>("tmrTick")->isActive());
    }

private:
    static QStringList infoKeys(const QString& item)
    {
        QStringList keys;
        for (const char* field : {"Item", "Price", "Quantity", "Bids", "SnipeBid", "SnipeState", "TimeLeft",
                                  "EndTime", "HighBidder", "Seller", "Comments"})
            keys << item + ":" + field + ":INF";
        return keys;
    }
};

QTEST_MAIN(tst_ctlAuctionsBand)
#include "tst_ctlAuctionsBand.moc"
