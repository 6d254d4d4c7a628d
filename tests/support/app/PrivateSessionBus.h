#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

// A session bus of the test's own: starts a dbus-daemon and points DBUS_SESSION_BUS_ADDRESS at it, so
// that a test may own the program's bus name without meeting other tests. Create it before anything in
// the process touches the session bus.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    bool isRunning() const { return !m_address.isEmpty(); }

private:
    QProcess m_daemon;
    QString m_address;
    QByteArray m_previous;
};
