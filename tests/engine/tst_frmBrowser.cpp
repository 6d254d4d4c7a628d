#include "FakeSite.h"
#include "FakeTimeSource.h"
#include "OrvError.h"
#include "Settings.h"
#include "WebEngineTest.h"
#include "frmBrowser.h"

#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

constexpr int loadTimeoutMs = 15000;
const FakeSite::Role host = SiteEndpoints::SignIn;

// Answers every request with an HTML page that never ends: 256 KB every 10 ms, until the reader goes.
class EndlessPageServer : public QTcpServer
{
public:
    EndlessPageServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                serve(socket);
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/endless").arg(serverPort())); }

    qint64 written = 0;
    bool readerGone = false;

private:
    void serve(QTcpSocket* socket)
    {
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            if (!socket->readAll().contains("\r\n\r\n") || socket->property("answering").toBool())
                return;
            socket->setProperty("answering", true);
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"
                          "<html><head><title>Endless</title></head><body><p>");
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [this, socket] {
                // Only as fast as it is read: the sender's memory is not what is measured.
                if (socket->bytesToWrite() > 1024 * 1024)
                    return;
                const QByteArray chunk(256 * 1024, 'x');
                written += socket->write(chunk);
            });
            timer->start(10);
        });
        connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            readerGone = true;
            socket->deleteLater();
        });
    }
};

} // namespace

// The hidden browser window on the real engine against the loopback site.
class tst_frmBrowser : public QObject
{
    Q_OBJECT

private:
    QUrl at(const QString& target) const { return QUrl(m_site->baseUrl(host).toString() + target); }
    // Navigates and waits for the one DocumentComplete of the page.
    static bool load(frmBrowser& window, QSignalSpy& completed, const QUrl& url,
                     int timeoutMs = loadTimeoutMs)
    {
        const qsizetype before = completed.count();
        window.Navigate(url);
        return completed.wait(timeoutMs) && completed.count() == before + 1;
    }

    Settings m_settings;
    std::unique_ptr<FakeSite> m_site;

private Q_SLOTS:
    void init();
    void readsEachDocumentOnce();
    void fillsAndSubmitsForms();
    void missingFormsAreErrors();
    void submitsOnlyToTheGivenHost_data();
    void submitsOnlyToTheGivenHost();
    void loadWithoutAnswerShowsUnavailablePage_data();
    void loadWithoutAnswerShowsUnavailablePage();
    void errorStatusPageIsRead();
    void readsTheTextAReaderSees();
    void oversizedPagesAreCutOff_data();
    void oversizedPagesAreCutOff();
    void eachWindowKeepsItsOwnCookies();
    void timesOutAfterSilence_data();
    void timesOutAfterSilence();
    void quitClosesWithoutTimeOut();
    void windowsGoBeforeTheEngineAtExit();
};

void tst_frmBrowser::init()
{
    m_settings.PrepareSeconds = 60;
    m_site = std::make_unique<FakeSite>();
    QVERIFY(m_site->listen({host}));
    m_site->setHandler(host, QStringLiteral("/page"), [](const FakeSite::Request&) {
        return FakeSite::Response::page(
            "<html><head><title>The Title</title></head><body><p>Hello <b>there</b></p>"
            "<iframe src=\"/frame\"></iframe>"
            "<form name=\"Login\" id=\"loginForm\" method=\"post\" action=\"/post\"><input name=\"user\">"
            "<input type=\"hidden\" name=\"keep\" value=\"0\"><input id=\"code\"></form></body></html>");
    });
    m_site->setHandler(host, QStringLiteral("/frame"), [](const FakeSite::Request&) {
        return FakeSite::Response::page("<html><body>inner frame</body></html>");
    });
}

