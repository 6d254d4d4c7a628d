#pragma once

#include "IClockUpdater.h"
#include "OrvEnums.h"
#include "OrvError.h"

#include <QDateTime>
#include <QString>

class Downloader;

// Reads the current UTC time from a public time page: the date and time written before the letters
// "UTC", in the last bold element that precedes them. The site clock serves every synchronisation with
// one ClockUpdater; a new Download replaces the fetch under way.
class ClockUpdater : public IClockUpdater
{
    Q_OBJECT
public:
    explicit ClockUpdater(QObject* parent = nullptr);
    ~ClockUpdater() override;

    // "Update Cancelled" and sfFailed; what the released fetch still reports is ignored.
    void Cancel() override;
    // A new fetch from sfRunning.
    void Download() override;

    sfRunState State() const { return m_state; }
    // A change raises StateChanged; the same value does nothing.
    void setState(sfRunState value);
    QDateTime Time() const override { return m_time; }
    void setTime(const QDateTime& value) { m_time = value; }
    const QString& ErrMessage() const { return m_errMessage; }

    // "/cgi-bin/timer.pl" on the time page's host.
    static QString timePageAddress();

protected:
    // The fetch of one reading: the page here, a daytime line in ClockUpdater2. A fetch ends by
    // fetchComplete or fetchFailed, always later from the event loop.
    virtual void startFetch();
    // Ends the fetch under way, if any, so that it reports nothing more.
    virtual void releaseFetch();
    // Reads `data` into Time. Returns false or throws when it holds no time.
    virtual bool parse(const QString& data);

    void fetchComplete(const QString& data);
    void fetchFailed(const QString& message);

    // "Error parsing date from time server", the refusal of a reading without a time.
    static OrvError parseError();

private:
    bool ParseTimePage(const QString& page);
    static QDateTime ToDateUS(const QString& text);

    sfRunState m_state = sfNotRunning;
    QDateTime m_time;
    QString m_errMessage;
    Downloader* mDler = nullptr;
};
