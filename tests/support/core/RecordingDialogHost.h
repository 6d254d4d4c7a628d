#pragma once

#include "DialogHost.h"

#include <QStringList>

// Records which editors the model opened, in order ("settings", "clock", "auction:<item>", ...). `Host`
// is DialogHost, or an interface one layer up that extends it and records more into the same list.
template <typename Host> class RecordingEditors : public Host
{
public:
    void viewSettings(Settings&) override { calls << QStringLiteral("settings"); }
    void viewClock(Clock&) override { calls << QStringLiteral("clock"); }
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
};

using RecordingDialogHost = RecordingEditors<DialogHost>;
