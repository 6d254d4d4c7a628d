#pragma once

#include "IXMLPersist.h"
#include "OrvEnums.h"

#include <QDateTime>
#include <QEnableSharedFromThis>
#include <QPointer>
#include <QSharedPointer>
#include <QString>

class AuctionsEvents;
class Clock;

// One auction of the site: what its item page said, what the user wrote, and the snipe set on it.
// Records are shared: a window or worker that holds one keeps it alive after it leaves its collection.
class Auction : public IXMLPersist, public QEnableSharedFromThis<Auction>
{
public:
    // SnipeQuantity 1 and SnipeSeconds `defaultSnipeTime` (the settings' DefaultSnipeTime).
    explicit Auction(qint32 defaultSnipeTime = 0);

    // The largest maximum bid that is ever sent.
    static constexpr double MaxSnipeBid = 1e9;
    // The most seconds before the end at which a bid is ever sent: an hour.
    static constexpr qint32 MaxSnipeSeconds = 3600;

    QString Item;
    QString Description;
    QDateTime EndTime;
    QDateTime StartTime;
    double Price = 0;
    double Shipping = 0;
    qint32 Quantity = 0;
    qint32 Bids = 0;
    QString HighBidder;
    QString Seller;
    QDateTime LastUpdated;
    QString Comments;
    QString Category;
    QString CurrencyTxt;
    QString SysComments;
    bool Deleted = false;
    double SnipeBid = 0;
    qint32 SnipeSeconds = 0;
    qint32 SnipeQuantity = 1;
    AucSnipeStates SnipeState = OR2Watching;
    AucTimeLeftLevel LastTimeLeftLevel = OR2Complete;
    QPointer<::Clock> Clock;
    QPointer<AuctionsEvents> Events;

    // Minute boundaries left by the site clock, as a level; stored in LastTimeLeftLevel.
    AucTimeLeftLevel TimeLeftLevel();
    // The same at the site time `siteNow`, for many auctions at one moment.
    AucTimeLeftLevel TimeLeftLevel(const QDateTime& siteNow);
    // The level of whole minutes left: at least ActiveMinutes, at least CautionMinutes, at least
    // WarningMinutes, or none.
    static AucTimeLeftLevel levelForMinutes(qint64 minutes);
    static constexpr qint64 ActiveMinutes = 1441;
    static constexpr qint64 CautionMinutes = 6;
    static constexpr qint64 WarningMinutes = 1;
    // "N/A", "OVER", "<d> Days +" or "00:hh:mm:ss".
    QString TimeLeftText() const;
    bool IsBidding() const;
    // Why the snipe set on this auction must never be sent, as the sentence its comment gives; empty when
    // the maximum bid is finite, above 0 and at most MaxSnipeBid, the quantity at least 1 and the seconds
    // before the end from 0 to MaxSnipeSeconds. Loading, the heartbeat and "send now" all go by it.
    QString bidFault() const;
    void Changed();
    void Updated();

    // Reading turns a bid that may have been submitted when the program closed, or one that was being
    // prepared for an auction that has ended since, into a failed one; one being prepared for an auction
    // that still runs, or whose end is not known yet, is scheduled again. A scheduled one that breaks the
    // bid rule fails.
    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;
};

using AuctionPtr = QSharedPointer<Auction>;
