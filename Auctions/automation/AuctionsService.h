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
    // The names of a record's fields, in the order a packed list gives its values.
    static const QStringList& recordNames();
    // {Items: the records in insertion order as one packed list (RecordPack), Serial}: what Items
    // answers, also part of App.Snapshot. Each record is packed once per change.
    QVariantMap items();

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
    // The auction's packed record with TimeLeftLevel at `siteNow`, made again only when a field changed.
    const QByteArray& packed(Auction& auction, const QDateTime& siteNow);

    struct Packed
    {
        // The fields the record was made from.
        Auction values;
        QByteArray bytes;
    };

    qulonglong m_serial = 0;
    // By the record's identity; the fields are compared, so an address used again is never mistaken.
    QHash<const Auction*, Packed> m_packed;
};
