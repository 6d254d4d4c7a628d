#include "Auction.h"

#include "AuctionsEvents.h"
#include "DateTimes.h"

Auction::Auction(qint32 defaultSnipeTime)
    : EndTime(DateTimes::zero()), StartTime(DateTimes::zero()), LastUpdated(DateTimes::zero()),
      SnipeSeconds(defaultSnipeTime)
{
}

bool Auction::IsBidding() const
{
    return SnipeState == OR2BidSet || SnipeState == OR2BidPreparing || SnipeState == OR2BidPrepared ||
           SnipeState == OR2BidSending;
}

void Auction::Changed()
{
    if (Events)
        Events->raiseAuctionChanged(this);
}

void Auction::Updated()
{
    if (Events)
        Events->raiseAuctionUpdated(this);
}

void Auction::Load(XMLManager&) {}

void Auction::Save(XMLManager&) {}
