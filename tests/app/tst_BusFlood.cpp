// The real program on a private bus, attacked as a misbehaving client would: calls far larger than any
// it takes, many clients that send large pages and leave, texts beyond their bounds. After each the
// program still answers, a second start still hands over, and SIGTERM still ends it, saved.
#include "DataFolder.h"
#include "OrvBus.h"
#include "OrvEnums.h"
#include "ProgramUnderTest.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <dbus/dbus.h>

namespace {

const char stateFile[] = R"(<Root>
<Settings><CheckForUpdates>0</CheckForUpdates><AutoSyncDays>0</AutoSyncDays></Settings>
<Auctions><Auction><Item>110023456789</Item><Description>Brass pocket watch</Description><EndTime>2099-03-04 18:30:00</EndTime><Category>Default</Category><SnipeState>0</SnipeState><SnipeQuantity>1</SnipeQuantity><SnipeSeconds>8</SnipeSeconds></Auction></Auctions>
<Categorys><Category><Name>Default</Name><MaxWins>1</MaxWins><Limited>False</Limited></Category></Categorys>
</Root>
)";

const QString watch = QStringLiteral("110023456789");

QDBusMessage callOf(const QString& object, const QString& method, const QVariantList& arguments = {})
{
    const QString path =
        object == QLatin1String("HandOver") ? OrvBus::handOverPath : QLatin1Char('/') + object;
    const QString interface =
        object == QLatin1String("HandOver") ? OrvBus::handOverInterface : OrvBus::interfaceOf(object);
    QDBusMessage call = QDBusMessage::createMethodCall(OrvBus::serviceName, path, interface, method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    return call;
}

QDBusMessage replyTo(const QString& object, const QString& method, const QVariantList& arguments = {})
{
    return QDBusConnection::sessionBus().call(callOf(object, method, arguments), QDBus::Block, 60000);
}

// `clients` connections of their own, each sending the item-page reader a page of `pageBytes` and
// leaving without waiting for the answer.
bool sendPagesAndLeave(int clients, int pageBytes)
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray page(pageBytes, 'x');
    const QByteArray item = watch.toLatin1();
    const QByteArray service = OrvBus::serviceName.toLatin1();
    const QByteArray path = OrvBus::updaterPath.toLatin1();
    const QByteArray interface = OrvBus::interfaceOf(QStringLiteral("Updater")).toLatin1();
    for (int i = 0; i < clients; ++i) {
        DBusError error;
        dbus_error_init(&error);
        DBusConnection* connection = dbus_connection_open_private(address.constData(), &error);
        if (!connection || !dbus_bus_register(connection, &error)) {
            qWarning() << "cannot connect:" << error.message;
            dbus_error_free(&error);
            return false;
        }
        DBusMessage* call = dbus_message_new_method_call(service.constData(), path.constData(),
                                                         interface.constData(), "Parse");
        const char* itemText = item.constData();
        const char* pageText = page.constData();
        dbus_message_append_args(call, DBUS_TYPE_STRING, &itemText, DBUS_TYPE_STRING, &pageText,
                                 DBUS_TYPE_INVALID);
        dbus_message_set_auto_start(call, false);
        dbus_connection_send(connection, call, nullptr);
        dbus_connection_flush(connection);
        dbus_message_unref(call);
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
    return true;
}

} // namespace

class tst_BusFlood : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void aCallLargerThanTheReadLimitLeavesTheProgramReading();
    void clientsThatSendPagesAndLeaveLeaveTheProgramReading();
    void oversizedTextsAreRefusedAndTheNameKept();
    void sigtermAfterTheFloodEndsTheProgramSaved();

private:
    // What the program wrote on standard error so far.
    QByteArray said();

    QProcess m_program;
    QByteArray m_said;
};

void tst_BusFlood::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("ORV_BINARY_DIR"))
        QSKIP("ORV_BINARY_DIR is not set: run the tests through CTest.");
    QVERIFY(!ProgramUnderTest::ownsBusName());
    QDir().mkpath(DataFolder::path());
    QFile file(DataFolder::stateFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(stateFile);
    file.close();
    m_program.start(ProgramUnderTest::binary(QStringLiteral("Auctions/orvauctions2")), {});
    QVERIFY(m_program.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(ProgramUnderTest::remoteState(), int(AppHidden), 30000);
}

void tst_BusFlood::cleanupTestCase()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished();
    }
}

