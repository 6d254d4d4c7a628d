#include "BusAuctionRecord.h"

#include "BusFields.h"
#include "RecordPack.h"

#include <QIODevice>
#include <type_traits>

namespace Bus {

using namespace OrvEnums;

qint64 AuctionRecord::dateValue(const QDateTime& value)
{
    return DateTimes::toSeconds(value);
}

QVariantMap AuctionRecord::toMap() const
{
    return {
        {AuctionKey::Item, Item},
        {AuctionKey::Description, Description},
        {AuctionKey::EndTime, dateValue(EndTime)},
        {AuctionKey::StartTime, dateValue(StartTime)},
        {AuctionKey::Price, Price},
        {AuctionKey::Shipping, Shipping},
        {AuctionKey::Quantity, Quantity},
        {AuctionKey::Bids, Bids},
        {AuctionKey::HighBidder, HighBidder},
        {AuctionKey::Seller, Seller},
        {AuctionKey::LastUpdated, dateValue(LastUpdated)},
        {AuctionKey::Comments, Comments},
        {AuctionKey::Category, Category},
        {AuctionKey::CurrencyTxt, CurrencyTxt},
        {AuctionKey::SysComments, SysComments},
        {AuctionKey::Deleted, Deleted},
        {AuctionKey::SnipeBid, SnipeBid},
        {AuctionKey::SnipeSeconds, SnipeSeconds},
        {AuctionKey::SnipeQuantity, SnipeQuantity},
        {AuctionKey::SnipeState, qint32(SnipeState)},
        {AuctionKey::LastTimeLeftLevel, qint32(LastTimeLeftLevel)},
        {AuctionKey::TimeLeftLevel, qint32(TimeLeftLevel)},
    };
}

AuctionRecord AuctionRecord::fromMap(const QVariantMap& map)
{
    const Fields fields(map);
    AuctionRecord record;
    fields.text(AuctionKey::Item, record.Item);
    fields.text(AuctionKey::Description, record.Description);
    fields.date(AuctionKey::EndTime, record.EndTime);
    fields.date(AuctionKey::StartTime, record.StartTime);
    fields.number(AuctionKey::Price, record.Price);
    fields.number(AuctionKey::Shipping, record.Shipping);
    fields.number(AuctionKey::Quantity, record.Quantity);
    fields.number(AuctionKey::Bids, record.Bids);
    fields.text(AuctionKey::HighBidder, record.HighBidder);
    fields.text(AuctionKey::Seller, record.Seller);
    fields.date(AuctionKey::LastUpdated, record.LastUpdated);
    fields.text(AuctionKey::Comments, record.Comments);
    fields.text(AuctionKey::Category, record.Category);
    fields.text(AuctionKey::CurrencyTxt, record.CurrencyTxt);
    fields.text(AuctionKey::SysComments, record.SysComments);
    fields.flag(AuctionKey::Deleted, record.Deleted);
    fields.number(AuctionKey::SnipeBid, record.SnipeBid);
    fields.number(AuctionKey::SnipeSeconds, record.SnipeSeconds);
    fields.number(AuctionKey::SnipeQuantity, record.SnipeQuantity);
    fields.choice(AuctionKey::SnipeState, record.SnipeState, OR2Watching, OR2BidCancelled);
    fields.choice(AuctionKey::LastTimeLeftLevel, record.LastTimeLeftLevel, OR2Complete, OR2Active);
    fields.choice(AuctionKey::TimeLeftLevel, record.TimeLeftLevel, OR2Complete, OR2Active);
    return record;
}

const QStringList& AuctionRecord::packedNames()
{
    static const QStringList names{
        AuctionKey::Item,          AuctionKey::Description, AuctionKey::EndTime,
        AuctionKey::StartTime,     AuctionKey::Price,       AuctionKey::Shipping,
        AuctionKey::Quantity,      AuctionKey::Bids,        AuctionKey::HighBidder,
        AuctionKey::Seller,        AuctionKey::LastUpdated, AuctionKey::Comments,
        AuctionKey::Category,      AuctionKey::CurrencyTxt, AuctionKey::SysComments,
        AuctionKey::Deleted,       AuctionKey::SnipeBid,    AuctionKey::SnipeSeconds,
        AuctionKey::SnipeQuantity, AuctionKey::SnipeState,  AuctionKey::LastTimeLeftLevel,
        AuctionKey::TimeLeftLevel};
    return names;
}

const QByteArray& AuctionRecord::packedTypes()
{
    // One letter per name above, in its order.
    static const QByteArray types = QByteArrayLiteral("ssxxddiissxssssbdiiiii");
    return types;
}

void AuctionRecord::writePacked(QDataStream& stream) const
{
    RecordPack::writeText(stream, Item);
    RecordPack::writeText(stream, Description);
    stream << dateValue(EndTime) << dateValue(StartTime) << Price << Shipping << Quantity << Bids;
    RecordPack::writeText(stream, HighBidder);
    RecordPack::writeText(stream, Seller);
    stream << dateValue(LastUpdated);
    RecordPack::writeText(stream, Comments);
    RecordPack::writeText(stream, Category);
    RecordPack::writeText(stream, CurrencyTxt);
    RecordPack::writeText(stream, SysComments);
    stream << Deleted << SnipeBid << SnipeSeconds << SnipeQuantity << qint32(SnipeState)
           << qint32(LastTimeLeftLevel) << qint32(TimeLeftLevel);
}

QByteArray AuctionRecord::packed() const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(RecordPack::streamVersion);
    writePacked(stream);
    return bytes;
}

