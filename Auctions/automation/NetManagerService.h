#pragma once

#include "BusService.h"

// The connection watch's status lines on the session bus.
class NetManagerService : public BusService
{
    Q_OBJECT
public:
    explicit NetManagerService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app) override;

Q_SIGNALS:
    void StatusChange(const QString& sStatus);
};
