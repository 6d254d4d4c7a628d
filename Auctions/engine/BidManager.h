#pragma once

#include "IXMLPersist.h"

#include <QObject>

class Auctions;
class Clock;

// The bidding state machine, driven by the heartbeat.
class BidManager : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit BidManager(QObject* parent = nullptr);

    void Init(Auctions& auctions, Clock& clock);
    void Tick();

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;
};
