#include "NetManager.h"

#include "BidManager.h"
#include "Clock.h"
#include "Dialer.h"
#include "Settings.h"
#include "TimeSource.h"

namespace {

// "none" stands for a connection that needs no dialling; an empty entry names nothing to dial either.
bool isNoEntry(const QString& phoneEntry)
{
    return phoneEntry.trimmed().isEmpty() || phoneEntry == QLatin1String("none");
}

} // namespace

NetManager::NetManager(QObject* parent) : QObject(parent)
{
    connect(&m_connectionTest, &NetDetector::finished, this, &NetManager::connectionTested);
}

NetManager::~NetManager() = default;

void NetManager::Init(BidManager& oBidManager, Clock& oClock)
{
    m_clock = &oClock;
    if (mBidManager)
        mBidManager->disconnect(this);
    mBidManager = &oBidManager;
    connect(mBidManager, &BidManager::StateChange, this, &NetManager::bidManagerStateChange);
}

void NetManager::link(const Settings& settings)
{
    m_settings = &settings;
}

void NetManager::setDialer(Dialer* dialer)
{
    delete m_dialer;
    m_dialer = dialer;
    if (dialer)
        dialer->setParent(this);
}

void NetManager::setStatus(const QString& sStatus)
{
    Q_EMIT StatusChange(sStatus);
}

void NetManager::Tick()
{
    if (!mBidManager || !m_settings || mBidManager->State() != eBidderRed)
        return;
    const qint64 nowMs = TimeSource::current().monotonicMs();
    // Whole seconds, as two clock readings truncated to the second differ.
    if (m_lastCheckMs && nowMs / 1000 - *m_lastCheckMs / 1000 <= m_settings->CheckNetSeconds)
        return;
    if (m_settings->ConnectOnRed) {
        // A test still walking its addresses answers this check as well.
        m_testedPhase = m_redPhase;
        m_connectionTest.start();
    } else if (m_settings->SyncClockRed) {
        SyncClockOnce(true);
    }
    m_lastCheckMs = nowMs;
}

void NetManager::connectionTested(bool c)
{
    if (m_testedPhase != m_redPhase || !mBidManager || !m_settings)
        return;
    // The answer can come after the phase moved on from red to bidding: the dial belongs to red alone,
    // but the phase's one clock synchronisation is still due.
    const eBidderState state = mBidManager->State();
    if (state != eBidderRed && state != eBidderBidding)
        return;
    if (state == eBidderRed && !isNoEntry(m_settings->PhoneEntry))
        Dial(c);
    if (m_settings->SyncClockRed)
        SyncClockOnce(c);
}

void NetManager::Dial(bool c)
{
    if (!m_settings->ConnectOnRed || c || !m_dialer)
        return;
    if (!mFrm) {
        mFrm = m_dialer;
        connect(mFrm, &Dialer::OnConnect, this, &NetManager::dialerConnected);
        connect(mFrm, &Dialer::OnDisconnect, this, &NetManager::dialerDisconnected);
        connect(mFrm, &Dialer::OnTimeout, this, &NetManager::dialerTimedOut);
        connect(mFrm, &Dialer::OnError, this, &NetManager::dialerError);
    }
    // A dial under way or a connection already made is left alone.
    const int state = mFrm->ConnectionState();
    if (state != Dialer::NoConnection && state != Dialer::Disconnected)
        return;
    setStatus(QStringLiteral("Attempting to connect to internet..."));
    mFrm->setEntryName(m_settings->PhoneEntry);
    mFrm->Dial();
}

void NetManager::SyncClockOnce(bool c)
{
    if (!m_settings->SyncClockRed || !c || m_synchronised || !m_clock)
        return;
    m_synchronised = true;
    m_clock->Download();
}

void NetManager::bidManagerStateChange(int state)
{
    if (state == eBidderRed) {
        ++m_redPhase;
        m_synchronised = false;
        return;
    }
    if (mFrm) {
        mFrm->disconnect(this);
        mFrm = nullptr;
    }
}

void NetManager::dialerConnected()
{
    setStatus(QStringLiteral("Connected to internet."));
}

void NetManager::dialerDisconnected()
{
    setStatus(QStringLiteral("Disconnected from internet."));
}

void NetManager::dialerTimedOut()
{
    setStatus(QStringLiteral("Attempt to connect to internet timed out."));
}

void NetManager::dialerError(int, const QString& description)
{
    setStatus(QStringLiteral("Error connecting to internet: ") + description);
}
