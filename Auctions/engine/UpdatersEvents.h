#pragma once

#include <QObject>

class Updater;

// The relay that every Updater of one queue shares: an updater reports its state change here, and the
// queue, listening, acts on it.
class UpdatersEvents : public QObject
{
    Q_OBJECT
public:
    explicit UpdatersEvents(QObject* parent = nullptr) : QObject(parent) {}

    void raiseStateChanged(int State, Updater* updater) { Q_EMIT StateChanged(State, updater); }

Q_SIGNALS:
    void StateChanged(int State, Updater* updater);
};
