#include "BidManager.h"
#include "FakeEngine.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "TrayIcon.h"
#include "Unloader.h"
#include "UnwritableDataFolder.h"
#include "cApp.h"
#include "frmTrayIcon.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

const QString refusal =
    QStringLiteral("Other applications are using this program.  Please close all Internet "
                   "Explorer plugins or applications before closing.");

} // namespace

class tst_TrayIcon : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pictureFollowsTheBidManager_data();
    void pictureFollowsTheBidManager();
    void unknownStateKeepsThePicture();
    void iconExistsOnlyWhileHidden();
    void mouse_data();
    void mouse();
    void menuEntries();
    void showFromTheMenu();
    void testActivateIsLeftToTheStarter();
    void pauseEntry();
    void exitQuitsAMomentLater();
    void refusedExitIsShown();
    void oneBoxAtATime();
    void failedSaveWhileHiddenIsShown();
    void mailbox_data();
    void mailbox();

private:
    frmTrayIcon* trayWindow() const { return app->TrayIcon().window(); }
    bool showPending() const
    {
        return trayWindow()->findChild<QTimer*>(QStringLiteral("tmrShow"))->isActive();
    }

    std::unique_ptr<TestDataFolder> folder;
    std::unique_ptr<RecordingShellHost> dialogs;
    FakeEngine engine;
    std::unique_ptr<RecordingMessageBoxSink> boxes;
    std::unique_ptr<cApp> app;
};

void tst_TrayIcon::init()
{
    folder = std::make_unique<TestDataFolder>();
    dialogs = std::make_unique<RecordingShellHost>();
    boxes = std::make_unique<RecordingMessageBoxSink>();
    app = std::make_unique<cApp>(*dialogs, *boxes, engine.factories());
}

void tst_TrayIcon::cleanup()
{
    app.reset();
    boxes.reset();
    dialogs.reset();
    folder.reset();
}

void tst_TrayIcon::pictureFollowsTheBidManager_data()
{
    QTest::addColumn<eBidderState>("state");
    QTest::addColumn<QString>("key");

    QTest::newRow("green") << eBidderGreen << "GREEN";
    QTest::newRow("yellow") << eBidderYellow << "YELLOW";
    QTest::newRow("red") << eBidderRed << "RED";
    QTest::newRow("bidding") << eBidderBidding << "FLAG";
    QTest::newRow("paused") << eBidderPaused << "GREY";
}

void tst_TrayIcon::pictureFollowsTheBidManager()
{
    QFETCH(eBidderState, state);
    QFETCH(QString, key);
    BidManager& bidManager = app->BidManager();
    FakeTrayBackend& tray = dialogs->tray;

    // The icon comes up with the picture of the state at that moment.
    bidManager.setState(state);
    QVERIFY(tray.calls.isEmpty());
    app->hide();
    QCOMPARE(tray.calls, QStringList{QStringLiteral("add ") + key});
    QCOMPARE(tray.record.szTip, QStringLiteral("Auction Orv"));
    QCOMPARE(tray.record.uCallbackMessage, 1025);
    QCOMPARE(tray.record.hWnd.data(), trayWindow());

    // And follows every change while it is shown.
    const eBidderState other = state == eBidderBidding ? eBidderGreen : eBidderBidding;
    bidManager.setState(other);
    bidManager.setState(state);
    QCOMPARE(tray.calls.mid(1),
             (QStringList{QStringLiteral("modify ") + (other == eBidderGreen ? "GREEN" : "FLAG"),
                          QStringLiteral("modify ") + key}));
}

void tst_TrayIcon::unknownStateKeepsThePicture()
{
    app->BidManager().setState(eBidderRed);
    app->hide();
    app->BidManager().setState(eBidderState(1));
    QCOMPARE(dialogs->tray.calls, (QStringList{"add RED", "modify RED"}));
}

void tst_TrayIcon::iconExistsOnlyWhileHidden()
{
    FakeTrayBackend& tray = dialogs->tray;
    app->hide();
    app->TrayIcon().setVisible(true);
    QCOMPARE(tray.calls, QStringList{"add GREEN"});
    const QPointer<frmTrayIcon> window = trayWindow();
    QVERIFY(window);

    app->show();
    QCOMPARE(tray.calls, (QStringList{"add GREEN", "delete"}));
    QVERIFY(!trayWindow());
    QTRY_VERIFY(!window);

    // Nothing reaches the notification area while the main window is open.
    app->BidManager().setState(eBidderRed);
    QCOMPARE(tray.calls.size(), 2);
}

