#include "ClockService.h"

#include "Clock.h"
#include "ClockAdaptor.h"
#include "DateTimes.h"
#include "TimeSource.h"
#include "cApp.h"

namespace {

// The first UTC time after `from` (within a year and a half) at which the site's offset from UTC is no
// longer the one in force at `from`; invalid when there is none.
QDateTime nextOffsetChange(const QDateTime& from)
{
    const qint32 hours = Clock::siteUtcOffsetHoursAtUtc(from);
    QDateTime before = from;
    QDateTime after;
    for (int day = 1; day <= 550; ++day) {
        const QDateTime probe = from.addDays(day);
        if (Clock::siteUtcOffsetHoursAtUtc(probe) != hours) {
            after = probe;
            break;
        }
        before = probe;
    }
    if (!after.isValid())
        return QDateTime();
    while (before.secsTo(after) > 1) {
        const QDateTime middle = before.addSecs(before.secsTo(after) / 2);
        if (Clock::siteUtcOffsetHoursAtUtc(middle) == hours)
            before = middle;
        else
            after = middle;
    }
    return after;
}

} // namespace

ClockService::ClockService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new ClockAdaptor(this);
}

void ClockService::attach(cApp& app)
{
    BusService::attach(app);
    Clock& clock = app.Clock();
    connect(&clock, &Clock::Updated, this, [this] { Q_EMIT Updated(report().toMap()); });
    connect(&clock, &Clock::StatusChange, this, &ClockService::StatusChange);
    connect(&clock, &Clock::StateChanged, this, &ClockService::StateChanged);
}

Bus::ClockRecord ClockService::report() const
{
    const Clock& clock = app().Clock();
    const QDateTime pcUtc = DateTimes::asNaive(TimeSource::current().utcNow());
    const QDateTime site = clock.Time();
    const qint64 offset = DateTimes::secondsBetween(pcUtc, site);
    // The true UTC time now, and the PC clock's error.
    const QDateTime trueUtc = Clock::siteTimeToUtc(site);
    const qint64 pcError = DateTimes::secondsBetween(pcUtc, trueUtc);
    Bus::ClockRecord report;
    report.Variance = clock.Variance();
    report.LastUpdated = clock.LastUpdated();
    report.State = qint32(clock.State());
    report.Status = clock.Status();
    report.UtcOffset = offset;
    const QDateTime change = nextOffsetChange(trueUtc);
    if (change.isValid()) {
        report.NextChange = DateTimes::asNaive(change.addSecs(-pcError));
        report.NextUtcOffset = pcError + 3600LL * Clock::siteUtcOffsetHoursAtUtc(change);
    }
    return report;
}

QVariantMap ClockService::Get()
{
    return serve([this] { return report().toMap(); });
}

void ClockService::show()
{
    serve([this] { app().Clock().show(); });
}

void ClockService::Download()
{
    serve([this] { app().Clock().Download(); });
}
