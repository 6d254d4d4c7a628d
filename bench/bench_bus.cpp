// The model on the session bus with 1,000 auctions: how long a client takes to bind (the program's
// snapshot over the bus and the client's replica filled), how long one auction's change takes to reach
// another client, and what three bound clients cost the program's heartbeat. Run by hand on a private
// bus, headless as the tests run:
//   QT_QPA_PLATFORM=offscreen dbus-run-session -- build/bench/bench_bus
#include "Auctions.h"
#include "BusFace.h"
#include "FakeEngine.h"
#include "OrvBus.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemoteBusBackend.h"
#include "RemotecApp.h"
#include "TestDataFolder.h"
#include "cApp.h"

#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int auctionCount = 1000;

// Runs the event loop until `done` holds or `ms` pass; false on time-out.
template <typename Done> bool waitFor(Done done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

struct Figures
{
    QList<double> ms;
    void print(const char* what) const
    {
        QList<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        std::printf("%s: median %.2f ms, 95th %.2f ms, worst %.2f ms over %lld\n", what,
                    sorted.at(sorted.size() / 2), sorted.at(sorted.size() * 95 / 100), sorted.last(),
                    static_cast<long long>(sorted.size()));
        std::fflush(stdout);
    }
};

QString stateFile()
{
    QString xml =
        QStringLiteral("<Root><Settings><CheckForUpdates>0</CheckForUpdates><AutoSyncDays>0</AutoSyncDays>"
                       "</Settings><Auctions>");
    for (int i = 0; i < auctionCount; ++i) {
        xml += QStringLiteral(
                   "<Auction><Item>%1</Item><Description>Item number %2 with a title of ordinary "
                   "length &amp; marks</Description><EndTime>2099-03-%3 18:30:00</EndTime><StartTime>"
                   "2099-02-25 18:30:00</StartTime><Price>%4</Price><Shipping>6.95</Shipping><Quantity>1"
                   "</Quantity><Bids>%5</Bids><HighBidder>b***r</HighBidder><Seller>seller%5</Seller>"
                   "<LastUpdated>2025-03-01 11:58:02</LastUpdated><Comments>a comment</Comments>"
                   "<Category>%6</Category><SnipeState>0</SnipeState><SnipeBid>0</SnipeBid><SnipeSeconds>8"
                   "</SnipeSeconds><SnipeQuantity>1</SnipeQuantity><Currency>US $</Currency></Auction>")
                   .arg(110000000000LL + i)
                   .arg(i)
                   .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                   .arg(10 + i * 0.25)
                   .arg(i % 40)
                   .arg(i % 3 ? QStringLiteral("Default") : QStringLiteral("Books"));
    }
    xml += QStringLiteral(
        "</Auctions><Categorys><Category><Name>Default</Name><MaxWins>1</MaxWins><Limited>False"
        "</Limited></Category><Category><Name>Books</Name><MaxWins>2</MaxWins><Limited>True</Limited>"
        "</Category></Categorys></Root>");
    return xml;
}

// Binding and a change's way to another client, against the program in a process of its own.
bool benchClient(const QString& dataFolder)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("AUCTIONORV_HOME"), dataFolder);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(ORV_PROGRAM), {});
    const auto running = [] {
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(OrvBus::serviceName).value();
    };
    if (!waitFor(running, 20000)) {
        std::printf("the program did not start\n");
        return false;
    }

    Figures bind;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer timer;
        timer.start();
        Remote::cApp link;
        if (!waitFor([&link] { return link.isBound(); }, 20000)) {
            std::printf("binding timed out\n");
            return false;
        }
        bind.ms << timer.nsecsElapsed() / 1e6;
        if (link.App().Auctions().Count() != auctionCount) {
            std::printf("bound with %d auctions\n", link.App().Auctions().Count());
            return false;
        }
    }
    bind.print("bind with 1000 auctions (snapshot over the bus, replica filled)");

    // The change made by a second client on its own connection; timed until the first client holds it.
    Remote::cApp watcher;
    Remote::cApp changer(std::make_unique<Remote::BusBackend>(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("changer")),
        OrvBus::serviceName));
    if (!waitFor([&] { return watcher.isBound() && changer.isBound(); }, 20000))
        return false;
    Figures change;
    QString expected;
    bool arrived = false;
    QElapsedTimer timer;
    QObject::connect(&watcher.App().Auctions(), &Remote::Auctions::AuctionChanged,
                     [&](const Remote::AuctionRecord& auction) {
                         if (auction.Description == expected && !arrived) {
                             arrived = true;
                             change.ms << timer.nsecsElapsed() / 1e6;
                         }
                     });
    for (int i = 0; i < 200; ++i) {
        const QString item = QString::number(110000000000LL + (i * 7) % auctionCount);
        expected = QStringLiteral("changed %1").arg(i);
        arrived = false;
        timer.start();
        changer.App().Auctions().SetDescription(item, expected);
        if (!waitFor([&arrived] { return arrived; }, 5000)) {
            std::printf("a change did not arrive\n");
            return false;
        }
    }
    change.print("one auction's change reaching another client (the change's own call included)");
    program.kill();
    program.waitForFinished();
    return true;
}

