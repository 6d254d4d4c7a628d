#include "BusFace.h"
#include "FakeEngine.h"
#include "OrvBus.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "Settings.h"
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
#include <functional>

namespace {

QDBusMessage callOf(const QString& path, const QString& interface, const QString& method,
                    const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(OrvBus::serviceName, path, interface, method);
    call.setArguments(arguments);
    return call;
}

} // namespace

// Takes a bus signal's map argument (the bus library connects signals to named slots only).
class SettingsListener : public QObject
{
    Q_OBJECT
public:
    explicit SettingsListener(std::function<void(const QVariantMap&)> take) : m_take(std::move(take)) {}

public Q_SLOTS:
    void take(const QVariantMap& fields) { m_take(fields); }

private:
    std::function<void(const QVariantMap&)> m_take;
};

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

        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        cApp app(host, boxes, engine.factories());
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

    // The heartbeat reports the settings only when they differ from what the clients were told, the
    // snapshot included: a client that has just bound hears no report of what it already holds, and one
    // bound before hears of a change that a later client's snapshot carries.
    void settingsAreReportedAtTheHeartbeatOnlyWhenChanged()
    {
        TestDataFolder data;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
        QVERIFY(client.isConnected());
        BusFace face(bus);
        QVERIFY(face.claim());
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        cApp app(host, boxes, engine.factories());
        face.attach(app);
        app.Load();
        app.hide();
        face.open();

        QList<QVariantMap> reports;
        SettingsListener listener([&reports](const QVariantMap& fields) { reports << fields; });
        QVERIFY(client.connect(OrvBus::serviceName, OrvBus::settingsPath, OrvBus::interfaceOf("Settings"),
                               QStringLiteral("Updated"), &listener, SLOT(take(QVariantMap))));
        // A round trip: what the program sent before its answer has arrived with it.
        const auto snapshot = [&] {
            QDBusPendingCall call = client.asyncCall(
                callOf(OrvBus::appPath, OrvBus::interfaceOf("App"), QStringLiteral("Snapshot")));
            QTRY_VERIFY(call.isFinished());
            QVERIFY2(!call.isError(), qPrintable(call.error().message()));
        };
        snapshot();
        const auto beat = [&] {
            Q_EMIT app.Ticked();
            snapshot();
        };
        beat();
        QVERIFY2(reports.isEmpty(), "a report of settings that had not changed");

        // A window that writes a setting without telling: the next beat reports it, once.
        app.Settings().ConfirmDel = !app.Settings().ConfirmDel;
        beat();
        QTRY_COMPARE(reports.size(), 1);
        QCOMPARE(reports.at(0).value(QStringLiteral("ConfirmDel")).toBool(), app.Settings().ConfirmDel);
        beat();
        QCOMPARE(reports.size(), 1);

        // Written without telling, then a client binds before the next beat: the clients already bound
        // still hear of it.
        app.Settings().ConfirmDel = !app.Settings().ConfirmDel;
        snapshot();
        QTRY_COMPARE(reports.size(), 2);
        QCOMPARE(reports.at(1).value(QStringLiteral("ConfirmDel")).toBool(), app.Settings().ConfirmDel);
        beat();
        QCOMPARE(reports.size(), 2);
        client.disconnect(OrvBus::serviceName, OrvBus::settingsPath, OrvBus::interfaceOf("Settings"),
                          QStringLiteral("Updated"), &listener, SLOT(take(QVariantMap)));
        QDBusConnection::disconnectFromBus("listener");
    }
};

QTEST_GUILESS_MAIN(tst_BusFace)
#include "tst_BusFace.moc"