void tst_TrayIcon::mouse_data()
{
    QTest::addColumn<TrayBackend::MouseMessage>("message");
    QTest::addColumn<bool>("doubleClicks");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("double click") << TrayBackend::LeftDoubleClick << true << "shown";
    QTest::newRow("right button") << TrayBackend::RightButtonUp << true << "menu";
    QTest::newRow("single click, doubles reported") << TrayBackend::LeftButtonUp << true << "nothing";
    QTest::newRow("single click, no doubles") << TrayBackend::LeftButtonUp << false << "shown";
    QTest::newRow("middle button") << TrayBackend::MiddleButtonUp << false << "nothing";
}

void tst_TrayIcon::mouse()
{
    QFETCH(TrayBackend::MouseMessage, message);
    QFETCH(bool, doubleClicks);
    QFETCH(QString, outcome);
    FakeTrayBackend& tray = dialogs->tray;
    tray.doubleClicks = doubleClicks;
    app->hide();
    dialogs->calls.clear();

    tray.click(message);
    if (outcome == QLatin1String("shown")) {
        QCOMPARE(dialogs->calls, QStringList{"main"});
        QCOMPARE(app->State(), AppStarted);
        QCOMPARE(tray.calls.last(), QStringLiteral("delete"));
    } else {
        QVERIFY(dialogs->calls.isEmpty());
        QCOMPARE(app->State(), AppHidden);
        QCOMPARE(tray.calls.last() == QLatin1String("popup"), outcome == QLatin1String("menu"));
    }
}

void tst_TrayIcon::menuEntries()
{
    app->hide();
    dialogs->tray.click(TrayBackend::RightButtonUp);
    QStringList shown;
    for (const TrayBackend::MenuEntry& entry : dialogs->tray.menu)
        shown
            << QStringLiteral("%1|%2|%3").arg(entry.name, entry.caption, entry.visible ? "shown" : "hidden");
    QCOMPARE(shown, (QStringList{
                        "mnuPopupShow|&Show Auction Orv|shown",
                        "mnuPopupDash|-|shown",
                        "mnuPopupPause|&Pause Bid Watching|shown",
                        "mnuPopupDash2|-|shown",
                        "mnuPopupExit|E&xit|shown",
                        "mnuTestActivate|Test Activate|hidden",
                    }));
}

void tst_TrayIcon::showFromTheMenu()
{
    app->hide();
    dialogs->tray.click(TrayBackend::RightButtonUp);
    dialogs->calls.clear();
    dialogs->tray.choose(QStringLiteral("mnuPopupShow"));
    QCOMPARE(dialogs->calls, QStringList{"main"});
    QVERIFY(!app->TrayIcon().Visible());
}

void tst_TrayIcon::testActivateIsLeftToTheStarter()
{
    // The hand-over belongs to the start-up above the shell: the icon only says that it was asked for,
    // once per choice, also from a tray window made anew when the program hides again.
    QSignalSpy asked(&app->TrayIcon(), &TrayIcon::testActivateRequested);
    for (int hidden = 1; hidden <= 2; ++hidden) {
        app->hide();
        dialogs->tray.click(TrayBackend::RightButtonUp);
        dialogs->calls.clear();
        dialogs->tray.choose(QStringLiteral("mnuTestActivate"));
        QCOMPARE(asked.count(), hidden);
        QVERIFY(dialogs->calls.isEmpty());
        QCOMPARE(app->State(), AppHidden);
        app->show();
    }
}

void tst_TrayIcon::pauseEntry()
{
    BidManager& bidManager = app->BidManager();
    FakeTrayBackend& tray = dialogs->tray;
    auto pauseChecked = [&tray] {
        tray.click(TrayBackend::RightButtonUp);
        return tray.menu.at(2).checked;
    };
    app->hide();
    QVERIFY(!pauseChecked());

    tray.choose(QStringLiteral("mnuPopupPause"));
    QVERIFY(bidManager.Paused());
    QVERIFY(pauseChecked());
    tray.choose(QStringLiteral("mnuPopupPause"));
    QVERIFY(!bidManager.Paused());
    QVERIFY(!pauseChecked());

    // Paused elsewhere while hidden: the check mark tells the truth when the menu opens.
    bidManager.setPaused(true);
    QVERIFY(pauseChecked());
}

void tst_TrayIcon::exitQuitsAMomentLater()
{
    app->hide();
    dialogs->tray.click(TrayBackend::RightButtonUp);
    dialogs->tray.choose(QStringLiteral("mnuPopupExit"));
    QCOMPARE(app->State(), AppHidden);
    QTRY_COMPARE(app->State(), AppShuttingDown);
    QCOMPARE(dialogs->tray.calls.last(), QStringLiteral("delete"));
    QVERIFY(boxes->boxes.isEmpty());
}

