#pragma once

#include "DialogHost.h"
#include "FakeTrayBackend.h"

#include <QStringList>

// Records which windows the model opened and closed, in order ("splash", "main", "closeMain", ...);
// the notification area is a FakeTrayBackend.
class RecordingDialogHost : public DialogHost
{
public:
    void viewSplash(cApp&) override { calls << QStringLiteral("splash"); }
    void viewMainWindow(cApp&) override
    {
        calls << QStringLiteral("main");
        mainOpen = true;
    }
    void closeMainWindow() override
    {
        calls << QStringLiteral("closeMain");
        mainOpen = false;
    }
    bool isMainWindowOpen() const override { return mainOpen; }
    void raiseMainWindow() override { calls << QStringLiteral("raiseMain"); }
    void closeAllWindows() override
    {
        calls << QStringLiteral("closeAll");
        mainOpen = false;
    }
    void viewAbout(cApp&) override { calls << QStringLiteral("about"); }
    void viewInfo(cApp&, int eInfo) override { calls << QStringLiteral("info:%1").arg(eInfo); }
    void viewSettings(Settings&) override { calls << QStringLiteral("settings"); }
    void viewClock(Clock&) override { calls << QStringLiteral("clock"); }
    void viewVersion(VerManager&) override { calls << QStringLiteral("version"); }
    TrayBackend& trayBackend() override { return tray; }
    // "auction:<item>" ("auction:" for a new one), "auctionNewItem:<item>:<category>", "bid:<item>",
    // "newBid:<item>", "category:<name>" ("category:" for a new one), "categoryDelete:<name>".
    void viewAuction(Auctions&, Categorys&, const AuctionPtr& auction) override
    {
        calls << QStringLiteral("auction:") + (auction ? auction->Item : QString());
    }
    void viewAuctionNewItem(Auctions&, Categorys&, const QString& sItem, const QString& sCategory) override
    {
        calls << QStringLiteral("auctionNewItem:%1:%2").arg(sItem, sCategory);
    }
    void viewAuctionBid(const AuctionPtr& auction, bool newBid) override
    {
        calls << (newBid ? QStringLiteral("newBid:") : QStringLiteral("bid:")) + auction->Item;
    }
    void viewCategory(Categorys&, Auctions&, const CategoryPtr& category) override
    {
        calls << QStringLiteral("category:") + (category ? category->Name : QString());
    }
    void viewCategoryDelete(Auctions&, Categorys&, const CategoryPtr& category) override
    {
        calls << QStringLiteral("categoryDelete:") + category->Name;
    }

    QStringList calls;
    bool mainOpen = false;
    FakeTrayBackend tray;
};