QByteArray tst_BusFlood::said()
{
    m_said += m_program.readAllStandardError();
    return m_said;
}

void tst_BusFlood::aCallLargerThanTheReadLimitLeavesTheProgramReading()
{
    // Above the bus library's default limit of what a connection holds unread (63 MiB).
    const QDBusMessage huge = replyTo(QStringLiteral("HandOver"), QStringLiteral("SetText"),
                                      {QString(70 * 1024 * 1024, QLatin1Char('s'))});
    QCOMPARE(huge.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(huge.arguments().value(1).toInt(), 11);

    // A second call, then a second start that hands "Show" over.
    QCOMPARE(ProgramUnderTest::remoteState(), int(AppHidden));
    QProcess second;
    second.start(ProgramUnderTest::binary(QStringLiteral("Auctions/orvauctions2")), {});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(ProgramUnderTest::remoteState(), int(AppStarted), 10000);
    QVERIFY2(!said().contains("Socket notifiers cannot be enabled"), said().constData());
}

void tst_BusFlood::clientsThatSendPagesAndLeaveLeaveTheProgramReading()
{
    // 200 pages of 8 MB: far more than the default limit, at the reader's own limit of 8 MB.
    QVERIFY(sendPagesAndLeave(200, 8 * 1024 * 1024));
    QTRY_VERIFY_WITH_TIMEOUT(
        replyTo(QStringLiteral("Auctions"), QStringLiteral("Exists"), {watch}).arguments().value(0).toBool(),
        60000);
    QCOMPARE(ProgramUnderTest::remoteState(), int(AppStarted));
    QVERIFY2(!said().contains("Socket notifiers cannot be enabled"), said().constData());
}

void tst_BusFlood::oversizedTextsAreRefusedAndTheNameKept()
{
    const QDBusMessage description = replyTo(QStringLiteral("Auctions"), QStringLiteral("SetDescription"),
                                             {watch, QString(64 * 1024 * 1024, QLatin1Char('d'))});
    QCOMPARE(description.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(description.arguments(),
             (QVariantList{QStringLiteral("The description is longer than 65536 characters."), 11}));
    const QDBusMessage item =
        replyTo(QStringLiteral("Auctions"), QStringLiteral("Add"),
                {QString(16 * 1024 * 1024, QLatin1Char('7')), QStringLiteral("Default")});
    QCOMPARE(item.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(item.arguments(),
             (QVariantList{QStringLiteral("The item number is longer than 32 characters."), 11}));

    QVERIFY(ProgramUnderTest::ownsBusName());
    const QDBusMessage saved = replyTo(QStringLiteral("App"), QStringLiteral("Save"));
    QCOMPARE(saved.type(), QDBusMessage::ReplyMessage);
    QFile file(DataFolder::stateFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("Brass pocket watch"));
    QVERIFY2(text.size() < 64 * 1024, QByteArray::number(text.size()).constData());
}

void tst_BusFlood::sigtermAfterTheFloodEndsTheProgramSaved()
{
    QCOMPARE(replyTo(QStringLiteral("Auctions"), QStringLiteral("Add"),
                     {QStringLiteral("778899"), QStringLiteral("Default")})
                 .type(),
             QDBusMessage::ReplyMessage);
    QVERIFY(sendPagesAndLeave(50, 8 * 1024 * 1024));
    QCOMPARE(::kill(pid_t(m_program.processId()), SIGTERM), 0);
    QVERIFY2(m_program.waitForFinished(5000), "the program did not end within 5 s of SIGTERM");
    QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program.exitCode(), 0);
    QFile file(DataFolder::stateFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("<Item>778899</Item>"));
    QVERIFY2(!said().contains("Socket notifiers cannot be enabled"), said().constData());
}

QTEST_GUILESS_MAIN(tst_BusFlood)
#include "tst_BusFlood.moc"
