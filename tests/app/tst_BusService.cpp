// A bus object's answers when the model fails: every error, of the model or not, becomes the call's error
// reply, whether the call is answered at once or held until the program has loaded, and the object goes
// on answering. No error may leave the slot into the bus library's dispatch, which cannot pass it on.
// Calls are answered one per turn of the event loop, and those of a client that has left are dropped.
#include "BusGate.h"
#include "BusService.h"
#include "OrvBus.h"
#include "OrvError.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
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

// A service whose one call takes a while and is written down, by the number its caller gives.
class SlowService : public BusService
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.auctionorv.test.Slow")
public:
    SlowService(BusGate& gate, QString& trace) : BusService(gate), m_trace(trace) {}

public Q_SLOTS:
    int Work(int number)
    {
        return serve([this, number] {
            QElapsedTimer busy;
            busy.start();
            while (busy.elapsed() < 20) {
            }
            m_trace += QString::number(number);
            return number;
        });
    }

private:
    QString& m_trace;
};

QDBusMessage workCall(const QString& path, int number)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QDBusConnection::sessionBus().baseService(), path,
                                       QStringLiteral("org.auctionorv.test.Slow"), QStringLiteral("Work"));
    call << number;
    return call;
}

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

    // Calls that come together (held while the program loads, or arriving at once) are answered in the
    // order they came, and a timer that is due between two answers runs between them, as the heartbeat
    // must.
    void callsAreAnsweredOnePerTurn_data()
    {
        QTest::addColumn<bool>("heldUntilLoaded");
        QTest::newRow("held until loaded") << true;
        QTest::newRow("arriving together") << false;
    }

    void callsAreAnsweredOnePerTurn()
    {
        QFETCH(bool, heldUntilLoaded);
        QString trace;
        BusGate gate;
        if (!heldUntilLoaded)
            gate.open();
        SlowService service(gate, trace);
        const QString path = QStringLiteral("/Slow");
        QVERIFY(
            QDBusConnection::sessionBus().registerObject(path, &service, QDBusConnection::ExportAllSlots));
        QList<QDBusPendingCall> calls;
        for (int i = 1; i <= 5; ++i)
            calls << m_client.asyncCall(workCall(path, i));
        if (heldUntilLoaded) {
            QTRY_COMPARE(gate.heldCount(), 5);
        } else {
            // All five are on the program's side before its thread takes any of them.
            QTest::qSleep(300);
        }
        QTimer beat;
        beat.setInterval(0);
        connect(&beat, &QTimer::timeout, this, [&trace] {
            if (!trace.endsWith(QLatin1Char('.')))
                trace += QLatin1Char('.');
        });
        beat.start();
        gate.open();
        for (qsizetype i = 0; i < calls.size(); ++i)
            QCOMPARE(replyOf(calls.at(i)).arguments(), QVariantList{int(i + 1)});
        beat.stop();
        QVERIFY2(QRegularExpression(QStringLiteral("^\\.?1\\.2\\.3\\.4\\.5\\.?$")).match(trace).hasMatch(),
                 qPrintable(trace));
        QDBusConnection::sessionBus().unregisterObject(path);
    }

    // A client that sends many calls at once holds up another's call by one answer at most.
    void clientsAreAnsweredInTurn()
    {
        QString trace;
        BusGate gate;
        SlowService service(gate, trace);
        const QString path = QStringLiteral("/InTurn");
        QVERIFY(
            QDBusConnection::sessionBus().registerObject(path, &service, QDBusConnection::ExportAllSlots));
        QDBusConnection flood =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("flood"));
        QList<QDBusPendingCall> calls;
        for (int i = 1; i <= 5; ++i)
            calls << flood.asyncCall(workCall(path, i));
        QTRY_COMPARE(gate.heldCount(), 5);
        calls << m_client.asyncCall(workCall(path, 9));
        QTRY_COMPARE(gate.heldCount(), 6);
        gate.open();
        for (const QDBusPendingCall& call : std::as_const(calls))
            QVERIFY(!replyOf(call).arguments().isEmpty());
        QCOMPARE(trace, QStringLiteral("192345"));
        QDBusConnection::disconnectFromBus(QStringLiteral("flood"));
        QDBusConnection::sessionBus().unregisterObject(path);
    }

    // A client that asked and left before its turn: its calls are not worked on; the others' are.
    void callsOfAClientThatLeftAreDropped()
    {
        QString trace;
        BusGate gate;
        SlowService service(gate, trace);
        const QString path = QStringLiteral("/Leaving");
        QVERIFY(
            QDBusConnection::sessionBus().registerObject(path, &service, QDBusConnection::ExportAllSlots));
        {
            QDBusConnection leaver =
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("leaver"));
            QVERIFY(leaver.isConnected());
            for (int i = 1; i <= 3; ++i)
                leaver.asyncCall(workCall(path, i));
            QTRY_COMPARE(gate.heldCount(), 3);
            QDBusConnection::disconnectFromBus(QStringLiteral("leaver"));
        }
        const QDBusPendingCall staying = m_client.asyncCall(workCall(path, 7));
        QTRY_COMPARE(gate.heldCount(), 1);
        gate.open();
        QCOMPARE(replyOf(staying).arguments(), QVariantList{7});
        QCOMPARE(trace, QStringLiteral("7"));
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
