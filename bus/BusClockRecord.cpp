#include "BusClockRecord.h"

#include "BusFields.h"

namespace Bus {

QVariantMap ClockRecord::toMap() const
{
    QVariantMap map{
        {ClockKey::Variance, Variance},   {ClockKey::LastUpdated, DateTimes::toSeconds(LastUpdated)},
        {ClockKey::State, State},         {ClockKey::Status, Status},
        {ClockKey::UtcOffset, UtcOffset},
    };
    if (NextChange.isValid()) {
        map.insert(ClockKey::NextChange, NextChange.toString(Qt::ISODate));
        map.insert(ClockKey::NextUtcOffset, NextUtcOffset);
    }
    return map;
}

ClockRecord ClockRecord::fromMap(const QVariantMap& map)
{
    const Fields fields(map);
    ClockRecord record;
    fields.number(ClockKey::Variance, record.Variance);
    fields.date(ClockKey::LastUpdated, record.LastUpdated);
    fields.number(ClockKey::State, record.State);
    fields.text(ClockKey::Status, record.Status);
    fields.number(ClockKey::UtcOffset, record.UtcOffset);
    record.NextChange = QDateTime::fromString(map.value(ClockKey::NextChange).toString(), Qt::ISODate);
    if (record.NextChange.isValid())
        fields.number(ClockKey::NextUtcOffset, record.NextUtcOffset);
    return record;
}

} // namespace Bus
