#pragma once

#include <QObject>

class BidManager;
class Clock;

// The connection watch and dial-up of the red phase, driven by the heartbeat.
class NetManager : public QObject
{
    Q_OBJECT
public:
    explicit NetManager(QObject* parent = nullptr);

    void Init(BidManager& bidManager, Clock& clock);
    void Tick();
};
