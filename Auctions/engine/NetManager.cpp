#include "NetManager.h"

NetManager::NetManager(QObject* parent) : QObject(parent) {}

void NetManager::Init(BidManager&, Clock&) {}

void NetManager::Tick() {}
