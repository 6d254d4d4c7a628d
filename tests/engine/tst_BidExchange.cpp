#include "BidSender.h"
#include "BidSenders.h"
#include "DataFolder.h"
#include "FakeBidSite.h"
#include "FakeTimeSource.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "WebEngineTest.h"
#include "frmBrowser.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QTest>

namespace {

// One bid of 25.5 on auction 123 through the real browser engine against the fake site, under a locale
// that writes decimals with a comma.
struct Exchange
{
    explicit Exchange(int timeoutIntervalMs = frmBrowser::TimeoutIntervalMs)
        : senders(
              [this, timeoutIntervalMs] {
                  auto* window = new frmBrowser(settings, timeoutIntervalMs);
                  windows << window;
                  return window;
              },
              settings, [this] { ++saves; })
    {
        settings.Username = QStringLiteral("bob");
        settings.Password = QStringLiteral("s3cret");
        settings.PrepareSeconds = 30;
        auction->Item = QStringLiteral("123");
        auction->SnipeBid = 25.5;
        auction->SnipeQuantity = 1;
        auction->SnipeState = OR2BidSet;
        QObject::connect(&senders, &BidSenders::StateChanged, &senders,
                         [this](qint32 state, BidSender*) { states << BidSender::SenderState(state); });
    }

    bool started() { return site.start(); }
    bool finished() const
    {
        return !states.isEmpty() &&
               (states.last() == BidSender::Succeeded || states.last() == BidSender::Failed);
    }
    bool waitFor(BidSender::SenderState state)
    {
        return waitForEngine([&] { return states.contains(state) || finished(); }) && states.contains(state);
    }
    bool waitUntilFinished()
    {
        return waitForEngine([&] { return finished(); });
    }
    bool windowsClosed()
    {
        return waitForEngine([&] {
            return std::all_of(windows.cbegin(), windows.cend(), [](const auto& w) { return w.isNull(); });
        });
    }
    QString pageFile() const
    {
        QFile file(QDir(DataFolder::sentSnipesFolder()).filePath(QStringLiteral("123.html")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    qsizetype count(FakeBidSite::Step step) const { return site.requests(step).size(); }

    TestDataFolder data;
    Settings settings;
    FakeBidSite site;
    QList<QPointer<frmBrowser>> windows;
    int saves = 0;
    BidSenders senders;
    AuctionPtr auction = AuctionPtr::create();
    QList<BidSender::SenderState> states;
};

} // namespace

class tst_BidExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }
    void outcomes_data();
    void outcomes();
    void sendBeforeReviewSubmitsOnArrival_data();
    void sendBeforeReviewSubmitsOnArrival();
    void cancelWhileHolding();
    void siteThatStopsAnsweringTimesOut();
    void noFalseWin_data();
    void noFalseWin();
    void passwordGoesOnlyToTheSignInHost();
    void signInFormPostingToAnotherHostGetsNothing_data();
    void signInFormPostingToAnotherHostGetsNothing();
    void refreshingForeignPageEndsByItsDeadline();
};

void tst_BidExchange::outcomes_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<AucSnipeStates>("snipeState");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("keptPage");
    QTest::addColumn<QList<int>>("requests"); // sign-in pages, sign-ins, bid pages, bid submits

