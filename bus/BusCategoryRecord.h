#pragma once

#include "BusAuctionRecord.h"

#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace Bus {

namespace CategoryKey {
inline const QString Name = QStringLiteral("Name");
inline const QString MaxWins = QStringLiteral("MaxWins");
inline const QString Limited = QStringLiteral("Limited");
} // namespace CategoryKey

// One category as it travels.
struct CategoryRecord
{
    QString Name;
    qint32 MaxWins = 0;
    bool Limited = false;

    // Whether the auction belongs here: its Category equals Name exactly, letter case included.
    bool Contains(const AuctionRecord& auction) const { return auction.Category == Name; }

    // Missing or unreadable fields keep the value of a new record.
    QVariantMap toMap() const;
    static CategoryRecord fromMap(const QVariantMap& map);

    bool operator==(const CategoryRecord& other) const = default;
};

} // namespace Bus

Q_DECLARE_METATYPE(Bus::CategoryRecord)
