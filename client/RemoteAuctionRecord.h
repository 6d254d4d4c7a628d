#pragma once

#include "DateTimes.h"
#include "RemoteEnums.h"

#include <QDateTime>
#include <QString>
#include <QVariantMap>

namespace Remote {

// One auction as the main program last reported it: every field of the record, whether it was removed
// (Deleted), and its time-left level when it was reported. Dates are the model's naive date-times
// (Qt::UTC used as a container; the zero date 1899-12-30 means "not known").
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
    AucSnipeStates SnipeState = OR2Watching;
    AucTimeLeftLevel LastTimeLeftLevel = OR2Complete;
    // The level computed by the main program when it reported the record.
    AucTimeLeftLevel TimeLeftLevel = OR2Complete;

    // The record as it travels on the bus (a{sv}, dates as seconds since 1970-01-01 00:00 of the naive
    // date-time) and back. Missing or unreadable fields keep the value of a new record.
    QVariantMap toMap() const;
    static AuctionRecord fromMap(const QVariantMap& map);
    // The form of a date on the bus, and back (an unreadable value gives the zero date).
    static qint64 dateValue(const QDateTime& value);
    static QDateTime dateFromValue(const QVariant& value);

    bool operator==(const AuctionRecord& other) const = default;
};

} // namespace Remote

Q_DECLARE_METATYPE(Remote::AuctionRecord)
