#pragma once

#include "DateTimes.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace Bus {

namespace ClockKey {
inline const QString Variance = QStringLiteral("Variance");
inline const QString LastUpdated = QStringLiteral("LastUpdated");
inline const QString State = QStringLiteral("State");
inline const QString Status = QStringLiteral("Status");
inline const QString UtcOffset = QStringLiteral("UtcOffset");
inline const QString NextChange = QStringLiteral("NextChange");
inline const QString NextUtcOffset = QStringLiteral("NextUtcOffset");
} // namespace ClockKey

// The site clock as the program reports it: enough for a client to tell the site time itself from its
// own UTC clock until the next report.
struct ClockRecord
{
    qint32 Variance = 0;
    // A naive date-time, as an auction's dates travel.
    QDateTime LastUpdated = DateTimes::zero();
    // The synchronisation's run state and status text.
    qint32 State = 0;
    QString Status;
    // The site time minus the client's UTC time, in seconds.
    qint64 UtcOffset = 0;
    // The client's UTC time of the site's next summer-time change (travels as ISO 8601 text), and the
    // offset from then on; invalid when no change is known, and then neither travels.
    QDateTime NextChange;
    qint64 NextUtcOffset = 0;

    // Missing or unreadable fields keep the value of a new record.
    QVariantMap toMap() const;
    static ClockRecord fromMap(const QVariantMap& map);

    bool operator==(const ClockRecord& other) const = default;
};

} // namespace Bus

Q_DECLARE_METATYPE(Bus::ClockRecord)
