#pragma once

#include "IXMLPersist.h"
#include "OrvEnums.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

class DialogHost;
class IClockUpdater;
class Settings;

// The site clock: the PC's UTC time, corrected by the PC clock's own error, plus the site's offset from
// UTC in force at that moment (the US Pacific summer-time rules of each year). A synchronisation against a
// public time service (the clock updater) measures the PC clock's error. Variance, the site time minus the
// PC's local time in whole seconds, is derived from that at each reading, so neither the site's nor the
// PC's summer-time switch puts the clock an hour out.
class Clock : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Clock(QObject* parent = nullptr);

    // The user's time zone comes from `settings`; the clock window opens through `dialogs`.
    void Init(const ::Settings& settings, DialogHost& dialogs);
    // Hands the clock its synchronisation worker, which it then owns and listens to. Until it has
    // one, Download and Cancel do nothing.
    void setUpdater(IClockUpdater* updater);

    sfRunState State() const { return m_state; }
    // A change writes the state's status line, then raises StateChanged; the same state does nothing.
    void setState(sfRunState value);
    QString Status() const { return m_status; }
    // Raises StatusChange every time, also with the same text.
    void setStatus(const QString& text);

    // The current site time.
    QDateTime Time() const;
    // Takes `value`, a site time from a trusted source, as the current site time; a value at or before
    // the zero date is ignored.
    void setTime(const QDateTime& value);
    QDateTime LastUpdated() const { return m_lastUpdated; }
    // The site time minus the PC's local time now, in whole seconds.
    qint32 Variance() const;
    // Takes the offset as the site time's distance from the PC's local time now, stamps LastUpdated with
    // the new site time and raises Updated.
    void setVariance(qint32 value);

    // A PC clock error beyond this is no reading of a sane clock: a synchronisation that measures more
    // fails, and a stored Variance that implies more gives way to the default.
    static constexpr qint64 MaxPcClockErrorSeconds = 15 * 60;

    // The site's offset from UTC in hours at the current site time: -8, or -7 in summer time.
    qint32 UTCVariance() const;
    // Hours to add to a site time to get the user's local time.
    qint32 LocalUTCVariance() const;

    void Cancel();
    void Download();
    // Opens the clock window on this clock.
    void show();

    // The site's offset from UTC in hours for a site wall-clock time. Summer time runs from 2:00 on the
    // first Sunday of April to 2:00 on the last Sunday of October until 2006, and from the second Sunday
    // of March to the first Sunday of November since 2007; the hour that the autumn switch repeats is
    // taken as its first, summer-time pass.
    static qint32 siteUtcOffsetHours(const QDateTime& siteTime);
    // The same for a UTC time, which is never ambiguous.
    static qint32 siteUtcOffsetHoursAtUtc(const QDateTime& utc);
    // The offset of a first start: the site's time now less the PC's local time now, the PC's summer
    // time included.
    static qint32 defaultVariance();
    // The UTC instant of a site wall-clock time; the hour that the autumn switch repeats is taken as its
    // first, summer-time pass.
    static QDateTime siteTimeToUtc(const QDateTime& siteTime);

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void Updated();
    void StatusChange(const QString& sStatus);
    void StateChanged(int State);

private:
    void updaterStateChanged(int state);
    // Stores the state; a change writes its status line (followed by `reason` when there is one), then
    // raises StateChanged.
    void changeState(sfRunState value, const QString& reason);
    // The PC clock's error that makes Variance read `variance` now.
    static qint64 pcErrorForVariance(qint64 variance);
    // Stores a newly measured PC clock error, stamps LastUpdated and raises Updated.
    void takePcError(qint64 seconds);

    sfRunState m_state = sfNotRunning;
    QString m_status;
    // The true UTC time minus the PC's UTC time, in seconds.
    qint64 m_pcError = 0;
    QDateTime m_lastUpdated;
    QPointer<const ::Settings> m_settings;
    DialogHost* m_dialogs = nullptr;
    QPointer<IClockUpdater> m_updater;
};
