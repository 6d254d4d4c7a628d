#pragma once

#include "RemoteAuctionRecord.h"

#include <QString>
#include <QVariantMap>

namespace Remote {

// One category as the main program last reported it.
struct CategoryRecord
{
    QString Name;
    qint32 MaxWins = 0;
    bool Limited = false;

    // Whether the auction belongs here: its Category equals Name exactly, letter case included.
    bool Contains(const AuctionRecord& auction) const { return auction.Category == Name; }

    QVariantMap toMap() const;
    static CategoryRecord fromMap(const QVariantMap& map);

    bool operator==(const CategoryRecord& other) const = default;
};

} // namespace Remote

Q_DECLARE_METATYPE(Remote::CategoryRecord)