void tst_frmBrowser::readsEachDocumentOnce()
{
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    QVERIFY(window.Document().title.isEmpty());
    QVERIFY(load(window, completed, at(QStringLiteral("/page"))));
    QCOMPARE(window.Document().title, QStringLiteral("The Title"));
    QVERIFY(window.Document().body.startsWith(QLatin1String("<p>Hello <b>there</b></p><iframe")));
    // Forms by name and by id, elements by name and by id.
    const QStringList elements{QStringLiteral("user"), QStringLiteral("keep"), QStringLiteral("code")};
    QCOMPARE(window.Document().forms.value(QStringLiteral("Login")), elements);
    QCOMPARE(window.Document().forms.value(QStringLiteral("loginForm")), elements);
    QCOMPARE(window.Document().actions.value(QStringLiteral("Login")),
             at(QStringLiteral("/post")).toString());
    QCOMPARE(window.LocationURL(), at(QStringLiteral("/page")).toString());
    QVERIFY(waitForEngine([&] { return m_site->requests(host).size() == 2; })); // the page and its frame

    // A reload reads the page again, from the site rather than a cache.
    window.RefreshBrowser();
    QVERIFY(completed.wait(loadTimeoutMs));
    QCOMPARE(completed.count(), 2);
    QVERIFY(waitForEngine([&] { return m_site->requests(host).size() == 4; }));
    QCOMPARE(m_site->requests(host).at(2).target, QStringLiteral("/page"));

    // about:blank raises nothing, by the time another window has loaded a whole page.
    window.Navigate(QUrl(QStringLiteral("about:blank")));
    QVERIFY(waitForEngine([&] { return window.LocationURL() == QLatin1String("about:blank"); }));
    frmBrowser other(m_settings);
    QSignalSpy otherCompleted(&other, &BrowserWindow::DocumentComplete);
    QVERIFY(load(other, otherCompleted, at(QStringLiteral("/frame"))));
    QCOMPARE(completed.count(), 2);
}

void tst_frmBrowser::fillsAndSubmitsForms()
{
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    m_site->setHandler(host, QStringLiteral("/post"), [](const FakeSite::Request&) {
        return FakeSite::Response::page("<html><title>Posted</title><body>thanks</body></html>");
    });
    QVERIFY(load(window, completed, at(QStringLiteral("/page"))));
    const QString awkward = QStringLiteral("a&b=c \"q\" 'x' \\ </script> \u00e9\u20ac");
    window.SetFormValue(QStringLiteral("Login"), QStringLiteral("user"), awkward);
    window.SetFormValue(QStringLiteral("Login"), QStringLiteral("keep"), QStringLiteral("1"));
    window.SubmitForm(QStringLiteral("Login"));
    QVERIFY(completed.wait(loadTimeoutMs));
    QCOMPARE(window.Document().title, QStringLiteral("Posted"));

    const FakeSite::Request posted = m_site->requests(host).last();
    QCOMPARE(posted.method, QByteArray("POST"));
    QCOMPARE(posted.path, QStringLiteral("/post"));
    QCOMPARE(posted.form.value(QStringLiteral("user")), awkward);
    QCOMPARE(posted.form.value(QStringLiteral("keep")), QStringLiteral("1"));
}

void tst_frmBrowser::missingFormsAreErrors()
{
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    QVERIFY_THROWS_EXCEPTION(OrvError, window.RefreshBrowser()); // not loaded yet
    QVERIFY(load(window, completed, at(QStringLiteral("/page"))));
    QVERIFY_THROWS_EXCEPTION(OrvError, window.SubmitForm(QStringLiteral("PlaceBid")));
    QVERIFY_THROWS_EXCEPTION(OrvError,
                             window.SetFormValue(QStringLiteral("PlaceBid"), QStringLiteral("user"), {}));
    QVERIFY_THROWS_EXCEPTION(
        OrvError, window.SetFormValue(QStringLiteral("Login"), QStringLiteral("pass"), QStringLiteral("x")));
}

