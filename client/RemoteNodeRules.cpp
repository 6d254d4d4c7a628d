#include "RemoteNodeRules.h"

#include "RemoteSettings.h"

namespace Remote::NodeRules {

QString categoryKey(const QString&)
{
    return {};
}
QString auctionKey(const QString&)
{
    return {};
}
QString infoKey(const QString&, const QString&)
{
    return {};
}
bool isCategoryKey(const QString&)
{
    return false;
}
bool isAuctionKey(const QString&)
{
    return false;
}
bool isInfoKey(const QString&)
{
    return false;
}
QString categoryOfKey(const QString&)
{
    return {};
}
QString itemOfAuctionKey(const QString&)
{
    return {};
}
QString itemOfInfoKey(const QString&)
{
    return {};
}
QString categoryText(const QString&, int)
{
    return {};
}
QString categoryImage(bool, bool)
{
    return {};
}
QString auctionImage(AucSnipeStates, AucTimeLeftLevel)
{
    return {};
}
qint32 auctionColor(AucTimeLeftLevel, const Remote::Settings&)
{
    return 0;
}
quint32 rgbFromBgr(qint32)
{
    return 0;
}
const QStringList& infoFields()
{
    static const QStringList fields;
    return fields;
}
QString infoCreationImage(const QString&)
{
    return {};
}
QString infoText(const QString&, const AuctionRecord&, const QDateTime&)
{
    return {};
}
QString snipeStateImage(AucSnipeStates)
{
    return {};
}
QString snipeStateText(AucSnipeStates)
{
    return {};
}
QString timeLeftText(const QDateTime&, const QDateTime&)
{
    return {};
}

} // namespace Remote::NodeRules
