#include "AuctionsService.h"

#include "Auctions.h"
#include "AuctionsAdaptor.h"
#include "cApp.h"

namespace {

// Seconds since 1970-01-01 00:00 of the naive date-time.
qint64 dateValue(const QDateTime& value)
{
    const QDateTime naive = value.isValid() ? value : QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return QDateTime(naive.date(), naive.time(), Qt::UTC).toSecsSinceEpoch();
}

} // namespace

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
        {QStringLiteral("EndTime"), dateValue(auction.EndTime)},
        {QStringLiteral("StartTime"), dateValue(auction.StartTime)},
        {QStringLiteral("Price"), auction.Price},
        {QStringLiteral("Shipping"), auction.Shipping},
        {QStringLiteral("Quantity"), auction.Quantity},
        {QStringLiteral("Bids"), auction.Bids},
        {QStringLiteral("HighBidder"), auction.HighBidder},
        {QStringLiteral("Seller"), auction.Seller},
        {QStringLiteral("LastUpdated"), dateValue(auction.LastUpdated)},
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
