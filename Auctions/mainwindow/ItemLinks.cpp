#include "ItemLinks.h"

#include "Auctions.h"
#include "SiteEndpoints.h"

namespace {

const QString marker = QStringLiteral("eBayISAPI.dll?ViewItem");
const QString itemKey = QStringLiteral("item=");

} // namespace

bool ItemLinks::isItemPage(const QString& text)
{
    return text.contains(marker, Qt::CaseInsensitive);
}

QString ItemLinks::itemFromDrop(const QString& text)
{
    if (!isItemPage(text))
        return QString();
    const qsizetype key = text.indexOf(itemKey, 0, Qt::CaseInsensitive);
    if (key < 0)
        return QString();
    const qsizetype start = key + itemKey.size();
    qsizetype end = text.size();
    for (const QChar stop : {QLatin1Char('&'), QLatin1Char('#')}) {
        const qsizetype at = text.indexOf(stop, start);
        if (at >= 0 && at < end)
            end = at;
    }
    const QString item = text.mid(start, end - start).trimmed();
    return Auctions::isValidItemNumber(item) ? item : QString();
}

QUrl ItemLinks::itemPageUrl(const QString& item)
{
    if (!Auctions::isValidItemNumber(item))
        return QUrl();
    return SiteEndpoints::url(SiteEndpoints::ItemPage,
                              QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=") +
                                  QString::fromLatin1(QUrl::toPercentEncoding(item)));
}