void tst_frmBrowser::submitsOnlyToTheGivenHost_data()
{
    QTest::addColumn<QString>("form"); // %1 stands for the other host's base address
    QTest::addColumn<bool>("posted");
    const QString fields =
        QStringLiteral("<input name=\"user\"><input type=\"hidden\" name=\"keep\" value=\"0\">");
    QTest::newRow("a path on the host")
        << QStringLiteral("<form name=\"Login\" method=\"post\" action=\"/post\">") + fields + "</form>"
        << true;
    QTest::newRow("an element named action hides nothing")
        << QStringLiteral("<form name=\"Login\" method=\"post\" action=\"/post\"><input name=\"action\" "
                          "value=\"%1/collect\">") +
               fields + "</form>"
        << true;
    QTest::newRow("another port") << QStringLiteral(
                                         "<form name=\"Login\" method=\"post\" action=\"%1/collect\">") +
                                         fields + "</form>"
                                  << false;
    QTest::newRow("a base address on another port")
        << QStringLiteral("<base href=\"%1/\"><form name=\"Login\" method=\"post\" action=\"collect\">") +
               fields + "</form>"
        << false;
    QTest::newRow("turned to another port by a script")
        << QStringLiteral("<form name=\"Login\" method=\"post\" action=\"/post\">") + fields +
               "</form><script>document.forms.Login.setAttribute('action', '%1/collect');</script>"
        << false;
    // The engine fixes the address before the page hears of the submit: its change comes too late.
    QTest::newRow("turned to another port as it is submitted")
        << QStringLiteral("<form name=\"Login\" method=\"post\" action=\"/post\">") + fields +
               "</form><script>document.forms.Login.addEventListener('formdata', function () {"
               " this.setAttribute('action', '%1/collect'); });</script>"
        << true;
}

// A form goes where it was allowed to go or nowhere; whatever the page or its scripts make of it, the
// other host hears nothing.
void tst_frmBrowser::submitsOnlyToTheGivenHost()
{
    QFETCH(QString, form);
    QFETCH(bool, posted);
    FakeSite other;
    QVERIFY(other.listen({SiteEndpoints::Bid}));
    const QString page = QStringLiteral("<html><head><title>Form</title></head><body>") +
                         form.arg(other.baseUrl(SiteEndpoints::Bid).toString()) +
                         QStringLiteral("</body></html>");
    m_site->setHandler(host, QStringLiteral("/form"),
                       [page](const FakeSite::Request&) { return FakeSite::Response::page(page.toUtf8()); });
    m_site->setHandler(host, QStringLiteral("/post"), [](const FakeSite::Request&) {
        return FakeSite::Response::page("<html><title>Posted</title><body>thanks</body></html>");
    });
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    QSignalSpy refused(&window, &BrowserWindow::SubmitRefused);
    QVERIFY(load(window, completed, at(QStringLiteral("/form"))));
    window.SetFormValue(QStringLiteral("Login"), QStringLiteral("user"), QStringLiteral("s3cret"));
    window.SubmitFormTo(QStringLiteral("Login"), m_site->baseUrl(host));
    if (posted) {
        QVERIFY(completed.wait(loadTimeoutMs));
        QCOMPARE(window.Document().title, QStringLiteral("Posted"));
        QCOMPARE(m_site->requests(host).last().form.value(QStringLiteral("user")), QStringLiteral("s3cret"));
        QCOMPARE(refused.count(), 0);
    } else {
        QVERIFY(refused.wait(loadTimeoutMs));
        QCOMPARE(refused.takeFirst().value(0).toString(), QStringLiteral("Login"));
        // Nothing follows: no page is loaded instead.
        QVERIFY(!completed.wait(500));
        QCOMPARE(m_site->requests(host).size(), 1);
    }
    QCOMPARE(other.requests().size(), 0);
}

void tst_frmBrowser::loadWithoutAnswerShowsUnavailablePage_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("connection dropped") << "drop";
    QTest::newRow("no HTTP answer") << "garbage";
    QTest::newRow("connection refused") << "refused";
}

