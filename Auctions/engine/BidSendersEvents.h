#pragma once

#include <QObject>

class BidSender;

// The relay that every sender of one BidSenders shares: a sender reports its state changes here, and the
// collection, listening, raises its own event with the sender.
class BidSendersEvents : public QObject
{
    Q_OBJECT
public:
    explicit BidSendersEvents(QObject* parent = nullptr) : QObject(parent) {}

    void raiseStateChanged(qint32 State, BidSender* Sender) { Q_EMIT StateChanged(State, Sender); }

Q_SIGNALS:
    void StateChanged(qint32 State, BidSender* Sender);
};
