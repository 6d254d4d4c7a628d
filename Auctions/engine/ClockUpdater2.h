#pragma once

#include "ClockUpdater.h"

#include <QByteArray>
#include <QTimer>

class QTcpSocket;

// Reads the current UTC time from a daytime service (SiteEndpoints::Daytime, TCP port 13), which sends
// one line such as "61000 26-03-01 18:12:34 00 0 0 50.0 UTC(NIST) *" and closes the connection. Nothing
// in the program creates it; it stands ready as another source of the same shape as ClockUpdater.
class ClockUpdater2 : public ClockUpdater
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 60'000;

    explicit ClockUpdater2(QObject* parent = nullptr);
    ~ClockUpdater2() override;

    // From the connection to the end of the line; applies from the next Download on.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

protected:
    void startFetch() override;
    void releaseFetch() override;
    bool parse(const QString& data) override;

private:
    bool ParseDaytime(const QString& line);

    QTcpSocket* m_socket = nullptr;
    QByteArray m_received;
    QTimer m_deadline;
    int m_timeoutMs = DefaultTimeoutMs;
};
