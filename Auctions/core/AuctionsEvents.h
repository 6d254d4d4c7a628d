#pragma once

#include "Auction.h"

#include <QObject>

// The relay that every member of one Auctions shares: a member reports its own change here, and the
// collection, listening, raises its own event with the member.
class AuctionsEvents : public QObject
{
    Q_OBJECT
public:
    explicit AuctionsEvents(QObject* parent = nullptr) : QObject(parent) {}

    void raiseUpdated() { Q_EMIT Updated(); }
    void raiseAuctionChanged(Auction* auction) { Q_EMIT AuctionChanged(auction); }
    void raiseAuctionUpdated(Auction* auction) { Q_EMIT AuctionUpdated(auction); }
    void raiseAuctionStateChange(Auction* auction, int SnipeState)
    {
        Q_EMIT AuctionStateChange(auction, SnipeState);
    }

Q_SIGNALS:
    void Updated();
    void AuctionChanged(Auction* auction);
    void AuctionUpdated(Auction* auction);
    void AuctionStateChange(Auction* auction, int SnipeState);
};
