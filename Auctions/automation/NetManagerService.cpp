#include "NetManagerService.h"

#include "NetManager.h"
#include "NetManagerAdaptor.h"
#include "cApp.h"

NetManagerService::NetManagerService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new NetManagerAdaptor(this);
}

void NetManagerService::attach(cApp& app)
{
    BusService::attach(app);
    connect(&app.NetManager(), &NetManager::StatusChange, this, &NetManagerService::StatusChange);
}
