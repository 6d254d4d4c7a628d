#include "NetDetector.h"
#include "SiteEndpoints.h"
#include "cGlobal.h"

#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

namespace {

// A loopback server that answers the first request of each connection with `response`, or, when
// `response` is empty, accepts and never says anything.
class ProbeServer : public QTcpServer
{
public:
    explicit ProbeServer(QByteArray response) : m_response(std::move(response))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                ++connections;
                if (m_response == "close") {
                    socket->disconnectFromHost();
                    continue;
                }
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    socket->readAll();
                    if (!m_response.isEmpty())
                        socket->write(m_response);
                });
            }
        });
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(serverPort())); }

    int connections = 0;

private:
    QByteArray m_response;
};

// An address where nothing listens: the connection is refused at once.
QUrl refusingUrl()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const QUrl url(QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()));
    server.close();
    return url;
}

QByteArray responseFor(const QString& kind)
{
    if (kind == QLatin1String("200"))
        return "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
    if (kind == QLatin1String("404"))
        return "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    if (kind == QLatin1String("302"))
        return "HTTP/1.1 302 Found\r\nLocation: " + refusingUrl().toEncoded() +
               "/\r\nContent-Length: 0\r\n\r\n";
    if (kind == QLatin1String("headers only"))
        return "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
    if (kind == QLatin1String("close"))
        return "close";
    return QByteArray(); // "hang"
}

const SiteEndpoints::Endpoint probes[] = {SiteEndpoints::NetTest1, SiteEndpoints::NetTest2,
                                          SiteEndpoints::NetTest3};

} // namespace

class tst_NetDetector : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

    void cleanup()
    {
        for (SiteEndpoints::Endpoint probe : probes)
            qunsetenv(SiteEndpoints::environmentVariable(probe).toLatin1().constData());
        m_servers.clear();
    }

    void firstAnswerEndsTheWalk_data()
    {
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<bool>("detected");
        // Per address; -1 where nothing listens, or where the network layer may retry a closed connection.
        QTest::addColumn<QList<int>>("connections");

        QTest::newRow("first answers") << QStringList{"200", "200", "200"} << true << QList<int>{1, 0, 0};
        QTest::newRow("not found is an answer")
            << QStringList{"404", "200", "200"} << true << QList<int>{1, 0, 0};
        QTest::newRow("redirect is an answer, not followed")
            << QStringList{"302", "200", "200"} << true << QList<int>{1, 0, 0};
        QTest::newRow("headers are enough")
            << QStringList{"headers only", "200", "200"} << true << QList<int>{1, 0, 0};
        QTest::newRow("refused, then answers")
            << QStringList{"refused", "200", "200"} << true << QList<int>{-1, 1, 0};
        QTest::newRow("hangs, closes, then answers")
            << QStringList{"hang", "close", "200"} << true << QList<int>{1, -1, 1};
        QTest::newRow("nothing answers")
            << QStringList{"refused", "hang", "close"} << false << QList<int>{-1, 1, -1};
    }
    void firstAnswerEndsTheWalk()
    {
        QFETCH(QStringList, kinds);
        QFETCH(bool, detected);
        QFETCH(QList<int>, connections);
        pointProbesAt(kinds);

        NetDetector detector;
        detector.setTimeoutMs(300);
        QSignalSpy finished(&detector, &NetDetector::finished);
        detector.start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.constFirst().constFirst().toBool(), detected);
        QVERIFY(!detector.isRunning());
        for (int i = 0; i < 3; ++i) {
            if (connections.at(i) >= 0)
                QCOMPARE(m_servers.at(i)->connections, connections.at(i));
        }
    }

    void heartbeatKeepsTickingWhileAProbeHangs()
    {
        pointProbesAt({"hang", "hang", "hang"});
        NetDetector detector;
        detector.setTimeoutMs(400);
        QSignalSpy finished(&detector, &NetDetector::finished);

        QTimer heartbeat;
        heartbeat.setInterval(20);
        int ticksWhileProbing = 0;
        connect(&heartbeat, &QTimer::timeout, this, [&] {
            if (detector.isRunning())
                ++ticksWhileProbing;
        });
        heartbeat.start();
        detector.start();
        QVERIFY(detector.isRunning()); // start() came back before any answer
        QTRY_VERIFY(ticksWhileProbing >= 3);
        QVERIFY(finished.isEmpty());

        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.constFirst().constFirst().toBool(), false);
        for (const auto& server : m_servers)
            QCOMPARE(server->connections, 1); // each hanging address was given up once, at its time-out
    }

    void aStartDuringAWalkJoinsIt()
    {
        pointProbesAt({"hang", "200", "200"});
        NetDetector detector;
        detector.setTimeoutMs(300);
        QSignalSpy finished(&detector, &NetDetector::finished);
        detector.start();
        detector.start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.size(), 1);
        // A second walk would have asked the first address again alongside the first walk.
        QCOMPARE(m_servers.at(0)->connections, 1);
        QCOMPARE(m_servers.at(1)->connections, 1);

        // A new walk starts afresh from the first address.
        detector.start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(m_servers.at(0)->connections, 2);
    }

    void globalHelperHandsTheAnswerOn()
    {
        pointProbesAt({"refused", "200", "200"});
        QObject context;
        QList<bool> answers;
        cGlobal::NetDetected(&context, [&](bool detected) { answers.append(detected); });
        QVERIFY(answers.isEmpty());
        QTRY_COMPARE(answers, QList<bool>{true});
        // The detector it made goes away once it has answered.
        QTRY_VERIFY(context.findChildren<NetDetector*>().isEmpty());
    }

private:
    void pointProbesAt(const QStringList& kinds)
    {
        for (int i = 0; i < 3; ++i) {
            QUrl url;
            if (kinds.at(i) == QLatin1String("refused")) {
                m_servers.push_back(nullptr);
                url = refusingUrl();
            } else {
                m_servers.push_back(std::make_unique<ProbeServer>(responseFor(kinds.at(i))));
                url = m_servers.back()->url();
            }
            qputenv(SiteEndpoints::environmentVariable(probes[i]).toLatin1().constData(), url.toEncoded());
        }
    }

    std::vector<std::unique_ptr<ProbeServer>> m_servers;
};

QTEST_GUILESS_MAIN(tst_NetDetector)
#include "tst_NetDetector.moc"
