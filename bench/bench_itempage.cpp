// Item pages: how long reading one takes, and how many pages per second the download queue refreshes
// from a loopback site. Run by hand: build/bench/bench_itempage
#include "FakeSite.h"
#include "ItemPage.h"
#include "Settings.h"
#include "Updaters.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

void benchParse(const char* name, const QString& page, int rounds)
{
    auto auction = AuctionPtr::create();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i)
        ItemPage::Parse(*auction, page);
    const double ms = clock.nsecsElapsed() / 1e6 / rounds;
    std::printf("parse %-28s %8.3f ms per page  %10.0f pages/s\n", name, ms, 1000.0 / ms);
}

// Refreshes `count` auctions with the given limit, then calls `next`.
void benchQueue(FakeSite& site, int count, int limit, std::function<void()> next)
{
    auto* settings = new Settings(qApp);
    settings->MaxAucUpdates = limit;
    auto* queue = new Updaters(*settings, qApp);
    QList<AuctionPtr> auctions;
    for (int i = 1; i <= count; ++i) {
        auto a = AuctionPtr::create();
        a->Item = QString::number(100000 + i);
        auctions << a;
    }
    auto* clock = new QElapsedTimer;
    const qsizetype before = site.requests().size();
    QObject::connect(queue, &Updaters::StateChanged, queue, [=, &site](int state) {
        if (state != sfNotBusy)
            return;
        const double seconds = clock->nsecsElapsed() / 1e9;
        std::printf("queue %d auctions, MaxAucUpdates %2d  %8.2f s  %10.0f pages/s  (%lld requests)\n", count,
                    limit, seconds, count / seconds, static_cast<long long>(site.requests().size() - before));
        delete clock;
        queue->deleteLater();
        settings->deleteLater();
        QTimer::singleShot(0, next);
    });
    clock->start();
    queue->DownloadItems(auctions);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray lamp = FakeSite::fixture(QStringLiteral("item-lamp.html"));
    const QString typical = QString::fromUtf8(lamp);
    QString large = typical;
    large.replace(QLatin1String("<p>text</p>"),
                  QStringLiteral("<p>") + QString(1024 * 1024, QLatin1Char('d')) + QStringLiteral("</p>"));
    benchParse("typical page", typical, 5000);
    benchParse("1 MB page", large, 50);

    FakeSite site;
    if (!site.listen({SiteEndpoints::ItemPage}))
        return 1;
    site.exportEnvironment();
    site.setDefaultHandler(SiteEndpoints::ItemPage,
                           [lamp](const FakeSite::Request&) { return FakeSite::Response::page(lamp); });
    benchQueue(site, 500, 3, [&site] { benchQueue(site, 500, 10, [] { QCoreApplication::quit(); }); });
    return app.exec();
}
