#pragma once

class Clock;
class Settings;
#include "Auction.h"
#include "Category.h"

class Auctions;
class Categorys;

// How the model opens its editors. The widget layer implements it; model and engine tests use a
// recording fake. The application shell's own windows come through ShellHost, one layer up.
class DialogHost
{
public:
    virtual ~DialogHost() = default;

    virtual void viewSettings(Settings& settings) = 0;
    virtual void viewClock(Clock& clock) = 0;
    // The auction editor on `auction`, or on a new, empty auction when it is null.
    virtual void viewAuction(Auctions& auctions, Categorys& categorys, const AuctionPtr& auction) = 0;
    // The auction editor on a new auction with its item number and category filled in; it starts the
    // item page's download at once.
    virtual void viewAuctionNewItem(Auctions& auctions, Categorys& categorys, const QString& sItem,
                                    const QString& sCategory) = 0;
    // The bid dialog on the auction; `newBid` preselects the bid state.
    virtual void viewAuctionBid(const AuctionPtr& auction, bool newBid) = 0;
    // The category editor on `category`, or on a new category when it is null.
    virtual void viewCategory(Categorys& categorys, Auctions& auctions, const CategoryPtr& category) = 0;
    // The category remover, which moves the category's auctions elsewhere and removes it.
    virtual void viewCategoryDelete(Auctions& auctions, Categorys& categorys,
                                    const CategoryPtr& category) = 0;
};
