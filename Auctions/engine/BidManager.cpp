#include "BidManager.h"

#include "TextForms.h"
#include "XMLManager.h"

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

void BidManager::Load(XMLManager& loader)
{
    // A value that is not a flag leaves the state as it is.
    if (const auto paused =
            TextForms::readFlag(loader.ReadProperty(QStringLiteral("Paused"), QStringLiteral("False"))))
        setPaused(*paused);
}

void BidManager::Save(XMLManager& loader)
{
    loader.WriteProperty(QStringLiteral("Paused"), TextForms::flag(Paused()));
}