    const QString noConnection = QStringLiteral("Could not connect to the internet.");
    QTest::newRow("wins") << "wins" << OR2BidSuccess << "Bid successfully sent and confirmed."
                          << "You are the current high bidder" << QList<int>{1, 1, 1, 1};
    QTest::newRow("outbid") << "outbid" << OR2BidFailed << "Another bidder had a higher bid in reserve."
                            << "You have been outbid" << QList<int>{1, 1, 1, 1};
    QTest::newRow("reserve not met") << "reserve" << OR2BidFailed
                                     << "The reserve for this auction was not met."
                                     << "reserve price has not been met" << QList<int>{1, 1, 1, 1};
    QTest::newRow("auction ended") << "ended" << OR2BidFailed << "Auction ended before bid was received."
                                   << "Auction ended" << QList<int>{1, 1, 1, 0};
    QTest::newRow("bid too low") << "low" << OR2BidFailed << "Bid was not high enough."
                                 << "Your bid must be at least" << QList<int>{1, 1, 1, 0};
    QTest::newRow("signed out first")
        << "signed out" << OR2BidSuccess << "Bid successfully sent and confirmed."
        << "You are the current high bidder" << QList<int>{2, 1, 1, 1};
    QTest::newRow("user id rejected") << "rejected" << OR2BidFailed << "Login information rejected."
                                      << "User ID is not valid" << QList<int>{1, 0, 0, 0};
    QTest::newRow("bid correction") << "correction" << OR2BidFailed
                                    << "eBay requested unknown bid correction."
                                    << "The following must be corrected" << QList<int>{1, 1, 1, 0};
    QTest::newRow("wrong password") << "password" << OR2BidFailed << "Signin Information Incorrect"
                                    << "Your sign in information is not valid" << QList<int>{1, 1, 0, 0};
    QTest::newRow("site unreachable twice, then up")
        << "unreachable twice" << OR2BidSuccess << "Bid successfully sent and confirmed."
        << "You are the current high bidder" << QList<int>{3, 1, 1, 1};
    QTest::newRow("site unreachable three times") << "unreachable thrice" << OR2BidFailed << noConnection
                                                  << frmBrowser::UnavailableText << QList<int>{3, 0, 0, 0};
    QTest::newRow("bid page unavailable three times")
        << "unavailable thrice" << OR2BidFailed << noConnection << frmBrowser::UnavailableText
        << QList<int>{1, 1, 3, 0};
    QTest::newRow("sign-in page busy (503), then up")
        << "sign-in busy" << OR2BidSuccess << "Bid successfully sent and confirmed."
        << "You are the current high bidder" << QList<int>{2, 1, 1, 1};
    QTest::newRow("bid page busy (503) twice, then up")
        << "bid page busy twice" << OR2BidSuccess << "Bid successfully sent and confirmed."
        << "You are the current high bidder" << QList<int>{1, 1, 3, 1};
    QTest::newRow("bid page busy (503) three times") << "bid page busy thrice" << OR2BidFailed << noConnection
                                                     << "Come back in a minute" << QList<int>{1, 1, 3, 0};
}

void tst_BidExchange::outcomes()
{
    QFETCH(QString, scenario);
    QFETCH(AucSnipeStates, snipeState);
    QFETCH(QString, comment);
    QFETCH(QString, keptPage);
    QFETCH(QList<int>, requests);

    Exchange x;
    QVERIFY(x.started());
    if (scenario == QLatin1String("outbid"))
        x.site.setConfirmation(FakeBidSite::outbidPage());
    else if (scenario == QLatin1String("reserve"))
        x.site.setConfirmation(FakeBidSite::reserveNotMetPage());
    else if (scenario == QLatin1String("ended"))
        x.site.queue(FakeBidSite::BidPage, FakeBidSite::auctionEndedPage());
    else if (scenario == QLatin1String("low"))
        x.site.queue(FakeBidSite::BidPage, FakeBidSite::bidTooLowPage());
    else if (scenario == QLatin1String("signed out"))
        x.site.queue(FakeBidSite::SignInPage, FakeBidSite::signedOutPage());
    else if (scenario == QLatin1String("rejected"))
        x.site.queue(FakeBidSite::SignInPage, FakeBidSite::userIdInvalidPage());
    else if (scenario == QLatin1String("correction"))
        x.site.queue(FakeBidSite::BidPage, FakeBidSite::correctionPage());
    else if (scenario == QLatin1String("password"))
        x.settings.Password = QStringLiteral("wrong");
    FakeSite::Response busy =
        FakeBidSite::page(QStringLiteral("Busy"), QStringLiteral("<p>Come back in a minute</p>"));
    busy.status = 503;
    if (scenario == QLatin1String("sign-in busy"))
        x.site.queue(FakeBidSite::SignInPage, busy);
    for (int i = 0; i < 3; ++i) {
        if (scenario == QLatin1String("bid page busy thrice") ||
            (scenario == QLatin1String("bid page busy twice") && i < 2))
            x.site.queue(FakeBidSite::BidPage, busy);
        if (scenario == QLatin1String("unreachable thrice") ||
            (scenario == QLatin1String("unreachable twice") && i < 2))
            x.site.queue(FakeBidSite::SignInPage, FakeSite::Response::drop());
        if (scenario == QLatin1String("unavailable thrice"))
            x.site.queue(FakeBidSite::BidPage, FakeBidSite::unavailablePage());
    }

    x.senders.Prepare(x.auction, false);
    if (x.waitFor(BidSender::Holding)) {
        QCOMPARE(x.auction->SnipeState, OR2BidPrepared);
        BidSender* sender = x.senders.Item(QStringLiteral("123"));
        sender->Send();
        // Asking again while the answer is awaited sends nothing more.
        sender->Send();
        x.senders.Send(x.auction);
        QCOMPARE(x.auction->SnipeState, OR2BidSending);
    }
    QVERIFY(x.waitUntilFinished());

    QCOMPARE(x.auction->SnipeState, snipeState);
    QCOMPARE(x.auction->SysComments, comment);
    QVERIFY2(x.pageFile().contains(keptPage), qPrintable(x.pageFile()));
    QVERIFY(x.pageFile().startsWith(QLatin1String("<TITLE>")) &&
            x.pageFile().endsWith(QLatin1String("</BODY>\r\n")));
    QCOMPARE(x.saves, 1);
    QCOMPARE(x.senders.Count(), 0);
    QCOMPARE(QList<qsizetype>({x.count(FakeBidSite::SignInPage), x.count(FakeBidSite::SignInResult),
                               x.count(FakeBidSite::BidPage), x.count(FakeBidSite::Confirmation)}),
             QList<qsizetype>(requests.cbegin(), requests.cend()));

    if (x.count(FakeBidSite::SignInResult) > 0) {
        const FakeSite::Request signIn = x.site.requests(FakeBidSite::SignInResult).first();
        QCOMPARE(signIn.form.value(QStringLiteral("userid")), QStringLiteral("bob"));
        QCOMPARE(signIn.form.value(QStringLiteral("pass")), x.settings.Password);
        QCOMPARE(signIn.form.value(QStringLiteral("keepMeSignInOption")), QStringLiteral("1"));
    }
    if (x.count(FakeBidSite::BidPage) > 0) {
        const FakeSite::Request bidPage = x.site.requests(FakeBidSite::BidPage).first();
        QCOMPARE(
            bidPage.target,
            QStringLiteral("/ws/eBayISAPI.dll?MfcISAPICommand=MakeBid&item=123&fb=1&maxbid=25.5&quant=1"));
    }
    if (x.count(FakeBidSite::Confirmation) > 0) {
        const FakeSite::Request submit = x.site.requests(FakeBidSite::Confirmation).first();
        QCOMPARE(submit.form.value(QStringLiteral("MfcISAPICommand")), QStringLiteral("AcceptBid"));
        QCOMPARE(submit.form.value(QStringLiteral("item")), QStringLiteral("123"));
        QCOMPARE(submit.form.value(QStringLiteral("maxbid")), QStringLiteral("25.5"));
        QCOMPARE(submit.form.value(QStringLiteral("quant")), QStringLiteral("1"));
        QVERIFY(submit.receivedMs >= x.site.requests(FakeBidSite::BidPage).last().receivedMs);
    }
    QVERIFY(x.windowsClosed());
}

