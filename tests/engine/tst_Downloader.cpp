#include "Downloader.h"
#include "FakeSite.h"
#include "FakeTimeSource.h"

#include <QFile>
#include <QNetworkInformation>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <memory>

namespace {

// A line of /proc/self/status in kB ("VmRSS:", "VmHWM:"); -1 when it cannot be read.
qint64 memoryKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Starts the peak resident size (VmHWM) afresh from the current one.
bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

class tst_Downloader : public QObject
{
    Q_OBJECT

private:
    FakeSite m_site;
    QString m_base;

    QString url(const QString& path) const { return m_base + path; }
    void serve(const QString& path, const FakeSite::Response& response)
    {
        m_site.setHandler(SiteEndpoints::ItemPage, path,
                          [response](const FakeSite::Request&) { return response; });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_site.listen({SiteEndpoints::ItemPage}));
        m_base = m_site.baseUrl(SiteEndpoints::ItemPage).toString();
    }
    void init() { m_site.clearRequests(); }

    void completesWithTheBody_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        const QString accents = QStringLiteral("Caf\u00e9 \u20ac5");
        QTest::newRow("utf-8 declared")
            << QByteArray("text/html; charset=UTF-8") << accents.toUtf8() << accents;
        QTest::newRow("utf-8 undeclared") << QByteArray("text/html") << accents.toUtf8() << accents;
        QTest::newRow("windows-1252 declared")
            << QByteArray("text/html; charset=windows-1252") << QByteArray("US\xa0\x80 5 \x93q\x94")
            << QStringLiteral("US\u00a0\u20ac 5 \u201cq\u201d");
        QTest::newRow("latin-1 undeclared")
            << QByteArray("text/html") << QByteArray("Caf\xe9\xa0$") << QStringLiteral("Caf\u00e9\u00a0$");
        QTest::newRow("empty") << QByteArray("text/html; charset=\"utf-8\"") << QByteArray() << QString();
    }

    void completesWithTheBody()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);

        FakeSite::Response response = FakeSite::Response::page(body);
        response.contentType = contentType;
        serve(QStringLiteral("/page"), response);

        Downloader dler;
        QSignalSpy complete(&dler, &Downloader::Complete);
        QSignalSpy failed(&dler, &Downloader::ErrOccured);
        dler.DownloadURL(url(QStringLiteral("/page")));
        QCOMPARE(complete.size(), 0);
        QVERIFY(complete.wait(10000));
        QCOMPARE(complete.first().first().toString(), expected);
        QCOMPARE(dler.Data(), expected);
        QCOMPARE(failed.size(), 0);
    }

    void followsRedirectsWithoutCookies()
    {
        serve(QStringLiteral("/old"),
              FakeSite::Response::redirect(url(QStringLiteral("/new"))).withCookie("tracker=1; Path=/"));
        serve(QStringLiteral("/new"), FakeSite::Response::page("moved here").withCookie("session=2; Path=/"));

        for (int round = 0; round < 2; ++round) {
            Downloader dler;
            QSignalSpy complete(&dler, &Downloader::Complete);
            dler.DownloadURL(url(QStringLiteral("/old")));
            QVERIFY(complete.wait(10000));
            QCOMPARE(dler.Data(), QStringLiteral("moved here"));
        }
        QCOMPARE(m_site.requests().size(), 4);
        for (const FakeSite::Request& request : m_site.requests()) {
            QCOMPARE(request.method, QByteArray("GET"));
            QVERIFY2(request.header("cookie").isEmpty(), request.header("cookie").constData());
            QVERIFY(request.header("authorization").isEmpty());
        }
    }

    // Every failure ends in exactly one ErrOccured with a one-line message, never in Complete.
    void reportsEveryFailure_data()
    {
        QTest::addColumn<FakeSite::Response>("response");
        QTest::addColumn<QString>("address");  // empty: the fake site's "/fail"
        QTest::addColumn<QString>("expected"); // part of the message; empty: any text

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        closed.close();

        const FakeSite::Response fine = FakeSite::Response::page("fine");
        QTest::newRow("404") << FakeSite::Response::error(404) << QString() << "Not Found";
        QTest::newRow("500 with a body")
            << FakeSite::Response::page("oops", 500) << QString() << "Internal Server Error";
        QTest::newRow("503") << FakeSite::Response::error(503) << QString() << "Service Unavailable";
        QTest::newRow("dropped connection") << FakeSite::Response::drop() << QString() << "closed";
        QTest::newRow("garbage") << FakeSite::Response::garbage() << QString() << QString();
        QTest::newRow("never answers")
            << FakeSite::Response::hang() << QString() << "No answer within 0.3 seconds";
        QTest::newRow("connection refused") << fine << refused << "refused";
        QTest::newRow("unknown host") << fine << "http://nonexistent.invalid/" << QString();
        QTest::newRow("not a web address") << fine << "ftp://127.0.0.1/x"
                                           << "Invalid web address: ftp://127.0.0.1/x";
        QTest::newRow("no host") << fine << "http:///ws"
                                 << "Invalid web address";
        QTest::newRow("empty") << fine << ""
                               << "Invalid web address";
    }

    void reportsEveryFailure()
    {
        QFETCH(FakeSite::Response, response);
        QFETCH(QString, address);
        QFETCH(QString, expected);

        serve(QStringLiteral("/fail"), response);
        auto dler = std::make_unique<Downloader>();
        dler->setTimeoutMs(300);
        QSignalSpy complete(dler.get(), &Downloader::Complete);
        QSignalSpy failed(dler.get(), &Downloader::ErrOccured);
        dler->DownloadURL(address.isNull() ? url(QStringLiteral("/fail")) : address);
        QCOMPARE(failed.size(), 0); // never from inside DownloadURL
        QVERIFY(failed.wait(10000));

        const QString message = failed.first().first().toString();
        QVERIFY(!message.trimmed().isEmpty());
        QVERIFY(!message.contains(QLatin1Char('\n')));
        if (!expected.isEmpty())
            QVERIFY2(message.contains(expected, Qt::CaseInsensitive), qPrintable(message));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(complete.size(), 0);
        while (m_site.release(FakeSite::Response::page("too late"))) {
        }
    }

    // An answer beyond 8 MB ends as a failure as soon as it is known to be one: from its declared length,
    // or when what has arrived passes the limit. Memory stays bounded by the limit, not by the answer.
    void cutsOffAnswersLargerThan8MB_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("chunked");
        QTest::addColumn<bool>("cutOff");
        const qint64 limit = Downloader::MaxBodyBytes;
        QTest::newRow("50 MB without a length") << 50 * 1024 * 1024LL << true << true;
        QTest::newRow("50 MB with its length") << 50 * 1024 * 1024LL << false << true;
        QTest::newRow("a byte over, without a length") << limit + 1 << true << true;
        QTest::newRow("8 MB whole") << limit << true << false;
    }
    void cutsOffAnswersLargerThan8MB()
    {
        QFETCH(qint64, bytes);
        QFETCH(bool, chunked);
        QFETCH(bool, cutOff);
        serve(QStringLiteral("/big"), FakeSite::Response::stream(bytes, chunked));
        const qint64 streamedBefore = m_site.streamedBytes();
        QVERIFY2(resetPeakMemory(), "cannot reset the peak memory reading");
        const qint64 residentBefore = memoryKb("VmRSS:");

        Downloader dler;
        QSignalSpy complete(&dler, &Downloader::Complete);
        QSignalSpy failed(&dler, &Downloader::ErrOccured);
        dler.DownloadURL(url(QStringLiteral("/big")));
        QTRY_COMPARE_WITH_TIMEOUT(complete.size() + failed.size(), 1, 30000);
        if (!cutOff) {
            QCOMPARE(dler.Data().size(), bytes);
            return;
        }
        QCOMPARE(failed.first().first().toString(),
                 QStringLiteral("The answer from %1 is larger than 8 MB; the download was cut off.")
                     .arg(url(QStringLiteral("/big"))));
        QVERIFY(dler.Data().isEmpty());
        const qint64 grownKb = memoryKb("VmHWM:") - residentBefore;
        QVERIFY2(grownKb < 40 * 1024, qPrintable(QStringLiteral("grew by %1 kB").arg(grownKb)));
        // The site stops sending once the connection is gone.
        QTRY_COMPARE(m_site.pendingCount(), 0);
        const qint64 streamed = m_site.streamedBytes() - streamedBefore;
        QVERIFY2(streamed < 24 * 1024 * 1024, qPrintable(QStringLiteral("sent %1 bytes").arg(streamed)));
        QCOMPARE(complete.size(), 0);
        QTest::qWait(50);
        QCOMPARE(failed.size(), 1);
    }

    // The proxy the system names for a host is asked once, and asked again when the network changes or
    // after a few minutes: a proxy of the network the computer left must not be used for ever.
    void asksForTheProxyAgainWhenTheNetworkChanges()
    {
        FakeTimeSource clock;
        FakeSite proxies;
        QVERIFY(proxies.listen({SiteEndpoints::TimePage, SiteEndpoints::Maker}));
        proxies.setDefaultHandler(SiteEndpoints::TimePage,
                                  [](const FakeSite::Request&) { return FakeSite::Response::page("first"); });
        proxies.setDefaultHandler(SiteEndpoints::Maker, [](const FakeSite::Request&) {
            return FakeSite::Response::page("second");
        });
        const QByteArray first = proxies.baseUrl(SiteEndpoints::TimePage).toEncoded();
        const QByteArray second = proxies.baseUrl(SiteEndpoints::Maker).toEncoded();
        const QByteArray saved = qgetenv("http_proxy");
        const auto restore = qScopeGuard([&] {
            if (saved.isNull())
                qunsetenv("http_proxy");
            else
                qputenv("http_proxy", saved);
        });
        qunsetenv("no_proxy");
        qunsetenv("NO_PROXY");

        const auto fetch = [&]() -> QString {
            Downloader dler;
            QSignalSpy complete(&dler, &Downloader::Complete);
            dler.DownloadURL(QStringLiteral("http://auction-orv-proxy-test.example/page"));
            return complete.wait(10000) ? dler.Data() : QStringLiteral("no answer");
        };
        qputenv("http_proxy", first);
        QCOMPARE(fetch(), QStringLiteral("first"));
        qputenv("http_proxy", second);
        QCOMPARE(fetch(), QStringLiteral("first")); // the answer is kept while nothing changes
        clock.advanceMs(5 * 60 * 1000);
        QCOMPARE(fetch(), QStringLiteral("second"));

        QNetworkInformation* network = QNetworkInformation::instance();
        if (!network)
            QSKIP("no network information backend: only the time limit applies");
        qputenv("http_proxy", first);
        QCOMPARE(fetch(), QStringLiteral("second"));
        Q_EMIT network->reachabilityChanged(QNetworkInformation::Reachability::Online);
        QCOMPARE(fetch(), QStringLiteral("first"));
        qputenv("http_proxy", second);
        Q_EMIT network->transportMediumChanged(QNetworkInformation::TransportMedium::WiFi);
        QCOMPARE(fetch(), QStringLiteral("second"));
    }

    void deletingEndsTheRequest()
    {
        serve(QStringLiteral("/slow"), FakeSite::Response::hang());
        int events = 0;
        QObject context;
        auto* dler = new Downloader;
        connect(dler, &Downloader::Complete, &context, [&] { ++events; });
        connect(dler, &Downloader::ErrOccured, &context, [&] { ++events; });
        dler->DownloadURL(url(QStringLiteral("/slow")));
        QTRY_COMPARE(m_site.hangingCount(), 1);
        delete dler;
        // The request is aborted: the site sees its connection close.
        QTRY_COMPARE(m_site.hangingCount(), 0);
        QCOMPARE(events, 0);
    }
};

QTEST_GUILESS_MAIN(tst_Downloader)
#include "tst_Downloader.moc"
