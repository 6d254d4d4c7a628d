#include "FakeEngine.h"
#include "PrivateSessionBus.h"
#include "ProgramUnderTest.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "TrayIcon.h"
#include "cApp.h"
#include "cAppStarter.h"
#include "mMain.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <memory>

// A second start of the program hands "Show" to the running instance over the session bus.
class tst_HandOver : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void secondStartWhileHidden();
    void secondStartWhileShown();
    void testActivateWhileHidden();

private:
    // Runs the program a second time, answering its hand-over meanwhile; true when it ended well.
    bool secondStart();

    std::unique_ptr<PrivateSessionBus> bus;
    std::unique_ptr<TestDataFolder> folder;
    RecordingShellHost dialogs;
    FakeEngine engine;
    RecordingMessageBoxSink boxes;
    cApp* app = nullptr;
};

void tst_HandOver::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("ORV_BINARY_DIR"))
        QSKIP("ORV_BINARY_DIR is not set: run the tests through CTest.");
    bus = std::make_unique<PrivateSessionBus>();
    if (!bus->isRunning())
        QSKIP("dbus-daemon could not be started.");
    folder = std::make_unique<TestDataFolder>();
    cAppStarter(dialogs, boxes, engine.factories(), {QStringLiteral("orvauctions2")}).Start(false);
    app = mMain::App();
    QVERIFY(app);
    QCOMPARE(app->State(), AppHidden);
}

void tst_HandOver::cleanupTestCase()
{
    mMain::setApp(nullptr);
    delete app;
    folder.reset();
    bus.reset();
}

bool tst_HandOver::secondStart()
{
    QProcess second;
    second.start(ProgramUnderTest::binary(QStringLiteral("Auctions/orvauctions2")), {QStringLiteral("SHOW")});
    const bool ended = QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000);
    if (!ended) {
        second.kill();
        second.waitForFinished();
    }
    return ended && second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0;
}

void tst_HandOver::secondStartWhileHidden()
{
    dialogs.calls.clear();
    QVERIFY(secondStart());
    QTRY_COMPARE(app->State(), AppStarted);
    QCOMPARE(dialogs.calls, QStringList{"main"});
    QVERIFY(!app->TrayIcon().Visible());
    QVERIFY(boxes.boxes.isEmpty());
}

void tst_HandOver::secondStartWhileShown()
{
    app->show();
    dialogs.calls.clear();
    QVERIFY(secondStart());
    QTRY_COMPARE(dialogs.calls, QStringList{"raiseMain"});
    QCOMPARE(app->State(), AppStarted);
}

void tst_HandOver::testActivateWhileHidden()
{
    // The hidden menu entry runs the second start's path inside this process.
    app->hide();
    dialogs.calls.clear();
    dialogs.tray.click(TrayBackend::RightButtonUp);
    dialogs.tray.choose(QStringLiteral("mnuTestActivate"));
    QTRY_COMPARE(app->State(), AppStarted);
    QCOMPARE(dialogs.calls, QStringList{"main"});
    QVERIFY(boxes.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(tst_HandOver)
#include "tst_HandOver.moc"
