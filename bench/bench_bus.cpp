// The model on the session bus with 1,000 auctions: how long a client takes to bind (the program's
// snapshot over the bus and the client's replica filled), how long one auction's change takes to reach
// another client, and what three bound clients cost the program's heartbeat. Then whole-list reads of
// 100,000 auctions: ten clients reading the list back to back from the moment the program starts loading,
// how long each read takes to its answer's arrival, and how late two bids due 2 and 8 seconds after the
// load reach the loopback site meanwhile. Run by hand on a private bus, headless as the tests run (the
// option --lists [clients] runs the last part alone, with that many reading clients):
//   QT_QPA_PLATFORM=offscreen QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox dbus-run-session --
//   build/bench/bench_bus
#include "Auctions.h"
#include "AuctionsService.h"
#include "BidManager.h"
#include "BusFace.h"
#include "BusGate.h"
#include "Clock.h"
#include "DateTimes.h"
#include "FakeBidSite.h"
#include "FakeEngine.h"
#include "OrvBus.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemoteBusBackend.h"
#include "RemotecApp.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "WebEngineTest.h"
#include "cApp.h"

#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMutex>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>

namespace {

constexpr int auctionCount = 1000;
constexpr int wholeListCount = 100000;

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

QString stateFile(int count = auctionCount)
{
    QString xml =
        QStringLiteral("<Root><Settings><CheckForUpdates>0</CheckForUpdates><AutoSyncDays>0</AutoSyncDays>"
                       "</Settings><Auctions>");
    for (int i = 0; i < count; ++i) {
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

// A client on a connection of its own that reads the whole auction list back to back, timing each read
// from its call to its answer's arrival (what the client then makes of the answer is its own cost).
class ListReader : public QThread
{
public:
    explicit ListReader(int number) : m_name(QStringLiteral("reader%1").arg(number)) {}

    void stop() { m_stop = true; }
    QList<double> ms() const
    {
        QMutexLocker lock(&m_mutex);
        return m_ms;
    }
    qsizetype failures() const { return m_failures; }

protected:
    void run() override
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name);
        const QDBusMessage items = QDBusMessage::createMethodCall(
            OrvBus::serviceName, OrvBus::auctionsPath, OrvBus::interfaceOf(QStringLiteral("Auctions")),
            QStringLiteral("Items"));
        while (!m_stop) {
            QElapsedTimer timer;
            timer.start();
            const QDBusMessage reply = bus.call(items, QDBus::Block, 120000);
            const double ms = timer.nsecsElapsed() / 1e6;
            if (reply.type() != QDBusMessage::ReplyMessage) {
                ++m_failures;
                QThread::msleep(50);
                continue;
            }
            QMutexLocker lock(&m_mutex);
            m_ms << ms;
        }
        QDBusConnection::disconnectFromBus(m_name);
    }

private:
    QString m_name;
    std::atomic_bool m_stop = false;
    std::atomic<qsizetype> m_failures = 0;
    mutable QMutex m_mutex;
    QList<double> m_ms;
};

// The PC clock's reading `local` as milliseconds since the epoch.
qint64 epochMs(const QDateTime& local)
{
    return QDateTime(local.date(), local.time(), Qt::LocalTime).toMSecsSinceEpoch();
}

// Ten clients read the list of 100,000 auctions back to back from before the load; two bids are due 2
// and 8 seconds after the load.
bool benchWholeList(const QString& dataFolder, int readerCount)
{
    QFile file(dataFolder + QStringLiteral("/auctions.xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(stateFile(wholeListCount).toUtf8()) < 0)
        return false;
    file.close();
    FakeBidSite site;
    if (!site.start())
        return false;
    RecordingShellHost host;
    FakeEngine engine;
    RecordingMessageBoxSink boxes;
    auto* face = new BusFace(QDBusConnection::sessionBus());
    if (!face->claim()) {
        std::printf("the bus name is taken\n");
        return false;
    }
    QList<ListReader*> readers;
    for (int i = 0; i < readerCount; ++i) {
        readers << new ListReader(i);
        readers.last()->start();
    }
    // The readers' first calls wait at the gate while the list loads.
    QThread::msleep(300);
    cApp app(host, boxes, engine.factoriesWithRealBrowsers());
    face->setParent(&app);
    face->attach(app);
    QElapsedTimer load;
    load.start();
    app.Load();
    const qint64 loadMs = load.elapsed();
    std::printf("the state file of %d auctions loaded in %lld ms\n", wholeListCount,
                static_cast<long long>(loadMs));
    std::fflush(stdout);
    app.Settings().Username = site.Username;
    app.Settings().Password = site.Password;
    app.Settings().RedMinutes = 1;
    app.Settings().PrepareSeconds = 60;
    QHash<QString, qint64> sendMoments;
    QList<AuctionPtr> snipes;
    const QDateTime siteNow = DateTimes::truncatedToSecond(app.Clock().Time());
    for (const int dueAfter : {2, 8}) {
        const AuctionPtr a = app.Auctions().Add(QString::number(3000 + dueAfter), QStringLiteral("Default"));
        a->SnipeSeconds = 5;
        a->EndTime = siteNow.addSecs(dueAfter + a->SnipeSeconds);
        a->SnipeBid = 10;
        a->SnipeState = OR2BidSet;
        a->Changed();
        sendMoments.insert(a->Item, epochMs(a->EndTime.addSecs(-a->SnipeSeconds - app.Clock().Variance())));
        snipes << a;
    }
    app.BidManager().RefreshState();
    // The heartbeat's beats while the clients read: how far past its whole second each has finished.
    Figures beats;
    QObject::connect(&app, &cApp::Ticked,
                     [&beats] { beats.ms << double(QDateTime::currentMSecsSinceEpoch() % 1000); });
    face->open();
    const bool ended = waitForEngine(
        [&] {
            return std::all_of(snipes.cbegin(), snipes.cend(), [](const AuctionPtr& a) {
                return a->SnipeState == OR2BidSuccess || a->SnipeState == OR2BidFailed;
            });
        },
        60000);
    // Reads go on a while longer, for their figures.
    waitFor([] { return false; }, 5000);
    Figures reads;
    qsizetype failures = 0;
    // The readers' last calls are answered while the program runs.
    for (ListReader* reader : readers)
        reader->stop();
    waitFor(
        [&readers] {
            return std::all_of(readers.cbegin(), readers.cend(),
                               [](ListReader* r) { return r->isFinished(); });
        },
        150000);
    for (ListReader* reader : readers) {
        reader->wait();
        reads.ms << reader->ms();
        failures += reader->failures();
        delete reader;
    }
    if (!reads.ms.isEmpty())
        reads.print(qPrintable(QStringLiteral("a whole-list read of 100000 auctions, call to answer, %1 "
                                              "client(s) back to back")
                                   .arg(readerCount)));
    std::printf("failed reads: %lld\n", static_cast<long long>(failures));
    if (!beats.ms.isEmpty()) {
        beats.print(qPrintable(
            QStringLiteral("the heartbeat's beats finished, ms past their whole second, %1 client(s) reading")
                .arg(readerCount)));
        QStringList each;
        for (const double ms : std::as_const(beats.ms))
            each << QString::number(ms);
        std::printf("  each beat in order: %s\n", qPrintable(each.join(QLatin1Char(' '))));
    }
    for (const FakeSite::Request& bid : site.requests(FakeBidSite::Confirmation)) {
        const QString item = bid.form.value(QStringLiteral("item"));
        std::printf("bid %s due %s s after the load: submitted %lld ms after its moment\n", qPrintable(item),
                    item == QLatin1String("3002") ? "2" : "8",
                    static_cast<long long>(bid.receivedMs - sendMoments.value(item)));
    }
    for (const AuctionPtr& a : snipes)
        std::printf("bid %s ended in state %d (%s)\n", qPrintable(a->Item), int(a->SnipeState),
                    qPrintable(a->SysComments));
    {
        // What one answer costs the program's thread before the bus library sends it: the first packs
        // every record, the next ones reuse them.
        BusGate gate;
        AuctionsService auctions(gate);
        auctions.attach(app);
        Figures answer;
        qsizetype bytes = 0;
        for (int i = 0; i < 11; ++i) {
            QElapsedTimer timer;
            timer.start();
            bytes = auctions.items().value(QStringLiteral("Items")).toByteArray().size();
            if (i > 0)
                answer.ms << timer.nsecsElapsed() / 1e6;
            else
                std::printf("the first answer, every record packed: %.1f ms\n", timer.nsecsElapsed() / 1e6);
        }
        answer.print("a whole-list answer made on the program's thread, records packed before");
        std::printf("the answer's packed list: %.1f MB\n", bytes / 1e6);
    }
    {
        // What the bus library's marshalling of such an answer costs the thread that sends it.
        BusGate gate;
        AuctionsService auctions(gate);
        auctions.attach(app);
        const QVariantMap answer = auctions.items();
        Figures send;
        for (int i = 0; i < 10; ++i) {
            QDBusMessage message = QDBusMessage::createSignal(
                QStringLiteral("/Bench"), QStringLiteral("org.auctionorv.Bench"), QStringLiteral("List"));
            message << answer;
            QElapsedTimer timer;
            timer.start();
            QDBusConnection::sessionBus().send(message);
            send.ms << timer.nsecsElapsed() / 1e6;
        }
        send.print("sending such an answer (the bus library's marshalling on the sending thread)");
    }
    std::fflush(stdout);
    return ended;
}

} // namespace

int main(int argc, char** argv)
{
    // The hidden browser windows of the bids need this before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication application(argc, argv);
    TestDataFolder folder;
    const QString dataFolder = qEnvironmentVariable("AUCTIONORV_HOME");
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1) == QLatin1String("--lists"))
        return benchWholeList(dataFolder, arguments.size() > 2 ? arguments.value(2).toInt() : 10) ? 0 : 1;
    QFile file(dataFolder + QStringLiteral("/auctions.xml"));
    if (!file.open(QIODevice::WriteOnly) || file.write(stateFile().toUtf8()) < 0)
        return 1;
    file.close();
    const bool client = benchClient(dataFolder);
    const bool heartbeat = benchHeartbeat(dataFolder);
    return benchWholeList(dataFolder, 10) && heartbeat && client ? 0 : 1;
}
