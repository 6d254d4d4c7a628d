#include "DateTimes.h"
#include "FakeTimeSource.h"
#include "OrvBus.h"
#include "ProgramUnderTest.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "TestDataFolder.h"
#include "cApp.h"
#include "cAppStarter.h"
#include "mMain.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using ProgramUnderTest::binary;
using ProgramUnderTest::remoteState;

// Ends a child process when the test leaves, whatever happened.
struct ChildGuard
{
    QProcess& process;
    ~ChildGuard()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

// A state file of `count` auctions, each with its page data, the way a long-used list looks.
QByteArray stateFileOf(int count)
{
    QByteArray xml = "<Root><Auctions>";
    for (int i = 0; i < count; ++i)
        xml += "<Auction><Item>" + QByteArray::number(110000000000LL + i) +
               "</Item><Description>Item number " + QByteArray::number(i) +
               " with a title of ordinary length</Description><EndTime>2030-03-10 18:30:00</EndTime>"
               "<Price>10.25</Price><Seller>seller</Seller><Category>Default</Category></Auction>";
    return xml + "</Auctions></Root>";
}

} // namespace

class tst_cAppStarter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "the start-up tests need a session bus");
    }

    void init() { QTRY_VERIFY_WITH_TIMEOUT(!ProgramUnderTest::ownsBusName(), 10000); }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("show");
        QTest::newRow("SHOW") << QStringList{"orvauctions2", "SHOW"} << true;
        QTest::newRow("lower case") << QStringList{"orvauctions2", "show"} << true;
        QTest::newRow("mixed case") << QStringList{"orvauctions2", "sHoW"} << true;
        QTest::newRow("nothing") << QStringList{"orvauctions2"} << false;
        QTest::newRow("leading blank") << QStringList{"orvauctions2", " SHOW"} << false;
        QTest::newRow("trailing blank") << QStringList{"orvauctions2", "SHOW "} << false;
        QTest::newRow("two words") << QStringList{"orvauctions2", "SHOW", "x"} << false;
        QTest::newRow("other word") << QStringList{"orvauctions2", "HIDE"} << false;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, show);
        QCOMPARE(cAppStarter::isShowCommand(arguments), show);
    }

    // The clock window opens when the last synchronisation is more calendar days away from the site's
    // date than AutoSyncDays allows (in either direction); 0 turns the check off.
    void startupChecksOpenTheClockWindow_data()
    {
        QTest::addColumn<int>("autoSyncDays");
        QTest::addColumn<QString>("lastUpdated");
        QTest::addColumn<bool>("opens");
        QTest::newRow("three days, setting 3") << 3 << "2026-02-26 23:59:00" << false;
        QTest::newRow("four days, setting 3") << 3 << "2026-02-25 12:00:00" << true;
        QTest::newRow("four days ahead") << 3 << "2026-03-05 08:00:00" << true;
        QTest::newRow("check off") << 0 << "2020-01-01 00:00:00" << false;
    }
    void startupChecksOpenTheClockWindow()
    {
        QFETCH(int, autoSyncDays);
        QFETCH(QString, lastUpdated);
        QFETCH(bool, opens);
        FakeTimeSource now(DateTimes::naive(2026, 3, 1, 0, 30), 480); // in the site's zone, as the file says
        TestDataFolder data;
        data.write(
            QStringLiteral("auctions.xml"),
            QStringLiteral("<Root><Clock><Variance>0</Variance><LastUpdated>%1</LastUpdated></Clock>"
                           "<Settings><AutoSyncDays>%2</AutoSyncDays><CheckForUpdates>0</CheckForUpdates>"
                           "</Settings></Root>")
                .arg(lastUpdated)
                .arg(autoSyncDays)
                .toUtf8());
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
        app.Load();
        host.calls.clear();
        cAppStarter::StartupChecks(app);
        QCOMPARE(host.calls.contains(QStringLiteral("clock")), opens);
    }

    // A second start hands "Show" to the hidden running instance, which opens its window; the running
    // instance saves its state file when the session ends it.
    void secondStartHandsOverToRunningInstance()
    {
        TestDataFolder data;
        QProcess first;
        ChildGuard guard{first};
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(binary(QStringLiteral("Auctions/orvauctions2")), {});
        QVERIFY(first.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(remoteState(), int(AppHidden), 15000);

        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cAppStarter(host, boxes, {QStringLiteral("orvauctions2"), QStringLiteral("SHOW")}).Start(false);
        QVERIFY(boxes.boxes.isEmpty());
        QVERIFY(host.calls.isEmpty());
        QCOMPARE(mMain::App(), nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(remoteState(), int(AppStarted), 5000);

        QVERIFY(!QFile::exists(data.stateFile()));
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(QFile::exists(data.stateFile()));
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(data.stateFile()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
    }

    // Starts made while the first instance still loads a long list wait for it and hand "Show" over:
    // none ends in the error box (which would keep its process open) and the first one shows its window.
    void startsWhileTheFirstLoads()
    {
        TestDataFolder data;
        data.write(QStringLiteral("auctions.xml"), stateFileOf(10000));
        QProcess first;
        ChildGuard guard{first};
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(binary(QStringLiteral("Auctions/orvauctions2")), {});
        QVERIFY(first.waitForStarted());
        // Its name is claimed before it loads: the second starts come while it loads.
        QVERIFY(QTest::qWaitFor([] { return ProgramUnderTest::ownsBusName(); }, 15000));

        std::vector<std::unique_ptr<QProcess>> seconds;
        for (int i = 0; i < 8; ++i) {
            seconds.push_back(std::make_unique<QProcess>());
            seconds.back()->setProcessChannelMode(QProcess::ForwardedChannels);
            seconds.back()->start(binary(QStringLiteral("Auctions/orvauctions2")), {QStringLiteral("SHOW")});
        }
        for (const auto& second : seconds) {
            ChildGuard secondGuard{*second};
            QVERIFY(second->waitForFinished(60000));
            QCOMPARE(second->exitStatus(), QProcess::NormalExit);
            QCOMPARE(second->exitCode(), 0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(remoteState(), int(AppStarted), 5000);
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        QCOMPARE(first.exitCode(), 0);
    }

    // A save that fails at the session's end is not silent: its reason goes to standard error and the
    // process ends with a failure status. A file-size limit fails the save; it does not kill the program.
    void sessionEndWithAFailingSave()
    {
        TestDataFolder data;
        data.write(QStringLiteral("auctions.xml"), stateFileOf(20));
        const QByteArray before = data.read(QStringLiteral("auctions.xml"));
        QProcess program;
        ChildGuard guard{program};
        program.start(binary(QStringLiteral("Auctions/orvauctions2")), {});
        QVERIFY(program.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(remoteState(), int(AppHidden), 15000);

        const struct rlimit limit = {200, 200};
        QCOMPARE(::prlimit(pid_t(program.processId()), RLIMIT_FSIZE, &limit, nullptr), 0);
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), int(cApp::SaveFailedExitCode));
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("Could not save the auction list: ")), qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("File too large")), qPrintable(errors));
        QCOMPARE(data.read(QStringLiteral("auctions.xml")), before);
    }

    // A running instance that does not answer gets the error box well before a call's usual time-out.
    void hungInstanceGetsTheErrorBox()
    {
        QProcess owner;
        ChildGuard guard{owner};
        owner.start(binary(QStringLiteral("tests/orv_busowner")), {OrvBus::serviceName});
        QVERIFY(owner.waitForStarted());
        QVERIFY(owner.waitForReadyRead(10000));
        QCOMPARE(owner.readLine().trimmed(), QByteArray("ready"));

        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        QElapsedTimer elapsed;
        elapsed.start();
        // A start that shows the error box reports it: the program's process then ends with a failure.
        QVERIFY(!cAppStarter(host, boxes, {QStringLiteral("orvauctions2")}).Start(false));
        QVERIFY2(elapsed.elapsed() < 5000, "the hand-over must not wait for the bus's default time-out");
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.first().icon, MessageBoxSink::Exclamation);
        QCOMPARE(boxes.boxes.first().title, QStringLiteral("Application Error"));
        QCOMPARE(
            boxes.boxes.first().text,
            QStringLiteral("Application is currently running, but cannot be activated.  To view the program, "
                           "you may have to terminate it from the task manager or reboot your computer."));
        QCOMPARE(mMain::App(), nullptr);
    }

    void firstInstanceStartsOnceAndOwnsTheName()
    {
        TestDataFolder data;
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cAppStarter(host, boxes, {QStringLiteral("orvauctions2")}).Start(false);
        cApp* app = mMain::App();
        QVERIFY(app);
        QCOMPARE(app->State(), AppHidden);
        QVERIFY(ProgramUnderTest::ownsBusName());
        QCOMPARE(host.calls, (QStringList{"splash", "closeMain"}));

        // A second Start(false) in the same process changes nothing.
        cAppStarter(host, boxes, {QStringLiteral("orvauctions2"), QStringLiteral("SHOW")}).Start(false);
        QCOMPARE(mMain::App(), app);
        QCOMPARE(app->State(), AppHidden);
        QVERIFY(boxes.boxes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_cAppStarter)
#include "tst_cAppStarter.moc"
