#include "UsDateReader.h"

#include "DateTimes.h"
#include "TimeSource.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <limits>
#include <optional>

namespace UsDateReader {

namespace {

// Longer than any date with a time that the reader accepts: longer texts are not dates.
constexpr qsizetype longestDate = 64;

const QLocale& us()
{
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

// Full names before abbreviations, so that "MARCH" is not read as "MAR" followed by "CH".
QString monthAlternatives()
{
    QStringList names;
    for (int month = 1; month <= 12; ++month)
        names << us().monthName(month, QLocale::LongFormat);
    names << QStringLiteral("Sept");
    for (int month = 1; month <= 12; ++month)
        names << us().monthName(month, QLocale::ShortFormat);
    return names.join(QLatin1Char('|'));
}

QString weekdayAlternatives()
{
    QStringList names;
    for (int day = 1; day <= 7; ++day)
        names << us().dayName(day, QLocale::LongFormat);
    for (int day = 1; day <= 7; ++day)
        names << us().dayName(day, QLocale::ShortFormat);
    return names.join(QLatin1Char('|'));
}

int monthNumber(const QString& name)
{
    for (int month = 1; month <= 12; ++month) {
        if (name.compare(us().monthName(month, QLocale::LongFormat), Qt::CaseInsensitive) == 0 ||
            name.compare(us().monthName(month, QLocale::ShortFormat), Qt::CaseInsensitive) == 0)
            return month;
    }
    return name.compare(QLatin1String("Sept"), Qt::CaseInsensitive) == 0 ? 9 : 0;
}

enum class Layout
{
    MonthNameFirst,
    DayFirst,
    MonthNumberFirst,
    YearFirst
};

struct Pattern
{
    Layout layout;
    QRegularExpression expression;
};

const QList<Pattern>& patterns()
{
    static const QList<Pattern> all = [] {
        const QString month = QStringLiteral("(") + monthAlternatives() + QStringLiteral(")\\.?");
        const QString weekday =
            QStringLiteral("(?:(?:") + weekdayAlternatives() + QStringLiteral(")\\.?,?\\s+)?");
        const QString sep = QStringLiteral("[\\s\\-/]+");
        const QString year = QStringLiteral("(\\d{4}|\\d{2})(?=\\s|$)");
        const QString time =
            QStringLiteral("(?:(?:\\s+|T)(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*(AM|PM|A|P)?)?\\s*$");
        const auto make = [](const QString& text) {
            return QRegularExpression(QLatin1Char('^') + text, QRegularExpression::CaseInsensitiveOption);
        };
        return QList<Pattern>{
            {Layout::MonthNameFirst, make(weekday + month + sep + QStringLiteral("(\\d{1,2})(?:,?") + sep +
                                          year + QStringLiteral(")?") + time)},
            {Layout::DayFirst, make(weekday + QStringLiteral("(\\d{1,2})") + sep + month +
                                    QStringLiteral("(?:,?") + sep + year + QStringLiteral(")?") + time)},
            {Layout::MonthNumberFirst, make(QStringLiteral("(\\d{1,2})([/\\-])(\\d{1,2})\\2") + year + time)},
            {Layout::YearFirst, make(QStringLiteral("(\\d{4})([/\\-])(\\d{1,2})\\2(\\d{1,2})") + time)},
        };
    }();
    return all;
}

// The year that `digits` name, two of them within fifty years of `thisYear`; nullopt when there are none.
std::optional<int> fullYear(const QString& digits, int thisYear)
{
    if (digits.isEmpty())
        return std::nullopt;
    const int value = digits.toInt();
    if (digits.size() > 2)
        return value;
    return DateTimes::yearWithinFifty(value, thisYear);
}

// Hour, minute, second and AM/PM from four captures; nullopt when they name no time of day.
std::optional<QTime> timeOfDay(const QRegularExpressionMatch& match, int first)
{
    if (match.captured(first).isEmpty())
        return QTime(0, 0);
    int hour = match.captured(first).toInt();
    const int minute = match.captured(first + 1).toInt();
    const int second = match.captured(first + 2).toInt();
    const QString half = match.captured(first + 3).toUpper();
    if (!half.isEmpty()) {
        if (hour > 12)
            return std::nullopt;
        if (half.startsWith(QLatin1Char('P')) && hour < 12)
            hour += 12;
        else if (half.startsWith(QLatin1Char('A')) && hour == 12)
            hour = 0;
    }
    const QTime time(hour, minute, second);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QDateTime readDate(QStringView text, const std::optional<QDateTime>& near)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > longestDate)
        return DateTimes::zero();
    const QString subject = trimmed.toString();
    const int thisYear =
        near ? near->date().year() : DateTimes::asNaive(TimeSource::current().localNow()).date().year();
    for (const Pattern& pattern : patterns()) {
        const QRegularExpressionMatch match = pattern.expression.match(subject);
        if (!match.hasMatch())
            continue;
        std::optional<int> year;
        int month = 0;
        int day = 0;
        int timeAt = 0;
        switch (pattern.layout) {
        case Layout::MonthNameFirst:
            month = monthNumber(match.captured(1));
            day = match.captured(2).toInt();
            year = fullYear(match.captured(3), thisYear);
            timeAt = 4;
            break;
        case Layout::DayFirst:
            day = match.captured(1).toInt();
            month = monthNumber(match.captured(2));
            year = fullYear(match.captured(3), thisYear);
            timeAt = 4;
            break;
        case Layout::MonthNumberFirst:
            month = match.captured(1).toInt();
            day = match.captured(3).toInt();
            year = fullYear(match.captured(4), thisYear);
            timeAt = 5;
            break;
        case Layout::YearFirst:
            year = match.captured(1).toInt();
            month = match.captured(3).toInt();
            day = match.captured(4).toInt();
            timeAt = 5;
            break;
        }
        const std::optional<QTime> time = timeOfDay(match, timeAt);
        if (!time)
            return DateTimes::zero();
        QList<int> years;
        if (year) {
            years = {*year};
        } else if (near) {
            const int nearYear = near->date().year();
            years = {nearYear - 1, nearYear, nearYear + 1};
        } else {
            years = {thisYear};
        }
        QDateTime best = DateTimes::zero();
        qint64 bestDistance = std::numeric_limits<qint64>::max();
        for (int candidate : years) {
            const QDate date(candidate, month, day);
            if (!date.isValid())
                continue;
            const QDateTime value = DateTimes::naive(date, *time);
            const qint64 distance = near ? qAbs(DateTimes::secondsBetween(*near, value)) : 0;
            if (distance < bestDistance) {
                best = value;
                bestDistance = distance;
            }
        }
        return DateTimes::isZero(best) ? DateTimes::zero() : best;
    }
    return DateTimes::zero();
}

} // namespace

QDateTime read(QStringView text)
{
    return readDate(text, std::nullopt);
}

QDateTime read(QStringView text, const QDateTime& near)
{
    return readDate(text, DateTimes::asNaive(near));
}

} // namespace UsDateReader
