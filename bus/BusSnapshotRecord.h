#pragma once

#include "BusCategoryRecord.h"
#include "BusClockRecord.h"
#include "BusSettingsRecord.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace Bus {

namespace SnapshotKey {
inline const QString App = QStringLiteral("App");
inline const QString Auctions = QStringLiteral("Auctions");
inline const QString Serial = QStringLiteral("Serial");
inline const QString Categorys = QStringLiteral("Categorys");
inline const QString Settings = QStringLiteral("Settings");
inline const QString Clock = QStringLiteral("Clock");
inline const QString BidManager = QStringLiteral("BidManager");
inline const QString Updaters = QStringLiteral("Updaters");
// Within App, BidManager and Updaters.
inline const QString State = QStringLiteral("State");
inline const QString Status = QStringLiteral("Status");
} // namespace SnapshotKey

// Everything a client needs to start its replicas, in one answer: the application's state and status,
// every auction (a packed list, AuctionRecord::packList) with the serial it was sent under, the
// categories, the settings, the clock, and the states of the bid manager and the updaters.
struct SnapshotRecord
{
    qint32 AppState = 0;
    QString AppStatus;
    QByteArray Auctions;
    quint64 Serial = 0;
    QList<CategoryRecord> Categorys;
    SettingsRecord Settings;
    ClockRecord Clock;
    qint32 BidManagerState = 0;
    qint32 UpdatersState = 0;

    // Missing or unreadable fields keep the value of a new record.
    QVariantMap toMap() const;
    static SnapshotRecord fromMap(const QVariantMap& map);

    bool operator==(const SnapshotRecord& other) const = default;
};

} // namespace Bus

Q_DECLARE_METATYPE(Bus::SnapshotRecord)
