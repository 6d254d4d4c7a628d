#pragma once

#include "Auction.h"
#include "BusService.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QVariantMap>

// The auctions on the session bus, keyed by item number. Every record sent (in a report or an answer)
// carries a serial that grows with each one, so that a client can tell an older record from a newer one
// whatever order they reach it in.
class AuctionsService : public BusService
{
    Q_OBJECT
public:
    explicit AuctionsService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app) override;

    // The auction as it travels: every field, Deleted, and TimeLeftLevel computed now.
    static QVariantMap record(Auction& auction);
    // {Items: the records in insertion order as one packed list (RecordPack), Serial}: what Items
    // answers, also part of App.Snapshot. Each record is packed once per change (and again when its
    // TimeLeftLevel moves on); the list is laid out again only when a record in it changed.
    QVariantMap items();
    // Packs the records that changed since they were last packed, for about `budgetMs` at most; true
    // when none is left, so that items() costs little more than a copy. Spreads the packing of a large
    // list over turns of the event loop.
    bool prepare(qint64 budgetMs);
    // How long one turn of the event loop may pack records for an answer.
    static constexpr qint64 BusyTurnMs = 20;

public Q_SLOTS:
    QVariantMap Items();
    bool Exists(const QString& sItem);
    QVariantMap Add(const QString& sItem, const QString& sCategory);
    QVariantMap Remove(const QString& sItem);
    QVariantMap SetCategory(const QString& sItem, const QString& sCategory);
    QVariantMap SetDescription(const QString& sItem, const QString& sDescription);
    void ViewAdd(const QString& sItem, const QString& sCategory);
    void ViewEdit(const QString& sItem);
    void ViewEditBid(const QString& sItem);
    void ViewNewBid(const QString& sItem);

Q_SIGNALS:
    void AuctionChanged(const QVariantMap& auction, qulonglong serial);
    void Updated();

private:
    // True when the model holds an auction of that item number, letter case ignored.
    bool holds(const QString& sItem);
    // The name of the category `sCategory` names (letter case ignored); error 5 when there is none.
    QString categoryNamed(const QString& sCategory);
    // The record with a fresh serial under "Serial", for an answer.
    QVariantMap answer(Auction& auction);
    void report(Auction* auction);
    void forgetPacked();

    struct Packed
    {
        QByteArray bytes;
        // The record packed; a record that has gone is never mistaken for one made at its address.
        QWeakPointer<Auction> owner;
        // The end time's minute (seconds since 1970, site time) and the level packed with it.
        qint64 endMinute = 0;
        bool hasEnd = false;
        AucTimeLeftLevel level = OR2Complete;
        bool changed = true;
    };
    // The level the record would have at the site minute `siteMinute`, as Auction::TimeLeftLevel says.
    static AucTimeLeftLevel levelAt(const Packed& packed, qint64 siteMinute);
    static qint64 nextLevelMinute(const Packed& packed);
    void pack(const AuctionPtr& auction, Packed& packed, const QDateTime& siteNow);

    qulonglong m_serial = 0;
    // By the record's identity; a record's report marks it changed, one that leaves the list is let go.
    QHash<const Auction*, Packed> m_packed;
    // The list as last laid out; empty when a record in it changed since.
    QByteArray m_list;
    // Set by a report or a change of the whole list; while clear, every record stays packed as it is
    // from the site minute of the last look until the first minute at which a level moves on.
    bool m_changed = true;
    qint64 m_lookedAtMinute = 0;
    qsizetype m_lookedAtCount = 0;
    qint64 m_levelsHoldUntilMinute = 0;
};
