// The band's tree with 1,000 auctions in ten categories, on the in-process fake of the main program:
// the first full tree (binding, the first snapshot, the whole tree built and painted) and one auction
// change reaching the tree (the report taken, the node re-rendered, its category re-sorted and
// painted). Run by hand, headless as the tests run:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_band
// With "--bus", the same against the real main program on a private bus that can start it (the program
// reads the state file that the benchmark writes into $AUCTIONORV_HOME first):
//   export AUCTIONORV_HOME=$(mktemp -d) QT_QPA_PLATFORM=offscreen
//   dbus-run-session --config-file=build/tests/activation-bus.conf -- build/bench/bench_band --bus
#include "BandTree.h"
#include "DataFolder.h"
#include "FakeBackend.h"
#include "FakeBrowserHost.h"
#include "OrvBus.h"
#include "RecordingMessageBoxSink.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemotecApp.h"
#include "cBrowser.h"
#include "ctlAuctionsBand.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int auctions = 1'000;
constexpr int categories = 10;

double medianMs(int runs, const std::function<void()>& step)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        step();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

FakeBackend* filledFake()
{
    auto* fake = new FakeBackend;
    const QDateTime now(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);
    fake->setSiteTime(now);
    for (int c = 0; c < categories; ++c)
        fake->addCategory(QStringLiteral("Category %1").arg(c), c % 3 == 0);
    for (int i = 0; i < auctions; ++i) {
        Remote::AuctionRecord record;
        record.Item = QString::number(110000000000LL + i);
        record.Category = QStringLiteral("Category %1").arg(i % categories);
        record.Description = QStringLiteral("Lot number %1 of the big sale").arg((i * 7919) % auctions);
        record.EndTime = now.addSecs((i * 7919LL) % 864000 - 3600);
        record.Price = (i * 37) % 1000 / 10.0;
        record.SnipeState = Remote::AucSnipeStates(i % 8);
        record.TimeLeftLevel = Remote::AucTimeLeftLevel(i % 4);
        fake->putAuction(record);
    }
    return fake;
}

