#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace Bus {

namespace SettingsKey {
inline const QString ConfirmBid = QStringLiteral("ConfirmBid");
inline const QString ConfirmDel = QStringLiteral("ConfirmDel");
inline const QString ViewedAuctionAdded = QStringLiteral("ViewedAuctionAdded");
inline const QString ViewedLookingAtAuction = QStringLiteral("ViewedLookingAtAuction");
inline const QString ColorActive = QStringLiteral("ColorActive");
inline const QString ColorCaution = QStringLiteral("ColorCaution");
inline const QString ColorComplete = QStringLiteral("ColorComplete");
inline const QString ColorWarning = QStringLiteral("ColorWarning");
} // namespace SettingsKey

// The settings a client reads: confirmations, first-view flags, the time-left colours (numbers in
// blue-green-red order, as the program keeps them).
struct SettingsRecord
{
    bool ConfirmBid = false;
    bool ConfirmDel = false;
    bool ViewedAuctionAdded = false;
    bool ViewedLookingAtAuction = false;
    qint32 ColorActive = 0;
    qint32 ColorCaution = 0;
    qint32 ColorComplete = 0;
    qint32 ColorWarning = 0;

    // Missing or unreadable fields keep the value of a new record.
    QVariantMap toMap() const;
    static SettingsRecord fromMap(const QVariantMap& map);

    bool operator==(const SettingsRecord& other) const = default;
};

} // namespace Bus

Q_DECLARE_METATYPE(Bus::SettingsRecord)
