#include "Updaters.h"

#include "EngineLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "Updater.h"
#include "UpdatersEvents.h"

#include <QPointer>
#include <algorithm>

Updaters::Updaters(Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_events(new UpdatersEvents(this))
{
    connect(m_events, &UpdatersEvents::StateChanged, this, &Updaters::updaterStateChanged);
}

Updaters::~Updaters()
{
    setState(sfNotBusy);
}

void Updaters::setState(sfBusyState value)
{
    if (value == m_state)
        return;
    m_state = value;
    setStatus(value == sfNotBusy ? QStringLiteral("Auction updates complete.")
                                 : QStringLiteral("Updating Auction(s)..."));
    Q_EMIT StateChanged(value);
}

void Updaters::DownloadItem(const AuctionPtr& auction)
{
    DownloadItems({auction});
}

void Updaters::DownloadItems(const QList<AuctionPtr>& auctions)
{
    if (m_state == sfBusy)
        Cancel();
    setState(sfBusy);
    clearQueue();
    for (const AuctionPtr& auction : auctions) {
        // A duplicate is skipped: the queue is keyed by item number, and a batch that stopped on one
        // would stay busy for ever.
        if (!auction || indexOf(auction->Item) >= 0)
            continue;
        auto* updater = new Updater(this);
        updater->Events = m_events;
        updater->Auction = auction;
        m_queue.append(updater);
    }
    // At least one at a time: a limit of 0 would leave the batch waiting for ever.
    m_limit = qMax(m_settings.MaxAucUpdates, 1);
    setState(m_queue.isEmpty() ? sfNotBusy : sfBusy);
    startWaiting();
}

void Updaters::Cancel()
{
    resumeNext(lcPage, [&] {
        for (qsizetype i = m_queue.size() - 1; i >= 0; --i) {
            if (i < m_queue.size() && m_queue.at(i)->State() != sfRunning)
                Remove(m_queue.at(i)->Auction->Item);
        }
        // Each cancel reports through the relay, which removes the updater; whatever is left after the
        // round (an updater that did not report) is removed here.
        const QList<QPointer<Updater>> running(m_queue.cbegin(), m_queue.cend());
        for (const QPointer<Updater>& updater : running) {
            if (updater && m_queue.contains(updater.data()))
                updater->Cancel();
        }
    });
    clearQueue();
    setState(sfNotBusy);
}

Updater* Updaters::Item(const QString& sItem) const
{
    const qsizetype index = indexOf(sItem);
    if (index < 0)
        throw OrvError(OrvError::InvalidArgument, QStringLiteral("Updaters.Item"),
                       QStringLiteral("Invalid procedure call or argument"));
    return m_queue.at(index);
}

qsizetype Updaters::Count2(sfRunState eState) const
{
    return std::count_if(m_queue.cbegin(), m_queue.cend(),
                         [eState](const Updater* u) { return u->State() == eState; });
}

void Updaters::Remove(const QString& sItem)
{
    const qsizetype index = indexOf(sItem);
    if (index >= 0) {
        Updater* updater = m_queue.takeAt(index);
        updater->Events = nullptr;
        updater->deleteLater(); // it may be reporting right now
    }
    setState(m_queue.isEmpty() ? sfNotBusy : sfBusy);
}

qsizetype Updaters::indexOf(const QString& item) const
{
    for (qsizetype i = 0; i < m_queue.size(); ++i) {
        if (m_queue.at(i)->Auction->Item.compare(item, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void Updaters::startWaiting()
{
    const qsizetype free = m_limit - Count2(sfRunning);
    const qsizetype n = qMin(free, Count2(sfNotRunning));
    for (qsizetype started = 0; started < n; ++started) {
        // Looked up afresh each time: a listener of the start may change the queue.
        const auto next = std::find_if(m_queue.cbegin(), m_queue.cend(),
                                       [](const Updater* u) { return u->State() == sfNotRunning; });
        if (next == m_queue.cend())
            return;
        (*next)->Download();
    }
}

void Updaters::updaterStateChanged(int state, Updater* updater)
{
    const QString item = updater->Auction->Item;
    if (state == sfFailed)
        setStatus(QStringLiteral("Auction ") + item + QStringLiteral(" error: ") + updater->ErrMessage());
    if (state == sfComplete || state == sfFailed) {
        Remove(item);
        startWaiting();
    }
    Q_EMIT UpdaterChanged(state, updater);
}

void Updaters::clearQueue()
{
    for (Updater* updater : std::as_const(m_queue)) {
        updater->Events = nullptr;
        updater->deleteLater();
    }
    m_queue.clear();
}
