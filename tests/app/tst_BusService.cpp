// A bus object's answers when the model fails: every error, of the model or not, becomes the call's error
// reply, whether the call is answered at once or held until the program has loaded, and the object goes
// on answering. No error may leave the slot into the bus library's dispatch, which cannot pass it on.
#include "BusGate.h"
#include "BusService.h"
#include "OrvBus.h"
#include "OrvError.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QTest>
#include <new>
#include <stdexcept>

namespace {

const QString interface = QStringLiteral("org.auctionorv.test.Failing");

enum Failure
{
    None,
    Refusal,
    ModelError,
    StdError,
    NoMemory
};

// A service whose one call fails as its caller asks.
class FailingService : public BusService
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.auctionorv.test.Failing")
public:
    using BusService::BusService;

public Q_SLOTS:
    int Answer(int failure)
    {
        return serve([failure] {
            switch (failure) {
            case Refusal:
                throw OrvError::refused(QStringLiteral("Failing"), QStringLiteral("Not that one."));
            case ModelError:
                throw OrvError(OrvError::InvalidArgument, QStringLiteral("Failing"),
                               QStringLiteral("There is no such thing."));
            case StdError:
                throw std::runtime_error("the list ran out");
            case NoMemory:
                throw std::bad_alloc();
            default:
                return 42;
            }
        });
    }
};

struct Expected
{
    const char* row;
    Failure failure;
    QString name;
    QVariantList arguments;
};

const QList<Expected>& cases()
{
    static const QList<Expected> all{
        {"refusal", Refusal, OrvBus::errorRefused, {QStringLiteral("Not that one."), 11}},
        {"model error", ModelError, OrvBus::errorFailed, {QStringLiteral("There is no such thing."), 5}},
        {"other error", StdError, OrvBus::errorFailed, {QStringLiteral("the list ran out"), 0}},
        {"out of memory", NoMemory, OrvBus::errorFailed, {QStringLiteral("Out of memory"), 7}},
    };
    return all;
}

QDBusMessage answerCall(const QString& path, Failure failure)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QDBusConnection::sessionBus().baseService(), path,
                                                       interface, QStringLiteral("Answer"));
    call << int(failure);
    return call;
}

// The objects live on this thread: their answers come while the test waits in the event loop.
QDBusMessage replyOf(QDBusPendingCall call)
{
    if (!QTest::qWaitFor([&] { return call.isFinished(); }, 10000))
        return QDBusMessage();
    return call.reply();
}

} // namespace

class tst_BusService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
        QVERIFY(m_client.isConnected());
    }

    void cleanupTestCase() { QDBusConnection::disconnectFromBus(QStringLiteral("client")); }

    void everyErrorBecomesTheErrorReply_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariantList>("arguments");
        for (const Expected& expected : cases())
            QTest::newRow(expected.row) << int(expected.failure) << expected.name << expected.arguments;
    }

    void everyErrorBecomesTheErrorReply()
    {
        QFETCH(int, failure);
        QFETCH(QString, name);
        QFETCH(QVariantList, arguments);

        BusGate gate;
        gate.open();
        FailingService service(gate);
        const QString path = QStringLiteral("/Open");
        QVERIFY(
            QDBusConnection::sessionBus().registerObject(path, &service, QDBusConnection::ExportAllSlots));
        const QDBusMessage reply = replyOf(m_client.asyncCall(answerCall(path, Failure(failure))));
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), name);
        QCOMPARE(reply.arguments(), arguments);

        // The object goes on answering.
        const QDBusMessage next = replyOf(m_client.asyncCall(answerCall(path, None)));
        QCOMPARE(next.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(next.arguments(), QVariantList{42});
        QDBusConnection::sessionBus().unregisterObject(path);
    }

    void heldCallsFailTheSameWay()
    {
        BusGate gate;
        FailingService service(gate);
        const QString path = QStringLiteral("/Held");
        QVERIFY(
            QDBusConnection::sessionBus().registerObject(path, &service, QDBusConnection::ExportAllSlots));
        QList<QDBusPendingCall> calls;
        for (const Expected& expected : cases())
            calls << m_client.asyncCall(answerCall(path, expected.failure));
        calls << m_client.asyncCall(answerCall(path, None));
        QTest::qWait(200);
        for (const QDBusPendingCall& call : std::as_const(calls))
            QVERIFY(!call.isFinished());

        gate.open();
        for (qsizetype i = 0; i < cases().size(); ++i) {
            const QDBusMessage reply = replyOf(calls.at(i));
            QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
            QCOMPARE(reply.errorName(), cases().at(i).name);
            QCOMPARE(reply.arguments(), cases().at(i).arguments);
        }
        QCOMPARE(replyOf(calls.last()).arguments(), QVariantList{42});
        QDBusConnection::sessionBus().unregisterObject(path);
    }

    void aDirectCallerGetsTheErrorItself()
    {
        BusGate gate;
        gate.open();
        FailingService service(gate);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, service.Answer(StdError));
        QVERIFY_THROWS_EXCEPTION(OrvError, service.Answer(Refusal));
        QCOMPARE(service.Answer(None), 42);
    }

private:
    QDBusConnection m_client{QString()};
};

QTEST_MAIN(tst_BusService)
#include "tst_BusService.moc"
