#pragma once

#include "Auction.h"

#include <QList>

class Clock;
class Column;
class QTreeView;

// How wide the list draws a column: its stored width in twips, but never narrower than its caption and
// the text it shows for auctions of the usual kind (a twelve-digit item number, amounts in the
// thousands with cents, a time left under a day, a whole date). The stored widths were made for a
// smaller font than the desktop's, in which the list would cut its own key values short. The stored
// twips stay as they are.
class ColumnWidths
{
public:
    // Measures in `view`'s font and style; `clock` gives the usual auctions their time left and local
    // end (without one the time left is measured at its widest and the local end by its caption).
    ColumnWidths(const QTreeView& view, Clock* clock);

    // The least width, in pixels, at which `column`, shown in the header's `section`, shows its caption
    // and a usual value whole.
    int leastPixels(const Column& column, int section) const;
    // The width the list draws `column` at.
    int drawnPixels(const Column& column, int section) const;

private:
    const QTreeView& m_view;
    QList<AuctionPtr> m_usual;
};
