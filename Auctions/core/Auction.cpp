#include "Auction.h"

#include "AuctionsEvents.h"
#include "Clock.h"
#include "DateTimes.h"
#include "PropertyReader.h"
#include "TextForms.h"
#include "XMLManager.h"

#include <cmath>

Auction::Auction(qint32 defaultSnipeTime)
    : EndTime(DateTimes::zero()), StartTime(DateTimes::zero()), LastUpdated(DateTimes::zero()),
      SnipeSeconds(defaultSnipeTime)
{
}

AucTimeLeftLevel Auction::TimeLeftLevel()
{
    // Without a clock nothing is left, as the time left is unknown.
    return TimeLeftLevel(Clock ? Clock->Time() : EndTime);
}

AucTimeLeftLevel Auction::TimeLeftLevel(const QDateTime& siteNow)
{
    LastTimeLeftLevel = levelForMinutes(DateTimes::minutesBetween(siteNow, EndTime));
    return LastTimeLeftLevel;
}

AucTimeLeftLevel Auction::levelForMinutes(qint64 minutes)
{
    if (minutes >= ActiveMinutes)
        return OR2Active;
    if (minutes >= CautionMinutes)
        return OR2Caution;
    if (minutes >= WarningMinutes)
        return OR2Warning;
    return OR2Complete;
}

QString Auction::TimeLeftText() const
{
    // Without a clock no time has passed.
    return TextForms::timeLeft(EndTime, Clock ? Clock->Time() : EndTime);
}

bool Auction::IsBidding() const
{
    return SnipeState == OR2BidSet || SnipeState == OR2BidPreparing || SnipeState == OR2BidPrepared ||
           SnipeState == OR2BidSending;
}

QString Auction::bidFault() const
{
    if (!std::isfinite(SnipeBid) || SnipeBid <= 0 || SnipeBid > MaxSnipeBid)
        return QStringLiteral("Bid not sent: the maximum bid must be above 0 and at most 1,000,000,000.");
    if (SnipeQuantity < 1)
        return QStringLiteral("Bid not sent: the quantity to bid for must be at least 1.");
    if (SnipeSeconds < 0)
        return QStringLiteral("Bid not sent: the seconds before the end must not be negative.");
    if (SnipeSeconds > MaxSnipeSeconds)
        return QStringLiteral("Bid not sent: the seconds before the end must be at most 3,600.");
    return QString();
}

void Auction::Changed()
{
    if (Events)
        Events->raiseAuctionChanged(this);
}

void Auction::Updated()
{
    if (Events)
        Events->raiseAuctionUpdated(this);
}

void Auction::Load(XMLManager& loader)
{
    const PropertyReader read(loader);
    Item = read.text(QStringLiteral("Item")).trimmed();
    Description = read.text(QStringLiteral("Description"));
    read.date(QStringLiteral("EndTime"), EndTime, DateTimes::zero());
    read.date(QStringLiteral("StartTime"), StartTime, DateTimes::zero());
    Price = read.decimal(QStringLiteral("Price"), 0);
    Shipping = read.decimal(QStringLiteral("Shipping"), 0);
    read.wholeOrKeep(QStringLiteral("Quantity"), Quantity, 0);
    read.wholeOrKeep(QStringLiteral("Bids"), Bids, 0);
    HighBidder = read.text(QStringLiteral("HighBidder"));
    Seller = read.text(QStringLiteral("Seller"));
    read.date(QStringLiteral("LastUpdated"), LastUpdated, DateTimes::zero());
    Comments = read.text(QStringLiteral("Comments"));
    Category = read.text(QStringLiteral("Category"));
    SnipeState = static_cast<AucSnipeStates>(read.whole(QStringLiteral("SnipeState"), OR2Watching));
    SnipeBid = read.decimal(QStringLiteral("SnipeBid"), 0);
    SnipeSeconds = read.whole(QStringLiteral("SnipeSeconds"), 0);
    SnipeQuantity = read.whole(QStringLiteral("SnipeQuantity"), 1);
    CurrencyTxt = read.text(QStringLiteral("Currency"));
    SysComments = read.text(QStringLiteral("SysComments"));

    // The attempt of an earlier run is lost with its process. One that may have submitted its bid cannot be
    // tried again; one that had not got that far is scheduled again while its auction runs, and the
    // heartbeat prepares it afresh.
    bool interrupted = SnipeState == OR2BidSending;
    if (SnipeState == OR2BidPreparing || SnipeState == OR2BidPrepared) {
        const bool running =
            Clock && (DateTimes::isZero(EndTime) || DateTimes::secondsBetween(Clock->Time(), EndTime) > 0);
        if (running)
            SnipeState = OR2BidSet;
        else
            interrupted = true;
    }
    if (interrupted) {
        SysComments = QStringLiteral("Program closed during send.");
        SnipeState = OR2BidFailed;
    }
    // The stored values stay as they were written, for the user to mend; the bid is not left armed.
    if (SnipeState == OR2BidSet) {
        const QString fault = bidFault();
        if (!fault.isEmpty()) {
            SysComments = fault;
            SnipeState = OR2BidFailed;
        }
    }
}

void Auction::Save(XMLManager& loader)
{
    loader.WriteProperty(QStringLiteral("Item"), Item);
    loader.WriteProperty(QStringLiteral("Description"), Description);
    loader.WriteProperty(QStringLiteral("EndTime"), TextForms::date(EndTime));
    loader.WriteProperty(QStringLiteral("StartTime"), TextForms::date(StartTime));
    loader.WriteProperty(QStringLiteral("Price"), TextForms::decimal(Price));
    loader.WriteProperty(QStringLiteral("Shipping"), TextForms::decimal(Shipping));
    loader.WriteProperty(QStringLiteral("Quantity"), TextForms::whole(Quantity));
    loader.WriteProperty(QStringLiteral("Bids"), TextForms::whole(Bids));
    loader.WriteProperty(QStringLiteral("HighBidder"), HighBidder);
    loader.WriteProperty(QStringLiteral("Seller"), Seller);
    loader.WriteProperty(QStringLiteral("LastUpdated"), TextForms::date(LastUpdated));
    loader.WriteProperty(QStringLiteral("Comments"), Comments);
    loader.WriteProperty(QStringLiteral("Category"), Category);
    loader.WriteProperty(QStringLiteral("SnipeState"), TextForms::whole(SnipeState));
    loader.WriteProperty(QStringLiteral("SnipeBid"), TextForms::decimal(SnipeBid));
    loader.WriteProperty(QStringLiteral("SnipeSeconds"), TextForms::whole(SnipeSeconds));
    loader.WriteProperty(QStringLiteral("SnipeQuantity"), TextForms::whole(SnipeQuantity));
    loader.WriteProperty(QStringLiteral("Currency"), CurrencyTxt);
    loader.WriteProperty(QStringLiteral("SysComments"), SysComments);
}
