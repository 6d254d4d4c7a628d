#include "FakeSite.h"
#include "FakeTimeSource.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>
#include <memory>

// The fake site is what every network test stands on: these check that it routes, records and
// misbehaves as asked, using a plain network client.
class tst_FakeSite : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QNetworkReply> get(const QUrl& url)
    {
        std::unique_ptr<QNetworkReply> reply(m_nam.get(QNetworkRequest(url)));
        waitFor(reply.get());
        return reply;
    }
    std::unique_ptr<QNetworkReply> post(const QUrl& url, const QByteArray& body)
    {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        std::unique_ptr<QNetworkReply> reply(m_nam.post(request, body));
        waitFor(reply.get());
        return reply;
    }
    static void waitFor(QNetworkReply* reply) { QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 10000); }
    static int status(const std::unique_ptr<QNetworkReply>& reply)
    {
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

    QNetworkAccessManager m_nam;

private Q_SLOTS:
    void initTestCase() { m_nam.setProxy(QNetworkProxy::NoProxy); }

    void servesItemPagesByNumberAndRecordsRequests()
    {
        FakeTimeSource clock(QDateTime(QDate(2026, 5, 4), QTime(9, 30), Qt::UTC));
        FakeSite site;
        QVERIFY(site.listen({SiteEndpoints::ItemPage}));
        const QByteArray page = FakeSite::fixture(QStringLiteral("item-lamp.html"));
        QVERIFY(page.contains("Brass Lamp"));
        site.setItemPage(QStringLiteral("123"), FakeSite::Response::page(page));
        const QUrl base = site.baseUrl(SiteEndpoints::ItemPage);
        QCOMPARE(base.host(), QStringLiteral("127.0.0.1"));

        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        auto found = get(QUrl(base.toString() + QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=123")));
        QCOMPARE(found->error(), QNetworkReply::NoError);
        QCOMPARE(found->readAll(), page);
        QVERIFY(found->header(QNetworkRequest::ContentTypeHeader)
                    .toString()
                    .contains(QLatin1String("charset=utf-8")));

        auto unknown = get(QUrl(base.toString() + QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=999")));
        QCOMPARE(status(unknown), 404);
        auto otherPath = get(QUrl(base.toString() + QStringLiteral("/other?ViewItem&item=123")));
        QCOMPARE(status(otherPath), 404);

        QCOMPARE(site.requests().size(), 3);
        const FakeSite::Request& first = site.requests().first();
        QCOMPARE(first.role, SiteEndpoints::ItemPage);
        QCOMPARE(first.method, QByteArray("GET"));
        QCOMPARE(first.target, QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=123"));
        QCOMPARE(first.path, QStringLiteral("/ws/eBayISAPI.dll"));
        QCOMPARE(first.query.queryItemValue(QStringLiteral("item")), QStringLiteral("123"));
        QVERIFY(first.header("host").startsWith("127.0.0.1:"));
        QVERIFY(first.receivedMs >= before && first.receivedMs <= QDateTime::currentMSecsSinceEpoch());
        QCOMPARE(first.receivedLocal, QDateTime(QDate(2026, 5, 4), QTime(9, 30), Qt::UTC));
        QCOMPARE(site.pendingCount(), 0);
    }

    void routesByRoleAndTarget_data()
    {
        QTest::addColumn<FakeSite::Role>("role");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("exact target")
            << SiteEndpoints::SignIn << "/ws/eBayISAPI.dll?SignIn" << QByteArray("exact");
        QTest::newRow("path, other query")
            << SiteEndpoints::SignIn << "/ws/eBayISAPI.dll?Other" << QByteArray("path");
        QTest::newRow("role default") << SiteEndpoints::SignIn << "/elsewhere" << QByteArray("default");
        QTest::newRow("same path, other role")
            << SiteEndpoints::Bid << "/ws/eBayISAPI.dll?SignIn" << QByteArray("404");
    }

    void routesByRoleAndTarget()
    {
        QFETCH(FakeSite::Role, role);
        QFETCH(QString, target);
        QFETCH(QByteArray, expected);

        FakeSite site;
        QVERIFY(site.listen({SiteEndpoints::SignIn, SiteEndpoints::Bid}));
        QVERIFY(site.baseUrl(SiteEndpoints::SignIn).port() != site.baseUrl(SiteEndpoints::Bid).port());
        auto answer = [](const char* text) {
            return [text](const FakeSite::Request&) { return FakeSite::Response::page(text); };
        };
        site.setHandler(SiteEndpoints::SignIn, QStringLiteral("/ws/eBayISAPI.dll?SignIn"), answer("exact"));
        site.setHandler(SiteEndpoints::SignIn, QStringLiteral("/ws/eBayISAPI.dll"), answer("path"));
        site.setDefaultHandler(SiteEndpoints::SignIn, answer("default"));

        auto reply = get(QUrl(site.baseUrl(role).toString() + target));
        if (expected == "404")
            QCOMPARE(status(reply), 404);
        else
            QCOMPARE(reply->readAll(), expected);
        QCOMPARE(site.requests().size(), 1);
        QCOMPARE(site.requests().first().role, role);
    }

    void keepsCookiesAndReadsPostedForms()
    {
        FakeSite site;
        QVERIFY(site.listen({SiteEndpoints::SignIn, SiteEndpoints::Bid}));
        site.setHandler(SiteEndpoints::SignIn, QStringLiteral("/login"),
                        [](const FakeSite::Request& request) {
                            return FakeSite::Response::page(
                                       "welcome " + request.form.value(QStringLiteral("userid")).toUtf8())
                                .withCookie("session=s1; Path=/");
                        });
        site.setHandler(SiteEndpoints::Bid, QStringLiteral("/bid"), [](const FakeSite::Request& request) {
            return request.cookies.value(QStringLiteral("session")) == QLatin1String("s1")
                       ? FakeSite::Response::page("bid page")
                       : FakeSite::Response::error(403);
        });

        auto login = post(QUrl(site.baseUrl(SiteEndpoints::SignIn).toString() + QStringLiteral("/login")),
                          "userid=ann+lee&pass=p%26w&keepMeSignInOption=1");
        QCOMPARE(login->readAll(), QByteArray("welcome ann lee"));
        const FakeSite::Request posted = site.requests().first();
        QCOMPARE(posted.method, QByteArray("POST"));
        QCOMPARE(posted.body, QByteArray("userid=ann+lee&pass=p%26w&keepMeSignInOption=1"));
        QCOMPARE(posted.form.value(QStringLiteral("pass")), QStringLiteral("p&w"));
        QCOMPARE(posted.form.value(QStringLiteral("keepMeSignInOption")), QStringLiteral("1"));

        // The client's jar ignores the port, so the sign-in cookie reaches the bid host too.
        auto bid = get(QUrl(site.baseUrl(SiteEndpoints::Bid).toString() + QStringLiteral("/bid")));
        QCOMPARE(bid->readAll(), QByteArray("bid page"));
        QCOMPARE(site.requests(SiteEndpoints::Bid).first().header("Cookie"), QByteArray("session=s1"));
    }

    void delaysHangsAndReleases()
    {
        FakeSite site;
        QVERIFY(site.listen({SiteEndpoints::TimePage}));
        site.setHandler(SiteEndpoints::TimePage, QStringLiteral("/slow"), [](const FakeSite::Request&) {
            return FakeSite::Response::page("late").delayed(50);
        });
        site.setHandler(SiteEndpoints::TimePage, QStringLiteral("/never"),
                        [](const FakeSite::Request&) { return FakeSite::Response::hang(); });
        const QString base = site.baseUrl(SiteEndpoints::TimePage).toString();

        std::unique_ptr<QNetworkReply> slow(m_nam.get(QNetworkRequest(QUrl(base + QStringLiteral("/slow")))));
        QTRY_COMPARE(site.requests().size(), 1);
        QCOMPARE(site.pendingCount(), 1);
        QCOMPARE(site.hangingCount(), 0);
        waitFor(slow.get());
        QCOMPARE(slow->readAll(), QByteArray("late"));
        QCOMPARE(site.pendingCount(), 0);

        std::unique_ptr<QNetworkReply> hung(
            m_nam.get(QNetworkRequest(QUrl(base + QStringLiteral("/never")))));
        QTRY_COMPARE(site.hangingCount(), 1);
        QCOMPARE(site.pendingCount(), 1);
        QVERIFY(!hung->isFinished());
        QVERIFY(site.release(FakeSite::Response::page("released")));
        waitFor(hung.get());
        QCOMPARE(hung->readAll(), QByteArray("released"));
        QCOMPARE(site.hangingCount(), 0);
        QVERIFY(!site.release(FakeSite::Response::page("nobody waits")));
    }

    void misbehavesOnRequest_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("drop") << int(FakeSite::Response::Drop);
        QTest::newRow("garbage") << int(FakeSite::Response::Garbage);
    }

    void misbehavesOnRequest()
    {
        QFETCH(int, kind);
        FakeSite site;
        QVERIFY(site.listen({SiteEndpoints::Maker}));
        site.setDefaultHandler(SiteEndpoints::Maker, [kind](const FakeSite::Request&) {
            FakeSite::Response response = FakeSite::Response::page("never sent");
            response.kind = FakeSite::Response::Kind(kind);
            return response;
        });
        auto reply = get(site.baseUrl(SiteEndpoints::Maker));
        QVERIFY(reply->error() != QNetworkReply::NoError);
        QVERIFY(!reply->readAll().contains("never sent"));
    }

    void exportsAndRestoresEnvironment()
    {
        const QByteArray variable = SiteEndpoints::environmentVariable(SiteEndpoints::ItemPage).toLatin1();
        qputenv(variable.constData(), "http://127.0.0.1:1");
        {
            FakeSite site;
            QVERIFY(site.listen({SiteEndpoints::ItemPage, SiteEndpoints::Bid}));
            site.exportEnvironment();
            QCOMPARE(SiteEndpoints::base(SiteEndpoints::ItemPage), site.baseUrl(SiteEndpoints::ItemPage));
            QCOMPARE(SiteEndpoints::base(SiteEndpoints::Bid), site.baseUrl(SiteEndpoints::Bid));
        }
        QCOMPARE(qgetenv(variable.constData()), QByteArray("http://127.0.0.1:1"));
        QVERIFY(!qEnvironmentVariableIsSet(
            SiteEndpoints::environmentVariable(SiteEndpoints::Bid).toLatin1().constData()));
        qunsetenv(variable.constData());
    }
};

QTEST_GUILESS_MAIN(tst_FakeSite)
#include "tst_FakeSite.moc"
