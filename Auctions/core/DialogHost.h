#pragma once

class Clock;
class Settings;
class TrayBackend;
class VerManager;
#include "Auction.h"
#include "Category.h"

class Auctions;
class Categorys;
class cApp;

// How the model opens and closes windows. The widget layer implements it; model and engine tests use a
// recording fake. Each window that a later part of the program brings adds its own entry here.
class DialogHost
{
public:
    virtual ~DialogHost() = default;

    virtual void viewSplash(cApp& app) = 0;
    virtual void viewMainWindow(cApp& app) = 0;
    virtual void closeMainWindow() = 0;
    virtual bool isMainWindowOpen() const = 0;
    // Brings the open main window to the front (a hand-over while it is shown).
    virtual void raiseMainWindow() = 0;
    virtual void closeAllWindows() = 0;
    virtual void viewAbout(cApp& app) = 0;
    virtual void viewInfo(cApp& app, int eInfo) = 0;
    virtual void viewSettings(Settings& settings) = 0;
    virtual void viewClock(Clock& clock) = 0;
    // The new-version window on the version that the check found.
    virtual void viewVersion(VerManager& verManager) = 0;
    // The notification area, for the tray icon.
    virtual TrayBackend& trayBackend() = 0;
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