void tst_BidExchange::sendBeforeReviewSubmitsOnArrival_data()
{
    QTest::addColumn<BidSender::SenderState>("sendAt"); // Idle: no attempt yet, BidSenders.Send starts one
    QTest::newRow("no attempt yet") << BidSender::Idle;
    QTest::newRow("while signing in") << BidSender::SignInSubmitted;
    QTest::newRow("while the bid page loads") << BidSender::BidPageRequested;
}

void tst_BidExchange::sendBeforeReviewSubmitsOnArrival()
{
    QFETCH(BidSender::SenderState, sendAt);
    Exchange x;
    QVERIFY(x.started());
    if (sendAt == BidSender::Idle) {
        x.senders.Send(x.auction);
    } else {
        QObject::connect(&x.senders, &BidSenders::StateChanged, &x.senders,
                         [&](qint32 state, BidSender* sender) {
                             if (state == sendAt)
                                 sender->Send();
                         });
        x.senders.Prepare(x.auction, false);
    }
    QVERIFY(x.waitUntilFinished());
    QCOMPARE(x.states, QList<BidSender::SenderState>({BidSender::SignInRequested, BidSender::SignInSubmitted,
                                                      BidSender::BidPageRequested, BidSender::Holding,
                                                      BidSender::BidSubmitted, BidSender::Succeeded}));
    QCOMPARE(x.auction->SnipeState, OR2BidSuccess);
    QCOMPARE(x.count(FakeBidSite::Confirmation), 1);
}

void tst_BidExchange::cancelWhileHolding()
{
    Exchange x;
    QVERIFY(x.started());
    x.senders.Prepare(x.auction, false);
    QVERIFY(x.waitFor(BidSender::Holding));
    x.senders.Cancel();
    QCOMPARE(x.auction->SnipeState, OR2BidFailed);
    QCOMPARE(x.auction->SysComments, QStringLiteral("Bid cancelled by user."));
    QVERIFY(x.pageFile().contains(QLatin1String("Review and Confirm Bid")));
    QVERIFY(x.windowsClosed());
    QCOMPARE(x.count(FakeBidSite::Confirmation), 0);
}

