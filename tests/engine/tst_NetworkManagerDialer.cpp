#include "NetworkManagerDialer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

using ProfileSettings = QMap<QString, QVariantMap>;

const QString nmService = QStringLiteral("org.freedesktop.NetworkManager");
const QString managerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString settingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString activeInterface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString mockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

// Mock code for ActivateConnection: an activation that stands in `state` (1 activating, 4 deactivated).
QString activationIn(int state)
{
    return QStringLiteral("path = '/org/freedesktop/NetworkManager/ActiveConnection/77'\n"
                          "self.AddObject(path, '%1', {'State': dbus.UInt32(%2)}, [])\n"
                          "ret = dbus.ObjectPath(path)")
        .arg(activeInterface)
        .arg(state);
}

} // namespace

// The NetworkManager dialer against python-dbusmock's NetworkManager template on the test's private
// session bus.
class tst_NetworkManagerDialer : public QObject
{
    Q_OBJECT

private:
    QProcess m_mock;
    QDBusConnection m_bus = QDBusConnection::sessionBus();

    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(nmService, path, interface, method);
        message.setArguments(arguments);
        return m_bus.call(message);
    }

    // Adds a connection profile named `name`; returns its object path.
    QString addProfile(const QString& name)
    {
        const ProfileSettings settings{
            {QStringLiteral("connection"),
             QVariantMap{{QStringLiteral("id"), name}, {QStringLiteral("type"), QStringLiteral("ppp")}}}};
        const QDBusMessage reply =
            call(settingsPath, QStringLiteral("org.freedesktop.NetworkManager.Settings"),
                 QStringLiteral("AddConnection"), {QVariant::fromValue(settings)});
        return reply.arguments().value(0).value<QDBusObjectPath>().path();
    }

    void replaceActivation(const QString& code)
    {
        const QDBusMessage reply =
            call(managerPath, mockInterface, QStringLiteral("AddMethod"),
                 {QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("ActivateConnection"),
                  QStringLiteral("ooo"), QStringLiteral("o"), code});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    }

