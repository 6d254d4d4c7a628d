#include "Clock.h"

#include "DateTimes.h"
#include "DialogHost.h"
#include "IClockUpdater.h"
#include "ModelLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TextForms.h"
#include "TimeSource.h"
#include "XMLManager.h"

#include <limits>
#include <utility>

namespace {

constexpr qint32 standardOffset = -8;
constexpr qint32 summerOffset = -7;

QDate nthSunday(int year, int month, int n)
{
    const QDate first(year, month, 1);
    return first.addDays((7 - first.dayOfWeek()) % 7 + 7 * (n - 1));
}

QDate lastSunday(int year, int month)
{
    const QDate first(year, month, 1);
    const QDate last = first.addDays(first.daysInMonth() - 1);
    return last.addDays(-(last.dayOfWeek() % 7));
}

// The days on which the site's summer time begins and ends in `year`.
std::pair<QDate, QDate> summerDays(int year)
{
    if (year >= 2007)
        return {nthSunday(year, 3, 2), nthSunday(year, 11, 1)};
    return {nthSunday(year, 4, 1), lastSunday(year, 10)};
}

} // namespace

Clock::Clock(QObject* parent) : QObject(parent), m_lastUpdated(DateTimes::zero()) {}

void Clock::Init(const ::Settings& settings, DialogHost& dialogs)
{
    m_settings = &settings;
    m_dialogs = &dialogs;
}

void Clock::setUpdater(IClockUpdater* updater)
{
    delete m_updater;
    m_updater = updater;
    if (!updater)
        return;
    updater->setParent(this);
    connect(updater, &IClockUpdater::StateChanged, this, &Clock::updaterStateChanged);
}

void Clock::setState(sfRunState value)
{
    if (value == m_state)
        return;
    m_state = value;
    switch (value) {
    case sfRunning:
        setStatus(QStringLiteral("Synchronizing eBay clock..."));
        break;
    case sfComplete:
        setStatus(QStringLiteral("eBay clock synchronized."));
        break;
    case sfFailed:
        setStatus(QStringLiteral("Error synchronizing clock."));
        break;
    case sfNotRunning:
        break;
    }
    Q_EMIT StateChanged(value);
}

void Clock::setStatus(const QString& text)
{
    m_status = text;
    Q_EMIT StatusChange(text);
}

QDateTime Clock::Time() const
{
    return TimeSource::current().localNow().addSecs(m_variance);
}

void Clock::setTime(const QDateTime& value)
{
    if (DateTimes::isZero(value))
        return;
    const qint64 seconds = DateTimes::secondsBetween(TimeSource::current().localNow(), value);
    if (seconds < std::numeric_limits<qint32>::min() || seconds > std::numeric_limits<qint32>::max())
        throw OrvError(OrvError::Overflow, QStringLiteral("Clock"), QStringLiteral("Overflow"));
    setVariance(static_cast<qint32>(seconds));
}

void Clock::setVariance(qint32 value)
{
    m_variance = value;
    m_lastUpdated = Time();
    Q_EMIT Updated();
}

qint32 Clock::UTCVariance() const
{
    return siteUtcOffsetHours(Time());
}

qint32 Clock::LocalUTCVariance() const
{
    const qint32 localTimeZone = m_settings ? m_settings->LocalTimeZone : 0;
    return localTimeZone - UTCVariance();
}

void Clock::Cancel()
{
    resumeNext(lcModel, [&] {
        if (m_updater)
            m_updater->Cancel();
    });
}

void Clock::Download()
{
    resumeNext(lcModel, [&] {
        if (m_updater)
            m_updater->Download();
    });
}

void Clock::show()
{
    resumeNext(lcModel, [&] {
        if (m_dialogs)
            m_dialogs->viewClock(*this);
    });
}

qint32 Clock::siteUtcOffsetHours(const QDateTime& siteTime)
{
    const auto [begins, ends] = summerDays(siteTime.date().year());
    const QDateTime summerFrom = DateTimes::naive(begins, QTime(2, 0));
    const QDateTime summerUntil = DateTimes::naive(ends, QTime(2, 0));
    const QDateTime t = DateTimes::asNaive(siteTime);
    return summerFrom <= t && t < summerUntil ? summerOffset : standardOffset;
}

qint32 Clock::siteUtcOffsetHoursAtUtc(const QDateTime& utc)
{
    // In site standard time summer time begins at 2:00 and ends at 1:00 (2:00 summer time).
    const QDateTime standard = DateTimes::asNaive(utc).addSecs(3600LL * standardOffset);
    const auto [begins, ends] = summerDays(standard.date().year());
    const QDateTime summerFrom = DateTimes::naive(begins, QTime(2, 0));
    const QDateTime summerUntil = DateTimes::naive(ends, QTime(1, 0));
    return summerFrom <= standard && standard < summerUntil ? summerOffset : standardOffset;
}

qint32 Clock::defaultVariance()
{
    const TimeSource& pc = TimeSource::current();
    const qint32 pcOffsetMinutes = pc.summerMinutes() - pc.biasMinutes();
    return siteUtcOffsetHoursAtUtc(pc.utcNow()) * 3600 - pcOffsetMinutes * 60;
}

void Clock::updaterStateChanged(int state)
{
    switch (state) {
    case sfComplete: {
        // The UTC reading is turned into site time with the offset in force at that instant.
        bool taken = false;
        resumeNext(lcModel, [&] {
            const QDateTime utc = m_updater->Time();
            if (DateTimes::isZero(utc))
                return;
            setTime(DateTimes::asNaive(utc).addSecs(3600LL * siteUtcOffsetHoursAtUtc(utc)));
            taken = true;
        });
        // A reading that gave no time is no synchronisation.
        setState(taken ? sfComplete : sfFailed);
        break;
    }
    case sfNotRunning:
    case sfRunning:
    case sfFailed:
        setState(static_cast<sfRunState>(state));
        break;
    default:
        break;
    }
}

void Clock::Load(XMLManager& loader)
{
    resumeNext(lcModel, [&] {
        const QString text =
            loader.ReadProperty(QStringLiteral("Variance"), TextForms::whole(defaultVariance()));
        if (const std::optional<qint32> value = TextForms::readLong(text))
            m_variance = *value;
    });
    resumeNext(lcModel, [&] {
        const QString text = loader.ReadProperty(QStringLiteral("LastUpdated"),
                                                 TextForms::date(TimeSource::current().localNow()));
        if (const std::optional<QDateTime> value = TextForms::readDate(text))
            m_lastUpdated = *value;
    });
}

void Clock::Save(XMLManager& loader)
{
    loader.WriteProperty(QStringLiteral("Variance"), TextForms::whole(m_variance));
    loader.WriteProperty(QStringLiteral("LastUpdated"), TextForms::date(m_lastUpdated));
}
