#pragma once

#include "BusClockRecord.h"
#include "BusService.h"

#include <QVariantMap>

// The site clock on the session bus. Its report lets a client compute the site time itself from its
// own UTC clock, also across the site's next summer-time change, so that a time-left text each second
// costs no call.
class ClockService : public BusService
{
    Q_OBJECT
public:
    explicit ClockService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app) override;
    Bus::ClockRecord report() const;

public Q_SLOTS:
    QVariantMap Get();
    void show();
    void Download();

Q_SIGNALS:
    void Updated(const QVariantMap& clock);
    void StatusChange(const QString& sStatus);
    void StateChanged(int State);
};
