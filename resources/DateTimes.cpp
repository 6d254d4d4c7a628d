#include "DateTimes.h"

namespace DateTimes {

QDateTime naive(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::UTC);
}

QDateTime naive(int year, int month, int day, int hour, int minute, int second)
{
    return naive(QDate(year, month, day), QTime(hour, minute, second));
}

QDateTime zero()
{
    return naive(1899, 12, 30);
}

QDateTime asNaive(const QDateTime& value)
{
    if (!value.isValid())
        return value;
    return naive(value.date(), value.time());
}

qint64 toSeconds(const QDateTime& value)
{
    return (value.isValid() ? asNaive(value) : zero()).toSecsSinceEpoch();
}

QDateTime fromSeconds(qint64 seconds)
{
    // Read as UTC: no time zone is looked up for a naive value.
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

bool isZero(const QDateTime& value)
{
    return !value.isValid() || value <= zero();
}

QDateTime truncatedToSecond(const QDateTime& value)
{
    const QTime t = value.time();
    return naive(value.date(), QTime(t.hour(), t.minute(), t.second()));
}

qint64 secondsBetween(const QDateTime& from, const QDateTime& to)
{
    return truncatedToSecond(from).secsTo(truncatedToSecond(to));
}

qint64 minutesBetween(const QDateTime& from, const QDateTime& to)
{
    auto toMinute = [](const QDateTime& v) {
        return naive(v.date(), QTime(v.time().hour(), v.time().minute()));
    };
    return toMinute(from).secsTo(toMinute(to)) / 60;
}

qint64 daysBetween(const QDateTime& from, const QDateTime& to)
{
    return from.date().daysTo(to.date());
}

int yearWithinFifty(int twoDigits, int thisYear)
{
    int year = thisYear - thisYear % 100 + twoDigits % 100;
    if (year > thisYear + 50)
        year -= 100;
    else if (year <= thisYear - 50)
        year += 100;
    return year;
}

} // namespace DateTimes
