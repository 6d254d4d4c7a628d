#include "RemoteBidManager.h"

#include "RemoteBackend.h"

namespace Remote {

BidManager::BidManager(Backend& backend, QObject* parent) : QObject(parent), m_backend(backend) {}

void BidManager::SendBid(const QString& sItem)
{
    m_backend.call(QStringLiteral("BidManager"), QStringLiteral("SendBid"), {sItem});
}

void BidManager::Cancel()
{
    m_backend.call(QStringLiteral("BidManager"), QStringLiteral("Cancel"));
}

void BidManager::takeState(int state)
{
    m_state = eBidderState(state);
    Q_EMIT StateChange(state);
}

void BidManager::takeStatus(const QString& text)
{
    Q_EMIT StatusChange(text);
}

} // namespace Remote
