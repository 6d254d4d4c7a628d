#include "BidManager.h"
#include "Clock.h"
#include "FakeEngine.h"
#include "FakeSite.h"
#include "ListFixture.h"
#include "NetManager.h"
#include "OrvError.h"
#include "RecordingShellHost.h"
#include "TerminationWatcher.h"
#include "Twips.h"
#include "Unloader.h"
#include "Updaters.h"
#include "VerManager.h"
#include "WidgetDialogHost.h"
#include "XMLManager.h"
#include "cGlobal.h"
#include "ctlAuctions.h"
#include "frmAuctions.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <csignal>

namespace {

// Windows that fail to open, for the menus' error boxes.
class FailingDialogHost : public RecordingShellHost
{
public:
    void viewAuction(Auctions&, Categorys&, const AuctionPtr&) override { fail(); }
    void viewSettings(Settings&) override { fail(); }

private:
    static void fail()
    {
        throw OrvError::refused(QStringLiteral("Test"), QStringLiteral("The window failed."));
    }
};

// A question that fails while it is asked.
class FailingQuestions : public RecordingMessageBoxSink
{
public:
    Answer show(Icon icon, const QString& title, const QString& text, Buttons buttons) override
    {
        RecordingMessageBoxSink::show(icon, title, text, buttons);
        if (icon == Question)
            throw OrvError::refused(QStringLiteral("Test"), QStringLiteral("The question failed."));
        return answer;
    }
};

struct Program
{
    FakeTimeSource now{QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)};
    TestDataFolder data;
    FailingDialogHost dialogs;
    FailingQuestions boxes;
    FakeEngine engine;
    cApp app{dialogs, boxes, engine.factories()};
    frmAuctions window;

    Program()
    {
        app.Load();
        app.Settings().ViewedWelcome = true;
    }
    QByteArray saved() const { return data.read(QStringLiteral("auctions.xml")); }
};

QAction* entryWithData(QMenu* menu, const QString& data)
{
    for (QAction* action : menu->actions()) {
        if (action->data().toString() == data)
            return action;
    }
    return nullptr;
}

} // namespace

