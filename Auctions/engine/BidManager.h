#pragma once

#include "IXMLPersist.h"
#include "OrvEnums.h"

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

    eBidderState State() const { return m_state; }
    // A change raises StateChange; the same value again does nothing.
    void setState(eBidderState value);
    bool Paused() const { return m_state == eBidderPaused; }
    void setPaused(bool value) { setState(value ? eBidderPaused : eBidderGreen); }

    // The pause survives a restart through "Paused".
    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void StateChange(int State);

private:
    eBidderState m_state = eBidderGreen;
};
