#pragma once

#include <QString>
#include <QUrl>

// Item numbers in and out of addresses, one rule for the main list, the band and the browser watch:
// the item number an address names, and the address of an item's page.
class ItemLinks
{
public:
    // Whether the text holds the item-page marker "eBayISAPI.dll?ViewItem" (letter case ignored).
    static bool isItemPage(const QString& text);
    // The value of the first key named "item" (letter case ignored) that starts the text or follows
    // "?" or "&", never a key that merely ends in "item" ("previtem=", "xitem="): up to the next "&"
    // or "#" or the end, trimmed. Empty without such a key.
    static QString itemOf(const QString& text);
    // The item number of a dropped text or a shown address: itemOf an item page when that is a valid
    // item number, else empty.
    static QString itemFromDrop(const QString& text);
    // An item number is letters and digits only (ASCII), at least one; anything else never becomes a
    // key, a file name or an address.
    static bool isValidItem(const QString& item);
    // The address of the item's page, the item percent-encoded; an empty address for an item number
    // that is not valid.
    static QUrl itemPageUrl(const QString& item);
};
