#include "FakeTimeSource.h"

FakeTimeSource::FakeTimeSource(QDateTime localNow, int biasMinutes, int summerMinutes)
    : m_localNow(std::move(localNow)), m_bias(biasMinutes), m_summer(summerMinutes)
{
    TimeSource::install(this);
}

FakeTimeSource::~FakeTimeSource()
{
    TimeSource::install(nullptr);
}

void FakeTimeSource::setUtcNowIn(const QTimeZone& zone, const QDateTime& utc)
{
    const QDateTime instant(utc.date(), utc.time(), Qt::UTC);
    const int offsetMinutes = zone.offsetFromUtc(instant) / 60;
    m_bias = SystemTimeSource::standardBiasMinutes(zone, utc.date().year());
    m_summer = offsetMinutes + m_bias;
    m_localNow = instant.addSecs(60LL * offsetMinutes);
}

void FakeTimeSource::advanceSeconds(qint64 seconds)
{
    advanceMs(seconds * 1000);
}

void FakeTimeSource::advanceMs(qint64 ms)
{
    m_monotonicMs += ms;
    m_subSecondMs += ms;
    m_localNow = m_localNow.addSecs(m_subSecondMs / 1000);
    m_subSecondMs %= 1000;
}
