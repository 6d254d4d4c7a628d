#include "TextForms.h"

#include "DateTimes.h"
#include "TimeSource.h"

#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>

namespace TextForms {

namespace {

const QString storedDate = QStringLiteral("yyyy-MM-dd");
const QString storedTime = QStringLiteral("HH:mm:ss");
const QString storedDateFormat = storedDate + QLatin1Char(' ') + storedTime;

// Qt's short formats carry two-digit years; widen them so a date is never written or read as "yy".
QString fourDigitYear(QString format)
{
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString withoutZone(QString format)
{
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

// The date and the time are read apart: read as one, Qt takes the value as local time, which has no
// value for a time that a summer-time switch skips, and a naive date-time must always read.
std::optional<QDateTime> tryFormat(const QString& text, const QString& dateFormat, const QString& timeFormat,
                                   const QLocale& locale)
{
    if (timeFormat.isEmpty()) {
        const QDate date = locale.toDate(text, dateFormat);
        if (date.isValid())
            return DateTimes::naive(date);
        return std::nullopt;
    }
    for (qsizetype space = text.indexOf(QLatin1Char(' ')); space > 0;
         space = text.indexOf(QLatin1Char(' '), space + 1)) {
        const QDate date = locale.toDate(text.left(space), dateFormat);
        const QTime time = date.isValid() ? locale.toTime(text.mid(space + 1), timeFormat) : QTime();
        if (time.isValid())
            return DateTimes::naive(date, time);
    }
    return std::nullopt;
}

// Qt reads "yy" as 19yy; a two-digit year is taken as the one within fifty years of today, so a date
// written with one never lands a century early.
std::optional<QDateTime> tryTwoDigitYear(const QString& text, const QString& dateFormat,
                                         const QString& timeFormat, const QLocale& locale)
{
    std::optional<QDateTime> value = tryFormat(text, dateFormat, timeFormat, locale);
    if (!value)
        return value;
    const int thisYear = TimeSource::current().localNow().date().year();
    const int year = DateTimes::yearWithinFifty(value->date().year() % 100, thisYear);
    return value->addYears(year - value->date().year());
}

// The stored forms, read directly: a state file holds thousands of them, and the general readers
// below take many times longer. Each gives nothing unless the text is exactly of its form, and then
// the value that the general reader gives.
bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool hasShape(QStringView text, QLatin1StringView shape)
{
    if (text.size() != shape.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (shape.at(i) == QLatin1Char('9') ? !isDigit(text.at(i)) : text.at(i) != shape.at(i))
            return false;
    }
    return true;
}

int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i)
        value = value * 10 + (text.at(i).unicode() - u'0');
    return value;
}

std::optional<QDateTime> storedDateTime(QStringView text)
{
    const bool withTime = hasShape(text, QLatin1StringView("9999-99-99 99:99:99"));
    if (!withTime && !hasShape(text, QLatin1StringView("9999-99-99")))
        return std::nullopt;
    const QDate date(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    const QTime time =
        withTime ? QTime(digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2)) : QTime(0, 0);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return DateTimes::naive(date, time);
}

// Digits with an optional leading "-" and at most `maxDigits` of them; `point` allows one decimal point
// with digits on both sides.
bool isPlainNumber(QStringView text, bool point, qsizetype maxDigits)
{
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype first = i;
    qsizetype pointAt = -1;
    for (; i < text.size(); ++i) {
        if (point && pointAt < 0 && text.at(i) == QLatin1Char('.') && i > first)
            pointAt = i;
        else if (!isDigit(text.at(i)))
            return false;
    }
    const qsizetype digits = text.size() - first - (pointAt < 0 ? 0 : 1);
    return digits >= 1 && digits <= maxDigits && pointAt != text.size() - 1;
}

std::optional<double> storedDecimal(QStringView text)
{
    if (!isPlainNumber(text, true, 30))
        return std::nullopt;
    char ascii[32];
    for (qsizetype i = 0; i < text.size(); ++i)
        ascii[i] = char(text.at(i).unicode());
    double value = 0;
    const auto [end, error] = std::from_chars(ascii, ascii + text.size(), value);
    if (error != std::errc() || end != ascii + text.size())
        return std::nullopt;
    return value;
}

} // namespace

QString flag(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> readFlag(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto number = readDecimal(t))
        return *number != 0.0;
    return std::nullopt;
}

QString whole(qint64 value)
{
    return QString::number(value);
}

QString decimal(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // The fewest digits that read back as this very number; plain digits where fifteen significant ones
    // were written before, an exponent beyond.
    const double magnitude = std::abs(value);
    const bool plain = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e15);
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value,
                                            plain ? std::chars_format::fixed : std::chars_format::scientific);
    if (error != std::errc())
        return QString::number(value, 'g', 17);
    return QString::fromLatin1(text, end - text);
}

