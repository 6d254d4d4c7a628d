#pragma once

#include "BusService.h"

#include <QStringList>
#include <QVariantMap>

class Auction;

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
    // {Items: the records in insertion order, Serial}: what Items answers, also part of App.Snapshot.
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
    // The record with a fresh serial under "Serial", for an answer.
    QVariantMap answer(Auction& auction);
    void report(Auction* auction);

    qulonglong m_serial = 0;
};
