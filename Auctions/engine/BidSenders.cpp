#include "BidSenders.h"

#include "Auctions.h"
#include "BidSender.h"
#include "BidSendersEvents.h"
#include "EngineLog.h"
#include "OrvError.h"
#include "ResumeNext.h"

namespace {

const QString errorSource = QStringLiteral("BidSenders");

} // namespace

BidSenders::BidSenders(BrowserWindow::Factory browsers, const Settings& settings, std::function<void()> save,
                       QObject* parent)
    : QObject(parent), m_browsers(std::move(browsers)), m_settings(settings), m_save(std::move(save)),
      mEvents(new BidSendersEvents(this))
{
    connect(mEvents, &BidSendersEvents::StateChanged, this, &BidSenders::mEvents_StateChanged);
}

qsizetype BidSenders::indexOf(const QString& sItem) const
{
    for (qsizetype i = 0; i < m_senders.size(); ++i) {
        if (m_senders.at(i)->Auction->Item.compare(sItem, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void BidSenders::Cancel()
{
    // Senders leave the collection as they end: walk a copy.
    const QList<BidSender*> senders = m_senders;
    for (BidSender* sender : senders)
        resumeNext(lcBid, [&] { sender->Cancel(); });
}

BidSender* BidSenders::running(const QString& sItem) const
{
    const qsizetype index = indexOf(sItem);
    return index < 0 ? nullptr : m_senders.at(index);
}

BidSender* BidSenders::attemptOf(const Auction* auction) const
{
    for (BidSender* sender : m_senders) {
        if (sender->Auction.data() == auction)
            return sender;
    }
    return nullptr;
}

bool BidSenders::mayPrepare(const AuctionPtr& auction) const
{
    const BidSender* sender = auction ? running(auction->Item) : nullptr;
    return !sender || sender->superseded();
}

void BidSenders::recordChanged(const Auction* auction)
{
    if (BidSender* sender = attemptOf(auction))
        sender->endIfSuperseded();
}

void BidSenders::bindRecords(Auctions& records)
{
    m_records = &records;
    for (BidSender* sender : std::as_const(m_senders))
        sender->setRecords(&records);
}

void BidSenders::halt()
{
    m_halted = true;
    for (BidSender* sender : std::as_const(m_senders))
        sender->halt();
}

BidSender* BidSenders::Prepare(const AuctionPtr& auction, bool bSendNow)
{
    if (m_halted)
        throw OrvError::refused(errorSource, QStringLiteral("The program is closing: no bid is started."));
    if (!auction)
        throw OrvError::refused(errorSource, QStringLiteral("There is no auction to bid on."));
    const QString fault = auction->bidFault();
    if (!fault.isEmpty())
        throw OrvError::refused(errorSource, fault);
    // An attempt left from a deleted, replaced or changed record gives way, unless its bid is out already.
    if (BidSender* earlier = running(auction->Item); earlier && !earlier->endIfSuperseded())
        throw OrvError::refused(
            errorSource, QStringLiteral("A bid for auction %1 is already under way.").arg(auction->Item));
    auto* sender = new BidSender(m_browsers, m_settings, m_save, this);
    sender->Events = mEvents;
    sender->Auction = auction;
    sender->setRecords(m_records);
    sender->setStepDeadline(m_stepDeadlineMs);
    m_senders.append(sender);
    sender->Prepare(bSendNow);
    if (!Paused)
        Q_EMIT Updated();
    return sender;
}

BidSender* BidSenders::Send(const AuctionPtr& auction)
{
    // Only the record's own attempt sends; Prepare refuses a second one for the item.
    if (BidSender* sender = auction ? running(auction->Item) : nullptr;
        sender && sender->Auction == auction && !sender->superseded()) {
        sender->Send();
        return sender;
    }
    return Prepare(auction, true);
}

BidSender* BidSenders::Item(const QString& sItem) const
{
    const qsizetype index = indexOf(sItem);
    if (index < 0)
        throw OrvError::refused(errorSource,
                                QStringLiteral("No bid is under way for auction %1.").arg(sItem));
    return m_senders.at(index);
}

bool BidSenders::Exists(const QString& sItem) const
{
    return std::any_of(m_senders.cbegin(), m_senders.cend(),
                       [&](const BidSender* sender) { return sender->Auction->Item == sItem; });
}

void BidSenders::Remove(const QString& sItem)
{
    const qsizetype index = indexOf(sItem);
    if (index >= 0) {
        BidSender* sender = m_senders.takeAt(index);
        sender->Events = nullptr;
        sender->deleteLater();
    }
    if (!Paused)
        Q_EMIT Updated();
}

void BidSenders::Clear()
{
    // Attempts under way go on by themselves; each is deleted once it ends (mEvents_StateChanged).
    m_senders.clear();
    Q_EMIT Updated();
}

void BidSenders::mEvents_StateChanged(qint32 State, BidSender* Sender)
{
    Q_EMIT StateChanged(State, Sender);
    if (State != BidSender::Succeeded && State != BidSender::Failed)
        return;
    if (m_senders.contains(Sender)) {
        resumeNext(lcBid, [&] { Remove(Sender->Auction->Item); });
    } else {
        // Left behind by Clear: it no longer belongs to the collection.
        Sender->Events = nullptr;
        Sender->deleteLater();
    }
}