// Runs the event loop until `done` holds or ten seconds pass.
bool spinUntil(const std::function<bool()>& done)
{
    QElapsedTimer limit;
    limit.start();
    while (!done() && limit.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

void writeStateFile()
{
    QString text =
        QStringLiteral("<Root><Settings><CheckForUpdates>0</CheckForUpdates><AutoSyncDays>0</AutoSyncDays>"
                       "</Settings><Auctions>");
    for (int i = 0; i < auctions; ++i)
        text +=
            QStringLiteral("<Auction><Item>%1</Item><Description>Lot number %2 of the big sale</Description>"
                           "<EndTime>2099-03-04 18:30:00</EndTime><Price>%3</Price><Category>Category %4"
                           "</Category><SnipeState>%5</SnipeState></Auction>")
                .arg(110000000000LL + i)
                .arg((i * 7919) % auctions)
                .arg((i * 37) % 1000 / 10.0)
                .arg(i % categories)
                .arg(i % 2);
    text += QStringLiteral("</Auctions><Categorys>");
    for (int c = 0; c < categories; ++c)
        text +=
            QStringLiteral("<Category><Name>Category %1</Name><MaxWins>1</MaxWins><Limited>False</Limited>"
                           "</Category>")
                .arg(c);
    text += QStringLiteral("</Categorys></Root>");
    QDir().mkpath(DataFolder::path());
    QFile file(DataFolder::stateFile());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text.toUtf8());
}

// Shows the whole tree of the link's program, every category open, painted; the number of auction nodes.
int showWholeTree(ctlAuctionsBand& band, Remote::cApp& link, cBrowser& browser)
{
    band.resize(320, 700);
    band.show();
    band.View(link.App(), &browser);
    int nodes = 0;
    for (int c = 0; c < band.TreeView()->topLevelItemCount(); ++c) {
        band.TreeView()->topLevelItem(c)->setExpanded(true);
        nodes += band.TreeView()->topLevelItem(c)->childCount();
    }
    band.grab();
    return nodes;
}

int overTheBus()
{
    writeStateFile();
    FakeBrowserHost host;
    RecordingMessageBoxSink boxes;
    {
        // Started once, outside the timing: the program's own start is not the band's.
        Remote::cApp warm;
        if (!spinUntil([&] { return warm.isBound(); })) {
            std::fprintf(stderr, "the main program could not be started on the bus\n");
            return 1;
        }
    }
    const double firstTree = medianMs(7, [&] {
        Remote::cApp link;
        spinUntil([&] { return link.isBound(); });
        cBrowser browser;
        browser.setIE(&host);
        ctlAuctionsBand band(boxes);
        showWholeTree(band, link, browser);
        band.Release();
    });
    int nodes = 0;
    double oneChange = 0;
    {
        Remote::cApp link;
        spinUntil([&] { return link.isBound(); });
        cBrowser browser;
        ctlAuctionsBand band(boxes);
        nodes = showWholeTree(band, link, browser);
        const QString item = QStringLiteral("110000000500");
        int round = 0;
        // From the command of another part of the program to the node shown with the change.
        oneChange = medianMs(51, [&] {
            const QString text = QStringLiteral("Renamed lot %1").arg(round++);
            link.App().Auctions().SetDescription(item, text);
            spinUntil([&] { return band.node(item + QLatin1Char('~'))->text(0) == text; });
            band.grab();
        });
    }
    QDBusMessage quit = QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::appPath,
                                                       OrvBus::appInterface, QStringLiteral("Quit"));
    quit.setAutoStartService(false);
    QDBusConnection::sessionBus().call(quit);
    std::printf("band, %d auctions in %d categories, the real program on a private bus (%d nodes shown)\n",
                auctions, categories, nodes);
    std::printf("  first full tree (bind, snapshot, build, paint): %8.2f ms median of 7\n", firstTree);
    std::printf("  one change reaching the tree (and painted):     %8.3f ms median of 51\n", oneChange);
    return nodes == auctions ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (QCoreApplication::arguments().contains(QStringLiteral("--bus")))
        return overTheBus();
    FakeBrowserHost host;
    RecordingMessageBoxSink boxes;

    // The first full tree: a new link binds and fetches the snapshot, the band builds and paints it.
    std::vector<FakeBackend*> fakes;
    for (int i = 0; i < 7; ++i)
        fakes.push_back(filledFake());
    std::size_t next = 0;
    const double firstTree = medianMs(7, [&] {
        Remote::cApp link(std::unique_ptr<Remote::Backend>(fakes.at(next++)));
        cBrowser browser;
        browser.setIE(&host);
        ctlAuctionsBand band(boxes);
        showWholeTree(band, link, browser);
        band.Release();
    });

    // One change reaching a shown tree.
    FakeBackend* fake = filledFake();
    Remote::cApp link{std::unique_ptr<Remote::Backend>(fake)};
    cBrowser browser;
    ctlAuctionsBand band(boxes);
    showWholeTree(band, link, browser);
    Remote::AuctionRecord changed = fake->auctions().at(500);
    int round = 0;
    const double oneChange = medianMs(101, [&] {
        changed.Description = QStringLiteral("Renamed lot %1").arg(round++);
        changed.SnipeState = Remote::AucSnipeStates(round % 8);
        fake->putAuction(changed);
        // The re-sort the tree schedules, and the paint.
        QCoreApplication::processEvents();
        band.grab();
    });
    const bool shown = band.node(QStringLiteral("110000000500~"))->text(0) == changed.Description;

    std::printf("band, %d auctions in %d categories, in-process fake of the program\n", auctions, categories);
    std::printf("  first full tree (bind, snapshot, build, paint): %8.2f ms median of 7\n", firstTree);
    std::printf("  one change reaching the tree (and painted):     %8.3f ms median of 101%s\n", oneChange,
                shown ? "" : "  (NOT SHOWN)");
    return shown ? 0 : 1;
}
