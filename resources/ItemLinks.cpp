#include "ItemLinks.h"

#include "SiteEndpoints.h"

namespace {

const QString marker = QStringLiteral("eBayISAPI.dll?ViewItem");
const QString itemKey = QStringLiteral("item=");

} // namespace

bool ItemLinks::isItemPage(const QString& text)
{
    return text.contains(marker, Qt::CaseInsensitive);
}

QString ItemLinks::itemOf(const QString& text)
{
    qsizetype key = text.indexOf(itemKey, 0, Qt::CaseInsensitive);
    // Only the whole key: at the start, or right after the query's "?" or a separating "&".
    while (key > 0 && text.at(key - 1) != QLatin1Char('?') && text.at(key - 1) != QLatin1Char('&'))
        key = text.indexOf(itemKey, key + 1, Qt::CaseInsensitive);
    if (key < 0)
        return QString();
    const qsizetype start = key + itemKey.size();
    qsizetype end = text.size();
    for (const QChar stop : {QLatin1Char('&'), QLatin1Char('#')}) {
        const qsizetype at = text.indexOf(stop, start);
        if (at >= 0 && at < end)
            end = at;
    }
    return text.mid(start, end - start).trimmed();
}

QString ItemLinks::itemFromDrop(const QString& text)
{
    if (!isItemPage(text))
        return QString();
    const QString item = itemOf(text);
    return isValidItem(item) ? item : QString();
}

bool ItemLinks::isValidItem(const QString& item)
{
    if (item.isEmpty())
        return false;
    for (const QChar c : item) {
        const bool letter = (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                            (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
        if (!letter && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return false;
    }
    return true;
}

QUrl ItemLinks::itemPageUrl(const QString& item)
{
    if (!isValidItem(item))
        return QUrl();
    return SiteEndpoints::url(SiteEndpoints::ItemPage,
                              QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=") +
                                  QString::fromLatin1(QUrl::toPercentEncoding(item)));
}
