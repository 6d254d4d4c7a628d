#include "DataFolder.h"
#include "OrvBus.h"
#include "ProgramUnderTest.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QTest>
#include <csignal>

// A client that calls the program while it is not running starts it through the bus, hidden.
class tst_BusActivation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
};

QTEST_GUILESS_MAIN(tst_BusActivation)
#include "tst_BusActivation.moc"
