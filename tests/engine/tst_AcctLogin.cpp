#include "AcctLogin.h"
#include "BidSender.h"
#include "FakeBidSite.h"
#include "FakeTimeSource.h"
#include "ScriptedBrowser.h"
#include "Settings.h"
#include "WebEngineTest.h"
#include "frmBrowser.h"

#include <QPointer>
#include <QTest>
#include <memory>

namespace {

const QString signInBase = QStringLiteral("http://127.0.0.1:7001");
const QString signInUrl = signInBase + QStringLiteral("/ws/eBayISAPI.dll?SignIn");
const QString otherHostUrl = QStringLiteral("http://127.0.0.1:7002/ws/eBayISAPI.dll?SignIn");

const QString loggingOut = QStringLiteral("Logging out current user...");

QString loggingIn(const QString& user)
{
    return QStringLiteral("Logging in user ") + user + QStringLiteral("...");
}

QString succeeded(const QString& user)
{
    return user + QStringLiteral(" successfully logged in.");
}

QString failed(const QString& user)
{
    return QStringLiteral("Failed to login user ") + user + QStringLiteral(".");
}

const QHash<QString, QStringList> signInForms{
    {QStringLiteral("SignInForm"),
     {QStringLiteral("userid"), QStringLiteral("pass"), QStringLiteral("keepMeSignInOption")}}};

// Shows one of the site's pages, by name, in a scripted window.
void showPage(ScriptedBrowser& window, const QString& page)
{
    if (page == QLatin1String("form"))
        window.complete(signInUrl, QStringLiteral("Sign In"), QStringLiteral("<p>eBay User ID</p>"),
                        signInForms);
    else if (page == QLatin1String("form on another host"))
        window.complete(otherHostUrl, QStringLiteral("Sign In"), QStringLiteral("<p>eBay User ID</p>"),
                        signInForms);
    else if (page == QLatin1String("form posting to another host")) {
        BrowserWindow::HtmlDocument document;
        document.title = QStringLiteral("Sign In");
        document.body = QStringLiteral("<p>eBay User ID</p>");
        document.text = QStringLiteral("Sign In\neBay User ID");
        document.forms = signInForms;
        document.actions.insert(QStringLiteral("SignInForm"), otherHostUrl);
        window.complete(signInUrl, document);
    } else if (page == QLatin1String("marker without form"))
        window.complete(signInUrl, QStringLiteral("Sign In"), QStringLiteral("<p>eBay User ID</p>"));
    else if (page == QLatin1String("signed out"))
        window.complete(signInUrl, QStringLiteral("Signed Out"),
                        QStringLiteral("<h1>You have signed out</h1>"));
    else if (page == QLatin1String("my ebay"))
        window.complete(signInUrl, QStringLiteral("My eBay"), QStringLiteral("<p>Hello</p>"));
    else if (page == QLatin1String("invalid"))
        window.complete(signInUrl, QStringLiteral("Sign In"),
                        QStringLiteral("<p>Your sign in information is not valid.</p>"));
    else if (page == QLatin1String("rejected"))
        window.complete(signInUrl, QStringLiteral("Sign In"), QStringLiteral("<p>User ID is not valid</p>"));
    else if (page == QLatin1String("unavailable"))
        window.complete(signInUrl, QString(),
                        QStringLiteral("<p>The page might be temporarily unavailable.</p>"));
    else
        window.complete(signInUrl, QStringLiteral("Something else"), QStringLiteral("<p>Welcome</p>"));
}

// One account test with a scripted browser, recording every status line.
struct ScriptedTest
{
    ScriptedBrowsers browsers;
    std::unique_ptr<AcctLogin> login = std::make_unique<AcctLogin>(browsers.factory());
    QStringList statuses;

    ScriptedTest()
    {
        QObject::connect(login.get(), &AcctLogin::StatusChange, login.get(),
                         [this](const QString& status) { statuses << status; });
    }
};

// One account test on the browser engine against the fake site.
struct EngineTest
{
    explicit EngineTest(int timeoutIntervalMs = frmBrowser::TimeoutIntervalMs)
        : login([this, timeoutIntervalMs] {
              auto* window = new frmBrowser(settings, timeoutIntervalMs);
              windows << window;
              return window;
          })
    {
        settings.PrepareSeconds = 30;
        QObject::connect(&login, &AcctLogin::StatusChange, &login,
                         [this](const QString& status) { statuses << status; });
    }
    bool finished() const { return login.State() == eAcctLoginSuccess || login.State() == eAcctLoginFailed; }
    QList<FakeSite::Request> posts()
    {
        QList<FakeSite::Request> found;
        for (const FakeSite::Request& request : site.site().requests()) {
            if (request.method == "POST")
                found << request;
        }
        return found;
    }

