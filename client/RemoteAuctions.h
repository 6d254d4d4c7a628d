#pragma once

#include "RemoteAuctionRecord.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <optional>

namespace Remote {

class Backend;

// The main program's auctions, kept in a local replica: filled by one fetch when binding and kept
// current by the program's reports, so that reading never waits on the bus. Commands go to the program
// and throw Error when it refuses; their effect reaches the replica as a report (AuctionChanged).
class Auctions : public QObject
{
    Q_OBJECT
public:
    explicit Auctions(Backend& backend, QObject* parent = nullptr);

    // In the program's insertion order.
    QList<AuctionRecord> Items() const { return m_items; }
    // The auction of that item number, letter case ignored as the program's collection does.
    std::optional<AuctionRecord> Item(const QString& sItem) const;
    qint32 Count() const { return qint32(m_items.size()); }
    // An auction whose item number equals `sItem` exactly.
    bool Exists(const QString& sItem) const;

    // The program's Auctions.Add; the new record (also reported as AuctionChanged).
    AuctionRecord Add(const QString& sItem, const QString& sCategory);
    void Remove(const QString& sItem);
    // Sets the auction's Category, then its Changed: the program reports the move.
    void SetCategory(const QString& sItem, const QString& sCategory);
    // Sets the auction's Description, then its Changed.
    void SetDescription(const QString& sItem, const QString& sDescription);
    // The main program's windows: the add dialog, the editor, the bid dialog.
    void ViewAdd(const QString& sItem, const QString& sCategory);
    void ViewEdit(const QString& sItem);
    void ViewEditBid(const QString& sItem);
    void ViewNewBid(const QString& sItem);

    // The replica's side, for the application: takes a whole list, or one reported record.
    void reset(const QList<AuctionRecord>& records, qulonglong serial);
    void clear();
    void take(const QVariantMap& record, qulonglong serial);

Q_SIGNALS:
    // One auction added, changed or removed (Deleted true, with its last state).
    void AuctionChanged(const Remote::AuctionRecord& auction);
    // The list changed as a whole: read Items again.
    void Updated();

private:
    void reindex();
    QVariant command(const QString& method, const QVariantList& args);

    Backend& m_backend;
    QList<AuctionRecord> m_items;
    // Lower-cased item number to position in m_items.
    QHash<QString, qsizetype> m_index;
    // The serial of the snapshot or report that each item (present or removed) was last taken from.
    QHash<QString, qulonglong> m_serials;
    qulonglong m_snapshotSerial = 0;
};

} // namespace Remote
