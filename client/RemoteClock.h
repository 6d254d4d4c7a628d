#pragma once

#include "BusClockRecord.h"
#include "RemoteEnums.h"

#include <QDateTime>
#include <QObject>
#include <QVariantMap>
#include <functional>

namespace Remote {

class Backend;

// The site clock as the client needs it: the current site time, computed here from the program's last
// report (its offset from this PC's UTC clock, and the next summer-time change of the site), so that a
// time-left text once a second costs no call; the synchronisation's state and status; the clock window
// and a synchronisation on request.
class Clock : public QObject
{
    Q_OBJECT
public:
    explicit Clock(Backend& backend, QObject* parent = nullptr);

    // The current site time, a naive date-time.
    QDateTime Time() const;
    qint32 Variance() const { return m_record.Variance; }
    QDateTime LastUpdated() const { return m_record.LastUpdated; }
    sfRunState State() const { return m_state; }
    QString Status() const { return m_status; }

    // The program's clock window; a synchronisation.
    void show();
    void Download();

    // This PC's UTC time, for Time(); tests put a clock of their own here.
    void setUtcSource(std::function<QDateTime()> utcNow);

    // The replica's side: takes a report (its map as it travels, or the record) and raises Updated.
    void reset(const QVariantMap& fields);
    void reset(const Bus::ClockRecord& record);
    void takeStatus(const QString& text);
    void takeState(int state);

Q_SIGNALS:
    void Updated();
    void StatusChange(const QString& sStatus);
    void StateChanged(int State);

private:
    Backend& m_backend;
    Bus::ClockRecord m_record;
    sfRunState m_state = sfNotRunning;
    QString m_status;
    std::function<QDateTime()> m_utcNow;
};

} // namespace Remote
