#include "DataFolder.h"
#include "FakeEngine.h"
#include "ProgramUnderTest.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "cApp.h"
#include "cAppStarter.h"
#include "mMain.h"

#include <QDBusConnection>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <csignal>

namespace {

const QString cannotActivateText =
    QStringLiteral("Application is currently running, but cannot be activated.  To view the program, you may "
                   "have to terminate it from the task manager or reboot your computer.");

// The process that holds the data folder's lock, read without taking it (0: none).
qint64 lockHolder()
{
    qint64 pid = 0;
    QString host;
    QString application;
    return QLockFile(DataFolder::lockFile()).getLockInfo(&pid, &host, &application) ? pid : 0;
}

} // namespace

// Without a session bus the bus name cannot tell a second instance from the first: the data folder's lock
// keeps two programs off one folder, where they would overwrite each other's saves.
class tst_DataFolderLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // No session bus, for this process and the program it starts.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/orv-test-bus");
        QVERIFY(!QDBusConnection::sessionBus().isConnected());
    }

    void secondProgramOnTheFolderIsRefused()
    {
        TestDataFolder data;
        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(ProgramUnderTest::binary(QStringLiteral("Auctions/orvauctions2")), {});
        QVERIFY(first.waitForStarted());
        QVERIFY(QTest::qWaitFor([&first] { return lockHolder() == first.processId(); }, 15000));

        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        QVERIFY(!cAppStarter(host, boxes, engine.factories(), {QStringLiteral("orvauctions2")}).Start(false));
        QCOMPARE(mMain::App(), nullptr);
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.first().icon, MessageBoxSink::Exclamation);
        QCOMPARE(boxes.boxes.first().title, QStringLiteral("Application Error"));
        QCOMPARE(boxes.boxes.first().text, cannotActivateText);
        QVERIFY(host.calls.isEmpty());

        // A program that crashed leaves no lock that keeps the next one out.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        const bool restarted =
            cAppStarter(host, boxes, engine.factories(), {QStringLiteral("orvauctions2")}).Start(false);
        QVERIFY2(restarted, qPrintable(boxes.boxes.last().text));
        cApp* app = mMain::App();
        QVERIFY(app);
        QCOMPARE(app->State(), AppHidden);
        QCOMPARE(boxes.boxes.size(), 1);
        mMain::setApp(nullptr);
        delete app;
        QCOMPARE(lockHolder(), 0);
    }

    // A program that died between making the lock file and filling in its process number leaves an empty
    // file, which must not keep every later start out.
    void aLockFileWithoutItsOwnerDoesNotKeepTheProgramOut()
    {
        TestDataFolder data;
        QFile ownerless(DataFolder::lockFile());
        QVERIFY(ownerless.open(QIODevice::WriteOnly));
        ownerless.close();

        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        const bool started =
            cAppStarter(host, boxes, engine.factories(), {QStringLiteral("orvauctions2")}).Start(false);
        QVERIFY2(started, qPrintable(boxes.boxes.value(0).text));
        cApp* app = mMain::App();
        QVERIFY(app);
        QCOMPARE(lockHolder(), QCoreApplication::applicationPid());
        mMain::setApp(nullptr);
        delete app;
    }
};

QTEST_GUILESS_MAIN(tst_DataFolderLock)
#include "tst_DataFolderLock.moc"
