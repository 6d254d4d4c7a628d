#pragma once

#include <QDateTime>
#include <QObject>

// The synchronisation worker that the site clock drives: it fetches the current UTC time from a public
// time service and reports its progress as an sfRunState through StateChanged. The clock turns a
// completed fetch into its new offset.
class IClockUpdater : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void Download() = 0;
    virtual void Cancel() = 0;
    // The UTC time read by the last completed fetch.
    virtual QDateTime Time() const = 0;

Q_SIGNALS:
    void StateChanged(int State);
};