void tst_frmBrowser::loadWithoutAnswerShowsUnavailablePage()
{
    QFETCH(QString, failure);
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    QVERIFY(load(window, completed, at(QStringLiteral("/page"))));

    QUrl failing = at(QStringLiteral("/down"));
    bool up = false;
    if (failure == QLatin1String("refused")) {
        QTcpServer closed; // a port that was just free, closed again
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        failing = QUrl(QStringLiteral("http://127.0.0.1:%1/down").arg(closed.serverPort()));
    } else {
        // The engine retries a request once on its own when a reused connection fails: fail every try.
        m_site->setHandler(host, QStringLiteral("/down"), [failure, &up](const FakeSite::Request&) {
            if (up)
                return FakeSite::Response::page("<html><title>Up</title><body>back</body></html>");
            return failure == QLatin1String("drop") ? FakeSite::Response::drop()
                                                    : FakeSite::Response::garbage();
        });
    }
    QVERIFY(load(window, completed, failing));
    QVERIFY(window.Document().body.contains(frmBrowser::UnavailableText));
    QVERIFY(window.Document().title.isEmpty());
    QVERIFY(window.Document().forms.isEmpty());
    QCOMPARE(window.LocationURL(), failing.toString());
    if (failure == QLatin1String("refused"))
        return;
    // A reload asks the failed address again, not the page shown before it.
    up = true;
    window.RefreshBrowser();
    QVERIFY(completed.wait(loadTimeoutMs));
    QCOMPARE(window.Document().title, QStringLiteral("Up"));
    QCOMPARE(m_site->requests(host).last().target, QStringLiteral("/down"));
}

void tst_frmBrowser::errorStatusPageIsRead()
{
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    m_site->setHandler(host, QStringLiteral("/busy"), [](const FakeSite::Request&) {
        return FakeSite::Response::page("<html><title>Busy</title><body>try later</body></html>", 503);
    });
    QVERIFY(load(window, completed, at(QStringLiteral("/busy"))));
    QCOMPARE(window.Document().title, QStringLiteral("Busy"));
    QCOMPARE(window.Document().body, QStringLiteral("try later"));
    QCOMPARE(window.Document().httpStatus, 503);
    QVERIFY(load(window, completed, at(QStringLiteral("/page"))));
    QCOMPARE(window.Document().httpStatus, 200);
}

void tst_frmBrowser::readsTheTextAReaderSees()
{
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    const QByteArray body =
        "<p>Shown <b>here</b></p><!-- in a comment --><script>var s = 'in a script';</script>"
        "<noscript>in noscript</noscript><div title=\"in an attribute\"></div>"
        "<div style=\"display:none\">in a hidden block</div>";
    m_site->setHandler(host, QStringLiteral("/hidden"), [body](const FakeSite::Request&) {
        return FakeSite::Response::page("<html><head><title>Seen</title></head><body>" + body +
                                        "</body></html>");
    });
    QVERIFY(load(window, completed, at(QStringLiteral("/hidden"))));
    const QString text = window.Document().text;
    QVERIFY2(text.startsWith(QLatin1String("Seen\nShown here")), qPrintable(text));
    QVERIFY2(!text.contains(QLatin1String(" in ")), qPrintable(text));
    // The page itself is kept as it came.
    QCOMPARE(window.Document().body, QString::fromUtf8(body));
}

void tst_frmBrowser::oversizedPagesAreCutOff_data()
{
    QTest::addColumn<bool>("endless");
    QTest::newRow("9 MB page") << false;
    QTest::newRow("answer that never ends") << true;
}

void tst_frmBrowser::oversizedPagesAreCutOff()
{
    QFETCH(bool, endless);
    EndlessPageServer endlessServer;
    m_site->setHandler(host, QStringLiteral("/huge"), [](const FakeSite::Request&) {
        return FakeSite::Response::page("<html><body><p>" + QByteArray(9 * 1024 * 1024, 'x') +
                                        "</p></body></html>");
    });
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    QVERIFY(load(window, completed, at(QStringLiteral("/page"))));
    // The engine takes seconds to parse 9 MB, more on a busy machine.
    QVERIFY(load(window, completed, endless ? endlessServer.url() : at(QStringLiteral("/huge")), 60000));
    QVERIFY(window.Document().oversized);
    QVERIFY(window.Document().body.isEmpty() && window.Document().text.isEmpty());
    QVERIFY(window.Document().forms.isEmpty());
    if (endless) {
        // The load was stopped: the answer is no longer read.
        QVERIFY(waitForEngine([&] { return endlessServer.readerGone; }));
        QVERIFY2(endlessServer.written < 64 * 1024 * 1024,
                 qPrintable(QString::number(endlessServer.written)));
    }
    // Nothing of the cut-off load completes later; the next page reads as usual.
    QVERIFY(load(window, completed, at(QStringLiteral("/page"))));
    QVERIFY(!window.Document().oversized);
    QCOMPARE(window.Document().title, QStringLiteral("The Title"));
}

