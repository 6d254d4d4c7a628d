#pragma once

#include <QObject>

// Shut-down negotiation with client processes.
class Unloader : public QObject
{
    Q_OBJECT
public:
    explicit Unloader(QObject* parent = nullptr);

    // Asks every client whether the program may end; true when none holds it open.
    bool Available();
};