    Settings settings;
    FakeBidSite site;
    QList<QPointer<frmBrowser>> windows;
    AcctLogin login;
    QStringList statuses;
};

} // namespace

class tst_AcctLogin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("AUCTIONORV_SIGNIN_URL", signInBase.toLatin1()); }

    void statusSequences_data();
    void statusSequences();
    void stateSetsItsStatusOnlyOnAChange();
    void formTurnedElsewhereOnceFilledSendsNothing();
    void timeOutEndsATestUnderWay();
    void secondTestStartsOverInANewWindow();
    void releasedTestUnloadsItsWindowAtOnce();

    void againstTheSite_data();
    void againstTheSite();
    void siteThatNeverAnswersFailsAfterTheTimeOut();
    void formPostingToAnotherHostGetsNothing_data();
    void formPostingToAnotherHostGetsNothing();
};

void tst_AcctLogin::statusSequences_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<bool>("passwordFilled");
    QTest::addColumn<int>("navigations");

    const QString bob = QStringLiteral("bob");
    QTest::newRow("signed in") << bob << QStringList{"form", "my ebay"}
                               << QStringList{loggingOut, loggingIn(bob), succeeded(bob)} << true << 1;
    QTest::newRow("wrong password") << bob << QStringList{"form", "invalid"}
                                    << QStringList{loggingOut, loggingIn(bob), failed(bob)} << true << 1;
    QTest::newRow("unexpected result") << bob << QStringList{"form", "other"}
                                       << QStringList{loggingOut, loggingIn(bob), failed(bob)} << true << 1;
    // No reload on the sign-in page: anything but the form fails at once.
    QTest::newRow("rejected user id")
        << bob << QStringList{"rejected"} << QStringList{loggingOut, failed(bob)} << false << 1;
    QTest::newRow("unavailable") << bob << QStringList{"unavailable"} << QStringList{loggingOut, failed(bob)}
                                 << false << 1;
    QTest::newRow("already signed in")
        << bob << QStringList{"my ebay"} << QStringList{loggingOut, failed(bob)} << false << 1;
    QTest::newRow("form on another host")
        << bob << QStringList{"form on another host"} << QStringList{loggingOut, failed(bob)} << false << 1;
    QTest::newRow("form posting to another host") << bob << QStringList{"form posting to another host"}
                                                  << QStringList{loggingOut, failed(bob)} << false << 1;
    QTest::newRow("marker without form")
        << bob << QStringList{"marker without form"} << QStringList{loggingOut, failed(bob)} << false << 1;
    QTest::newRow("signed out once") << bob << QStringList{"signed out", "form", "my ebay"}
                                     << QStringList{loggingOut, loggingIn(bob), succeeded(bob)} << true << 2;
    // A site that only ever answers "signed out" cannot hold the test: after a few rounds it fails.
    QStringList signedOut;
    for (int round = 0; round <= BidSender::MaxSignedOutRounds; ++round)
        signedOut << QStringLiteral("signed out");
    QTest::newRow("always signed out") << bob << signedOut << QStringList{loggingOut, failed(bob)} << false
                                       << BidSender::MaxSignedOutRounds + 1;
    QTest::newRow("empty user name") << QString() << QStringList{"form", "invalid"}
                                     << QStringList{loggingOut, QStringLiteral("Logging in user ..."),
                                                    QStringLiteral("Failed to login user .")}
                                     << true << 1;
}

