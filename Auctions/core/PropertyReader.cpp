#include "PropertyReader.h"

#include "TextForms.h"
#include "XMLManager.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

std::optional<qint32> toInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const qint64 rounded = TextForms::roundHalfEven(value);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

} // namespace

bool PropertyReader::has(const QString& name) const
{
    return !m_loader.Node().firstChildElement(name).isNull();
}

QString PropertyReader::text(const QString& name, const QString& defaultValue) const
{
    return m_loader.ReadProperty(name, defaultValue);
}

qint32 PropertyReader::whole(const QString& name, qint32 defaultValue) const
{
    if (!has(name))
        return defaultValue;
    return TextForms::readLong(m_loader.ReadProperty(name)).value_or(0);
}

void PropertyReader::wholeOrKeep(const QString& name, qint32& field, qint32 defaultValue) const
{
    if (!has(name)) {
        field = defaultValue;
        return;
    }
    if (const auto number = TextForms::readDecimal(m_loader.ReadProperty(name))) {
        if (const auto value = toInt32(*number))
            field = *value;
    }
}

double PropertyReader::decimal(const QString& name, double defaultValue) const
{
    if (!has(name))
        return defaultValue;
    return TextForms::readDecimal(m_loader.ReadProperty(name)).value_or(0.0);
}

void PropertyReader::date(const QString& name, QDateTime& field, const QDateTime& defaultValue) const
{
    if (!has(name)) {
        field = defaultValue;
        return;
    }
    if (const auto value = TextForms::readDate(m_loader.ReadProperty(name)))
        field = *value;
}

void PropertyReader::flag(const QString& name, bool& field, bool defaultValue) const
{
    if (!has(name)) {
        field = defaultValue;
        return;
    }
    if (const auto value = TextForms::readFlag(m_loader.ReadProperty(name)))
        field = *value;
}
