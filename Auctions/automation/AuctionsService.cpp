#include "AuctionsService.h"

#include "Auctions.h"
#include "AuctionsAdaptor.h"
#include "DateTimes.h"
#include "cApp.h"

AuctionsService::AuctionsService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new AuctionsAdaptor(this);
}

void AuctionsService::attach(cApp& app)
{
    BusService::attach(app);
    connect(&app.Auctions(), &Auctions::AuctionChanged, this, &AuctionsService::report);
    connect(&app.Auctions(), &Auctions::Updated, this, &AuctionsService::Updated);
}

QVariantMap AuctionsService::record(Auction& auction)
{
    // Computed for the report, which also makes it the level computed last.
    const AucTimeLeftLevel level = auction.TimeLeftLevel();
    return {
        {QStringLiteral("Item"), auction.Item},
        {QStringLiteral("Description"), auction.Description},
        {QStringLiteral("EndTime"), DateTimes::toSeconds(auction.EndTime)},
        {QStringLiteral("StartTime"), DateTimes::toSeconds(auction.StartTime)},
        {QStringLiteral("Price"), auction.Price},
        {QStringLiteral("Shipping"), auction.Shipping},
        {QStringLiteral("Quantity"), auction.Quantity},
        {QStringLiteral("Bids"), auction.Bids},
        {QStringLiteral("HighBidder"), auction.HighBidder},
        {QStringLiteral("Seller"), auction.Seller},
        {QStringLiteral("LastUpdated"), DateTimes::toSeconds(auction.LastUpdated)},
        {QStringLiteral("Comments"), auction.Comments},
        {QStringLiteral("Category"), auction.Category},
        {QStringLiteral("CurrencyTxt"), auction.CurrencyTxt},
        {QStringLiteral("SysComments"), auction.SysComments},
        {QStringLiteral("Deleted"), auction.Deleted},
        {QStringLiteral("SnipeBid"), auction.SnipeBid},
        {QStringLiteral("SnipeSeconds"), auction.SnipeSeconds},
        {QStringLiteral("SnipeQuantity"), auction.SnipeQuantity},
        {QStringLiteral("SnipeState"), qint32(auction.SnipeState)},
        {QStringLiteral("LastTimeLeftLevel"), qint32(auction.LastTimeLeftLevel)},
        {QStringLiteral("TimeLeftLevel"), qint32(level)},
    };
}

QVariantMap AuctionsService::items()
{
    QVariantList records;
    const QList<AuctionPtr> auctions = app().Auctions().Items();
    records.reserve(auctions.size());
    for (const AuctionPtr& auction : auctions)
        records << record(*auction);
    return {{QStringLiteral("Items"), records}, {QStringLiteral("Serial"), ++m_serial}};
}

QVariantMap AuctionsService::Items()
{
    return serve([this] { return items(); });
}

bool AuctionsService::Exists(const QString& sItem)
{
    return serve([this, sItem] { return app().Auctions().Exists(sItem); });
}

QVariantMap AuctionsService::Add(const QString& sItem, const QString& sCategory)
{
    return serve([this, sItem, sCategory] { return answer(*app().Auctions().Add(sItem, sCategory)); });
}

QVariantMap AuctionsService::Remove(const QString& sItem)
{
    return serve([this, sItem] {
        const AuctionPtr auction = app().Auctions().Item(sItem);
        app().Auctions().Remove(sItem);
        return answer(*auction);
    });
}

QVariantMap AuctionsService::SetCategory(const QString& sItem, const QString& sCategory)
{
    return serve([this, sItem, sCategory] {
        const AuctionPtr auction = app().Auctions().Item(sItem);
        auction->Category = sCategory;
        auction->Changed();
        return answer(*auction);
    });
}

QVariantMap AuctionsService::SetDescription(const QString& sItem, const QString& sDescription)
{
    return serve([this, sItem, sDescription] {
        const AuctionPtr auction = app().Auctions().Item(sItem);
        auction->Description = sDescription;
        auction->Changed();
        return answer(*auction);
    });
}

void AuctionsService::ViewAdd(const QString& sItem, const QString& sCategory)
{
    serve([this, sItem, sCategory] { app().Auctions().ViewAdd(sItem, sCategory); });
}

void AuctionsService::ViewEdit(const QString& sItem)
{
    serve([this, sItem] { app().Auctions().ViewEdit(app().Auctions().Item(sItem)); });
}

void AuctionsService::ViewEditBid(const QString& sItem)
{
    serve([this, sItem] { app().Auctions().ViewEditBid(app().Auctions().Item(sItem)); });
}

void AuctionsService::ViewNewBid(const QString& sItem)
{
    serve([this, sItem] { app().Auctions().ViewNewBid(app().Auctions().Item(sItem)); });
}

QVariantMap AuctionsService::answer(Auction& auction)
{
    QVariantMap answer = record(auction);
    answer.insert(QStringLiteral("Serial"), ++m_serial);
    return answer;
}

void AuctionsService::report(Auction* auction)
{
    if (auction)
        Q_EMIT AuctionChanged(record(*auction), ++m_serial);
}
