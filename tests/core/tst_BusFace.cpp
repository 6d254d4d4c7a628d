#include "BusFace.h"
#include "OrvBus.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "TestDataFolder.h"
#include "TrayIcon.h"
#include "Unloader.h"
#include "cApp.h"
#include "frmTrayIcon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QTest>

namespace {

QDBusMessage callOf(const QString& path, const QString& interface, const QString& method,
                    const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(OrvBus::serviceName, path, interface, method);
    call.setArguments(arguments);
    return call;
}

} // namespace

// The program's face on the bus while it starts: its objects are there from the moment its name is
// claimed, and what they are asked before the state file is loaded is answered once it is, in order.
class tst_BusFace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void callsDuringTheStartAreAnsweredOnceLoaded()
    {
        TestDataFolder data;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        // A second start and a client, each on a connection of its own.
        QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "client");
        QVERIFY(client.isConnected());

        auto face = std::make_unique<BusFace>(bus);
        QVERIFY(face->claim());
        QVERIFY(BusFace::isStarting(client));
        QDBusPendingCall handOver = client.asyncCall(
            callOf(OrvBus::handOverPath, OrvBus::handOverInterface, QStringLiteral("SetText"), {"Show"}));
        QDBusPendingCall hold = client.asyncCall(
            callOf(OrvBus::unloaderPath, OrvBus::unloaderInterface, QStringLiteral("RegisterHold")));
        QTest::qWait(300);
        QVERIFY(!handOver.isFinished());
        QVERIFY(!hold.isFinished());

        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
        face->attach(app);
        app.Load();
        app.hide();
        face->open();
        QVERIFY(!BusFace::isStarting(client));

        handOver.waitForFinished();
        QVERIFY2(!handOver.isError(), qPrintable(handOver.error().message()));
        QCOMPARE(handOver.reply().arguments().value(0).toBool(), true);
        hold.waitForFinished();
        QVERIFY2(!hold.isError(), qPrintable(hold.error().message()));
        // The "Show" reached the mailbox of the program as it now is, and the hold holds it.
        QTRY_COMPARE(app.State(), AppStarted);
        QVERIFY(!app.Unloader().Available());

        // A second instance cannot claim the name; the first gives it back when it goes.
        BusFace second(client);
        QVERIFY(!second.claim());
        face.reset();
        QVERIFY(!client.interface()->isServiceRegistered(OrvBus::serviceName).value());
        QDBusConnection::disconnectFromBus("client");
    }
};

QTEST_GUILESS_MAIN(tst_BusFace)
#include "tst_BusFace.moc"
