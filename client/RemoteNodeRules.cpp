#include "RemoteNodeRules.h"

#include "RemoteSettings.h"
#include "TextForms.h"

#include <QHash>

namespace Remote::NodeRules {

namespace {

const QString categorySuffix = QStringLiteral(":CAT");
const QString auctionSuffix = QStringLiteral("~");
const QString infoSuffix = QStringLiteral(":INF");

} // namespace

QString categoryKey(const QString& name)
{
    return name + categorySuffix;
}

QString auctionKey(const QString& item)
{
    return item + auctionSuffix;
}

QString infoKey(const QString& item, const QString& field)
{
    return item + QLatin1Char(':') + field + infoSuffix;
}

bool isCategoryKey(const QString& key)
{
    return key.endsWith(categorySuffix, Qt::CaseSensitive);
}

bool isAuctionKey(const QString& key)
{
    return key.endsWith(auctionSuffix);
}

bool isInfoKey(const QString& key)
{
    return key.endsWith(infoSuffix, Qt::CaseSensitive);
}

QString categoryOfKey(const QString& key)
{
    return isCategoryKey(key) ? key.chopped(categorySuffix.size()) : QString();
}

QString itemOfAuctionKey(const QString& key)
{
    return isAuctionKey(key) ? key.chopped(auctionSuffix.size()) : QString();
}

bool textLess(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

QString itemOfInfoKey(const QString& key)
{
    if (!isInfoKey(key))
        return QString();
    // The field is the last part before ":INF"; item numbers hold letters and digits only.
    const QString rest = key.chopped(infoSuffix.size());
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : rest.left(colon);
}

QString categoryText(const QString& name, int childCount)
{
    return name + QStringLiteral(" (") + QString::number(childCount) + QLatin1Char(')');
}

QString categoryImage(bool limited, bool expanded)
{
    const QString image = expanded ? QStringLiteral("open") : QStringLiteral("closed");
    return limited ? image + QLatin1Char('2') : image;
}

QString auctionImage(AucSnipeStates state, AucTimeLeftLevel level)
{
    switch (state) {
    case OR2Watching:
        switch (level) {
        case OR2Complete:
            return QStringLiteral("white");
        case OR2Warning:
            return QStringLiteral("red");
        case OR2Caution:
            return QStringLiteral("yellow");
        case OR2Active:
            return QStringLiteral("green");
        }
        return QStringLiteral("white");
    case OR2BidSet:
        return QStringLiteral("bid");
    case OR2BidPreparing:
    case OR2BidPrepared:
        return QStringLiteral("preparing");
    case OR2BidSending:
        return QStringLiteral("bidding");
    case OR2BidFailed:
        return QStringLiteral("failed");
    case OR2BidSuccess:
        return QStringLiteral("star");
    case OR2BidCancelled:
        return QStringLiteral("cancelled");
    }
    return QString();
}

qint32 auctionColor(AucTimeLeftLevel level, const Remote::Settings& settings)
{
    switch (level) {
    case OR2Complete:
        return settings.ColorComplete();
    case OR2Warning:
        return settings.ColorWarning();
    case OR2Caution:
        return settings.ColorCaution();
    case OR2Active:
        return settings.ColorActive();
    }
    return settings.ColorComplete();
}

quint32 rgbFromBgr(qint32 bgr)
{
    const quint32 value = quint32(bgr);
    return ((value & 0xff) << 16) | (value & 0xff00) | ((value >> 16) & 0xff);
}

const QStringList& infoFields()
{
    static const QStringList fields = {
        QStringLiteral("Item"),     QStringLiteral("Price"),    QStringLiteral("Quantity"),
        QStringLiteral("Bids"),     QStringLiteral("SnipeBid"), QStringLiteral("SnipeState"),
        QStringLiteral("TimeLeft"), QStringLiteral("EndTime"),  QStringLiteral("HighBidder"),
        QStringLiteral("Seller"),   QStringLiteral("Comments"),
    };
    return fields;
}

QString infoCreationImage(const QString& field)
{
    static const QHash<QString, QString> images = {
        {QStringLiteral("Item"), QStringLiteral("none")},
        {QStringLiteral("Price"), QStringLiteral("dollar")},
        {QStringLiteral("Quantity"), QStringLiteral("quantity")},
        {QStringLiteral("Bids"), QStringLiteral("bids")},
        {QStringLiteral("SnipeBid"), QStringLiteral("money")},
        {QStringLiteral("TimeLeft"), QStringLiteral("clock")},
        {QStringLiteral("EndTime"), QStringLiteral("calendar")},
        {QStringLiteral("HighBidder"), QStringLiteral("smile")},
        {QStringLiteral("Seller"), QStringLiteral("smile")},
        {QStringLiteral("Comments"), QStringLiteral("comment")},
    };
    return images.value(field);
}

QString infoText(const QString& field, const AuctionRecord& auction, const QDateTime& siteNow)
{
    if (field == QLatin1String("Item"))
        return QStringLiteral("ITEM: ") + auction.Item;
    if (field == QLatin1String("Price"))
        return QStringLiteral("PRICE: ") + TextForms::twoDecimals(auction.Price);
    if (field == QLatin1String("Quantity"))
        return QStringLiteral("QTY: ") + QString::number(auction.Quantity);
    if (field == QLatin1String("Bids"))
        return QStringLiteral("BIDS: ") + QString::number(auction.Bids);
    if (field == QLatin1String("SnipeBid")) {
        return QStringLiteral("BID: ") + (auction.SnipeState == OR2Watching
                                              ? QStringLiteral("N/A")
                                              : TextForms::plainNumber(auction.SnipeBid));
    }
    if (field == QLatin1String("SnipeState"))
        return snipeStateText(auction.SnipeState);
    if (field == QLatin1String("TimeLeft"))
        return timeLeftText(auction.EndTime, siteNow);
    if (field == QLatin1String("EndTime"))
        return QStringLiteral("END: ") + TextForms::generalDate(auction.EndTime);
    if (field == QLatin1String("HighBidder"))
        return QStringLiteral("BIDDER: ") + auction.HighBidder;
    if (field == QLatin1String("Seller"))
        return QStringLiteral("SELLER: ") + auction.Seller;
    if (field == QLatin1String("Comments"))
        return auction.Comments;
    return QString();
}

QString snipeStateImage(AucSnipeStates state)
{
    switch (state) {
    case OR2Watching:
        return QStringLiteral("eye");
    case OR2BidSet:
        return QStringLiteral("bid");
    case OR2BidPreparing:
        return QStringLiteral("preparing");
    case OR2BidPrepared:
    case OR2BidSending:
        return QStringLiteral("bidding");
    case OR2BidFailed:
        return QStringLiteral("failed");
    case OR2BidSuccess:
        return QStringLiteral("star");
    case OR2BidCancelled:
        return QStringLiteral("cancelled");
    }
    return QString();
}

QString snipeStateText(AucSnipeStates state)
{
    switch (state) {
    case OR2Watching:
        return QStringLiteral("NOT BIDDING");
    case OR2BidSet:
        return QStringLiteral("SNIPE READY");
    case OR2BidPreparing:
        return QStringLiteral("PREPARING");
    case OR2BidPrepared:
        return QStringLiteral("PREPARED");
    case OR2BidSending:
        return QStringLiteral("BIDDING");
    case OR2BidFailed:
        return QStringLiteral("BID FAILED");
    case OR2BidSuccess:
        return QStringLiteral("BID SUCCESS");
    case OR2BidCancelled:
        return QStringLiteral("BID CANCELLED");
    }
    return QString();
}

QString timeLeftText(const QDateTime& endTime, const QDateTime& siteNow)
{
    return TextForms::timeLeft(endTime, siteNow);
}

} // namespace Remote::NodeRules
