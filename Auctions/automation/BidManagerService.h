#pragma once

#include "BusService.h"

// The bid manager on the session bus.
class BidManagerService : public BusService
{
    Q_OBJECT
public:
    explicit BidManagerService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app) override;

public Q_SLOTS:
    void SendBid(const QString& sItem);
    void Cancel();

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& sStatus);
};