void tst_AcctLogin::statusSequences()
{
    QFETCH(QString, user);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, statuses);
    QFETCH(bool, passwordFilled);
    QFETCH(int, navigations);

    ScriptedTest test;
    test.login->Login(user, QStringLiteral("s3cret&x"));
    QCOMPARE(test.browsers.windows.size(), 1);
    ScriptedBrowser* window = test.browsers.last();
    QCOMPARE(window->navigations.value(0), QUrl(signInUrl));
    for (const QString& page : pages)
        showPage(*window, page);

    QCOMPARE(test.statuses, statuses);
    QCOMPARE(test.login->Status(), statuses.constLast());
    QCOMPARE(test.login->Username, user);
    QCOMPARE(window->log.contains(QStringLiteral("set SignInForm.pass=s3cret&x")), passwordFilled);
    if (passwordFilled) {
        QCOMPARE(window->log.mid(window->log.indexOf(QStringLiteral("set SignInForm.userid=") + user)),
                 QStringList({QStringLiteral("set SignInForm.userid=") + user,
                              QStringLiteral("set SignInForm.pass=s3cret&x"),
                              QStringLiteral("set SignInForm.keepMeSignInOption=1"),
                              QStringLiteral("submit SignInForm")}));
    }
    QVERIFY(!window->log.contains(QStringLiteral("reload")));
    QCOMPARE(window->navigations.size(), navigations);
    // The test stores nothing and shows no password; its window stays loaded with the result.
    for (const QString& status : test.statuses)
        QVERIFY(!status.contains(QLatin1String("s3cret")));
    QVERIFY(!window->log.contains(QStringLiteral("quit")));
}

void tst_AcctLogin::stateSetsItsStatusOnlyOnAChange()
{
    ScriptedTest test;
    test.login->Username = QStringLiteral("ann");
    test.login->setState(eAcctLoginSuccess);
    test.login->setState(eAcctLoginSuccess);
    test.login->setState(eAcctLoginIdle);
    test.login->setStatus(QStringLiteral("same"));
    test.login->setStatus(QStringLiteral("same"));
    QCOMPARE(test.statuses, QStringList({"ann successfully logged in.", "", "same", "same"}));
}

void tst_AcctLogin::formTurnedElsewhereOnceFilledSendsNothing()
{
    ScriptedTest test;
    test.login->Login(QStringLiteral("bob"), QStringLiteral("pw"));
    ScriptedBrowser* window = test.browsers.last();
    // A script of the page turns the form to another host between the filling and the submit.
    window->afterSet = [window](const QString& form, const QString& element) {
        if (element == QLatin1String("pass"))
            window->setFormAction(form, otherHostUrl);
    };
    showPage(*window, QStringLiteral("form"));
    QTRY_COMPARE(test.login->State(), eAcctLoginFailed);
    QCOMPARE(test.statuses, QStringList({loggingOut, loggingIn("bob"), failed("bob")}));
    QVERIFY(window->log.contains(QStringLiteral("refuse SignInForm")));
    QVERIFY(!window->log.contains(QStringLiteral("submit SignInForm")));
}

void tst_AcctLogin::timeOutEndsATestUnderWay()
{
    for (const QStringList& pages : {QStringList{}, QStringList{"form"}}) {
        ScriptedTest test;
        test.login->Login(QStringLiteral("bob"), QStringLiteral("pw"));
        for (const QString& page : pages)
            showPage(*test.browsers.last(), page);
        test.browsers.last()->raiseTimedOut();
        QCOMPARE(test.login->State(), eAcctLoginFailed);
        QCOMPARE(test.statuses.constLast(), failed(QStringLiteral("bob")));
    }

    // A finished test keeps its result.
    ScriptedTest done;
    done.login->Login(QStringLiteral("bob"), QStringLiteral("pw"));
    showPage(*done.browsers.last(), QStringLiteral("form"));
    showPage(*done.browsers.last(), QStringLiteral("my ebay"));
    done.browsers.last()->raiseTimedOut();
    QCOMPARE(done.login->State(), eAcctLoginSuccess);
}

