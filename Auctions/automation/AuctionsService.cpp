#include "AuctionsService.h"

#include "Auctions.h"
#include "AuctionsAdaptor.h"
#include "BusAuctionRecord.h"
#include "Category.h"
#include "Categorys.h"
#include "Clock.h"
#include "DateTimes.h"
#include "cApp.h"

#include <QElapsedTimer>
#include <algorithm>
#include <limits>

AuctionsService::AuctionsService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new AuctionsAdaptor(this);
}

void AuctionsService::attach(cApp& app)
{
    BusService::attach(app);
    connect(&app.Auctions(), &Auctions::AuctionChanged, this, &AuctionsService::report);
    connect(&app.Auctions(), &Auctions::Updated, this, [this] {
        // The list changed as a whole, perhaps without a report of each record.
        forgetPacked();
        Q_EMIT Updated();
    });
    // A category renamed or removed moves its auctions without a report of each: their records are
    // packed again, so that a client fetching the list after the categories' report sees them moved.
    connect(&app.Categorys(), &Categorys::Updated, this, &AuctionsService::forgetPacked);
}

namespace {

// The auction as it travels, with the time-left level `level`.
Bus::AuctionRecord busRecord(const Auction& auction, AucTimeLeftLevel level)
{
    Bus::AuctionRecord record;
    record.Item = auction.Item;
    record.Description = auction.Description;
    record.EndTime = auction.EndTime;
    record.StartTime = auction.StartTime;
    record.Price = auction.Price;
    record.Shipping = auction.Shipping;
    record.Quantity = auction.Quantity;
    record.Bids = auction.Bids;
    record.HighBidder = auction.HighBidder;
    record.Seller = auction.Seller;
    record.LastUpdated = auction.LastUpdated;
    record.Comments = auction.Comments;
    record.Category = auction.Category;
    record.CurrencyTxt = auction.CurrencyTxt;
    record.SysComments = auction.SysComments;
    record.Deleted = auction.Deleted;
    record.SnipeBid = auction.SnipeBid;
    record.SnipeSeconds = auction.SnipeSeconds;
    record.SnipeQuantity = auction.SnipeQuantity;
    record.SnipeState = auction.SnipeState;
    record.LastTimeLeftLevel = auction.LastTimeLeftLevel;
    record.TimeLeftLevel = level;
    return record;
}

// A date-time's minute as seconds since 1970, read as the naive time it is.
qint64 minuteOf(const QDateTime& value)
{
    const qint64 seconds = DateTimes::toSeconds(value);
    return seconds - ((seconds % 60) + 60) % 60;
}

} // namespace

QVariantMap AuctionsService::record(Auction& auction)
{
    // Computed for the report, which also makes it the level computed last.
    const AucTimeLeftLevel level = auction.TimeLeftLevel();
    return busRecord(auction, level).toMap();
}

AucTimeLeftLevel AuctionsService::levelAt(const Packed& packed, qint64 siteMinute)
{
    // As Auction::TimeLeftLevel: whole minutes between the two minutes; none without an end time.
    return Auction::levelForMinutes(packed.hasEnd ? (packed.endMinute - siteMinute) / 60 : 0);
}

void AuctionsService::pack(const AuctionPtr& auction, Packed& packed, const QDateTime& siteNow)
{
    const AucTimeLeftLevel level =
        auction->Clock == &app().Clock() ? auction->TimeLeftLevel(siteNow) : auction->TimeLeftLevel();
    packed.bytes = busRecord(*auction, level).packed();
    packed.owner = auction;
    packed.hasEnd = auction->EndTime.isValid() && auction->Clock == &app().Clock();
    packed.endMinute = packed.hasEnd ? minuteOf(auction->EndTime) : 0;
    packed.level = level;
    packed.changed = false;
    m_list.clear();
}

bool AuctionsService::prepare(qint64 budgetMs)
{
    QElapsedTimer spent;
    spent.start();
    const QDateTime siteNow = app().Clock().Time();
    const qint64 siteMinute = minuteOf(siteNow);
    if (!m_changed && siteMinute >= m_lookedAtMinute && siteMinute < m_levelsHoldUntilMinute &&
        app().Auctions().Count() == m_lookedAtCount)
        return true;
    const QList<AuctionPtr> auctions = app().Auctions().Items();
    bool done = true;
    qint64 holdUntil = std::numeric_limits<qint64>::max();
    for (const AuctionPtr& auction : auctions) {
        Packed& packed = m_packed[auction.data()];
        if (packed.changed || packed.owner.isNull() || levelAt(packed, siteMinute) != packed.level) {
            if (done && spent.elapsed() >= budgetMs)
                done = false;
            if (!done)
                continue;
            pack(auction, packed, siteNow);
        }
        holdUntil = std::min(holdUntil, nextLevelMinute(packed));
    }
    if (done) {
        m_changed = false;
        m_lookedAtMinute = siteMinute;
        m_lookedAtCount = auctions.size();
        m_levelsHoldUntilMinute = holdUntil;
    }
    // Records that left the list without a report are let go now and then.
    if (m_packed.size() > 2 * auctions.size() + 64) {
        QHash<const Auction*, Packed> kept;
        kept.reserve(auctions.size());
        for (const AuctionPtr& auction : auctions)
            kept.insert(auction.data(), m_packed.value(auction.data()));
        m_packed = std::move(kept);
    }
    return done;
}

QVariantMap AuctionsService::items()
{
    prepare(std::numeric_limits<qint64>::max());
    if (m_list.isEmpty()) {
        const QList<AuctionPtr> auctions = app().Auctions().Items();
        QList<QByteArray> records;
        records.reserve(auctions.size());
        for (const AuctionPtr& auction : auctions)
            records << m_packed.value(auction.data()).bytes;
        m_list = Bus::AuctionRecord::packList(records);
    }
    return {{Bus::AuctionsKey::Items, m_list}, {Bus::AuctionsKey::Serial, ++m_serial}};
}

qint64 AuctionsService::nextLevelMinute(const Packed& packed)
{
    // The first site minute at which levelAt gives the next level down.
    if (!packed.hasEnd)
        return std::numeric_limits<qint64>::max();
    switch (packed.level) {
    case OR2Active:
        return packed.endMinute - (Auction::ActiveMinutes - 1) * 60;
    case OR2Caution:
        return packed.endMinute - (Auction::CautionMinutes - 1) * 60;
    case OR2Warning:
        return packed.endMinute - (Auction::WarningMinutes - 1) * 60;
    default:
        return std::numeric_limits<qint64>::max();
    }
}

void AuctionsService::forgetPacked()
{
    m_changed = true;
    for (Packed& packed : m_packed)
        packed.changed = true;
    m_list.clear();
}

QVariantMap AuctionsService::Items()
{
    // A list whose records all changed (the first after the start) is packed a part per turn.
    return serveWhenReady([this] { return prepare(BusyTurnMs); }, [this] { return items(); });
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
    answer.insert(Bus::AuctionsKey::Serial, ++m_serial);
    return answer;
}

void AuctionsService::report(Auction* auction)
{
    if (!auction)
        return;
    m_changed = true;
    if (auction->Deleted) {
        m_packed.remove(auction);
        m_list.clear();
    } else if (const auto packed = m_packed.find(auction); packed != m_packed.end()) {
        packed->changed = true;
        m_list.clear();
    }
    Q_EMIT AuctionChanged(record(*auction), ++m_serial);
}
