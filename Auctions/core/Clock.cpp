#include "Clock.h"

#include "TimeSource.h"

Clock::Clock(QObject* parent) : QObject(parent) {}

QDateTime Clock::Time() const
{
    return TimeSource::current().localNow().addSecs(m_variance);
}

void Clock::show() {}

void Clock::Load(XMLManager&) {}

void Clock::Save(XMLManager&) {}
