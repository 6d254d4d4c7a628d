#include "Clock.h"

#include "Settings.h"
#include "TimeSource.h"

namespace {

// The n-th Sunday of a month (n from 1), or its last Sunday when n is 0.
QDate sunday(int year, int month, int n)
{
    if (n == 0) {
        const QDate last = QDate(year, month, 1).addMonths(1).addDays(-1);
        return last.addDays(-(last.dayOfWeek() % 7));
    }
    const QDate first(year, month, 1);
    return first.addDays((7 - first.dayOfWeek()) % 7 + 7 * (n - 1));
}

// The site's summer time by the US rules of each year, whole days from the starting Sunday.
bool isSiteSummerTime(const QDate& date)
{
    const int year = date.year();
    if (year >= 2007)
        return date >= sunday(year, 3, 2) && date < sunday(year, 11, 1);
    return date >= sunday(year, 4, 1) && date < sunday(year, 10, 0);
}

} // namespace

Clock::Clock(QObject* parent) : QObject(parent)
{
}

QDateTime Clock::Time() const
{
    return TimeSource::current().localNow().addSecs(m_variance);
}

void Clock::setSettings(::Settings* settings)
{
    m_settings = settings;
}

qint32 Clock::UTCVariance() const
{
    return isSiteSummerTime(Time().date()) ? -7 : -8;
}

qint32 Clock::LocalUTCVariance() const
{
    return (m_settings ? m_settings->LocalTimeZone : 0) - UTCVariance();
}

void Clock::show()
{
}

void Clock::Load(XMLManager&)
{
}

void Clock::Save(XMLManager&)
{
}
