#include "TimeSource.h"

#include "DateTimes.h"

#include <QElapsedTimer>
#include <algorithm>

namespace {
const TimeSource* installed = nullptr;
}

TimeSource::~TimeSource() = default;

const TimeSource& TimeSource::current()
{
    static const SystemTimeSource system;
    return installed ? *installed : system;
}

void TimeSource::install(const TimeSource* source)
{
    installed = source;
}

SystemTimeSource::SystemTimeSource(QTimeZone zone) : m_zone(std::move(zone)) {}

QDateTime SystemTimeSource::localNow() const
{
    return DateTimes::truncatedToSecond(
        DateTimes::asNaive(QDateTime::currentDateTimeUtc().toTimeZone(m_zone)));
}

QDateTime SystemTimeSource::utcNow() const
{
    return DateTimes::truncatedToSecond(DateTimes::asNaive(QDateTime::currentDateTimeUtc()));
}

int SystemTimeSource::biasMinutes() const
{
    return standardBiasMinutes(m_zone, QDate::currentDate().year());
}

int SystemTimeSource::summerMinutes() const
{
    const int offsetNow = m_zone.offsetFromUtc(QDateTime::currentDateTimeUtc()) / 60;
    return offsetNow + biasMinutes();
}

qint64 SystemTimeSource::monotonicMs() const
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

int SystemTimeSource::standardBiasMinutes(const QTimeZone& zone, int year)
{
    const QDateTime january(QDate(year, 1, 1), QTime(12, 0), Qt::UTC);
    const QDateTime july(QDate(year, 7, 1), QTime(12, 0), Qt::UTC);
    const int standardSeconds = std::min(zone.offsetFromUtc(january), zone.offsetFromUtc(july));
    return -standardSeconds / 60;
}
