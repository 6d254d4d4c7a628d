// Ends the way the program ends while bids run: one attempt holds at the review step in its hidden browser
// window, another has just ended and its window waits out its close delay; the event loop stops, the
// attempts are deleted, and the application object goes. Prints "holding" once the first attempt holds.
#include "BidSender.h"
#include "BidSenders.h"
#include "FakeBidSite.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "frmBrowser.h"

#include <QGuiApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    TestDataFolder data;
    FakeBidSite site;
    if (!site.start())
        return 2;
    Settings settings;
    settings.Username = site.Username;
    settings.Password = site.Password;
    settings.PrepareSeconds = 30;
    auto* senders = new BidSenders([&settings] { return new frmBrowser(settings); }, settings, {});

    auto bid = [](const QString& item) {
        auto auction = AuctionPtr::create();
        auction->Item = item;
        auction->SnipeBid = 10;
        auction->SnipeState = OR2BidSet;
        return auction;
    };
    const AuctionPtr holding = bid(QStringLiteral("1"));
    const AuctionPtr ending = bid(QStringLiteral("2"));
    QObject::connect(senders, &BidSenders::StateChanged, senders, [&](qint32 state, BidSender* sender) {
        if (state != BidSender::Holding)
            return;
        if (sender->Auction == ending) {
            sender->Cancel();
        } else {
            std::puts("holding");
            std::fflush(stdout);
        }
        if (holding->SnipeState == OR2BidPrepared && ending->SnipeState == OR2BidFailed)
            QCoreApplication::quit();
    });
    senders->Prepare(holding, false);
    senders->Prepare(ending, false);
    QTimer::singleShot(60000, &app, [] { QCoreApplication::exit(3); });
    const int result = QGuiApplication::exec();
    delete senders;
    return result;
}
