// The program's own browser with the band docked beside an item page of the loopback site, the band
// bound to an in-process stand-in of the main program holding a few auctions, written as a picture:
//   QT_QPA_PLATFORM=offscreen build/tests/orv_bandshot band.png
#include "BandTree.h"
#include "BrowserMainWindow.h"
#include "FakeBackend.h"
#include "FakeSite.h"
#include "RemoteApp.h"
#include "RemotecApp.h"
#include "WebEngineTest.h"
#include "cBand.h"
#include "ctlAuctionsBand.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <cstdio>

namespace {

class DemoBands : public DeskBandFactory
{
public:
    std::unique_ptr<DeskBand> createBand() override
    {
        auto band = std::make_unique<cBand>([this] {
            auto* fake = new FakeBackend;
            const QDateTime now(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);
            fake->setSiteTime(now);
            fake->addCategory(QStringLiteral("Default"));
            fake->addCategory(QStringLiteral("Books"), true, 1);
            fake->addCategory(QStringLiteral("Lamps"));
            struct Lot
            {
                const char* item;
                const char* category;
                const char* description;
                Remote::AucSnipeStates state;
                Remote::AucTimeLeftLevel level;
                qint64 endsIn;
            };
            const Lot lots[] = {
                {"1001", "Lamps", "Brass desk lamp", Remote::OR2BidSet, Remote::OR2Active, 3 * 3600},
                {"1002", "Lamps", "Art deco floor lamp", Remote::OR2Watching, Remote::OR2Caution, 50 * 60},
                {"1003", "Lamps", "Oil lamp, pair", Remote::OR2BidSuccess, Remote::OR2Complete, -600},
                {"1004", "Books", "First edition atlas", Remote::OR2BidPrepared, Remote::OR2Warning, 4 * 60},
                {"1005", "Books", "Bird guide", Remote::OR2BidFailed, Remote::OR2Complete, -3600},
                {"1006", "Default", "Pocket watch", Remote::OR2Watching, Remote::OR2Active, 2 * 86400},
                {"1007", "Default", "Tin toy robot", Remote::OR2BidCancelled, Remote::OR2Complete, -7200},
            };
            for (const Lot& lot : lots) {
                Remote::AuctionRecord record;
                record.Item = QString::fromLatin1(lot.item);
                record.Category = QString::fromLatin1(lot.category);
                record.Description = QString::fromLatin1(lot.description);
                record.SnipeState = lot.state;
                record.SnipeBid = lot.state == Remote::OR2Watching ? 0 : 42.5;
                record.TimeLeftLevel = lot.level;
                record.EndTime = now.addSecs(lot.endsIn);
                record.Price = 17.25;
                record.Quantity = 1;
                record.Bids = 6;
                record.HighBidder = QStringLiteral("lampfan");
                record.Seller = QStringLiteral("oldshop");
                record.Comments = QStringLiteral("collect in person");
                fake->putAuction(record);
            }
            auto link = std::make_unique<Remote::cApp>(std::unique_ptr<Remote::Backend>(fake));
            fake->pinClock(link->App().Clock());
            return link;
        });
        last = band.get();
        return band;
    }
    cBand* last = nullptr;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: orv_bandshot <picture.png>\n");
        return 2;
    }
    FakeSite site;
    if (!site.listen({SiteEndpoints::ItemPage}))
        return 1;
    site.exportEnvironment();
    qputenv("AUCTIONORV_SITE_URL", "http://127.0.0.1");
    site.setItemPage(QStringLiteral("123"),
                     FakeSite::Response::page(FakeSite::fixture(QStringLiteral("item-lamp.html"))));

    auto* profile = new QWebEngineProfile;
    DemoBands bands;
    int result = 0;
    {
        BrowserMainWindow window(profile, {&bands});
        window.resize(1200, 760);
        window.show();
        bool loaded = false;
        QObject::connect(window.page(), &QWebEnginePage::loadFinished, [&loaded](bool ok) { loaded = ok; });
        window.open(QUrl(site.baseUrl(SiteEndpoints::ItemPage).toString() +
                         QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=123")));
        QDockWidget* dock = window.bandDock(QStringLiteral("Auction Orv"));
        dock->toggleViewAction()->trigger();
        waitForEngine([&] { return loaded; });
        ctlAuctionsBand& tree = bands.last->form()->AuctionsBand();
        for (const QString& key : {QStringLiteral("Lamps:CAT"), QStringLiteral("Books:CAT")})
            tree.node(key)->setExpanded(true);
        tree.TreeView()->setCurrentItem(tree.node(QStringLiteral("1001~")));
        tree.node(QStringLiteral("1001~"))->setExpanded(true);
        tree.tmrTick_Timer();
        waitForEngine([] { return false; }, 600);
        if (!window.grab().save(QString::fromLocal8Bit(argv[1])))
            result = 1;
    }
    delete profile;
    return result;
}
