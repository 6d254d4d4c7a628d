#pragma once

#include "RemoteEnums.h"

#include <QObject>

namespace Remote {

class Backend;

// The main program's bid manager: its overall state, sending one auction's bid at once, cancelling.
class BidManager : public QObject
{
    Q_OBJECT
public:
    explicit BidManager(Backend& backend, QObject* parent = nullptr);

    eBidderState State() const { return m_state; }
    void SendBid(const QString& sItem);
    void Cancel();

    // The replica's side.
    void takeState(int state);
    void takeStatus(const QString& text);

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& sStatus);

private:
    Backend& m_backend;
    eBidderState m_state = eBidderGreen;
};

} // namespace Remote
