#include "BidManager.h"

BidManager::BidManager(QObject* parent) : QObject(parent) {}

void BidManager::Init(Auctions&, Clock&) {}

void BidManager::Tick() {}

void BidManager::Load(XMLManager&) {}

void BidManager::Save(XMLManager&) {}