void tst_TrayIcon::refusedExitIsShown()
{
    QObject client;
    connect(&app->Unloader(), &Unloader::Unloading, &client, [this] { app->Unloader().setAvailable(false); });
    app->hide();
    const QPointer<frmTrayIcon> window = trayWindow();
    dialogs->tray.click(TrayBackend::RightButtonUp);
    dialogs->tray.choose(QStringLiteral("mnuPopupExit"));

    QTRY_COMPARE(boxes->boxes.size(), 1);
    QCOMPARE(boxes->boxes[0].icon, MessageBoxSink::Exclamation);
    QCOMPARE(boxes->boxes[0].title, QStringLiteral("Application Error"));
    QCOMPARE(boxes->boxes[0].text, refusal);
    QCOMPARE(app->State(), AppHidden);
    QCOMPARE(trayWindow(), window.data());
    QCOMPARE(dialogs->tray.calls, (QStringList{"add GREEN", "popup"}));
}

// A box's own event loop lets further refusals in (another Exit, a client's Quit): none opens a second
// box over the first.
void tst_TrayIcon::oneBoxAtATime()
{
    class ReenteringSink : public MessageBoxSink
    {
    public:
        Answer show(Icon, const QString&, const QString& text, Buttons) override
        {
            texts << text;
            if (texts.size() < 3 && app) {
                app->Quit();
                // What the box's own event loop would deliver while it is open.
                QCoreApplication::sendPostedEvents();
            }
            return AnswerOk;
        }
        QStringList texts;
        cApp* app = nullptr;
    };
    ReenteringSink sink;
    cApp shown(*dialogs, sink, engine.factories());
    sink.app = &shown;
    QObject client;
    connect(&shown.Unloader(), &Unloader::Unloading, &client,
            [&shown] { shown.Unloader().setAvailable(false); });
    shown.hide();

    shown.Quit();
    QTRY_COMPARE(sink.texts, QStringList{refusal});
    QCoreApplication::sendPostedEvents();
    QCOMPARE(sink.texts, QStringList{refusal});
    // Once it is closed, the next refusal is shown again.
    shown.Quit();
    QTRY_COMPARE(sink.texts, (QStringList{refusal, refusal}));
    QCOMPARE(shown.State(), AppHidden);
}

void tst_TrayIcon::failedSaveWhileHiddenIsShown()
{
    app->Load();
    app->hide();
    UnwritableDataFolder unwritable(folder->filePath(QStringLiteral("plain")));
    QVERIFY(!app->Save());
    // Not inside the call: a client that asked for the save over the bus has its answer first.
    QVERIFY(boxes->boxes.isEmpty());
    QTRY_COMPARE(boxes->boxes.size(), 1);
    QCOMPARE(boxes->boxes[0].icon, MessageBoxSink::Exclamation);
    QCOMPARE(boxes->boxes[0].title, QStringLiteral("Save Error"));
    QCOMPARE(boxes->boxes[0].text, app->Status());
    QVERIFY(app->Status().startsWith(QStringLiteral("Could not save the auction list: ")));
    QVERIFY(app->Status().endsWith(QStringLiteral("Not a directory")));

    // With the main window open, its status line tells it.
    app->show();
    QVERIFY(!app->Save());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(boxes->boxes.size(), 1);
}

void tst_TrayIcon::mailbox_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("shows");

    QTest::newRow("Show") << QStringList{"Show"} << true;
    QTest::newRow("lower case") << QStringList{"show"} << false;
    QTest::newRow("trailing blank") << QStringList{"Show "} << false;
    QTest::newRow("empty") << QStringList{""} << false;
    QTest::newRow("a flood of requests") << QStringList(40, "Show") << true;
}

void tst_TrayIcon::mailbox()
{
    QFETCH(QStringList, texts);
    QFETCH(bool, shows);
    app->hide();
    dialogs->calls.clear();

    for (const QString& text : texts) {
        trayWindow()->setTxtMsg(text);
        QCOMPARE(trayWindow()->txtMsg(), QString());
    }
    // Never inside the request itself.
    QVERIFY(dialogs->calls.isEmpty());
    QCOMPARE(showPending(), shows);
    if (shows) {
        QTRY_COMPARE(app->State(), AppStarted);
        QCOMPARE(dialogs->calls, QStringList{"main"});
    }
}

QTEST_GUILESS_MAIN(tst_TrayIcon)
#include "tst_TrayIcon.moc"
