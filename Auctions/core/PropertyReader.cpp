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

std::optional<QString> PropertyReader::find(const QString& name) const
{
    const XmlElement element = m_loader.Node().firstChildElement(name);
    if (element.isNull())
        return std::nullopt;
    return element.text();
}

QString PropertyReader::text(const QString& name, const QString& defaultValue) const
{
    return m_loader.ReadProperty(name, defaultValue);
}

qint32 PropertyReader::whole(const QString& name, qint32 defaultValue) const
{
    const std::optional<QString> text = find(name);
    if (!text)
        return defaultValue;
    return TextForms::readLong(*text).value_or(0);
}

void PropertyReader::wholeOrKeep(const QString& name, qint32& field, qint32 defaultValue) const
{
    const std::optional<QString> text = find(name);
    if (!text) {
        field = defaultValue;
        return;
    }
    if (const auto number = TextForms::readDecimal(*text)) {
        if (const auto value = toInt32(*number))
            field = *value;
    }
}

double PropertyReader::decimal(const QString& name, double defaultValue) const
{
    const std::optional<QString> text = find(name);
    if (!text)
        return defaultValue;
    return TextForms::readDecimal(*text).value_or(0.0);
}

void PropertyReader::date(const QString& name, QDateTime& field, const QDateTime& defaultValue) const
{
    const std::optional<QString> text = find(name);
    if (!text) {
        field = defaultValue;
        return;
    }
    if (const auto value = TextForms::readDate(*text))
        field = *value;
}

void PropertyReader::flag(const QString& name, bool& field, bool defaultValue) const
{
    const std::optional<QString> text = find(name);
    if (!text) {
        field = defaultValue;
        return;
    }
    if (const auto value = TextForms::readFlag(*text))
        field = *value;
}
