#pragma once

#include <QDateTime>
#include <QTimeZone>

// Every reading of the PC clock goes through this interface, so that tests can set "now", the
// time-zone bias and the summer-time offset. Local and UTC times are naive (see DateTimes).
class TimeSource
{
public:
    virtual ~TimeSource();

    virtual QDateTime localNow() const = 0;
    virtual QDateTime utcNow() const = 0;
    // Minutes to add to local standard time to get UTC (New York 300, Kolkata -330, Dublin 0).
    virtual int biasMinutes() const = 0;
    // The summer-time shift in force now, in minutes (0 in winter).
    virtual int summerMinutes() const = 0;
    // Milliseconds that never jump with the wall clock.
    virtual qint64 monotonicMs() const = 0;

    // The source in use: the system's unless a test installed another.
    static const TimeSource& current();
    // Installs `source` (not owned); nullptr goes back to the system clock.
    static void install(const TimeSource* source);
};

class SystemTimeSource : public TimeSource
{
public:
    explicit SystemTimeSource(QTimeZone zone = QTimeZone::systemTimeZone());

    QDateTime localNow() const override;
    QDateTime utcNow() const override;
    int biasMinutes() const override;
    int summerMinutes() const override;
    qint64 monotonicMs() const override;

    // The standard bias of `zone` in `year`: the smaller of its January and July offsets is standard
    // time, which also holds for zones whose data calls winter the shifted time (Dublin gives 0).
    static int standardBiasMinutes(const QTimeZone& zone, int year);

private:
    QTimeZone m_zone;
};