// The heartbeat's cost with no client and with three bound clients, one auction changing each beat.
bool benchHeartbeat(const QString& dataFolder)
{
    qputenv("AUCTIONORV_HOME", dataFolder.toLocal8Bit());
    RecordingShellHost host;
    FakeEngine engine;
    RecordingMessageBoxSink boxes;
    auto* face = new BusFace(QDBusConnection::sessionBus());
    if (!face->claim()) {
        std::printf("the bus name is taken\n");
        return false;
    }
    cApp app(host, boxes, engine.factories());
    face->setParent(&app);
    face->attach(app);
    app.Load();
    face->open();
    const QList<AuctionPtr> auctions = app.Auctions().Items();

    // One beat's own cost, by the thread's processor time (other processes on the machine do not count)
    // and by the wall clock; the median of 20 blocks of 50 beats, as a shared machine's noise is large.
    const auto block = [&](int count) {
        timespec cpuStart{}, cpuEnd{};
        QElapsedTimer wall;
        qint64 cpuNs = 0;
        qint64 wallNs = 0;
        for (int i = 0; i < count; ++i) {
            const AuctionPtr& auction = auctions.at(i % auctions.size());
            auction->Bids += 1;
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
            wall.start();
            app.Tick();
            auction->Changed();
            wallNs += wall.nsecsElapsed();
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
            cpuNs += (cpuEnd.tv_sec - cpuStart.tv_sec) * 1000000000LL + (cpuEnd.tv_nsec - cpuStart.tv_nsec);
            // The rest of the second: the bus is served between beats.
            waitFor([] { return false; }, 2);
        }
        return std::pair{cpuNs / 1e3 / count, wallNs / 1e3 / count};
    };
    const auto beats = [&](int blocks) {
        QList<std::pair<double, double>> results;
        for (int i = 0; i < blocks; ++i)
            results << block(50);
        std::sort(results.begin(), results.end());
        const double cpu = results.at(blocks / 2).first;
        std::sort(results.begin(), results.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });
        return std::pair{cpu, results.at(blocks / 2).second};
    };
    // The program's own heartbeat: how far past its whole second each beat has finished, over `seconds`
    // beats, while an auction changes every half second.
    const auto heartbeat = [&](int seconds) {
        Figures finished;
        const auto connection = QObject::connect(&app, &cApp::Ticked, [&finished] {
            finished.ms << double(QDateTime::currentMSecsSinceEpoch() % 1000);
        });
        QTimer changes;
        int next = 0;
        QObject::connect(&changes, &QTimer::timeout, [&] {
            const AuctionPtr& auction = auctions.at(next++ % auctions.size());
            auction->Bids += 1;
            auction->Changed();
        });
        changes.start(500);
        waitFor([&finished, seconds] { return finished.ms.size() >= seconds; }, (seconds + 5) * 1000);
        QObject::disconnect(connection);
        return finished;
    };
    block(50);
    const auto alone = beats(20);
    const Figures aloneBeat = heartbeat(20);

    QList<QProcess*> clients;
    for (int i = 0; i < 3; ++i) {
        auto* client = new QProcess(&app);
        client->start(QStringLiteral(ORV_LINK_HELPER), {});
        clients << client;
    }
    QByteArray said[3];
    const bool held = waitFor(
        [&] {
            bool all = true;
            for (int i = 0; i < 3; ++i)
                all = (said[i] += clients.at(i)->readAllStandardOutput()).contains("held") && all;
            return all;
        },
        20000);
    if (!held) {
        std::printf("the clients did not bind\n");
        return false;
    }
    block(50);
    const auto withClients = beats(20);
    const Figures clientsBeat = heartbeat(20);
    std::printf("one beat with 1000 auctions and one change (median of blocks): %.1f us processor (%.1f us "
                "wall) alone, %.1f us "
                "processor (%.1f us wall) with three bound clients (%+.1f %% processor)\n",
                alone.first, alone.second, withClients.first, withClients.second,
                (withClients.first - alone.first) / alone.first * 100.0);
    aloneBeat.print("the heartbeat's beats finished, ms past their whole second, alone");
    clientsBeat.print("the heartbeat's beats finished, ms past their whole second, three clients bound");
    for (QProcess* client : clients) {
        client->kill();
        client->waitForFinished();
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    TestDataFolder folder;
    const QString dataFolder = qEnvironmentVariable("AUCTIONORV_HOME");
    QFile file(dataFolder + QStringLiteral("/auctions.xml"));
    if (!file.open(QIODevice::WriteOnly) || file.write(stateFile().toUtf8()) < 0)
        return 1;
    file.close();
    const bool client = benchClient(dataFolder);
    return benchHeartbeat(dataFolder) && client ? 0 : 1;
}