void tst_BidExchange::siteThatStopsAnsweringTimesOut()
{
    FakeTimeSource clock;
    Exchange x(20);
    QVERIFY(x.started());
    x.site.queue(FakeBidSite::BidPage, FakeSite::Response::hang());
    x.senders.Prepare(x.auction, false);
    QVERIFY(waitForEngine([&] { return x.site.site().hangingCount() == 1; }));
    QVERIFY(!x.finished());
    clock.advanceSeconds(x.settings.PrepareSeconds + 61);
    QVERIFY(x.waitUntilFinished());
    QCOMPARE(x.auction->SnipeState, OR2BidFailed);
    QCOMPARE(x.auction->SysComments, QStringLiteral("Connection to eBay timed out."));
    QVERIFY(x.pageFile().contains(QLatin1String("My eBay")));
    QVERIFY(x.windowsClosed());
    x.site.site().release(FakeBidSite::auctionEndedPage());
}

void tst_BidExchange::noFalseWin_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<AucSnipeStates>("snipeState");
    QTest::addColumn<QString>("comment");

    const QString win = QStringLiteral("You are the current high bidder");
    const QString unexpected = QStringLiteral("Unexpected Response Confirming Bid.");
    const QString outbid = QStringLiteral("Another bidder had a higher bid in reserve.");
    QTest::newRow("win marker shown")
        << "<h1>" + win + "</h1>" << OR2BidSuccess << "Bid successfully sent and confirmed.";
    QTest::newRow("in a comment") << "<h1>Bid received</h1><!-- " + win + " -->" << OR2BidFailed
                                  << unexpected;
    QTest::newRow("in a script") << "<script>var note = '" + win + "';</script><h1>Bid received</h1>"
                                 << OR2BidFailed << unexpected;
    QTest::newRow("in an attribute") << "<h1 title=\"" + win + "\">Bid received</h1>" << OR2BidFailed
                                     << unexpected;
    QTest::newRow("in a noscript block")
        << "<noscript>" + win + "</noscript><h1>Bid received</h1>" << OR2BidFailed << unexpected;
    QTest::newRow("in a hidden block")
        << "<div style=\"display:none\">" + win + "</div><h1>Bid received</h1>" << OR2BidFailed << unexpected;
    QTest::newRow("outbid page hiding the win marker")
        << "<!-- " + win + " --><h1>You have been outbid</h1>" << OR2BidFailed << outbid;
    QTest::newRow("both markers shown")
        << "<p>" + win + "</p><p>You have been outbid</p>" << OR2BidFailed << outbid;
}

// The confirmation is judged by what a reader of the page sees; the page kept is the site's HTML.
void tst_BidExchange::noFalseWin()
{
    QFETCH(QString, body);
    QFETCH(AucSnipeStates, snipeState);
    QFETCH(QString, comment);
    Exchange x;
    QVERIFY(x.started());
    x.site.setConfirmation(FakeBidSite::page(QStringLiteral("Bid Confirmation"), body));
    x.senders.Send(x.auction);
    QVERIFY(x.waitUntilFinished());
    QCOMPARE(x.count(FakeBidSite::Confirmation), 1);
    QCOMPARE(x.auction->SnipeState, snipeState);
    QCOMPARE(x.auction->SysComments, comment);
    QVERIFY2(x.pageFile().contains(QLatin1String("You are the current high bidder")),
             qPrintable(x.pageFile()));
}

// A sign-in page redirected to another host is never filled in: no request to either host carries the
// password.
void tst_BidExchange::passwordGoesOnlyToTheSignInHost()
{
    Exchange x;
    QVERIFY(x.started());
    FakeSite foreign;
    QVERIFY(foreign.listen({SiteEndpoints::SignIn}));
    foreign.setDefaultHandler(SiteEndpoints::SignIn, [](const FakeSite::Request&) {
        return FakeBidSite::page(
            QStringLiteral("Sign In"),
            QStringLiteral("<form name=\"SignInForm\" method=\"post\" action=\"/collect\">"
                           "<p>eBay User ID <input type=\"text\" name=\"userid\"></p>"
                           "<p>Password <input type=\"password\" name=\"pass\"></p>"
                           "<input type=\"hidden\" name=\"keepMeSignInOption\" value=\"\"></form>"));
    });
    x.site.queue(FakeBidSite::SignInPage,
                 FakeSite::Response::redirect(foreign.baseUrl(SiteEndpoints::SignIn).toString() +
                                              QStringLiteral("/ws/eBayISAPI.dll?SignIn")));
    x.senders.Prepare(x.auction, false);
    QVERIFY(x.waitUntilFinished());

    QCOMPARE(x.auction->SnipeState, OR2BidFailed);
    QCOMPARE(x.auction->SysComments, QStringLiteral("Unexpected Response Accessing Signin Page."));
    QCOMPARE(foreign.requests().size(), 1); // the redirect was followed, and nothing was posted there
    const QByteArray password = x.settings.Password.toUtf8();
    for (const FakeSite::Request& request : x.site.site().requests() + foreign.requests()) {
        QByteArray seen = request.target.toUtf8() + request.body;
        for (const QByteArray& value : request.headers)
            seen += value;
        QVERIFY2(!seen.contains(password), qPrintable(request.target));
    }
    QCOMPARE(x.count(FakeBidSite::SignInResult), 0);
    QVERIFY(x.windowsClosed());
}

