#include "DataFolder.h"
#include "FakeEngine.h"
#include "OwnerOnlyFile.h"
#include "ProgramUnderTest.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "cApp.h"
#include "cAppStarter.h"
#include "mMain.h"

#include <QDBusConnection>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

    // A save killed half-way leaves a temporary file that holds the password; once a start holds the
    // folder, it removes every such file of its own, and nothing else. The lock file is the owner's alone.
    void aStartRemovesWhatKilledSavesLeft()
    {
        TestDataFolder data;
        const QByteArray saved = "<Root><Settings><Password>secret</Password></Settings>" +
                                 QByteArray(4 * 1024 * 1024, ' ') + "</Root>";
        data.write(QStringLiteral("auctions.xml"), "<Root/>");
        const QString stateFile = DataFolder::stateFile();
        // Saves killed at random moments until one left its temporary file behind.
        QRandomGenerator random(20261210);
        auto leftovers = [&](const QString& folder) {
            return QDir(folder).entryList({QStringLiteral("*.saving-*")}, QDir::Files | QDir::Hidden);
        };
        for (int round = 0; round < 200 && leftovers(data.path()).isEmpty(); ++round) {
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (;;)
                    (void)OwnerOnlyFile::write(stateFile, saved);
            }
            QThread::usleep(500 + random.bounded(20000));
            ::kill(child, SIGKILL);
            QCOMPARE(::waitpid(child, nullptr, 0), child);
        }
        QVERIFY(!leftovers(data.path()).isEmpty());
        const QString pages = DataFolder::sentSnipesFolder();
        QVERIFY(QDir().mkpath(pages));
        data.write(QStringLiteral("Sent Snipes/1234.html.saving-Ab12Cd"), "<TITLE>half");
        data.write(QStringLiteral("auctions.xml.backup"), "the user's own");

        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        const bool started =
            cAppStarter(host, boxes, engine.factories(), {QStringLiteral("orvauctions2")}).Start(false);
        QVERIFY2(started, qPrintable(boxes.boxes.value(0).text));
        cApp* app = mMain::App();
        QVERIFY(app);
        QCOMPARE(leftovers(data.path()), QStringList());
        QCOMPARE(leftovers(pages), QStringList());
        QCOMPARE(data.read(QStringLiteral("auctions.xml.backup")), QByteArray("the user's own"));
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(DataFolder::lockFile()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
        mMain::setApp(nullptr);
        delete app;
    }
};

QTEST_GUILESS_MAIN(tst_DataFolderLock)
#include "tst_DataFolderLock.moc"
