#include "ClockUpdater2.h"
#include "DateTimes.h"
#include "SiteEndpoints.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <optional>

using DateTimes::naive;

namespace {

const QString parseFailure = QStringLiteral("Error parsing date from time server");

// A loopback daytime service: each connection gets the line, then the connection closes; without a
// line the connection stays open and silent.
class DaytimeService : public QObject
{
public:
    DaytimeService()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                ++connections;
                connect(socket, &QTcpSocket::disconnected, this, [this] { ++closed; });
                if (!line)
                    continue;
                socket->write(*line);
                socket->disconnectFromHost();
            }
        });
    }
    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QByteArray address() const { return "tcp://127.0.0.1:" + QByteArray::number(m_server.serverPort()); }
    void close() { m_server.close(); }

    std::optional<QByteArray> line;
    int connections = 0;
    int closed = 0;

private:
    QTcpServer m_server;
};

// Points the daytime endpoint at `address` while it lives.
class DaytimeAddress
{
public:
    explicit DaytimeAddress(const QByteArray& address)
        : m_variable(SiteEndpoints::environmentVariable(SiteEndpoints::Daytime).toLatin1()),
          m_previous(qgetenv(m_variable.constData()))
    {
        qputenv(m_variable.constData(), address);
    }
    ~DaytimeAddress() { qputenv(m_variable.constData(), m_previous); }

private:
    QByteArray m_variable;
    QByteArray m_previous;
};

} // namespace

class tst_ClockUpdater2 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheDaytimeLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QDateTime>("expected");

        QTest::newRow("service line") << QByteArray("\n61000 26-03-01 18:12:34 00 0 0  50.0 UTC(NIST) * \n")
                                      << naive(2026, 3, 1, 18, 12, 34);
        QTest::newRow("two-digit year 29")
            << QByteArray("0 29-12-31 23:59:59") << naive(2029, 12, 31, 23, 59, 59);
        QTest::newRow("two-digit year 30") << QByteArray("0 30-01-02 00:00:00") << naive(1930, 1, 2);
        QTest::newRow("four-digit year") << QByteArray("0 2026-03-01 08:00:00") << naive(2026, 3, 1, 8);
        QTest::newRow("month 13 carries over") << QByteArray("0 06-13-01 00:00:00") << naive(2007, 1, 1);
        QTest::newRow("day 0 is the month's eve")
            << QByteArray("0 06-03-00 12:00:00") << naive(2006, 2, 28, 12);
        QTest::newRow("hours beyond the day carry over")
            << QByteArray("0 06-03-01 25:00:00") << naive(2006, 3, 2, 1);
    }
    void readsTheDaytimeLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(QDateTime, expected);

        DaytimeService service;
        QVERIFY(service.listen());
        service.line = line;
        DaytimeAddress address(service.address());
        ClockUpdater2 updater;
        QSignalSpy states(&updater, &ClockUpdater2::StateChanged);
        updater.Download();
        QCOMPARE(updater.State(), sfRunning);
        QTRY_COMPARE(updater.State(), sfComplete);
        QCOMPARE(updater.Time(), expected);
        QCOMPARE(states.size(), 2);
        QCOMPARE(service.connections, 1);
    }

    void failsWithTheReason_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("line"); // none: the service never answers
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("message");

        QTest::newRow("one field") << std::optional<QByteArray>("garbage") << true << parseFailure;
        QTest::newRow("date without day")
            << std::optional<QByteArray>("0 06-03 10:00:00") << true << parseFailure;
        QTest::newRow("time without seconds")
            << std::optional<QByteArray>("0 06-03-01 10:00") << true << parseFailure;
        QTest::newRow("nothing sent") << std::optional<QByteArray>("") << true << parseFailure;
        QTest::newRow("no answer in time") << std::optional<QByteArray>() << true << "No answer within";
        QTest::newRow("unreachable") << std::optional<QByteArray>("0 06-03-01 10:00:00") << false
                                     << "refused";
    }
    void failsWithTheReason()
    {
        QFETCH(std::optional<QByteArray>, line);
        QFETCH(bool, reachable);
        QFETCH(QString, message);

        DaytimeService service;
        QVERIFY(service.listen());
        service.line = line;
        DaytimeAddress address(service.address());
        if (!reachable)
            service.close();
        ClockUpdater2 updater;
        updater.setTimeoutMs(200);
        updater.Download();
        QTRY_COMPARE(updater.State(), sfFailed);
        QVERIFY2(updater.ErrMessage().contains(message, Qt::CaseInsensitive),
                 qPrintable(updater.ErrMessage()));
        QVERIFY(DateTimes::isZero(updater.Time()));
    }

    void cancelEndsTheConnection()
    {
        DaytimeService service;
        QVERIFY(service.listen());
        DaytimeAddress address(service.address());
        ClockUpdater2 updater;
        QSignalSpy states(&updater, &ClockUpdater2::StateChanged);
        updater.Download();
        QTRY_COMPARE(service.connections, 1);
        updater.Cancel();
        QCOMPARE(updater.State(), sfFailed);
        QCOMPARE(updater.ErrMessage(), QStringLiteral("Update Cancelled"));
        QTRY_COMPARE(service.closed, 1);
        QCOMPARE(states.size(), 2);
    }
};

QTEST_GUILESS_MAIN(tst_ClockUpdater2)
#include "tst_ClockUpdater2.moc"
