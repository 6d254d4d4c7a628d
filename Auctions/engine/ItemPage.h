#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class Auction;

// Reads an auction's details out of its item page: description, end and start time, price and
// currency, quantity, bids, seller and high bidder. The page is read by a fixed sequence of label
// searches, never as a document tree; this is the code that follows the site whenever it changes its
// pages. A label that is missing or a step that cannot read leaves its field as it was.
namespace ItemPage {

// Fills `auction` from the item page `sHTML`. Refuses a page that is no item page with error 11 and
// leaves the auction untouched; otherwise returns true.
bool Parse(Auction& auction, const QString& sHTML);

// The page-reading steps. Positions are 1-based, 0 meaning "not found", as the steps count them.
// The first of `vntArray` (in its order) that occurs at or after lStart (from the start when it is 0)
// and before `lEnd`: its position goes to lStart.
bool fnFirstPos(const QString& sBody, qsizetype& lStart, qsizetype lEnd, const QStringList& vntArray);
// The text just before the first closing tag at or after lStart, after the last ">" before it.
QString fnMidData(const QString& sBody, qsizetype& lStart);
// The text from one past the start of `sStart` (at or after lStart) up to `Send`.
QString fnMidText(const QString& sBody, qsizetype& lStart, const QString& sStart, const QString& Send);
// A page's date text as a date, read in United States English; the zero date when it does not read.
QDateTime fnGetDateFormat(const QString& vInDate);
// The leftmost positive number in a money or count text, commas removed (from `sNumber` too); 0 when
// there is none.
double fnNumber(QString& sNumber);

} // namespace ItemPage
