#pragma once

#include "NetDetector.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class BidManager;
class Clock;
class Dialer;
class Settings;

// The connection watch of the red phase, driven by the heartbeat: while bids are close it tests the
// connection every CheckNetSeconds seconds, dials the configured entry when the test fails, and starts
// one clock synchronisation per red phase. The test runs in the background; its result is acted on
// when it arrives, as long as the red phase it was taken for lasts.
class NetManager : public QObject
{
    Q_OBJECT
public:
    explicit NetManager(QObject* parent = nullptr);
    ~NetManager() override;

    // Keeps the clock, then the bid manager, whose state changes it follows.
    void Init(BidManager& oBidManager, Clock& oClock);
    // The settings, read at their moment of use.
    void link(const Settings& settings);
    // Takes the dial-up control, which it then owns for its whole life.
    void setDialer(Dialer* dialer);
    // The dial-up control, whose entries the settings offer; null until one is set.
    Dialer* dialer() const { return m_dialer; }

    // Raises StatusChange with the text; nothing is stored.
    void setStatus(const QString& sStatus);
    void Tick();

    // The connection test that Tick starts; this object hears its result first.
    const NetDetector& connectionTest() const { return m_connectionTest; }

Q_SIGNALS:
    void StatusChange(const QString& sStatus);

private:
    void connectionTested(bool c);
    void Dial(bool c);
    void SyncClockOnce(bool c);
    void bidManagerStateChange(int state);
    void dialerConnected();
    void dialerDisconnected();
    void dialerTimedOut();
    void dialerError(int code, const QString& description);

    QPointer<Clock> m_clock;
    QPointer<BidManager> mBidManager;
    QPointer<const Settings> m_settings;
    Dialer* m_dialer = nullptr;
    // The dialer while a dial has been asked for in this red phase; its events are heard only then.
    QPointer<Dialer> mFrm;
    NetDetector m_connectionTest;
    // Monotonic, so that a PC clock set back does not stop the checks; none before the first check.
    std::optional<qint64> m_lastCheckMs;
    bool m_synchronised = false;
    // Counts red phases, so that a test result outliving its phase is dropped.
    quint64 m_redPhase = 0;
    quint64 m_testedPhase = 0;
};
