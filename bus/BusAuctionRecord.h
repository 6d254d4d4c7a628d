#pragma once

#include "DateTimes.h"
#include "OrvEnums.h"

#include <QByteArray>
#include <QDataStream>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace Bus {

// The keys of an auction's fields on the bus.
namespace AuctionKey {
inline const QString Item = QStringLiteral("Item");
inline const QString Description = QStringLiteral("Description");
inline const QString EndTime = QStringLiteral("EndTime");
inline const QString StartTime = QStringLiteral("StartTime");
inline const QString Price = QStringLiteral("Price");
inline const QString Shipping = QStringLiteral("Shipping");
inline const QString Quantity = QStringLiteral("Quantity");
inline const QString Bids = QStringLiteral("Bids");
inline const QString HighBidder = QStringLiteral("HighBidder");
inline const QString Seller = QStringLiteral("Seller");
inline const QString LastUpdated = QStringLiteral("LastUpdated");
inline const QString Comments = QStringLiteral("Comments");
inline const QString Category = QStringLiteral("Category");
inline const QString CurrencyTxt = QStringLiteral("CurrencyTxt");
inline const QString SysComments = QStringLiteral("SysComments");
inline const QString Deleted = QStringLiteral("Deleted");
inline const QString SnipeBid = QStringLiteral("SnipeBid");
inline const QString SnipeSeconds = QStringLiteral("SnipeSeconds");
inline const QString SnipeQuantity = QStringLiteral("SnipeQuantity");
inline const QString SnipeState = QStringLiteral("SnipeState");
inline const QString LastTimeLeftLevel = QStringLiteral("LastTimeLeftLevel");
inline const QString TimeLeftLevel = QStringLiteral("TimeLeftLevel");
} // namespace AuctionKey

// The answer of Auctions.Items {Items: a packed list, Serial}; Serial also beside the fields of a record
// that answers a command.
namespace AuctionsKey {
inline const QString Items = QStringLiteral("Items");
inline const QString Serial = QStringLiteral("Serial");
} // namespace AuctionsKey

// One auction as it travels: every field of the model's record, whether it was removed (Deleted), and
// its time-left level when it was sent. Dates are the model's naive date-times (Qt::UTC used as a
// container; the zero date 1899-12-30 means "not known").
struct AuctionRecord
{
    QString Item;
    QString Description;
    QDateTime EndTime = DateTimes::zero();
    QDateTime StartTime = DateTimes::zero();
    double Price = 0;
    double Shipping = 0;
    qint32 Quantity = 0;
    qint32 Bids = 0;
    QString HighBidder;
    QString Seller;
    QDateTime LastUpdated = DateTimes::zero();
    QString Comments;
    QString Category;
    QString CurrencyTxt;
    QString SysComments;
    bool Deleted = false;
    double SnipeBid = 0;
    qint32 SnipeSeconds = 0;
    qint32 SnipeQuantity = 1;
    OrvEnums::AucSnipeStates SnipeState = OrvEnums::OR2Watching;
    OrvEnums::AucTimeLeftLevel LastTimeLeftLevel = OrvEnums::OR2Complete;
    // The level the sender computed when it sent the record.
    OrvEnums::AucTimeLeftLevel TimeLeftLevel = OrvEnums::OR2Complete;

    // The record as a{sv} (dates as seconds since 1970-01-01 00:00 of the naive date-time, the states
    // and levels as int32) and back. Missing or unreadable fields keep the value of a new record; so do
    // states and levels outside their lists.
    QVariantMap toMap() const;
    static AuctionRecord fromMap(const QVariantMap& map);

    // The packed form of a whole list (RecordPack): the field names and their types, the part of one
    // record, written straight to the stream, and the list laid out from such parts.
    static const QStringList& packedNames();
    static const QByteArray& packedTypes();
    void writePacked(QDataStream& stream) const;
    QByteArray packed() const;
    static QByteArray packList(const QList<QByteArray>& parts);
    // The records of a packed list; empty when it does not read. A list laid out as packedNames and
    // packedTypes say is read straight from the stream (readPacked), any other field by field by name.
    static QList<AuctionRecord> unpackList(const QByteArray& list);
    static AuctionRecord readPacked(QDataStream& stream);

    // The form of a date on the bus.
    static qint64 dateValue(const QDateTime& value);

    bool operator==(const AuctionRecord& other) const = default;
};

} // namespace Bus

Q_DECLARE_METATYPE(Bus::AuctionRecord)