void tst_BidExchange::signInFormPostingToAnotherHostGetsNothing_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("samePort");
    QTest::addColumn<QString>("form"); // %1: the other host's base address
    const QString fields = QStringLiteral("<p>eBay User ID <input type=\"text\" name=\"userid\"></p>"
                                          "<p>Password <input type=\"password\" name=\"pass\"></p>"
                                          "<input type=\"hidden\" name=\"keepMeSignInOption\"></form>");
    const QString postingThere =
        QStringLiteral("<form name=\"SignInForm\" method=\"post\" action=\"%1/collect\">") + fields;
    QTest::newRow("another port") << "127.0.0.1" << false << postingThere;
    QTest::newRow("another loopback host") << "127.0.0.2" << true << postingThere;
    QTest::newRow("a base address on another port")
        << "127.0.0.1" << false
        << QStringLiteral(
               "<base href=\"%1/\"><form name=\"SignInForm\" method=\"post\" action=\"collect\">") +
               fields;
}

// The sign-in host serves a sign-in form that posts to another host: nothing is filled in or posted.
void tst_BidExchange::signInFormPostingToAnotherHostGetsNothing()
{
    QFETCH(QString, address);
    QFETCH(bool, samePort);
    QFETCH(QString, form);
    Exchange x;
    QVERIFY(x.started());
    FakeSite other;
    const quint16 port = samePort ? quint16(x.site.site().baseUrl(SiteEndpoints::SignIn).port()) : 0;
    QVERIFY(other.listenAt(SiteEndpoints::SignIn, QHostAddress(address), port));
    x.site.queue(FakeBidSite::SignInPage,
                 FakeBidSite::page(QStringLiteral("Sign In"),
                                   form.arg(other.baseUrl(SiteEndpoints::SignIn).toString())));
    x.senders.Prepare(x.auction, false);
    QVERIFY(x.waitUntilFinished());

    QCOMPARE(x.auction->SnipeState, OR2BidFailed);
    QCOMPARE(x.auction->SysComments, QStringLiteral("Unexpected Response Accessing Signin Page."));
    QCOMPARE(other.requests().size(), 0);
    QCOMPARE(x.count(FakeBidSite::SignInResult), 0);
    QCOMPARE(x.count(FakeBidSite::BidPage), 0);
    QVERIFY(x.windowsClosed());
}

// The bid page sends the window to another host whose page reloads itself every fifth of a second: the
// window is never silent, and that page never counts as the bid page, so only the step's deadline ends it.
void tst_BidExchange::refreshingForeignPageEndsByItsDeadline()
{
    Exchange x;
    QVERIFY(x.started());
    x.senders.setStepDeadline(5000);
    FakeSite foreign;
    QVERIFY(foreign.listen({SiteEndpoints::Bid}));
    foreign.setDefaultHandler(SiteEndpoints::Bid, [](const FakeSite::Request&) {
        return FakeSite::Response::page("<html><head><title>Please wait</title>"
                                        "<meta http-equiv=\"refresh\" content=\"0.2\"></head>"
                                        "<body><p>Review and Confirm Bid</p></body></html>");
    });
    x.site.queue(FakeBidSite::BidPage,
                 FakeSite::Response::redirect(foreign.baseUrl(SiteEndpoints::Bid).toString() +
                                              QStringLiteral("/wait")));
    x.senders.Prepare(x.auction, false);
    QVERIFY(x.waitUntilFinished());

    QCOMPARE(x.auction->SnipeState, OR2BidFailed);
    QCOMPARE(x.auction->SysComments, QStringLiteral("Connection to eBay timed out."));
    QVERIFY2(foreign.requests().size() > 3, qPrintable(QString::number(foreign.requests().size())));
    QCOMPARE(x.count(FakeBidSite::Confirmation), 0);
    QVERIFY(x.windowsClosed());
}

ORV_WEBENGINE_TEST_MAIN(tst_BidExchange)
#include "tst_BidExchange.moc"