void tst_AcctLogin::secondTestStartsOverInANewWindow()
{
    ScriptedTest test;
    test.login->Login(QStringLiteral("bob"), QStringLiteral("pw"));
    const QPointer<ScriptedBrowser> first = test.browsers.last();
    // A second test while the first still asks for the sign-in page: no new status line, a new window.
    test.login->Login(QStringLiteral("bob"), QStringLiteral("pw2"));
    QCOMPARE(test.statuses, QStringList{loggingOut});
    QCOMPARE(test.browsers.windows.size(), 2);
    QVERIFY(first->log.contains(QStringLiteral("quit")));
    QTRY_VERIFY(!first);

    ScriptedBrowser* second = test.browsers.last();
    showPage(*second, QStringLiteral("form"));
    showPage(*second, QStringLiteral("invalid"));
    const QPointer<ScriptedBrowser> finished = second;
    test.login->Login(QStringLiteral("ann"), QStringLiteral("pw3"));
    QCOMPARE(test.statuses, QStringList({loggingOut, loggingIn("bob"), failed("bob"), loggingOut}));
    QCOMPARE(test.login->Password, QStringLiteral("pw3"));
    QTRY_VERIFY(!finished);
    // The old window's late pages no longer count.
    QCOMPARE(test.browsers.windows.size(), 3);
    showPage(*test.browsers.last(), QStringLiteral("form"));
    showPage(*test.browsers.last(), QStringLiteral("my ebay"));
    QCOMPARE(test.statuses.constLast(), succeeded(QStringLiteral("ann")));
}

void tst_AcctLogin::releasedTestUnloadsItsWindowAtOnce()
{
    ScriptedTest test;
    test.login->Login(QStringLiteral("bob"), QStringLiteral("pw"));
    const QPointer<ScriptedBrowser> window = test.browsers.last();
    test.login.reset();
    QVERIFY(!window);
}

void tst_AcctLogin::againstTheSite_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("signInAnswer");
    QTest::addColumn<QStringList>("statuses");

    const QString bob = QStringLiteral("bob");
    const QStringList signedIn{loggingOut, loggingIn(bob), succeeded(bob)};
    const QStringList rejectedAfterForm{loggingOut, loggingIn(bob), failed(bob)};
    const QStringList failedAtOnce{loggingOut, failed(bob)};
    QTest::newRow("signed in") << "s3cret"
                               << "" << signedIn;
    QTest::newRow("wrong password") << "guess"
                                    << "" << rejectedAfterForm;
    QTest::newRow("rejected user id") << "s3cret"
                                      << "rejected" << failedAtOnce;
    QTest::newRow("temporarily unavailable") << "s3cret"
                                             << "unavailable" << failedAtOnce;
    QTest::newRow("busy, 503") << "s3cret"
                               << "503" << failedAtOnce;
    QTest::newRow("garbage") << "s3cret"
                             << "garbage" << failedAtOnce;
    QTest::newRow("refused") << "s3cret"
                             << "drop" << failedAtOnce;
    QTest::newRow("another user's session") << "s3cret"
                                            << "other user" << failedAtOnce;
    QTest::newRow("redirected to another host") << "s3cret"
                                                << "other host" << failedAtOnce;
}

void tst_AcctLogin::againstTheSite()
{
    QFETCH(QString, password);
    QFETCH(QString, signInAnswer);
    QFETCH(QStringList, statuses);

    EngineTest test;
    QVERIFY(test.site.start());
    FakeSite& site = test.site.site();
    if (signInAnswer == QLatin1String("rejected"))
        test.site.queue(FakeBidSite::SignInPage, FakeBidSite::userIdInvalidPage());
    else if (signInAnswer == QLatin1String("unavailable"))
        test.site.queue(FakeBidSite::SignInPage, FakeBidSite::unavailablePage());
    else if (signInAnswer == QLatin1String("503"))
        test.site.queue(FakeBidSite::SignInPage, FakeSite::Response::error(503));
    else if (signInAnswer == QLatin1String("garbage"))
        test.site.queue(FakeBidSite::SignInPage, FakeSite::Response::garbage());
    else if (signInAnswer == QLatin1String("drop"))
        test.site.queue(FakeBidSite::SignInPage, FakeSite::Response::drop());
    else if (signInAnswer == QLatin1String("other user"))
        test.site.queue(FakeBidSite::SignInPage,
                        FakeBidSite::page(QStringLiteral("My eBay"),
                                          QStringLiteral("<h1>My eBay</h1><p>Hello, alice.</p>")));
    if (signInAnswer == QLatin1String("other host")) {
        // The sign-in address sends the browser to a copy of the form on another host.
        const QString copy = QStringLiteral("/copy/SignIn");
        test.site.queue(FakeBidSite::SignInPage,
                        FakeSite::Response::redirect(site.baseUrl(SiteEndpoints::Bid).toString() + copy));
        site.setHandler(SiteEndpoints::Bid, copy, [](const FakeSite::Request&) {
            return FakeBidSite::page(
                QStringLiteral("Sign In"),
                QStringLiteral("<form name=\"SignInForm\" method=\"post\" action=\"/copy/SignIn\">"
                               "<p>eBay User ID <input type=\"text\" name=\"userid\"></p>"
                               "<p>Password <input type=\"password\" name=\"pass\"></p>"
                               "<input type=\"hidden\" name=\"keepMeSignInOption\" value=\"\"></form>"));
        });
    }

    test.login.Login(QStringLiteral("bob"), password);
    QVERIFY(waitForEngine([&] { return test.finished(); }));
    QCOMPARE(test.statuses, statuses);

    // The password went to the sign-in host only, and only in the sign-in form.
    const QList<FakeSite::Request> posts = test.posts();
    QCOMPARE(posts.size(), statuses.size() == 3 ? 1 : 0);
    for (const FakeSite::Request& post : posts) {
        QCOMPARE(post.role, SiteEndpoints::SignIn);
        QCOMPARE(post.form.value(QStringLiteral("userid")), QStringLiteral("bob"));
        QCOMPARE(post.form.value(QStringLiteral("pass")), password);
        QCOMPARE(post.form.value(QStringLiteral("keepMeSignInOption")), QStringLiteral("1"));
    }
    // The window stays loaded with the result until the test is released.
    QCOMPARE(test.windows.size(), 1);
    QVERIFY(test.windows.constFirst());
}

