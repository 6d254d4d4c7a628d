#pragma once

#include "Auction.h"
#include "Clock.h"
#include "IXMLPersist.h"
#include "KeyedCollection.h"

#include <QList>
#include <QObject>
#include <QPointer>

class AuctionsEvents;
class Categorys;
class DialogHost;
class Settings;

// The one collection of the program's auctions, keyed by item number (letter case ignored) and kept in
// insertion order. Views listen to its events; members report their own changes through the shared relay.
class Auctions : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Auctions(QObject* parent = nullptr);
    ~Auctions() override;

    // Silences Add and Remove during bulk work.
    bool Paused = false;

    // Keeps the clock for every auction added or loaded later.
    void Init(::Clock& oClock);
    // The rest of the application that new records and the windows need.
    void link(::Settings& settings, ::Categorys& categorys, DialogHost& dialogs);

    AuctionPtr Add(const QString& sItem, const QString& sCategory);
    void ViewAdd(const QString& sItem, const QString& sCategory);
    void ViewEdit(const AuctionPtr& auction);
    void ViewEditBid(const AuctionPtr& auction);
    void ViewNewBid(const AuctionPtr& auction);
    QList<AuctionPtr> Items() const { return m_items.items(); }
    AuctionPtr Item(const QString& sItem) const;
    ::Clock* Clock() const { return m_clock; }
    qint32 Count() const { return m_items.count(); }
    void Remove(const QString& sItem);
    void Clear();
    bool Exists(const QString& sItem) const;

    // An item number is letters and digits only; anything else never becomes a key, file name or address.
    static bool isValidItemNumber(const QString& item);

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void Updated();
    void AuctionChanged(Auction* auction);
    void AuctionUpdated(Auction* auction);
    void AuctionStateChange(Auction* auction, int SnipeState);

private:
    AuctionPtr newRecord() const;
    // The first auction whose item number equals `sItem` exactly.
    AuctionPtr findExact(const QString& sItem) const;
    void refuseDuplicate(const QString& sItem, const Auction& existing) const;
    void refuseWithoutUsername() const;
    void onAuctionUpdated(Auction* auction);

    AuctionsEvents* mEvents;
    QPointer<::Clock> m_clock;
    QPointer<::Settings> m_settings;
    QPointer<::Categorys> m_categorys;
    DialogHost* m_dialogs = nullptr;
    KeyedCollection<::Auction> m_items;
};
