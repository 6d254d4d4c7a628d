#pragma once

#include "DateTimes.h"

#include <QDateTime>
#include <QVariantMap>
#include <limits>
#include <type_traits>

namespace Bus {

// Reads the fields of a record's map leniently: a missing or unreadable field leaves the record's value
// as it is, so that a record from an older or newer peer still reads.
class Fields
{
public:
    explicit Fields(const QVariantMap& map) : m_map(map) {}

    void text(const QString& key, QString& field) const
    {
        const auto found = m_map.constFind(key);
        if (found != m_map.cend())
            field = found->toString();
    }
    void flag(const QString& key, bool& field) const
    {
        const auto found = m_map.constFind(key);
        if (found != m_map.cend())
            field = found->toBool();
    }
    // Seconds since 1970-01-01 00:00 of a naive date-time; a missing or unreadable one is the zero date.
    void date(const QString& key, QDateTime& field) const
    {
        bool ok = false;
        const qint64 seconds = m_map.value(key).toLongLong(&ok);
        field = ok ? DateTimes::fromSeconds(seconds) : DateTimes::zero();
    }
    template <typename Number> void number(const QString& key, Number& field) const
    {
        const auto found = m_map.constFind(key);
        if (found == m_map.cend())
            return;
        bool ok = false;
        if constexpr (std::is_floating_point_v<Number>) {
            const double value = found->toDouble(&ok);
            if (ok)
                field = Number(value);
        } else if constexpr (sizeof(Number) == sizeof(qint64) && std::is_unsigned_v<Number>) {
            const quint64 value = found->toULongLong(&ok);
            if (ok)
                field = Number(value);
        } else if constexpr (sizeof(Number) == sizeof(qint64)) {
            const qint64 value = found->toLongLong(&ok);
            if (ok)
                field = Number(value);
        } else {
            // A fraction is cut off; a number beyond the field's range is unreadable.
            const double value = found->toDouble(&ok);
            if (ok && value >= double(std::numeric_limits<Number>::min()) &&
                value <= double(std::numeric_limits<Number>::max()))
                field = Number(value);
        }
    }
    // An enumeration's number, taken only from `first` to `last`.
    template <typename Enum> void choice(const QString& key, Enum& field, Enum first, Enum last) const
    {
        qint32 value = qint32(field);
        number(key, value);
        if (value >= qint32(first) && value <= qint32(last))
            field = Enum(value);
    }

private:
    const QVariantMap& m_map;
};

} // namespace Bus