// The main window: closing it, its bounds in twips, the welcome page, the menus and their error boxes,
// and the status bar.
class tst_frmAuctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { cGlobal::setLauncher({}); }

    void userClose_data()
    {
        QTest::addColumn<bool>("minOnClose");
        QTest::addColumn<bool>("tray");
        QTest::addColumn<QString>("veto");
        QTest::addColumn<AppState>("state");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("refusalShown");
        QTest::newRow("to the tray") << true << true << "never" << AppHidden << 0 << false;
        QTest::newRow("settings say end: asked twice")
            << false << true << "never" << AppShuttingDown << 2 << false;
        QTest::newRow("a client holds the program: hidden")
            << false << true << "always" << AppHidden << 1 << false;
        QTest::newRow("a client comes in between the questions: hidden")
            << false << true << "second" << AppHidden << 2 << true;
        QTest::newRow("no tray: the end") << true << false << "never" << AppShuttingDown << 1 << false;
        QTest::newRow("no tray, a client holds: stays open")
            << false << false << "always" << AppStarted << 1 << true;
    }
    void userClose()
    {
        QFETCH(bool, minOnClose);
        QFETCH(bool, tray);
        QFETCH(QString, veto);
        QFETCH(AppState, state);
        QFETCH(int, questions);
        QFETCH(bool, refusalShown);
        Program p;
        p.dialogs.tray.available = tray;
        p.app.Settings().MinOnClose = minOnClose;
        p.app.show();
        int asked = 0;
        connect(&p.app.Unloader(), &Unloader::Unloading, &p.app, [&](bool now) {
            if (now)
                return;
            ++asked;
            if (veto == QLatin1String("always") || (veto == QLatin1String("second") && asked == 2))
                p.app.Unloader().setAvailable(false);
        });
        p.window.View(p.app);
        QVERIFY(p.window.isVisible());
        p.window.close();
        QCOMPARE(p.app.State(), state);
        QCOMPARE(asked, questions);
        QCOMPARE(p.window.isVisible(), state == AppStarted);
        QCOMPARE(!p.boxes.boxes.isEmpty(), refusalShown);
        if (refusalShown)
            QCOMPARE(p.boxes.boxes.last().title, QStringLiteral("Application Error"));
    }

    void programCloseAsksNothingAndKeepsTheWindowsState()
    {
        Program p;
        QSignalSpy questions(&p.app.Unloader(), &Unloader::Unloading);
        p.window.View(p.app);
        QFile::remove(p.data.stateFile());
        p.window.closeByProgram();
        QVERIFY(!p.window.isVisible());
        QCOMPARE(questions.count(), 0);
        QVERIFY(QFile::exists(p.data.stateFile()));
    }

    void storedBounds_data()
    {
        QTest::addColumn<QList<int>>("stored"); // height, left, top, width in twips
        QTest::addColumn<QRect>("expected");    // a y of -1 is not looked at
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("all set") << QList<int>{4500, 1500, 750, 6000} << QRect(100, 50, 400, 300);
        QTest::newRow("top not set: the others apply")
            << QList<int>{4500, 1500, -1, 6000} << QRect(100, -1, 400, 300);
        QTest::newRow("zero counts as set, but never shrinks to nothing")
            << QList<int>{0, 0, 0, 0} << QRect(0, 0, 320, 200);
        QTest::newRow("off every screen") << QList<int>{4500, 150000, 150000, 6000}
                                          << QRect(screen.right() - 399, screen.bottom() - 299, 400, 300);
        QTest::newRow("larger than the screen") << QList<int>{90000, 0, 0, 90000} << screen;
    }
    void storedBounds()
    {
        QFETCH(QList<int>, stored);
        QFETCH(QRect, expected);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        Program p;
        Settings& settings = p.app.Settings();
        settings.WindowHeight = stored.at(0);
        settings.WindowLeft = stored.at(1);
        settings.WindowTop = stored.at(2);
        settings.WindowWidth = stored.at(3);
        const int topBefore = p.window.pos().y();
        p.window.View(p.app);
        const QRect shown(p.window.pos(), p.window.size());
        QCOMPARE(shown.size(), expected.size());
        QCOMPARE(shown.x(), expected.x());
        QCOMPARE(shown.y(), expected.y() == -1 ? topBefore : expected.y());
        QVERIFY(screen.contains(shown));
    }

    void boundsSurviveAReopenInTwips()
    {
        Program p;
        p.window.View(p.app);
        p.window.move(120, 80);
        p.window.resize(500, 350);
        p.window.closeByProgram();
        const Settings& settings = p.app.Settings();
        QCOMPARE(QList<int>(
                     {settings.WindowLeft, settings.WindowTop, settings.WindowWidth, settings.WindowHeight}),
                 QList<int>({1800, 1200, 7500, 5250}));

        RecordingShellHost dialogs;
        RecordingMessageBoxSink boxes;
        cApp again(dialogs, boxes, p.engine.factories());
        again.Load();
        frmAuctions reopened;
        reopened.View(again);
        QCOMPARE(QRect(reopened.pos(), reopened.size()), QRect(120, 80, 500, 350));

        // A minimised window leaves the stored bounds as they were.
        reopened.resize(600, 400);
        reopened.showMinimized();
        reopened.closeByProgram();
        QCOMPARE(again.Settings().WindowWidth, 7500);
    }

    void welcomePageOnce()
    {
        Program p;
        p.app.Settings().ViewedWelcome = false;
        p.window.View(p.app);
        QCOMPARE(p.dialogs.calls.filter(QStringLiteral("info:")), QStringList{"info:0"});
        QVERIFY(p.app.Settings().ViewedWelcome);
        p.window.closeByProgram();
        QVERIFY(p.saved().contains("<ViewedWelcome>True</ViewedWelcome>"));
        p.window.View(p.app);
        QCOMPARE(p.dialogs.calls.filter(QStringLiteral("info:")).size(), 1);
    }

    void menuCaptions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const char* rows[][2] = {
            {"mnuWindowConfigure", "&Configure Settings"},
            {"mnuWindowCheckUpdates", "Check for &Updates..."},
            {"mnuWindowOnTop", "&Always on Top"},
            {"mnuWindowPause", "&Pause Bid Watching"},
            {"mnuWindowMin", "&Minimize to Tray"},
            {"mnuWindowClose", "E&xit Auction Orv"},
            {"mnuAuctionsAdd", "&Add New Auction..."},
            {"mnuAuctionsEdit", "&Edit Selected Auction"},
            {"mnuAuctionsDelete", "&Delete Selected Auction(s)"},
            {"mnuAuctionsUpdateAll", "Update All Auctions"},
            {"mnuAuctionsUpdateSelected", "Update Selected Auction(s)"},
            {"mnuAuctionsNavigate", "&Visit Auction Website"},
            {"mnuAuctionsView", "View Columns..."},
            {"mnuAuctionsMove", "Move to Category..."},
            {"mnuCategorysAdd", "&Add New Category..."},
            {"mnuCategorysEdit", "&Edit Selected Category"},
            {"mnuCategorysDelete", "&Delete Selected Category"},
            {"mnuHelpHome", "Orv &Homepage"},
            {"mnuHelpInstructions", "Orv &Instructions"},
            {"mnuHelpAbout", "&About Program"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
    }
    void menuCaptions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        frmAuctions window;
        QVERIFY(window.entry(name));
        QCOMPARE(window.entry(name)->text(), caption);
        QStringList menus;
        for (const char* menu : {"mnuWindow", "mnuAuctions", "mnuCategorys", "mnuHelp"})
            menus << window.menu(QString::fromLatin1(menu))->title();
        QCOMPARE(menus, QStringList({"&Program", "&Auctions", "&Categories", "&Help"}));
    }

    // Each entry that can meet an error shows it under its own title.
    void menuErrorTitles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString window = QStringLiteral("The window failed.");
        const QString question = QStringLiteral("The question failed.");
        QTest::newRow("add") << "mnuAuctionsAdd"
                             << "Auction Add Error" << window;
        QTest::newRow("edit") << "mnuAuctionsEdit"
                              << "Auction Edit Error" << window;
        QTest::newRow("delete") << "mnuAuctionsDelete"
                                << "Auction Delete Error" << question;
        QTest::newRow("move") << "move"
                              << "Auction Move Error" << question;
        QTest::newRow("navigate")
            << "mnuAuctionsNavigate"
            << "Auction Navigate Error"
            << "Cannot open the auction's page.  The item number \"bad item\" may hold only "
               "letters and digits.";
        QTest::newRow("column") << "column"
                                << "Column Toggle Error"
                                << "There is no column named Gone.";
        QTest::newRow("delete category") << "mnuCategorysDelete"
                                         << "Category Delete Error"
                                         << "You must have at least one Category.";
        QTest::newRow("settings") << "mnuWindowConfigure"
                                  << "Configurations Show Error" << window;
    }
    void menuErrorTitles()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Program p;
        p.data.write(QStringLiteral("auctions.xml"),
                     "<Root><Auctions><Auction><Item>bad item</Item><Category>Default</Category></Auction>"
                     "</Auctions><Settings><ConfirmDel>True</ConfirmDel><ConfirmMove>True</ConfirmMove>"
                     "<ViewedWelcome>True</ViewedWelcome></Settings></Root>");
        p.app.Load();
        if (name == QLatin1String("mnuCategorysDelete")) {
            p.app.Settings().ConfirmDel = false;
            p.app.Auctions().Items().first()->Category = QStringLiteral("Elsewhere");
        }
        p.window.View(p.app);
        ctlAuctions* list = p.window.AuctionsView();
        list->ListView()->selectionModel()->setCurrentIndex(
            list->model()->index(0, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Q_EMIT p.window.menu(QStringLiteral("mnuAuctions"))->aboutToShow();
        if (name == QLatin1String("move")) {
            entryWithData(p.window.menu(QStringLiteral("mnuAuctionsMoveItem")), QStringLiteral("Default"))
                ->trigger();
        } else if (name == QLatin1String("column")) {
            QAction* entry = p.window.menu(QStringLiteral("mnuAuctionsViewItem"))->actions().first();
            entry->setData(QStringLiteral("Gone"));
            entry->trigger();
        } else {
            p.window.entry(name)->trigger();
        }
        QVERIFY(!p.boxes.boxes.isEmpty());
        const RecordingMessageBoxSink::Box& box = p.boxes.boxes.last();
        QCOMPARE(box.title, title);
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, MessageBoxSink::Exclamation);
    }

    void auctionsMenuFollowsTheSelection()
    {
        Program p;
        p.app.Categorys().Add(QStringLiteral("Books"), false, 1);
        p.app.Auctions().Add(QStringLiteral("1"), QStringLiteral("Default"));
        p.window.View(p.app);
        QMenu* auctions = p.window.menu(QStringLiteral("mnuAuctions"));
        const char* names[] = {"mnuAuctionsEdit",           "mnuAuctionsDelete",   "mnuAuctionsUpdateAll",
                               "mnuAuctionsUpdateSelected", "mnuAuctionsNavigate", "mnuAuctionsMove"};
        Q_EMIT auctions->aboutToShow();
        for (const char* name : names)
            QVERIFY2(!p.window.entry(QString::fromLatin1(name))->isEnabled(), name);
        ctlAuctions* list = p.window.AuctionsView();
        list->ListView()->selectionModel()->setCurrentIndex(
            list->model()->index(0, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Q_EMIT auctions->aboutToShow();
        for (const char* name : names)
            QVERIFY2(p.window.entry(QString::fromLatin1(name))->isEnabled(), name);
        QMenu* move = p.window.menu(QStringLiteral("mnuAuctionsMoveItem"));
        QCOMPARE(move->actions().size(), 2);
        QVERIFY(entryWithData(move, QStringLiteral("Default"))->isChecked());
        QVERIFY(!entryWithData(move, QStringLiteral("Books"))->isChecked());
        QCOMPARE(p.window.menu(QStringLiteral("mnuAuctionsViewItem"))->actions().size(), 22);
    }

    void statusBarPanels()
    {
        Program p;
        for (int i = 1; i <= 10; ++i)
            p.app.Auctions().Add(QString::number(i),
                                 i <= 3 ? QStringLiteral("Default") : QStringLiteral("Other"));
        p.window.View(p.app);
        QCOMPARE(p.window.countText(), QStringLiteral("3 / 10 Auctions"));
        p.app.setStatus(QStringLiteral("Clock synchronized."));
        QCOMPARE(p.window.statusText(), QStringLiteral("Clock synchronized."));
        p.app.Updaters().setState(sfBusy);
        QCOMPARE(p.window.statusText(), QStringLiteral("Downloading Auctions..."));
        // Bound twice, the window still shows one box per error.
        p.window.View(p.app);
        Q_EMIT p.app.ErrorMessage(QStringLiteral("Something went wrong."));
        QCOMPARE(p.boxes.boxes.size(), 1);
        QCOMPARE(p.boxes.boxes.at(0).title, QStringLiteral("Application Error"));
        QCOMPARE(p.boxes.boxes.at(0).icon, MessageBoxSink::Exclamation);
        QCOMPARE(p.boxes.boxes.at(0).text, QStringLiteral("Something went wrong."));
        p.app.Updaters().setState(sfNotBusy);
    }

    // Whichever of the program's parts spoke last is what the status panel shows.
    void statusRelay_data()
    {
        QTest::addColumn<QString>("source");
        for (const char* source : {"BidManager", "Clock", "NetManager", "Updaters", "VerManager"})
            QTest::newRow(source) << source;
    }
    void statusRelay()
    {
        QFETCH(QString, source);
        Program p;
        p.window.View(p.app);
        const QString text = source + QStringLiteral(" speaks");
        if (source == QLatin1String("BidManager"))
            p.app.BidManager().setStatus(text);
        else if (source == QLatin1String("Clock"))
            p.app.Clock().setStatus(text);
        else if (source == QLatin1String("NetManager"))
            p.app.NetManager().setStatus(text);
        else if (source == QLatin1String("Updaters"))
            p.app.Updaters().setStatus(text);
        else
            p.app.VersionManager().setStatus(text);
        QCOMPARE(p.window.statusText(), text);
    }

    // "Check for Updates..." answers in the status bar also when there is nothing new.
    void checkForUpdatesAnswers_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("answer");
        QTest::newRow("no newer version")
            << QByteArray("<Root><Major>0</Major><Minor>1</Minor></Root>") << "No update needed";
        QTest::newRow("no version file") << QByteArray("<html><body>Hotel login</body></html>")
                                         << "Error checking version: The reply is not a version file.";
    }
    void checkForUpdatesAnswers()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, answer);
        FakeSite site;
        QVERIFY(site.listen({SiteEndpoints::Maker}));
        site.exportEnvironment();
        site.setHandler(SiteEndpoints::Maker, QStringLiteral("/version/info.php"),
                        [reply](const FakeSite::Request&) { return FakeSite::Response::page(reply); });
        Program p;
        p.window.View(p.app);
        p.window.entry(QStringLiteral("mnuWindowCheckUpdates"))->trigger();
        QCOMPARE(p.window.statusText(), QStringLiteral("Checking for latest version..."));
        QTRY_COMPARE(p.window.statusText(), answer);
        QVERIFY(p.dialogs.calls.filter(QStringLiteral("version")).isEmpty());
    }

    void alwaysOnTopAndPauseAreSavedAtOnce()
    {
        Program p;
        p.window.View(p.app);
        QFile::remove(p.data.stateFile());
        p.window.entry(QStringLiteral("mnuWindowOnTop"))->trigger();
        QVERIFY(p.app.Settings().AlwaysOnTop);
        QVERIFY(p.window.entry(QStringLiteral("mnuWindowOnTop"))->isChecked());
        QVERIFY(p.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(p.saved().contains("<AlwaysOnTop>True</AlwaysOnTop>"));

        p.window.entry(QStringLiteral("mnuWindowPause"))->trigger();
        QVERIFY(p.app.BidManager().Paused());
        QVERIFY(p.saved().contains("<Paused>True</Paused>"));
        Q_EMIT p.window.menu(QStringLiteral("mnuWindow"))->aboutToShow();
        QVERIFY(p.window.entry(QStringLiteral("mnuWindowPause"))->isChecked());
        p.window.entry(QStringLiteral("mnuWindowPause"))->trigger();
        QVERIFY(!p.app.BidManager().Paused());
        QVERIFY(p.saved().contains("<Paused>False</Paused>"));
    }

    void minimizeToTray_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("to the tray") << true;
        QTest::newRow("no tray: minimised") << false;
    }
    void minimizeToTray()
    {
        QFETCH(bool, tray);
        Program p;
        p.dialogs.tray.available = tray;
        p.app.show();
        p.window.View(p.app);
        p.window.entry(QStringLiteral("mnuWindowMin"))->trigger();
        QCOMPARE(p.app.State(), tray ? AppHidden : AppStarted);
        QCOMPARE(p.window.isMinimized(), !tray);
    }

    void helpEntries()
    {
        qputenv("AUCTIONORV_MAKER_URL", "http://127.0.0.1:8/");
        Program p;
        QList<QUrl> opened;
        cGlobal::setLauncher([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        p.window.View(p.app);
        p.window.entry(QStringLiteral("mnuHelpHome"))->trigger();
        p.window.entry(QStringLiteral("mnuHelpInstructions"))->trigger();
        p.window.entry(QStringLiteral("mnuHelpAbout"))->trigger();
        qunsetenv("AUCTIONORV_MAKER_URL");
        QCOMPARE(opened.size(), 2);
        // The home page is the maker's site itself.
        QCOMPARE(opened.at(0).authority(), QStringLiteral("127.0.0.1:8"));
        QVERIFY(opened.at(0).path().size() <= 1);
        QCOMPARE(opened.at(1), QUrl(QStringLiteral("http://127.0.0.1:8/instructions.html")));
        QVERIFY(p.dialogs.calls.contains(QStringLiteral("about")));
    }

    // The session's end (here a SIGTERM) keeps the window's layout as its close would: a column dragged
    // to the front and the window's size are in the file it writes.
    void sessionEndKeepsTheLayout()
    {
        FakeTimeSource now{QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)};
        TestDataFolder data;
        WidgetDialogHost dialogs;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        cApp app{dialogs, boxes, engine.factories()};
        app.Load();
        app.Settings().ViewedWelcome = true;
        app.show();
        frmAuctions* window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            window = window ? window : qobject_cast<frmAuctions*>(widget);
        QVERIFY(window);
        window->resize(900, 500);
        QHeaderView* header = window->AuctionsView()->ListView()->header();
        const int seller = window->AuctionsView()->model()->sectionOf(QStringLiteral("Seller"));
        header->moveSection(header->visualIndex(seller), 1);

        TerminationWatcher termination;
        connect(&termination, &TerminationWatcher::terminationRequested, &app, &cApp::sessionEnd);
        ::raise(SIGTERM);
        QTRY_COMPARE(app.State(), AppShuttingDown);

        XMLManager saved;
        saved.LoadFile(data.stateFile());
        const XmlElement columns = saved.Node().firstChildElement(QStringLiteral("Columns"));
        QCOMPARE(columns.firstChildElement(QStringLiteral("Column"))
                     .firstChildElement(QStringLiteral("Name"))
                     .text(),
                 QStringLiteral("Seller"));
        const XmlElement settings = saved.Node().firstChildElement(QStringLiteral("Settings"));
        QCOMPARE(settings.firstChildElement(QStringLiteral("WindowWidth")).text(),
                 QString::number(Twips::fromPixels(900)));
        QCOMPARE(settings.firstChildElement(QStringLiteral("WindowHeight")).text(),
                 QString::number(Twips::fromPixels(500)));
    }
};

QTEST_MAIN(tst_frmAuctions)
#include "tst_frmAuctions.moc"
