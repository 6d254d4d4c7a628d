#include "RemoteAuctions.h"

#include "RemoteBackend.h"

namespace Remote {

namespace {

QString keyOf(const QString& item)
{
    return item.toLower();
}

} // namespace

Auctions::Auctions(Backend& backend, QObject* parent) : QObject(parent), m_backend(backend) {}

std::optional<AuctionRecord> Auctions::Item(const QString& sItem) const
{
    const auto found = m_index.constFind(keyOf(sItem));
    if (found == m_index.cend())
        return std::nullopt;
    return m_items.at(*found);
}

bool Auctions::Exists(const QString& sItem) const
{
    const auto found = m_index.constFind(keyOf(sItem));
    return found != m_index.cend() && m_items.at(*found).Item == sItem;
}

AuctionRecord Auctions::Add(const QString& sItem, const QString& sCategory)
{
    const QVariantMap added = command(QStringLiteral("Add"), {sItem, sCategory}).toMap();
    take(added, added.value(Bus::AuctionsKey::Serial).toULongLong());
    return AuctionRecord::fromMap(added);
}

void Auctions::Remove(const QString& sItem)
{
    command(QStringLiteral("Remove"), {sItem});
}

void Auctions::SetCategory(const QString& sItem, const QString& sCategory)
{
    command(QStringLiteral("SetCategory"), {sItem, sCategory});
}

void Auctions::SetDescription(const QString& sItem, const QString& sDescription)
{
    command(QStringLiteral("SetDescription"), {sItem, sDescription});
}

void Auctions::ViewAdd(const QString& sItem, const QString& sCategory)
{
    command(QStringLiteral("ViewAdd"), {sItem, sCategory});
}

void Auctions::ViewEdit(const QString& sItem)
{
    command(QStringLiteral("ViewEdit"), {sItem});
}

void Auctions::ViewEditBid(const QString& sItem)
{
    command(QStringLiteral("ViewEditBid"), {sItem});
}

void Auctions::ViewNewBid(const QString& sItem)
{
    command(QStringLiteral("ViewNewBid"), {sItem});
}

QVariant Auctions::command(const QString& method, const QVariantList& args)
{
    const QVariant answer = m_backend.call(QStringLiteral("Auctions"), method, args);
    // Commands that change a record answer with it, so that the replica holds the change before the
    // report arrives.
    const QVariantMap record = answer.toMap();
    if (method != QLatin1String("Add") && record.contains(Bus::AuctionKey::Item))
        take(record, record.value(Bus::AuctionsKey::Serial).toULongLong());
    return answer;
}

void Auctions::reset(const QList<AuctionRecord>& records, qulonglong serial)
{
    m_items.clear();
    m_items.reserve(records.size());
    for (const AuctionRecord& auction : records) {
        if (!auction.Deleted)
            m_items.append(auction);
    }
    m_serials.clear();
    m_snapshotSerial = serial;
    reindex();
    Q_EMIT Updated();
}

void Auctions::clear()
{
    m_items.clear();
    m_index.clear();
    m_serials.clear();
    m_snapshotSerial = 0;
    Q_EMIT Updated();
}

void Auctions::take(const QVariantMap& record, qulonglong serial)
{
    AuctionRecord auction = AuctionRecord::fromMap(record);
    const QString key = keyOf(auction.Item);
    // A report older than what the replica holds (it can arrive after a command's answer) is dropped.
    if (serial <= std::max(m_snapshotSerial, m_serials.value(key)))
        return;
    m_serials.insert(key, serial);
    const auto found = m_index.constFind(key);
    if (auction.Deleted) {
        if (found == m_index.cend())
            return;
        m_items.removeAt(*found);
        reindex();
    } else if (found != m_index.cend()) {
        if (m_items.at(*found) == auction)
            return;
        m_items[*found] = auction;
    } else {
        m_index.insert(key, m_items.size());
        m_items.append(auction);
    }
    Q_EMIT AuctionChanged(auction);
}

void Auctions::reindex()
{
    m_index.clear();
    m_index.reserve(m_items.size());
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_index.insert(keyOf(m_items.at(i).Item), i);
}

} // namespace Remote
