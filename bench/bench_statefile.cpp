// Loads and saves state files of 1,000 and 10,000 auctions and prints the milliseconds each operation
// takes and the file's size. Run by hand: build/bench/bench_statefile
#include "Auctions.h"
#include "Categorys.h"
#include "DateTimes.h"
#include "FakeEngine.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "cApp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr int rounds = 5;

void fill(cApp& app, int count)
{
    for (const char* name : {"Books", "Watches", "Radios", "Kitchen"})
        app.Categorys().Add(QString::fromLatin1(name), false, 1);
    const QDateTime end = DateTimes::naive(2026, 3, 10, 18, 30, 0);
    for (int i = 0; i < count; ++i) {
        const AuctionPtr a = app.Auctions().Add(QString::number(110000000000LL + i), QStringLiteral("Books"));
        a->Description = QStringLiteral("Item number %1 with a title of ordinary length & marks").arg(i);
        a->EndTime = end.addSecs(i * 37);
        a->StartTime = end.addDays(-7);
        a->LastUpdated = end.addDays(-1);
        a->Price = 10 + i * 0.25;
        a->Shipping = 4.95;
        a->Quantity = 1;
        a->Bids = i % 40;
        a->HighBidder = QStringLiteral("b***r");
        a->Seller = QStringLiteral("seller%1").arg(i % 97);
        a->CurrencyTxt = QStringLiteral("US $");
        if (i % 10 == 0) {
            a->SnipeState = OR2BidSet;
            a->SnipeBid = 20 + i;
        }
    }
}

void measure(int count)
{
    RecordingShellHost host;
    FakeEngine engine;
    RecordingMessageBoxSink boxes;
    {
        cApp app(host, boxes, engine.factories());
        fill(app, count);
        app.Save();
    }
    QElapsedTimer timer;
    qint64 loadMs = 0;
    qint64 saveMs = 0;
    int loaded = 0;
    for (int round = 0; round < rounds; ++round) {
        cApp app(host, boxes, engine.factories());
        timer.start();
        app.Load();
        loadMs += timer.elapsed();
        loaded = app.Auctions().Count();
        timer.start();
        app.Save();
        saveMs += timer.elapsed();
    }
    std::printf("%6d auctions (%d loaded): load %.1f ms, save %.1f ms, file %lld bytes\n", count, loaded,
                double(loadMs) / rounds, double(saveMs) / rounds,
                static_cast<long long>(QFileInfo(cApp::stateFilePath()).size()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    TestDataFolder folder;
    for (int count : {1000, 10000})
        measure(count);
    return 0;
}
