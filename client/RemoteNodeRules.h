#pragma once

#include "RemoteAuctionRecord.h"
#include "RemoteEnums.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace Remote {

class Settings;

// The rules of the auction tree shared by the band and the debug tool: node keys and kinds, texts,
// images (by their keys in the tree's image list) and colours. Pure functions, no widgets.
namespace NodeRules {

// Keys: a category node is its name followed by ":CAT", an auction node the item number followed by "~",
// an information line the item number, ":", the field and ":INF".
QString categoryKey(const QString& name);
QString auctionKey(const QString& item);
QString infoKey(const QString& item, const QString& field);
// Kind tests by the end of the key, letter case included.
bool isCategoryKey(const QString& key);
bool isAuctionKey(const QString& key);
bool isInfoKey(const QString& key);
// The category name of a category key, the item number of an auction key (the key less its last
// character) and of an information key; empty when the key is of another kind.
QString categoryOfKey(const QString& key);
QString itemOfAuctionKey(const QString& key);
QString itemOfInfoKey(const QString& key);

// The tree's order of nodes by their text: letter case ignored, and among texts equal but for it, the
// exact text.
bool textLess(const QString& a, const QString& b);

// "Books (2)": the name and the number of auction nodes under it.
QString categoryText(const QString& name, int childCount);
// "closed", "closed2" (limited), "open", "open2".
QString categoryImage(bool limited, bool expanded);

// By snipe state, and for a watched auction by time-left level.
QString auctionImage(AucSnipeStates state, AucTimeLeftLevel level);
// The settings' colour of the level (blue-green-red number), whatever the snipe state.
qint32 auctionColor(AucTimeLeftLevel level, const Remote::Settings& settings);
// A blue-green-red number as 0xRRGGBB.
quint32 rgbFromBgr(qint32 bgr);

// The eleven information fields in the order their lines are added: Item, Price, Quantity, Bids,
// SnipeBid, SnipeState, TimeLeft, EndTime, HighBidder, Seller, Comments.
const QStringList& infoFields();
// The image a line gets when it is created; none (empty) for the state line.
QString infoCreationImage(const QString& field);
// The line's text ("ITEM: 123", "PRICE: 5.00", "BID: N/A", ...). The TimeLeft line reads the time-left
// text at `siteNow`; the SnipeState line reads snipeStateText.
QString infoText(const QString& field, const AuctionRecord& auction, const QDateTime& siteNow);

// The state line's image and text.
QString snipeStateImage(AucSnipeStates state);
QString snipeStateText(AucSnipeStates state);

// "N/A" (end time not known), "OVER", "<d> Days +" or "00:hh:mm:ss", by whole seconds from the site
// time `siteNow` to `endTime`.
QString timeLeftText(const QDateTime& endTime, const QDateTime& siteNow);

} // namespace NodeRules
} // namespace Remote
