#include "UpdatersService.h"

#include "Auctions.h"
#include "Updater.h"
#include "Updaters.h"
#include "UpdatersAdaptor.h"
#include "cApp.h"

UpdatersService::UpdatersService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new UpdatersAdaptor(this);
}

void UpdatersService::attach(cApp& app)
{
    BusService::attach(app);
    Updaters& updaters = app.Updaters();
    connect(&updaters, &Updaters::UpdaterChanged, this, [this](int state, Updater* updater) {
        if (updater && updater->Auction)
            Q_EMIT UpdaterChanged(state, updater->Auction->Item);
    });
    connect(&updaters, &Updaters::StateChanged, this, &UpdatersService::StateChanged);
    connect(&updaters, &Updaters::StatusChange, this, &UpdatersService::StatusChange);
}

void UpdatersService::DownloadItem(const QString& sItem)
{
    serveChecked([sItem] { checkItem(sItem); },
                 [this, sItem] { app().Updaters().DownloadItem(app().Auctions().Item(sItem)); });
}

void UpdatersService::DownloadItems(const QStringList& items)
{
    serveChecked(
        [&items] {
            for (const QString& item : items)
                checkItem(item);
        },
        [this, items] {
            // Every item is looked up first: an unknown one refuses the batch before anything starts.
            QList<AuctionPtr> auctions;
            for (const QString& item : items)
                auctions << app().Auctions().Item(item);
            app().Updaters().DownloadItems(auctions);
        });
}

void UpdatersService::Cancel()
{
    serve([this] { app().Updaters().Cancel(); });
}
