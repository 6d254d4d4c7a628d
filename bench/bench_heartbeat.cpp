// The cost of one heartbeat (cApp.Tick) with 1,000 and 10,000 auctions of which 100 have bids set, and
// how late the heartbeat submits bids against their send moments on the loopback fake site with the real
// browser engine: 20 snipes one second apart, then two snipes 3 seconds apart among 100,000 auctions,
// where each outcome asks for a save of the whole list. Run by hand, headless as the tests run:
//   QT_QPA_PLATFORM=offscreen QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox build/bench/bench_heartbeat
#include "Auctions.h"
#include "BidManager.h"
#include "Clock.h"
#include "DateTimes.h"
#include "FakeBidSite.h"
#include "FakeTimeSource.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "WebEngineTest.h"
#include "cApp.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int bidsSet = 100;
constexpr int heartbeats = 300;

void benchTick(int count)
{
    FakeTimeSource pc;
    RecordingDialogHost host;
    RecordingMessageBoxSink boxes;
    cApp app(host, boxes);
    // Red all along, with every send moment further than the prepare window: the heartbeat walks the
    // whole list each time and starts no attempt.
    app.Settings().RedMinutes = 15;
    app.Settings().PrepareSeconds = 60;
    const QDateTime siteNow = app.Clock().Time();
    const int every = count / bidsSet;
    for (int i = 0; i < count; ++i) {
        const AuctionPtr a =
            app.Auctions().Add(QString::number(110000000000LL + i), QStringLiteral("Default"));
        a->SnipeSeconds = 10;
        if (i % every == 0) {
            a->EndTime = siteNow.addSecs(610 + 3 * (i / every));
            a->SnipeBid = 20;
            a->SnipeState = OR2BidSet;
        } else {
            a->EndTime = siteNow.addSecs(86400 + 37 * i);
        }
    }

    QElapsedTimer timer;
    qint64 evaluatingNs = 0;
    qint64 otherNs = 0;
    int evaluating = 0;
    for (int i = 0; i < heartbeats; ++i) {
        timer.start();
        app.Tick();
        const qint64 ns = timer.nsecsElapsed();
        // The first heartbeat evaluates, then every sixth one (more than 5 seconds later).
        if (i % 6 == 0) {
            evaluatingNs += ns;
            ++evaluating;
        } else {
            otherNs += ns;
        }
        pc.advanceSeconds(1);
    }
    const bool untouched = std::all_of(app.Auctions().Items().cbegin(), app.Auctions().Items().cend(),
                                       [](const AuctionPtr& a) { return a->SnipeState <= OR2BidSet; });
    std::printf("heartbeat, %5d auctions (%d bids set, state %d%s): %8.1f us each, %8.1f us with the "
                "evaluation, %8.1f us without\n",
                count, bidsSet, int(app.BidManager().State()), untouched ? "" : ", ATTEMPTS STARTED",
                double(evaluatingNs + otherNs) / heartbeats / 1000.0,
                double(evaluatingNs) / evaluating / 1000.0,
                double(otherNs) / (heartbeats - evaluating) / 1000.0);
}

// The PC clock's reading `local` as milliseconds since the epoch.
qint64 epochMs(const QDateTime& local)
{
    return QDateTime(local.date(), local.time(), Qt::LocalTime).toMSecsSinceEpoch();
}

// `snipes` bids whose send moments lie `spacing` seconds apart, after `others` auctions without a bid.
bool benchLateness(int snipes, int spacing, int others)
{
    TestDataFolder folder;
    FakeBidSite site;
    if (!site.start())
        return false;
    RecordingDialogHost host;
    RecordingMessageBoxSink boxes;
    cApp app(host, boxes);
    app.Load();
    app.Settings().Username = site.Username;
    app.Settings().Password = site.Password;
    app.Settings().RedMinutes = 1;
    app.Settings().PrepareSeconds = 60;
    QDateTime siteNow = DateTimes::truncatedToSecond(app.Clock().Time());
    for (int i = 0; i < others; ++i) {
        const AuctionPtr a =
            app.Auctions().Add(QString::number(110000000000LL + i), QStringLiteral("Default"));
        a->Description = QStringLiteral("Item number %1 with a title of ordinary length & marks").arg(i);
        a->EndTime = siteNow.addSecs(86400 + 37 * i);
        a->Price = 10 + i * 0.25;
    }
    if (others > 0)
        app.Save();
    // The first send moment 15 seconds from now.
    siteNow = DateTimes::truncatedToSecond(app.Clock().Time());
    QHash<QString, qint64> sendMoments;
    QList<AuctionPtr> auctions;
    for (int i = 0; i < snipes; ++i) {
        const AuctionPtr a = app.Auctions().Add(QString::number(3000 + i), QStringLiteral("Default"));
        a->SnipeSeconds = 5;
        a->EndTime = siteNow.addSecs(20 + spacing * i);
        a->SnipeBid = 10 + i;
        a->SnipeState = OR2BidSet;
        a->Changed();
        sendMoments.insert(a->Item, epochMs(a->EndTime.addSecs(-a->SnipeSeconds - app.Clock().Variance())));
        auctions << a;
    }
    app.BidManager().RefreshState();
    const bool ended = waitForEngine(
        [&] {
            return std::all_of(auctions.cbegin(), auctions.cend(), [](const AuctionPtr& a) {
                return a->SnipeState == OR2BidSuccess || a->SnipeState == OR2BidFailed;
            });
        },
        (spacing * snipes + 60) * 1000);

    QList<qint64> lateMs;
    for (const FakeSite::Request& bid : site.requests(FakeBidSite::Confirmation))
        lateMs << bid.receivedMs - sendMoments.value(bid.form.value(QStringLiteral("item")));
    std::sort(lateMs.begin(), lateMs.end());
    const qsizetype won = std::count_if(auctions.cbegin(), auctions.cend(),
                                        [](const AuctionPtr& a) { return a->SnipeState == OR2BidSuccess; });
    if (lateMs.isEmpty()) {
        std::printf("bid lateness: no bid reached the site (%s)\n", ended ? "all ended" : "timed out");
        return false;
    }
    const double median = lateMs.size() % 2
                              ? double(lateMs.at(lateMs.size() / 2))
                              : (lateMs.at(lateMs.size() / 2 - 1) + lateMs.at(lateMs.size() / 2)) / 2.0;
    std::printf(
        "bid lateness over %d snipes %d s apart among %d auctions (%lld submitted, %lld confirmed): median "
        "%.0f ms, earliest %lld ms, worst %lld ms\n",
        snipes, spacing, others + snipes, static_cast<long long>(lateMs.size()), static_cast<long long>(won),
        median, static_cast<long long>(lateMs.first()), static_cast<long long>(lateMs.last()));
    std::fflush(stdout);
    return ended;
}

} // namespace

int main(int argc, char** argv)
{
    // The hidden browser windows need this before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication application(argc, argv);
    TestDataFolder folder;
    for (const int count : {1000, 10000})
        benchTick(count);
    const bool steady = benchLateness(20, 1, 0);
    return benchLateness(2, 3, 100000) && steady ? 0 : 1;
}
