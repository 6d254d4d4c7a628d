#pragma once

#include <QString>
#include <QUrl>

// Item numbers in and out of addresses: the item number of a dropped item-page address, and the address
// of an item's page.
class ItemLinks
{
public:
    // Whether the text holds the item-page marker "eBayISAPI.dll?ViewItem" (letter case ignored).
    static bool isItemPage(const QString& text);
    // The item number of a dropped text: the text after the first "item=" (letter case ignored) up to
    // the next "&" or "#" or the end, trimmed. Empty unless the text is an item page, "item=" is there
    // and what follows is a valid item number.
    static QString itemFromDrop(const QString& text);
    // The address of the item's page, the item percent-encoded; an empty address for an item number
    // that is not letters and digits only.
    static QUrl itemPageUrl(const QString& item);
};
