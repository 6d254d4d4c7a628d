#pragma once

#include "IXMLPersist.h"

#include <QDateTime>
#include <QObject>

// The site clock: PC local time plus Variance seconds.
class Clock : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Clock(QObject* parent = nullptr);

    qint32 Variance() const { return m_variance; }
    QDateTime LastUpdated() const { return m_lastUpdated; }
    QDateTime Time() const;
    // Opens the clock window on this clock.
    void show();

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

private:
    qint32 m_variance = 0;
    QDateTime m_lastUpdated;
};