void tst_AcctLogin::siteThatNeverAnswersFailsAfterTheTimeOut()
{
    FakeTimeSource clock;
    EngineTest test(20);
    QVERIFY(test.site.start());
    test.site.queue(FakeBidSite::SignInResult, FakeSite::Response::hang());
    test.login.Login(QStringLiteral("bob"), QStringLiteral("s3cret"));
    QVERIFY(waitForEngine([&] { return test.site.site().hangingCount() == 1; }));
    QCOMPARE(test.login.State(), eAcctLoginLoggingIn);

    clock.advanceSeconds(test.settings.PrepareSeconds + 61);
    QVERIFY(waitForEngine([&] { return test.finished(); }));
    QCOMPARE(test.statuses, QStringList({loggingOut, loggingIn("bob"), failed("bob")}));
    test.site.site().release(FakeBidSite::highBidderPage());
}

void tst_AcctLogin::formPostingToAnotherHostGetsNothing_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("samePort");
    QTest::newRow("another port") << "127.0.0.1" << false;
    QTest::newRow("another loopback host") << "127.0.0.2" << true;
}

// The sign-in host serves a sign-in form that posts to another host: the name and password go nowhere.
void tst_AcctLogin::formPostingToAnotherHostGetsNothing()
{
    QFETCH(QString, address);
    QFETCH(bool, samePort);
    EngineTest test;
    QVERIFY(test.site.start());
    FakeSite other;
    const quint16 port = samePort ? quint16(test.site.site().baseUrl(SiteEndpoints::SignIn).port()) : 0;
    QVERIFY(other.listenAt(SiteEndpoints::SignIn, QHostAddress(address), port));
    test.site.queue(
        FakeBidSite::SignInPage,
        FakeBidSite::page(QStringLiteral("Sign In"),
                          QStringLiteral("<form name=\"SignInForm\" method=\"post\" action=\"%1/collect\">"
                                         "<p>eBay User ID <input type=\"text\" name=\"userid\"></p>"
                                         "<p>Password <input type=\"password\" name=\"pass\"></p>"
                                         "<input type=\"hidden\" name=\"keepMeSignInOption\"></form>")
                              .arg(other.baseUrl(SiteEndpoints::SignIn).toString())));

    test.login.Login(QStringLiteral("bob"), QStringLiteral("s3cret"));
    QVERIFY(waitForEngine([&] { return test.finished(); }));
    QCOMPARE(test.statuses, QStringList({loggingOut, failed("bob")}));
    QCOMPARE(other.requests().size(), 0);
    QCOMPARE(test.posts().size(), 0);
}

ORV_WEBENGINE_TEST_MAIN(tst_AcctLogin)
#include "tst_AcctLogin.moc"
