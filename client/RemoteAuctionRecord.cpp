#include "RemoteAuctionRecord.h"

#include "DateTimes.h"

namespace Remote {

qint64 AuctionRecord::dateValue(const QDateTime& value)
{
    return DateTimes::toSeconds(value);
}

QDateTime AuctionRecord::dateFromValue(const QVariant& value)
{
    bool ok = false;
    const qint64 seconds = value.toLongLong(&ok);
    return ok ? DateTimes::fromSeconds(seconds) : DateTimes::zero();
}

QVariantMap AuctionRecord::toMap() const
{
    return {
        {QStringLiteral("Item"), Item},
        {QStringLiteral("Description"), Description},
        {QStringLiteral("EndTime"), dateValue(EndTime)},
        {QStringLiteral("StartTime"), dateValue(StartTime)},
        {QStringLiteral("Price"), Price},
        {QStringLiteral("Shipping"), Shipping},
        {QStringLiteral("Quantity"), Quantity},
        {QStringLiteral("Bids"), Bids},
        {QStringLiteral("HighBidder"), HighBidder},
        {QStringLiteral("Seller"), Seller},
        {QStringLiteral("LastUpdated"), dateValue(LastUpdated)},
        {QStringLiteral("Comments"), Comments},
        {QStringLiteral("Category"), Category},
        {QStringLiteral("CurrencyTxt"), CurrencyTxt},
        {QStringLiteral("SysComments"), SysComments},
        {QStringLiteral("Deleted"), Deleted},
        {QStringLiteral("SnipeBid"), SnipeBid},
        {QStringLiteral("SnipeSeconds"), SnipeSeconds},
        {QStringLiteral("SnipeQuantity"), SnipeQuantity},
        {QStringLiteral("SnipeState"), qint32(SnipeState)},
        {QStringLiteral("LastTimeLeftLevel"), qint32(LastTimeLeftLevel)},
        {QStringLiteral("TimeLeftLevel"), qint32(TimeLeftLevel)},
    };
}

AuctionRecord AuctionRecord::fromMap(const QVariantMap& map)
{
    AuctionRecord record;
    const auto text = [&map](const char* key, QString& field) {
        const auto found = map.constFind(QLatin1String(key));
        if (found != map.cend())
            field = found->toString();
    };
    const auto date = [&map](const char* key, QDateTime& field) {
        const auto found = map.constFind(QLatin1String(key));
        field = found != map.cend() ? dateFromValue(*found) : DateTimes::zero();
    };
    const auto number = [&map](const char* key, auto& field) {
        const auto found = map.constFind(QLatin1String(key));
        if (found == map.cend())
            return;
        bool ok = false;
        const double value = found->toDouble(&ok);
        if (ok)
            field = static_cast<std::remove_reference_t<decltype(field)>>(value);
    };
    text("Item", record.Item);
    text("Description", record.Description);
    date("EndTime", record.EndTime);
    date("StartTime", record.StartTime);
    number("Price", record.Price);
    number("Shipping", record.Shipping);
    number("Quantity", record.Quantity);
    number("Bids", record.Bids);
    text("HighBidder", record.HighBidder);
    text("Seller", record.Seller);
    date("LastUpdated", record.LastUpdated);
    text("Comments", record.Comments);
    text("Category", record.Category);
    text("CurrencyTxt", record.CurrencyTxt);
    text("SysComments", record.SysComments);
    record.Deleted = map.value(QStringLiteral("Deleted")).toBool();
    number("SnipeBid", record.SnipeBid);
    number("SnipeSeconds", record.SnipeSeconds);
    number("SnipeQuantity", record.SnipeQuantity);
    qint32 state = record.SnipeState;
    number("SnipeState", state);
    if (state >= OR2Watching && state <= OR2BidCancelled)
        record.SnipeState = AucSnipeStates(state);
    const auto level = [&](const char* key, AucTimeLeftLevel& field) {
        qint32 value = field;
        number(key, value);
        if (value >= OR2Complete && value <= OR2Active)
            field = AucTimeLeftLevel(value);
    };
    level("LastTimeLeftLevel", record.LastTimeLeftLevel);
    level("TimeLeftLevel", record.TimeLeftLevel);
    return record;
}

} // namespace Remote