QByteArray AuctionRecord::packList(const QList<QByteArray>& parts)
{
    return RecordPack::packList(packedNames(), packedTypes(), parts);
}

AuctionRecord AuctionRecord::readPacked(QDataStream& stream)
{
    const auto text = [&stream](QString& field) {
        QByteArray bytes;
        stream >> bytes;
        field = QString::fromUtf8(bytes);
    };
    const auto date = [&stream](QDateTime& field) {
        qint64 seconds = 0;
        stream >> seconds;
        field = DateTimes::fromSeconds(seconds);
    };
    // As fromMap: a number outside its list keeps a new record's value.
    const auto choice = [&stream](auto& field, auto first, auto last) {
        qint32 value = 0;
        stream >> value;
        if (value >= qint32(first) && value <= qint32(last))
            field = std::remove_reference_t<decltype(field)>(value);
    };
    AuctionRecord record;
    text(record.Item);
    text(record.Description);
    date(record.EndTime);
    date(record.StartTime);
    stream >> record.Price >> record.Shipping >> record.Quantity >> record.Bids;
    text(record.HighBidder);
    text(record.Seller);
    date(record.LastUpdated);
    text(record.Comments);
    text(record.Category);
    text(record.CurrencyTxt);
    text(record.SysComments);
    stream >> record.Deleted >> record.SnipeBid >> record.SnipeSeconds >> record.SnipeQuantity;
    choice(record.SnipeState, OR2Watching, OR2BidCancelled);
    choice(record.LastTimeLeftLevel, OR2Complete, OR2Active);
    choice(record.TimeLeftLevel, OR2Complete, OR2Active);
    return record;
}

QList<AuctionRecord> AuctionRecord::unpackList(const QByteArray& list)
{
    QDataStream stream(list);
    stream.setVersion(RecordPack::streamVersion);
    QStringList names;
    QByteArray types;
    quint32 count = 0;
    stream >> names >> types >> count;
    if (stream.status() != QDataStream::Ok)
        return {};
    QList<AuctionRecord> records;
    if (names != packedNames() || types != packedTypes()) {
        // Laid out by another version of the program.
        const QVariantList maps = RecordPack::unpackList(list);
        records.reserve(maps.size());
        for (const QVariant& map : maps)
            records << fromMap(map.toMap());
        return records;
    }
    // A count is believed only as far as the bytes can hold it.
    records.reserve(qMin<qsizetype>(count, list.size() / names.size()));
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i)
        records << readPacked(stream);
    if (stream.status() != QDataStream::Ok)
        return {};
    return records;
}

} // namespace Bus