private Q_SLOTS:
    void initTestCase() { qDBusRegisterMetaType<ProfileSettings>(); }

    // Each test case gets a NetworkManager of its own, except the one that runs without.
    void init()
    {
        if (QTest::currentTestFunction() == QLatin1String("withoutNetworkManager"))
            return;
        m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_mock.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--session"),
                      QStringLiteral("--template"), QStringLiteral("networkmanager")});
        QVERIFY2(m_mock.waitForStarted(), "python3-dbusmock is needed");
        QTRY_VERIFY_WITH_TIMEOUT(m_bus.interface()->isServiceRegistered(nmService), 15000);
    }
    void cleanup()
    {
        if (m_mock.state() == QProcess::NotRunning)
            return;
        m_mock.kill();
        m_mock.waitForFinished();
        QTRY_VERIFY(!m_bus.interface()->isServiceRegistered(nmService));
    }

    void listsTheProfilesAsTheyComeAndGo()
    {
        addProfile(QStringLiteral("Modem"));
        const QString vpn = addProfile(QStringLiteral("Office VPN"));
        NetworkManagerDialer dialer(m_bus);
        QTRY_COMPARE(dialer.entries(), QStringList({"Modem", "Office VPN"}));

        addProfile(QStringLiteral("Mobile"));
        QTRY_COMPARE(dialer.entries(), QStringList({"Modem", "Office VPN", "Mobile"}));
        call(vpn, QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection"),
             QStringLiteral("Delete"));
        QTRY_COMPARE(dialer.entries(), QStringList({"Modem", "Mobile"}));
    }

    void dialConnectsAndReportsTheDisconnection()
    {
        addProfile(QStringLiteral("Office VPN"));
        addProfile(QStringLiteral("Modem"));
        NetworkManagerDialer dialer(m_bus);
        QCOMPARE(dialer.ConnectionState(), Dialer::NoConnection);
        QSignalSpy connected(&dialer, &Dialer::OnConnect);
        QSignalSpy disconnected(&dialer, &Dialer::OnDisconnect);
        QSignalSpy errors(&dialer, &Dialer::OnError);

        dialer.setEntryName(QStringLiteral("Modem"));
        dialer.Dial();
        QCOMPARE(dialer.ConnectionState(), Dialer::Dialling);
        QVERIFY(connected.wait(5000));
        QCOMPARE(dialer.ConnectionState(), Dialer::Connected);

        // The profile named was the one activated.
        const QDBusMessage active =
            call(managerPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("ActiveConnections")});
        const QString activePath =
            qdbus_cast<QList<QDBusObjectPath>>(active.arguments().value(0).value<QDBusVariant>().variant())
                .value(0)
                .path();
        const QDBusMessage id = call(activePath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                     QStringLiteral("Get"), {activeInterface, QStringLiteral("Id")});
        QCOMPARE(id.arguments().value(0).value<QDBusVariant>().variant().toString(), QStringLiteral("Modem"));

        call(activePath, mockInterface, QStringLiteral("EmitSignal"),
             {activeInterface, QStringLiteral("StateChanged"), QStringLiteral("uu"), QVariantList{4u, 2u}});
        QVERIFY(disconnected.wait(5000));
        QCOMPARE(dialer.ConnectionState(), Dialer::Disconnected);
        QCOMPARE(connected.size(), 1);
        QCOMPARE(errors.size(), 0);
    }

    void aFailedDialReportsAnError_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("activation"); // mock code for ActivateConnection; empty: the template's
        QTest::addColumn<NetworkManagerDialer::ErrorCode>("code");
        QTest::addColumn<QString>("description"); // part of the error text

        QTest::newRow("no such entry")
            << "Cable"
            << "" << NetworkManagerDialer::NoSuchEntry << "No connection named \"Cable\".";
        QTest::newRow("activation refused")
            << "Modem"
            << "raise dbus.exceptions.DBusException('No suitable device found for this connection', "
               "name='org.freedesktop.NetworkManager.UnknownDevice')"
            << NetworkManagerDialer::ActivationFailed << "No suitable device found";
        QTest::newRow("activation given up")
            << "Modem" << activationIn(4) << NetworkManagerDialer::ActivationFailed
            << "NetworkManager could not activate \"Modem\".";
    }
    void aFailedDialReportsAnError()
    {
        QFETCH(QString, entry);
        QFETCH(QString, activation);
        QFETCH(NetworkManagerDialer::ErrorCode, code);
        QFETCH(QString, description);

        addProfile(QStringLiteral("Modem"));
        if (!activation.isEmpty())
            replaceActivation(activation);
        NetworkManagerDialer dialer(m_bus);
        QSignalSpy errors(&dialer, &Dialer::OnError);
        QSignalSpy connected(&dialer, &Dialer::OnConnect);
        dialer.setEntryName(entry);
        dialer.Dial();
        QVERIFY(errors.wait(5000));
        QCOMPARE(NetworkManagerDialer::ErrorCode(errors.first().at(0).toInt()), code);
        const QString text = errors.first().at(1).toString();
        QVERIFY2(text.contains(description), qPrintable(text));
        QCOMPARE(dialer.ConnectionState(), Dialer::Disconnected);
        QCOMPARE(connected.size(), 0);
    }

    void aDialThatHangsTimesOut()
    {
        addProfile(QStringLiteral("Modem"));
        replaceActivation(activationIn(1));
        NetworkManagerDialer dialer(m_bus);
        dialer.setTimeoutMs(300);
        QSignalSpy timedOut(&dialer, &Dialer::OnTimeout);
        QSignalSpy connected(&dialer, &Dialer::OnConnect);
        dialer.setEntryName(QStringLiteral("Modem"));
        dialer.Dial();
        QVERIFY(timedOut.wait(5000));
        QCOMPARE(dialer.ConnectionState(), Dialer::Disconnected);
        QCOMPARE(connected.size(), 0);
    }

    void withoutNetworkManager()
    {
        QVERIFY(!m_bus.interface()->isServiceRegistered(nmService));
        NetworkManagerDialer dialer(m_bus);
        QSignalSpy errors(&dialer, &Dialer::OnError);
        dialer.setEntryName(QStringLiteral("Modem"));
        dialer.Dial();
        QVERIFY(errors.wait(5000));
        QCOMPARE(errors.first().at(0).toInt(), int(NetworkManagerDialer::NotAvailable));
        QVERIFY(
            errors.first().at(1).toString().startsWith(QLatin1String("NetworkManager is not available: ")));
        QCOMPARE(dialer.entries(), QStringList());
        QCOMPARE(dialer.ConnectionState(), Dialer::Disconnected);
    }
};

QTEST_GUILESS_MAIN(tst_NetworkManagerDialer)
#include "tst_NetworkManagerDialer.moc"