void tst_frmBrowser::eachWindowKeepsItsOwnCookies()
{
    m_site->setHandler(host, QStringLiteral("/login"), [](const FakeSite::Request& request) {
        const QByteArray user = request.query.queryItemValue(QStringLiteral("u")).toUtf8();
        return FakeSite::Response::page("<html><body>in</body></html>")
            .withCookie("session=" + user + "; Path=/");
    });
    frmBrowser first(m_settings);
    frmBrowser second(m_settings);
    QSignalSpy firstCompleted(&first, &BrowserWindow::DocumentComplete);
    QSignalSpy secondCompleted(&second, &BrowserWindow::DocumentComplete);
    QVERIFY(load(first, firstCompleted, at(QStringLiteral("/login?u=ann"))));
    QVERIFY(load(second, secondCompleted, at(QStringLiteral("/page"))));
    QVERIFY(load(first, firstCompleted, at(QStringLiteral("/page"))));

    QStringList sessions;
    for (const FakeSite::Request& request : m_site->requests(host)) {
        if (request.path == QLatin1String("/page"))
            sessions << request.cookies.value(QStringLiteral("session"), QStringLiteral("none"));
    }
    QCOMPARE(sessions, QStringList({QStringLiteral("none"), QStringLiteral("ann")}));
}

void tst_frmBrowser::timesOutAfterSilence_data()
{
    QTest::addColumn<int>("silentSeconds");
    QTest::addColumn<bool>("timedOut");
    QTest::newRow("119 s") << 119 << false;
    QTest::newRow("120 s") << 120 << false;
    QTest::newRow("121 s") << 121 << true;
}

void tst_frmBrowser::timesOutAfterSilence()
{
    QFETCH(int, silentSeconds);
    QFETCH(bool, timedOut);
    FakeTimeSource clock;
    frmBrowser window(m_settings);
    QSignalSpy completed(&window, &BrowserWindow::DocumentComplete);
    QSignalSpy timeOuts(&window, &BrowserWindow::TimedOut);
    QVERIFY(load(window, completed, at(QStringLiteral("/page"))));
    QVERIFY(waitForEngine([&] { return m_site->requests(host).size() == 2; })); // quiet: the frame is in too

    clock.advanceSeconds(silentSeconds);
    window.tmrTimeout_Timer();
    QCOMPARE(timeOuts.count(), timedOut ? 1 : 0);
    // Raised at most once.
    clock.advanceSeconds(600);
    window.tmrTimeout_Timer();
    QCOMPARE(timeOuts.count(), 1);
}

void tst_frmBrowser::quitClosesWithoutTimeOut()
{
    FakeTimeSource clock;
    QPointer<frmBrowser> window = new frmBrowser(m_settings);
    QSignalSpy completed(window.data(), &BrowserWindow::DocumentComplete);
    QSignalSpy timeOuts(window.data(), &BrowserWindow::TimedOut);
    QVERIFY(load(*window, completed, at(QStringLiteral("/page"))));
    window->Quit();
    clock.advanceSeconds(600);
    window->tmrTimeout_Timer();
    QCOMPARE(timeOuts.count(), 0);
    QVERIFY_THROWS_EXCEPTION(OrvError, window->Navigate(at(QStringLiteral("/page"))));
    QVERIFY(waitForEngine([&] { return window.isNull(); }));
}

// A program that ends while an attempt holds, and while another attempt's window waits out its close
// delay, deletes both pages before their profiles and before the browser engine shuts down.
void tst_frmBrowser::windowsGoBeforeTheEngineAtExit()
{
    QProcess program;
    program.start(QStringLiteral(ORV_BROWSER_EXIT), {});
    QVERIFY(program.waitForFinished(90000));
    const QByteArray errors = program.readAllStandardError();
    QCOMPARE(program.readAllStandardOutput(), QByteArray("holding\n"));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(!errors.contains("still not deleted"), errors.constData());
}

ORV_WEBENGINE_TEST_MAIN(tst_frmBrowser)
#include "tst_frmBrowser.moc"
