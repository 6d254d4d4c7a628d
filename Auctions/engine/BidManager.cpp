#include "BidManager.h"

BidManager::BidManager(QObject* parent) : QObject(parent)
{
}

void BidManager::Init(Auctions&, Clock&)
{
}

void BidManager::Tick()
{
}

void BidManager::setState(eBidderState value)
{
    if (value == m_state)
        return;
    m_state = value;
    Q_EMIT StateChange(value);
}

void BidManager::setPaused(bool value)
{
    setState(value ? eBidderPaused : eBidderGreen);
}

void BidManager::Load(XMLManager&)
{
}

void BidManager::Save(XMLManager&)
{
}
