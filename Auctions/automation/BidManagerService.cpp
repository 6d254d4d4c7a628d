#include "BidManagerService.h"

#include "Auctions.h"
#include "BidManager.h"
#include "BidManagerAdaptor.h"
#include "cApp.h"

BidManagerService::BidManagerService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new BidManagerAdaptor(this);
}

void BidManagerService::attach(cApp& app)
{
    BusService::attach(app);
    connect(&app.BidManager(), &BidManager::StateChange, this, &BidManagerService::StateChange);
    connect(&app.BidManager(), &BidManager::StatusChange, this, &BidManagerService::StatusChange);
}

void BidManagerService::SendBid(const QString& sItem)
{
    serveChecked([sItem] { checkItem(sItem); },
                 [this, sItem] { app().BidManager().SendBid(app().Auctions().Item(sItem)); });
}

void BidManagerService::Cancel()
{
    serve([this] { app().BidManager().Cancel(); });
}
