#include "AuctionsService.h"

#include "Auctions.h"
#include "AuctionsAdaptor.h"
#include "Category.h"
#include "Categorys.h"
#include "Clock.h"
#include "DateTimes.h"
#include "RecordPack.h"
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

namespace {

QVariantMap fields(const Auction& auction, AucTimeLeftLevel level)
{
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

bool sameDate(const QDateTime& a, const QDateTime& b)
{
    return a.timeSpec() == b.timeSpec() && a == b;
}

// Whether a record made from `a` would be the one made from `b`.
bool sameFields(const Auction& a, const Auction& b)
{
    return a.Item == b.Item && a.Description == b.Description && sameDate(a.EndTime, b.EndTime) &&
           sameDate(a.StartTime, b.StartTime) && a.Price == b.Price && a.Shipping == b.Shipping &&
           a.Quantity == b.Quantity && a.Bids == b.Bids && a.HighBidder == b.HighBidder &&
           a.Seller == b.Seller && sameDate(a.LastUpdated, b.LastUpdated) && a.Comments == b.Comments &&
           a.Category == b.Category && a.CurrencyTxt == b.CurrencyTxt && a.SysComments == b.SysComments &&
           a.Deleted == b.Deleted && a.SnipeBid == b.SnipeBid && a.SnipeSeconds == b.SnipeSeconds &&
           a.SnipeQuantity == b.SnipeQuantity && a.SnipeState == b.SnipeState &&
           a.LastTimeLeftLevel == b.LastTimeLeftLevel;
}

} // namespace

QVariantMap AuctionsService::record(Auction& auction)
{
    // Computed for the report, which also makes it the level computed last.
    const AucTimeLeftLevel level = auction.TimeLeftLevel();
    return fields(auction, level);
}

const QStringList& AuctionsService::recordNames()
{
    static const QStringList names = fields(Auction(), OR2Complete).keys();
    return names;
}

QVariantMap AuctionsService::items()
{
    const QList<AuctionPtr> auctions = app().Auctions().Items();
    const QDateTime siteNow = app().Clock().Time();
    QList<QByteArray> records;
    records.reserve(auctions.size());
    for (const AuctionPtr& auction : auctions)
        records << packed(*auction, siteNow);
    // Records that left the list without a report are let go now and then.
    if (m_packed.size() > 2 * auctions.size() + 64) {
        QHash<const Auction*, Packed> kept;
        kept.reserve(auctions.size());
        for (const AuctionPtr& auction : auctions)
            kept.insert(auction.data(), m_packed.value(auction.data()));
        m_packed = std::move(kept);
    }
    return {{QStringLiteral("Items"), RecordPack::packList(recordNames(), records)},
            {QStringLiteral("Serial"), ++m_serial}};
}

const QByteArray& AuctionsService::packed(Auction& auction, const QDateTime& siteNow)
{
    const AucTimeLeftLevel level =
        auction.Clock == &app().Clock() ? auction.TimeLeftLevel(siteNow) : auction.TimeLeftLevel();
    Packed& entry = m_packed[&auction];
    if (entry.bytes.isEmpty() || !sameFields(entry.values, auction)) {
        entry.values = auction;
        entry.bytes = RecordPack::packRecord(fields(auction, level), recordNames());
    }
    return entry.bytes;
}

QVariantMap AuctionsService::Items()
{
    return serve([this] { return items(); });
}

bool AuctionsService::Exists(const QString& sItem)
{
    return serveChecked([sItem] { checkItem(sItem); },
                        [this, sItem] { return app().Auctions().Exists(sItem); });
}

QVariantMap AuctionsService::Add(const QString& sItem, const QString& sCategory)
{
    return serveChecked(
        [sItem, sCategory] {
            checkItem(sItem);
            checkName(sCategory);
        },
        [this, sItem, sCategory] {
            // An item number that the model refuses is refused with the model's sentence; a new auction
            // goes only into a category that exists, where the lists show it.
            const QString item = sItem.trimmed();
            const bool itemRefused = item.isEmpty() || !Auctions::isValidItemNumber(item) || holds(item);
            const QString category = itemRefused ? sCategory : categoryNamed(sCategory);
            return answer(*app().Auctions().Add(sItem, category));
        });
}

QVariantMap AuctionsService::Remove(const QString& sItem)
{
    return serveChecked([sItem] { checkItem(sItem); },
                        [this, sItem] {
                            const AuctionPtr auction = app().Auctions().Item(sItem);
                            app().Auctions().Remove(sItem);
                            return answer(*auction);
                        });
}

QVariantMap AuctionsService::SetCategory(const QString& sItem, const QString& sCategory)
{
    return serveChecked(
        [sItem, sCategory] {
            checkItem(sItem);
            checkName(sCategory);
        },
        [this, sItem, sCategory] {
            const AuctionPtr auction = app().Auctions().Item(sItem);
            auction->Category = categoryNamed(sCategory);
            auction->Changed();
            return answer(*auction);
        });
}

QVariantMap AuctionsService::SetDescription(const QString& sItem, const QString& sDescription)
{
    return serveChecked(
        [sItem, sDescription] {
            checkItem(sItem);
            checkLength(sDescription, MaxTextLength, QStringLiteral("The description"));
        },
        [this, sItem, sDescription] {
            const AuctionPtr auction = app().Auctions().Item(sItem);
            auction->Description = sDescription;
            auction->Changed();
            return answer(*auction);
        });
}

void AuctionsService::ViewAdd(const QString& sItem, const QString& sCategory)
{
    serveChecked(
        [sItem, sCategory] {
            checkItem(sItem);
            checkName(sCategory);
        },
        [this, sItem, sCategory] { app().Auctions().ViewAdd(sItem, sCategory); });
}

void AuctionsService::ViewEdit(const QString& sItem)
{
    serveChecked([sItem] { checkItem(sItem); },
                 [this, sItem] { app().Auctions().ViewEdit(app().Auctions().Item(sItem)); });
}

void AuctionsService::ViewEditBid(const QString& sItem)
{
    serveChecked([sItem] { checkItem(sItem); },
                 [this, sItem] { app().Auctions().ViewEditBid(app().Auctions().Item(sItem)); });
}

void AuctionsService::ViewNewBid(const QString& sItem)
{
    serveChecked([sItem] { checkItem(sItem); },
                 [this, sItem] { app().Auctions().ViewNewBid(app().Auctions().Item(sItem)); });
}

bool AuctionsService::holds(const QString& sItem)
{
    try {
        app().Auctions().Item(sItem);
        return true;
    } catch (const OrvError&) {
        return false;
    }
}

QString AuctionsService::categoryNamed(const QString& sCategory)
{
    return app().Categorys().Item(sCategory)->Name;
}

QVariantMap AuctionsService::answer(Auction& auction)
{
    QVariantMap answer = record(auction);
    answer.insert(QStringLiteral("Serial"), ++m_serial);
    return answer;
}

void AuctionsService::report(Auction* auction)
{
    if (!auction)
        return;
    if (auction->Deleted)
        m_packed.remove(auction);
    Q_EMIT AuctionChanged(record(*auction), ++m_serial);
}
