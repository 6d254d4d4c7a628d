// The band's browser watcher on a scripted browser and the fake program: whether an item page is shown,
// which addresses are the site's own, and adding the viewed auction from the shown page or by download.
#include "FakeBackend.h"
#include "FakeBrowserHost.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemoteCategorys.h"
#include "RemoteUpdaters.h"
#include "RemotecApp.h"
#include "cBrowser.h"

#include <QSignalSpy>
#include <QTest>

using namespace Remote;

namespace {

const QString itemPath = QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=");

QUrl siteItem(const QString& item)
{
    return QUrl(QStringLiteral("http://cgi.auction.test:8080") + itemPath + item);
}

AuctionRecord record(const QString& item, const QString& category)
{
    AuctionRecord auction;
    auction.Item = item;
    auction.Category = category;
    auction.Description = QStringLiteral("Item ") + item;
    return auction;
}

struct Outcome
{
    bool called = false;
    std::optional<Error> failure;
};

// The fake program with Default and Books and auction 123 in Books, a link to it, and a watcher of a
// scripted browser.
struct Adding
{
    FakeBackend* fake = new FakeBackend;
    std::unique_ptr<Remote::cApp> link;
    FakeBrowserHost host;
    cBrowser browser;
    Outcome outcome;

    Adding()
    {
        fake->addCategory(QStringLiteral("Default"));
        fake->addCategory(QStringLiteral("Books"));
        fake->putAuction(record(QStringLiteral("123"), QStringLiteral("Books")));
        link = std::make_unique<Remote::cApp>(std::unique_ptr<Backend>(fake));
        browser.setIE(&host);
        fake->clearCalls();
    }
    void add(const QString& category = QStringLiteral("Books"))
    {
        std::optional<CategoryRecord> chosen = link->App().Categorys().Item(category);
        browser.AddAuction(link->App().Auctions(), chosen, link->App().Updaters(), &browser,
                           [this](const std::optional<Error>& failure) {
                               QVERIFY(!outcome.called);
                               outcome.called = true;
                               outcome.failure = failure;
                           });
    }
    bool listed(const QString& item) const { return link->App().Auctions().Exists(item); }
};

} // namespace

