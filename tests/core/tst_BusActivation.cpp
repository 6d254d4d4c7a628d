#include "DataFolder.h"
#include "OrvBus.h"
#include "ProgramUnderTest.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QSignalSpy>
#include <QTest>
#include <csignal>

// A client that calls the program while it is not running starts it through the bus, hidden.
class tst_BusActivation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A test that failed half-way must not leave the started program running: CTest would wait for it.
    void cleanup()
    {
        const uint pid = QDBusConnection::sessionBus().interface()->servicePid(OrvBus::serviceName).value();
        if (pid > 0)
            ::kill(pid_t(pid), SIGKILL);
    }

    void activationStartsTheProgramHidden()
    {
        // The started program inherits the bus daemon's environment, hence this test's data folder.
        const QString stateFile = DataFolder::stateFile();
        QFile::remove(stateFile);
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        QVERIFY(!ProgramUnderTest::ownsBusName());

        QDBusReply<void> started = bus.interface()->startService(OrvBus::serviceName);
        QVERIFY2(started.isValid(), qPrintable(started.error().message()));

        QTRY_COMPARE_WITH_TIMEOUT(ProgramUnderTest::remoteState(), 4 /* AppHidden */, 15000);

        const uint pid = bus.interface()->servicePid(OrvBus::serviceName).value();
        QVERIFY(pid > 0);
        ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!ProgramUnderTest::ownsBusName(), 10000);
        QVERIFY(QFile::exists(stateFile));
    }

    // A client's first call may be what starts the program: it is answered once the program has loaded,
    // and a hold asked for that way holds the program from then on.
    void holdThatStartsTheProgramHoldsIt()
    {
        const QString stateFile = DataFolder::stateFile();
        QFile::remove(stateFile);
        QDBusConnection bus = QDBusConnection::sessionBus();
        QTRY_VERIFY_WITH_TIMEOUT(!ProgramUnderTest::ownsBusName(), 10000);

        const QDBusMessage hold = bus.call(
            QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::unloaderPath,
                                           OrvBus::unloaderInterface, QStringLiteral("RegisterHold")),
            QDBus::Block, 20000);
        QVERIFY2(hold.type() == QDBusMessage::ReplyMessage, qPrintable(hold.errorMessage()));
        QCOMPARE(ProgramUnderTest::remoteState(), 4 /* AppHidden */);

        // Held: its Quit is refused, and says so.
        QSignalSpy refused(this, SIGNAL(errorMessage(QString)));
        QVERIFY(bus.connect(OrvBus::serviceName, OrvBus::appPath, OrvBus::appInterface,
                            QStringLiteral("ErrorMessage"), this, SIGNAL(errorMessage(QString))));
        QDBusInterface app(OrvBus::serviceName, OrvBus::appPath, OrvBus::appInterface);
        QVERIFY(app.call(QStringLiteral("Quit")).type() == QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(refused.count(), 1, 10000);
        QVERIFY(ProgramUnderTest::ownsBusName());
        QCOMPARE(ProgramUnderTest::remoteState(), 4);

        // Released: the same Quit ends it, and it saves on the way.
        bus.call(QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::unloaderPath,
                                                OrvBus::unloaderInterface, QStringLiteral("ReleaseHold")));
        QVERIFY(app.call(QStringLiteral("Quit")).type() == QDBusMessage::ReplyMessage);
        QTRY_VERIFY_WITH_TIMEOUT(!ProgramUnderTest::ownsBusName(), 10000);
        QVERIFY(QFile::exists(stateFile));
        QCOMPARE(refused.count(), 1);
    }

Q_SIGNALS:
    void errorMessage(const QString& sMessage);
};

QTEST_GUILESS_MAIN(tst_BusActivation)
#include "tst_BusActivation.moc"
