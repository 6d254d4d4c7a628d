#pragma once

#include "IXMLPersist.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

class Settings;

// The site clock: PC local time plus Variance seconds.
class Clock : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Clock(QObject* parent = nullptr);

    qint32 Variance() const { return m_variance; }
    QDateTime LastUpdated() const { return m_lastUpdated; }
    QDateTime Time() const;
    // The settings that hold the user's time zone.
    void setSettings(::Settings* settings);
    // The site's offset from UTC in hours at the current site time: -7 in its summer time, else -8.
    qint32 UTCVariance() const;
    // Hours to add to a site time to get the user's local time.
    qint32 LocalUTCVariance() const;
    // Opens the clock window on this clock.
    void show();

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

private:
    qint32 m_variance = 0;
    QDateTime m_lastUpdated;
    QPointer<::Settings> m_settings;
};
