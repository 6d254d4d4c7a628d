// "Add Current Auction" on the real browser engine against the loopback site, on the fake program: on
// the site's domain the page shown is handed to the reader (as the engine shows it, whatever the page's
// scripts do); off it a download is queued; a page the reader refuses takes the auction out again.
#include "BandFixture.h"
#include "BandTree.h"
#include "FakeSite.h"
#include "WebEngineBrowserHost.h"
#include "WebEngineTest.h"

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>

using namespace Remote;

namespace {

const QString itemPath = QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=");

// The band on the fake program with its watcher on a real page, Books selected.
struct OnTheEngine : BandFixture
{
    QWebEngineProfile profile;
    QWebEnginePage* page = new QWebEnginePage(&profile);
    WebEngineBrowserHost host{page};

    OnTheEngine()
    {
        fake->addCategory(QStringLiteral("Default"));
        fake->addCategory(QStringLiteral("Books"));
        browser.setIE(&host);
        view();
        band.TreeView()->setCurrentItem(band.node(QStringLiteral("Books:CAT")));
        fake->clearCalls();
    }
    ~OnTheEngine()
    {
        band.Release();
        browser.setIE(nullptr);
        delete page;
    }
    bool open(const QString& address)
    {
        bool loaded = false;
        const QMetaObject::Connection watch =
            QObject::connect(page, &QWebEnginePage::loadFinished, page, [&loaded](bool ok) { loaded = ok; });
        page->load(QUrl(address));
        const bool viewing =
            waitForEngine([&] { return loaded; }) && waitForEngine([&] { return browser.ViewingAuction(); });
        QObject::disconnect(watch);
        // The first item page shown brings the information page; what follows is the addition's.
        fake->clearCalls();
        return viewing;
    }
    bool calledWith(const QString& start) const
    {
        for (const QString& call : fake->calls()) {
            if (call.startsWith(start))
                return true;
        }
        return false;
    }
};

} // namespace

class tst_AddCurrentAuction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_site.listen({SiteEndpoints::ItemPage}));
        m_site.exportEnvironment();
        // The site's domain is the loopback address; "localhost" is another host on the same server.
        qputenv("AUCTIONORV_SITE_URL", "http://127.0.0.1");
        m_site.setItemPage(QStringLiteral("456"),
                           FakeSite::Response::page(FakeSite::fixture(QStringLiteral("item-lamp.html"))));
        // A page whose own script forges its title and body for anyone reading them from the page's world.
        m_site.setItemPage(
            QStringLiteral("457"),
            FakeSite::Response::page(
                "<html><head><title>Real: 457</title></head><body><p id=real>real body</p>"
                "<script>Object.defineProperty(document, 'title', {get() { return 'Forged'; }});"
                "Object.defineProperty(HTMLElement.prototype, 'innerHTML', {get() { return 'forged'; }});"
                "</script></body></html>"));
        m_site.setItemPage(QStringLiteral("458"),
                           FakeSite::Response::page("<html><head><title>No item here</title>"
                                                    "</head><body>Gone.</body></html>"));
    }

    void onTheSiteTheShownPageIsParsed()
    {
        OnTheEngine f;
        QVERIFY(
            f.open(m_site.baseUrl(SiteEndpoints::ItemPage).toString() + itemPath + QStringLiteral("456")));
        QVERIFY(f.band.button(QStringLiteral("addcurrent"))->isEnabled());
        f.band.buttonClick(QStringLiteral("addcurrent"));
        QVERIFY(waitForEngine([&] { return f.calledWith(QStringLiteral("App.Save")); }));
        const QStringList calls = f.fake->calls();
        QCOMPARE(calls.at(0), QStringLiteral("Auctions.Add(\"456\", \"Books\")"));
        QVERIFY2(calls.at(1).startsWith(QLatin1String(
                     "Updater.Parse(\"456\", \"<TITLE>eBay: Brass Lamp (item 123 end time Mar-15-06 10:00:00 "
                     "PST)</TITLE><BODY>")),
                 qPrintable(calls.at(1).left(200)));
        QVERIFY(calls.at(1).contains(QLatin1String("topbidder")));
        QVERIFY(calls.at(1).endsWith(QLatin1String("</BODY>\")")));
        QVERIFY(f.boxes.boxes.isEmpty());
        // The page was not fetched again.
        int pageRequests = 0;
        for (const FakeSite::Request& request : m_site.requests())
            pageRequests += request.target.contains(QLatin1String("ViewItem")) ? 1 : 0;
        QCOMPARE(pageRequests, 1);
        m_site.clearRequests();
    }

    void thePagesScriptsCannotForgeWhatIsRead()
    {
        OnTheEngine f;
        QVERIFY(
            f.open(m_site.baseUrl(SiteEndpoints::ItemPage).toString() + itemPath + QStringLiteral("457")));
        f.band.buttonClick(QStringLiteral("addcurrent"));
        QVERIFY(waitForEngine([&] { return f.calledWith(QStringLiteral("App.Save")); }));
        const QString parse = f.fake->calls().at(1);
        QVERIFY2(parse.contains(QLatin1String("<TITLE>Real: 457</TITLE><BODY><p id=\"real\">real body</p>")),
                 qPrintable(parse));
        QVERIFY(!parse.contains(QLatin1String("<TITLE>Forged")));
        QVERIFY(!parse.contains(QLatin1String("<BODY>forged")));
        m_site.clearRequests();
    }

    void offTheSiteADownloadIsQueued()
    {
        OnTheEngine f;
        QUrl address = m_site.baseUrl(SiteEndpoints::ItemPage);
        address.setHost(QStringLiteral("localhost"));
        QVERIFY(f.open(address.toString() + itemPath + QStringLiteral("456")));
        f.band.buttonClick(QStringLiteral("addcurrent"));
        QCOMPARE(f.fake->calls().mid(0, 3),
                 QStringList({"Auctions.Add(\"456\", \"Books\")",
                              "Auctions.SetDescription(\"456\", \"Downloading New Auction...\")",
                              "Updaters.DownloadItem(\"456\")"}));
        QVERIFY(!f.calledWith(QStringLiteral("Updater.Parse")));
        QCOMPARE(f.band.node(QStringLiteral("456~"))->text(0), QStringLiteral("Downloading New Auction..."));
        m_site.clearRequests();
    }

    void aPageTheReaderRefusesTakesTheAuctionOut()
    {
        OnTheEngine f;
        f.fake->failCommand(QStringLiteral("Updater.Parse"), Error::Refused,
                            QStringLiteral("This is no item page."));
        QVERIFY(
            f.open(m_site.baseUrl(SiteEndpoints::ItemPage).toString() + itemPath + QStringLiteral("458")));
        f.band.buttonClick(QStringLiteral("addcurrent"));
        QVERIFY(waitForEngine([&] { return !f.boxes.boxes.isEmpty(); }));
        QCOMPARE(f.boxes.boxes.at(0).title, QStringLiteral("Execution Error"));
        QCOMPARE(f.boxes.boxes.at(0).text, QStringLiteral("The Auction was not Found or is not Available."));
        QCOMPARE(f.fake->calls().last(), QStringLiteral("Auctions.Remove(\"458\")"));
        QVERIFY(!f.app().Auctions().Exists(QStringLiteral("458")));
        QVERIFY(!f.band.node(QStringLiteral("458~")));
        m_site.clearRequests();
    }

private:
    FakeSite m_site;
};

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_AddCurrentAuction tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_AddCurrentAuction.moc"