class tst_cBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("AUCTIONORV_SITE_URL", "http://auction.test");
        qputenv("AUCTIONORV_ITEM_URL", "http://cgi.auction.test:8080");
        qputenv("AUCTIONORV_PROMOTION_URL", "http://pages.auction.test");
        qputenv("AUCTIONORV_ADVERT_URL", "http://ads.example");
    }

    // Each step is a top page ("top:") or a frame ("frame:") loaded in turn; after each, the flag.
    void viewingFlagFollowsTheAddresses_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<bool>>("flags");
        const QString item =
            QStringLiteral("top:http://cgi.auction.test:8080/ws/eBayISAPI.dll?ViewItem&item=1");
        QTest::newRow("item page") << QStringList{item} << QList<bool>{true};
        QTest::newRow("marker in any letter case")
            << QStringList{QStringLiteral("top:http://cgi.auction.test/WS/EBAYISAPI.DLL?VIEWITEM&ITEM=1")}
            << QList<bool>{true};
        QTest::newRow("blank frame keeps it, an ordinary page clears it")
            << QStringList{item, QStringLiteral("frame:about:blank"),
                           QStringLiteral("top:http://www.other.example/")}
            << QList<bool>{true, true, false};
        QTest::newRow("advert frame keeps it")
            << QStringList{item, QStringLiteral("frame:http://ads.example/banner?x=1")}
            << QList<bool>{true, true};
        QTest::newRow("promotion frame keeps it")
            << QStringList{item, QStringLiteral("frame:http://pages.auction.test/promo.html")}
            << QList<bool>{true, true};
        QTest::newRow("an ordinary frame clears it")
            << QStringList{item, QStringLiteral("frame:http://widgets.example/counter")}
            << QList<bool>{true, false};
        QTest::newRow("advert first: not viewing")
            << QStringList{QStringLiteral("top:http://ads.example/banner")} << QList<bool>{false};
        QTest::newRow("blank first: not viewing")
            << QStringList{QStringLiteral("top:about:blank")} << QList<bool>{false};
        QTest::newRow("other page, then an item page")
            << QStringList{QStringLiteral("top:http://www.other.example/"), item} << QList<bool>{false, true};
    }
    void viewingFlagFollowsTheAddresses()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<bool>, flags);
        FakeBrowserHost host;
        cBrowser browser;
        browser.setIE(&host);
        QSignalSpy viewing(&browser, &cBrowser::Viewing);
        QList<bool> expectedSignals;
        bool last = false;
        for (int i = 0; i < steps.size(); ++i) {
            const QString step = steps.at(i);
            const QUrl url(step.section(QLatin1Char(':'), 1));
            if (step.startsWith(QLatin1String("top:")))
                host.show(url);
            else
                host.frame(url);
            QCOMPARE(browser.ViewingAuction(), flags.at(i));
            if (flags.at(i) != last)
                expectedSignals << flags.at(i);
            last = flags.at(i);
        }
        // Raised on each change, and only then.
        QList<bool> raised;
        for (const QList<QVariant>& arguments : std::as_const(viewing))
            raised << arguments.at(0).toBool();
        QCOMPARE(raised, expectedSignals);
    }

    // The page already shown when the watcher is given the browser counts at once.
    void thePageShownBeforeWatchingCounts()
    {
        FakeBrowserHost host;
        host.shown = siteItem(QStringLiteral("9"));
        cBrowser browser;
        QSignalSpy viewing(&browser, &cBrowser::Viewing);
        browser.setIE(&host);
        QVERIFY(browser.ViewingAuction());
        QCOMPARE(viewing.size(), 1);
        browser.setIE(nullptr);
        host.show(QUrl(QStringLiteral("http://www.other.example/")));
        QVERIFY(browser.ViewingAuction()); // no longer watched
    }

    void siteDomainIsTheHost_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("own");
        QTest::newRow("the domain") << QStringLiteral("http://auction.test/") << true;
        QTest::newRow("a host under it, with a port")
            << QStringLiteral("http://cgi.auction.test:8080/ws/eBayISAPI.dll?ViewItem&item=1") << true;
        QTest::newRow("secure, capitals") << QStringLiteral("https://WWW.Auction.Test/x") << true;
        QTest::newRow("domain in the query")
            << QStringLiteral("http://evil.example/?r=.auction.test/ws/eBayISAPI.dll?ViewItem&item=1")
            << false;
        QTest::newRow("domain in the path") << QStringLiteral("http://evil.example/.auction.test/") << false;
        QTest::newRow("domain as a prefix of a foreign host")
            << QStringLiteral("http://auction.test.evil.example/") << false;
        QTest::newRow("host ending in the name without a dot")
            << QStringLiteral("http://evilauction.test/") << false;
        QTest::newRow("domain as the user name")
            << QStringLiteral("http://auction.test@evil.example/") << false;
        QTest::newRow("foreign host with the domain's port")
            << QStringLiteral("http://evil.example:8080/.auction.test:8080/") << false;
        QTest::newRow("not a web address") << QStringLiteral("ftp://auction.test/") << false;
        QTest::newRow("blank page") << QStringLiteral("about:blank") << false;
    }
    void siteDomainIsTheHost()
    {
        QFETCH(QString, address);
        QFETCH(bool, own);
        QCOMPARE(cBrowser::IsSiteDomain(QUrl(address)), own);
    }

    void navigateOpensTheAddressInTheBrowser()
    {
        FakeBrowserHost host;
        cBrowser browser;
        browser.Navigate(QStringLiteral("http://x.example/a"));
        browser.setIE(&host);
        browser.Navigate(QStringLiteral("http://x.example/b"));
        QCOMPARE(host.navigated, QList<QUrl>{QUrl(QStringLiteral("http://x.example/b"))});
    }

    // On the site's domain the page shown is handed to the program's reader, read before the auction
    // is added.
    void onTheSiteTheShownPageIsParsed()
    {
        Adding f;
        f.host.show(siteItem(QStringLiteral("456")));
        f.host.title = QStringLiteral("Brass lamp: item 456");
        f.host.body = QStringLiteral("<b>Price</b> 5.00");
        f.add();
        QVERIFY(f.outcome.called);
        QVERIFY2(!f.outcome.failure,
                 qPrintable(f.outcome.failure ? f.outcome.failure->description() : QString()));
        QCOMPARE(f.host.reads, 1);
        QCOMPARE(
            f.fake->calls(),
            QStringList({QStringLiteral("Auctions.Add(\"456\", \"Books\")"),
                         QStringLiteral(
                             "Updater.Parse(\"456\", \"<TITLE>Brass lamp: item 456</TITLE><BODY><b>Price</b> "
                             "5.00</BODY>\")")}));
        QVERIFY(f.listed(QStringLiteral("456")));
    }

    // Off the site's domain (a mirror, a redirect, a foreign page naming the domain) the shown page is
    // never read: a download is queued.
    void offTheSiteADownloadIsQueued_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("mirror with a port")
            << QStringLiteral("http://mirror.example:9000") + itemPath + QStringLiteral("77");
        QTest::newRow("foreign page naming the domain")
            << QStringLiteral("http://evil.example/?r=.auction.test/") + itemPath + QStringLiteral("77");
        QTest::newRow("another key ending in item before it")
            << QStringLiteral("http://mirror.example:9000/ws/eBayISAPI.dll?ViewItem&previtem=111&item=77");
    }
    void offTheSiteADownloadIsQueued()
    {
        QFETCH(QString, address);
        Adding f;
        f.host.show(QUrl(address));
        f.host.title = QStringLiteral("Forged: title");
        f.add();
        QVERIFY(f.outcome.called);
        QVERIFY(!f.outcome.failure);
        QCOMPARE(f.host.reads, 0);
        QCOMPARE(
            f.fake->calls(),
            QStringList({QStringLiteral("Auctions.Add(\"77\", \"Books\")"),
                         QStringLiteral("Auctions.SetDescription(\"77\", \"Downloading New Auction...\")"),
                         QStringLiteral("Updaters.DownloadItem(\"77\")")}));
        QCOMPARE(f.link->App().Auctions().Item(QStringLiteral("77"))->Description,
                 QStringLiteral("Downloading New Auction..."));
    }

    // Refused before anything is added.
    void refusedBeforeAdding_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("message");
        const QString notFound = QStringLiteral("The Auction was not Found or is not Available.");
        QTest::newRow("already listed")
            << siteItem(QStringLiteral("123")).toString() << QStringLiteral("Default")
            << QStringLiteral("Cannot Add Auction.  Item 123 already exists in category Books.");
        QTest::newRow("no category selected")
            << siteItem(QStringLiteral("5")).toString() << QString() << cBrowser::noCategoryText();
        QTest::newRow("advert page that kept the flag")
            << QStringLiteral("http://ads.example/banner?item=5") << QStringLiteral("Books") << notFound;
        QTest::newRow("item page without item=")
            << QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&id=5")
            << QStringLiteral("Books") << notFound;
        QTest::newRow("empty item") << siteItem(QString()).toString() << QStringLiteral("Books") << notFound;
        QTest::newRow("item that is no item number")
            << siteItem(QStringLiteral("5%3Bx")).toString() << QStringLiteral("Books") << notFound;
    }
    void refusedBeforeAdding()
    {
        QFETCH(QString, address);
        QFETCH(QString, category);
        QFETCH(QString, message);
        Adding f;
        f.host.show(siteItem(QStringLiteral("1")));
        f.host.shown = QUrl(address);
        f.add(category);
        QVERIFY(f.outcome.called);
        QVERIFY(f.outcome.failure);
        QCOMPARE(f.outcome.failure->number(), Error::Refused);
        QCOMPARE(f.outcome.failure->description(), message);
        QCOMPARE(f.fake->calls(), QStringList());
        QCOMPARE(f.host.reads, 0);
    }

    // Any failure after the auction was added takes it out again and reports the failure.
    void aFailureAfterAddingRemovesTheAuction_data()
    {
        QTest::addColumn<bool>("onSite");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        const QString notFound = QStringLiteral("The Auction was not Found or is not Available.");
        QTest::newRow("reader refuses the page") << true << QStringLiteral("Updater.Parse") << 11 << notFound;
        QTest::newRow("program gone while reading")
            << true << QStringLiteral("Updater.Parse") << int(Error::NotRunning) << Error::notRunningText();
        QTest::newRow("description not set")
            << false << QStringLiteral("Auctions.SetDescription") << 5 << QStringLiteral("Out of memory");
        QTest::newRow("download not queued")
            << false << QStringLiteral("Updaters.DownloadItem") << 11 << QStringLiteral("The queue is full.");
    }
    void aFailureAfterAddingRemovesTheAuction()
    {
        QFETCH(bool, onSite);
        QFETCH(QString, command);
        QFETCH(int, number);
        QFETCH(QString, message);
        Adding f;
        f.fake->failCommand(command, number,
                            command == QLatin1String("Updater.Parse") && number == 11
                                ? QStringLiteral("This is no item page.")
                                : message);
        f.host.show(onSite
                        ? siteItem(QStringLiteral("456"))
                        : QUrl(QStringLiteral("http://mirror.example") + itemPath + QStringLiteral("456")));
        f.host.title = QStringLiteral("Lamp: 456");
        f.add();
        QVERIFY(f.outcome.called);
        QVERIFY(f.outcome.failure);
        QCOMPARE(f.outcome.failure->number(), number);
        QCOMPARE(f.outcome.failure->description(), message);
        QVERIFY(!f.listed(QStringLiteral("456")));
        QCOMPARE(f.fake->calls().last(), QStringLiteral("Auctions.Remove(\"456\")"));
    }

    // The page read must be the page judged; a page that is never read, or one too large, adds nothing.
    void aPageThatCannotBeTakenAddsNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("browser moved on while reading") << QStringLiteral("moved");
        QTest::newRow("page could not be read") << QStringLiteral("unreadable");
        QTest::newRow("page never answers") << QStringLiteral("silent");
        QTest::newRow("page of ten megabytes, more than the reader takes") << QStringLiteral("large");
    }
    void aPageThatCannotBeTakenAddsNothing()
    {
        QFETCH(QString, how);
        Adding f;
        f.browser.setPageReadTimeout(50);
        f.host.show(siteItem(QStringLiteral("456")));
        f.host.title = QStringLiteral("Lamp: 456");
        f.host.holdReads = true;
        f.add();
        QVERIFY(!f.outcome.called);
        QVERIFY(f.browser.isAdding());
        if (how == QLatin1String("moved")) {
            f.host.show(siteItem(QStringLiteral("789")));
            f.host.releaseReads();
        } else if (how == QLatin1String("unreadable")) {
            f.host.readable = false;
            f.host.releaseReads();
        } else if (how == QLatin1String("large")) {
            f.host.body = QString(10 * 1024 * 1024, QLatin1Char('x'));
            f.host.releaseReads();
        }
        QTRY_VERIFY(f.outcome.called);
        QVERIFY(f.outcome.failure);
        QCOMPARE(f.outcome.failure->description(),
                 QStringLiteral("The Auction was not Found or is not Available."));
        QCOMPARE(f.fake->calls(), QStringList());
        QVERIFY(!f.browser.isAdding());
        // A late answer changes nothing.
        f.host.releaseReads();
        QCOMPARE(f.fake->calls(), QStringList());
    }

    // A page as long as the reader takes is handed on whole; one character more is refused.
    void aPageUpToTheReadersLimitIsHandedOnWhole_data()
    {
        QTest::addColumn<int>("extra");
        QTest::newRow("at the limit") << 0;
        QTest::newRow("one more") << 1;
    }
    void aPageUpToTheReadersLimitIsHandedOnWhole()
    {
        QFETCH(int, extra);
        Adding f;
        f.host.show(siteItem(QStringLiteral("456")));
        f.host.title = QStringLiteral("Lamp: 456");
        const QString markers = QStringLiteral("<TITLE></TITLE><BODY></BODY>");
        f.host.body =
            QString(cBrowser::MaxPageChars - markers.size() - f.host.title.size() + extra, QLatin1Char('y'));
        f.add();
        QVERIFY(f.outcome.called);
        if (extra > 0) {
            QCOMPARE(f.outcome.failure->description(), cBrowser::notFoundText());
            QCOMPARE(f.fake->calls(), QStringList());
            return;
        }
        QVERIFY(!f.outcome.failure);
        const QString parse = f.fake->calls().value(1);
        QVERIFY(
            parse.startsWith(QLatin1String("Updater.Parse(\"456\", \"<TITLE>Lamp: 456</TITLE><BODY>yyy")));
        QCOMPARE(parse.size(),
                 QStringLiteral("Updater.Parse(\"456\", \"\")").size() + cBrowser::MaxPageChars);
    }

    // One addition at a time; a watcher whose caller has gone reports to nobody.
    void oneAdditionAtATime()
    {
        Adding f;
        f.host.show(siteItem(QStringLiteral("456")));
        f.host.title = QStringLiteral("Lamp: 456");
        f.host.holdReads = true;
        f.add();
        bool secondCalled = false;
        f.browser.AddAuction(
            f.link->App().Auctions(), f.link->App().Categorys().Item(QStringLiteral("Books")),
            f.link->App().Updaters(), &f.browser, [&](const std::optional<Error>&) { secondCalled = true; });
        QCOMPARE(f.host.reads, 1);
        f.host.releaseReads();
        QVERIFY(f.outcome.called);
        QVERIFY(!secondCalled);
        QCOMPARE(f.fake->calls().size(), 2);

        // The caller goes while the page is read: the page is not taken into the list.
        auto* caller = new QObject;
        bool called = false;
        f.host.show(siteItem(QStringLiteral("789")));
        f.browser.AddAuction(
            f.link->App().Auctions(), f.link->App().Categorys().Item(QStringLiteral("Books")),
            f.link->App().Updaters(), caller, [&](const std::optional<Error>&) { called = true; });
        delete caller;
        f.host.releaseReads();
        QVERIFY(!called);
        QVERIFY(!f.browser.isAdding());
        QCOMPARE(f.fake->calls().size(), 2);
        QVERIFY(!f.listed(QStringLiteral("789")));
    }
};

QTEST_MAIN(tst_cBrowser)
#include "tst_cBrowser.moc"