QString addressDecimal(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

QString date(const QDateTime& value)
{
    return DateTimes::asNaive(value).toString(storedDateFormat);
}

std::optional<double> readDecimal(const QString& text)
{
    const QString t = text.trimmed();
    if (const std::optional<double> stored = storedDecimal(t))
        return stored;
    bool ok = false;
    // Neither form accepts grouping: a grouped reading of a decimal written elsewhere ("12,125" as
    // twelve thousand) would make a stored maximum bid a thousand times too large.
    QLocale stored = QLocale::c();
    stored.setNumberOptions(QLocale::RejectGroupSeparator);
    double value = stored.toDouble(t, &ok);
    if (ok && std::isfinite(value))
        return value;
    // A comma without a point is a decimal mark, whatever the locale of the reader.
    if (t.count(QLatin1Char(',')) == 1 && !t.contains(QLatin1Char('.'))) {
        value = stored.toDouble(QString(t).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
        if (ok && std::isfinite(value))
            return value;
    }
    QLocale regional;
    regional.setNumberOptions(regional.numberOptions() | QLocale::RejectGroupSeparator);
    value = regional.toDouble(t, &ok);
    if (ok && std::isfinite(value))
        return value;
    return std::nullopt;
}

std::optional<QDateTime> readDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (std::optional<QDateTime> stored = storedDateTime(t))
        return stored;
    const QLocale c = QLocale::c();
    if (auto v = tryFormat(t, storedDate, storedTime, c))
        return v;
    if (auto v = tryFormat(t, storedDate, QString(), c))
        return v;

    const QLocale regional;
    const QString shortDate = regional.dateFormat(QLocale::ShortFormat);
    const QString longTime = withoutZone(regional.timeFormat(QLocale::LongFormat));
    const QString shortTime = withoutZone(regional.timeFormat(QLocale::ShortFormat));
    for (const QString& dateFormat : QStringList{fourDigitYear(shortDate), shortDate}) {
        const bool twoDigit = !dateFormat.contains(QLatin1String("yyyy"));
        for (const QString& timeFormat :
             QStringList{longTime, shortTime, QStringLiteral("H:mm:ss"), QString()}) {
            if (auto v = twoDigit ? tryTwoDigitYear(t, dateFormat, timeFormat, regional)
                                  : tryFormat(t, dateFormat, timeFormat, regional))
                return v;
        }
    }
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QString usDate = QStringLiteral("M/d/yyyy");
    for (const QString& timeFormat : {QStringLiteral("h:mm:ss AP"), QStringLiteral("h:mm AP"), QString()}) {
        if (auto v = tryFormat(t, usDate, timeFormat, us))
            return v;
    }
    return std::nullopt;
}

QString generalDate(const QDateTime& value)
{
    const QDateTime naive = DateTimes::asNaive(value);
    if (!naive.isValid())
        return QString();
    const QLocale regional;
    const QString time = withoutZone(regional.timeFormat(QLocale::LongFormat));
    if (naive.date() == DateTimes::zero().date())
        return regional.toString(naive.time(), time);
    const QString date = fourDigitYear(regional.dateFormat(QLocale::ShortFormat));
    if (naive.time() == QTime(0, 0))
        return regional.toString(naive.date(), date);
    return regional.toString(naive, date + QLatin1Char(' ') + time);
}

QString twoDecimals(double value)
{
    QLocale regional;
    regional.setNumberOptions(regional.numberOptions() | QLocale::OmitGroupSeparator);
    return regional.toString(std::isfinite(value) ? value : 0.0, 'f', 2);
}

QString plainNumber(double value)
{
    QLocale regional;
    regional.setNumberOptions(regional.numberOptions() | QLocale::OmitGroupSeparator);
    return regional.toString(std::isfinite(value) ? value : 0.0, 'g', 15);
}

QString timeLeft(const QDateTime& endTime, const QDateTime& now)
{
    if (DateTimes::isZero(endTime))
        return QStringLiteral("N/A");
    const qint64 seconds = DateTimes::secondsBetween(now, endTime);
    if (seconds < 0)
        return QStringLiteral("OVER");
    const qint64 days = seconds / 86400;
    if (days >= 1)
        return QString::number(days) + QStringLiteral(" Days +");
    const auto two = [](qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("00:") + two(seconds / 3600) + QLatin1Char(':') + two(seconds % 3600 / 60) +
           QLatin1Char(':') + two(seconds % 60);
}

QString shortDate(const QDate& value)
{
    const QLocale regional;
    return regional.toString(value, fourDigitYear(regional.dateFormat(QLocale::ShortFormat)));
}

QString monthAndYear(const QDate& value)
{
    return QLocale().toString(value, QStringLiteral("MMMM yyyy"));
}

namespace {

// The regional decimal mark when it is one character, else the point.
QChar regionalMark()
{
    const QString mark = QLocale().decimalPoint();
    return mark.size() == 1 ? mark.at(0) : QLatin1Char('.');
}

} // namespace

QString typedNumber(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0;
    QString text = QString::number(value, 'f', decimals < 0 ? QLocale::FloatingPointShortest : decimals);
    text.replace(QLatin1Char('.'), regionalMark());
    return text;
}

std::optional<double> readTypedNumber(const QString& text)
{
    const QString t = text.trimmed();
    const QChar mark = regionalMark();
    const QString group = QLocale().groupSeparator();
    QByteArray ascii;
    ascii.reserve(t.size());
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
        ascii += char(t.at(i++).unicode());
    qsizetype digits = 0;
    for (; i < t.size() && isDigit(t.at(i)); ++i, ++digits)
        ascii += char(t.at(i).unicode());
    if (i < t.size() && (t.at(i) == QLatin1Char('.') || t.at(i) == mark)) {
        const QChar used = t.at(i++);
        ascii += '.';
        qsizetype fraction = 0;
        for (; i < t.size() && isDigit(t.at(i)); ++i, ++fraction)
            ascii += char(t.at(i).unicode());
        // "1.000" where the point groups thousands: a thousand or one? Neither is taken.
        if (group.size() == 1 && used == group.at(0) && fraction == 3 && i == t.size())
            return std::nullopt;
        digits += fraction;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < t.size() && (t.at(i) == QLatin1Char('e') || t.at(i) == QLatin1Char('E'))) {
        ascii += 'e';
        ++i;
        if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
            ascii += char(t.at(i++).unicode());
        qsizetype exponent = 0;
        for (; i < t.size() && isDigit(t.at(i)); ++i, ++exponent)
            ascii += char(t.at(i).unicode());
        if (exponent == 0)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    bool ok = false;
    const double value = ascii.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double leadingNumber(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0.0;
    const double value = match.captured(1).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

qint64 roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double limit = static_cast<double>(std::numeric_limits<qint64>::max());
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value <= -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(
        std::nearbyint(value)); // the default rounding mode is to nearest, ties to even
}

std::optional<qint32> readLong(const QString& text)
{
    if (isPlainNumber(text, false, 9))
        return static_cast<qint32>(text.toInt());
    const qint64 value = roundHalfEven(leadingNumber(text));
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

} // namespace TextForms
