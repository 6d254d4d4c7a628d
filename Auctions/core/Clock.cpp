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

#include <QLoggingCategory>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

Q_LOGGING_CATEGORY(lcClock, "orv.clock")

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

// The PC's offset from UTC now, its summer time included, in seconds.
qint64 pcOffsetSeconds()
{
    const TimeSource& pc = TimeSource::current();
    return 60LL * (pc.summerMinutes() - pc.biasMinutes());
}

QDateTime pcUtcNow()
{
    return DateTimes::asNaive(TimeSource::current().utcNow());
}

qint32 toLong(qint64 value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw OrvError(OrvError::Overflow, QStringLiteral("Clock"), QStringLiteral("Overflow"));
    return static_cast<qint32>(value);
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
    changeState(value, QString());
}

void Clock::changeState(sfRunState value, const QString& reason)
{
    if (value == m_state)
        return;
    m_state = value;
    QString status;
    switch (value) {
    case sfRunning:
        status = QStringLiteral("Synchronizing eBay clock...");
        break;
    case sfComplete:
        status = QStringLiteral("eBay clock synchronized.");
        break;
    case sfFailed:
        status = QStringLiteral("Error synchronizing clock.");
        break;
    case sfNotRunning:
        break;
    }
    if (!status.isEmpty())
        setStatus(reason.isEmpty() ? status : status + QStringLiteral("  ") + reason);
    Q_EMIT StateChanged(value);
}

void Clock::setStatus(const QString& text)
{
    m_status = text;
    Q_EMIT StatusChange(text);
}

QDateTime Clock::Time() const
{
    const QDateTime utc = pcUtcNow().addSecs(m_pcError);
    return utc.addSecs(3600LL * siteUtcOffsetHoursAtUtc(utc));
}

void Clock::setTime(const QDateTime& value)
{
    if (DateTimes::isZero(value))
        return;
    const QDateTime utc = siteTimeToUtc(value);
    const qint64 error = DateTimes::secondsBetween(pcUtcNow(), utc);
    // The offset must fit the state file's 32-bit Variance.
    toLong(error + 3600LL * siteUtcOffsetHoursAtUtc(utc) - pcOffsetSeconds());
    takePcError(error);
}

qint32 Clock::Variance() const
{
    const QDateTime utc = pcUtcNow().addSecs(m_pcError);
    const qint64 variance = 3600LL * siteUtcOffsetHoursAtUtc(utc) + m_pcError - pcOffsetSeconds();
    return static_cast<qint32>(
        std::clamp<qint64>(variance, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

void Clock::setVariance(qint32 value)
{
    takePcError(pcErrorForVariance(value));
}

qint64 Clock::pcErrorForVariance(qint64 variance)
{
    const QDateTime pcUtc = pcUtcNow();
    const QDateTime siteNow = pcUtc.addSecs(pcOffsetSeconds() + variance);
    return DateTimes::secondsBetween(pcUtc, siteTimeToUtc(siteNow));
}

void Clock::takePcError(qint64 seconds)
{
    m_pcError = seconds;
    m_lastUpdated = Time();
    Q_EMIT Updated();
}

qint32 Clock::UTCVariance() const
{
    return siteUtcOffsetHoursAtUtc(pcUtcNow().addSecs(m_pcError));
}

qint32 Clock::LocalUTCVariance() const
{
    // The user's zone is a standard offset; the PC's summer time in force now is added to it.
    const qint32 localTimeZone = m_settings ? m_settings->LocalTimeZone : 0;
    const qint64 summerHours = TextForms::roundHalfEven(TimeSource::current().summerMinutes() / 60.0);
    return static_cast<qint32>(localTimeZone + summerHours - UTCVariance());
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

QDateTime Clock::siteTimeToUtc(const QDateTime& siteTime)
{
    const QDateTime t = DateTimes::asNaive(siteTime);
    if (siteUtcOffsetHoursAtUtc(t.addSecs(-3600LL * summerOffset)) == summerOffset)
        return t.addSecs(-3600LL * summerOffset);
    // Standard time, and the hour that the spring switch skips, which a standard-time clock still shows.
    return t.addSecs(-3600LL * standardOffset);
}

qint32 Clock::defaultVariance()
{
    return toLong(3600LL * siteUtcOffsetHoursAtUtc(pcUtcNow()) - pcOffsetSeconds());
}

void Clock::updaterStateChanged(int state)
{
    switch (state) {
    case sfComplete: {
        // The reading measures the PC clock's error; the site time follows from it at every moment.
        bool taken = false;
        QString reason;
        resumeNext(lcModel, [&] {
            const QDateTime utc = DateTimes::asNaive(m_updater->Time());
            if (DateTimes::isZero(utc))
                return;
            const QDateTime pcUtc = pcUtcNow();
            const qint64 error = DateTimes::secondsBetween(pcUtc, utc);
            if (std::abs(error) > MaxPcClockErrorSeconds) {
                reason = QStringLiteral("The time server reads %1 UTC, this computer %2 UTC: more than 15 "
                                        "minutes apart.")
                             .arg(TextForms::date(utc), TextForms::date(pcUtc));
                qCWarning(lcClock) << "clock reading refused:" << reason;
                return;
            }
            takePcError(error);
            taken = true;
        });
        // A reading that gave no time, or an absurd one, is no synchronisation.
        changeState(taken ? sfComplete : sfFailed, reason);
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
    // Variance was the site's distance from the PC's local time when the file was saved; with the
    // offsets in force now it gives the PC clock's error. Whole hours of it are summer time that the
    // site, the PC or both have switched since the save, not an error of the PC clock. What remains
    // beyond a sane clock's error (a damaged or hand-made value) gives way to the default for the PC's
    // zone.
    m_pcError = 0;
    resumeNext(lcModel, [&] {
        const QString text =
            loader.ReadProperty(QStringLiteral("Variance"), TextForms::whole(defaultVariance()));
        const std::optional<qint32> value = TextForms::readLong(text);
        if (!value)
            return;
        const qint64 error = pcErrorForVariance(*value);
        for (const qint64 switchedHours : {0, 1, -1, 2, -2}) {
            if (std::abs(error - 3600 * switchedHours) <= MaxPcClockErrorSeconds) {
                m_pcError = error - 3600 * switchedHours;
                return;
            }
        }
        qCWarning(lcClock) << "stored Variance" << *value << "puts the site clock" << error
                           << "seconds from the computer's clock; the default is used";
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
    loader.WriteProperty(QStringLiteral("Variance"), TextForms::whole(Variance()));
    loader.WriteProperty(QStringLiteral("LastUpdated"), TextForms::date(m_lastUpdated));
}
