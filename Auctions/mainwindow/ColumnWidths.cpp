#include "ColumnWidths.h"

#include "Clock.h"
#include "Column.h"
#include "DateTimes.h"
#include "ListCell.h"
#include "Twips.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeView>

namespace {

class TextOnly : public ListCell
{
public:
    void setText(const QString& value) override { text = value; }
    void setImageKey(const QString&) override {}
    QString text;
};

// The width a cell of `view` needs to show `text` without cutting it, as the view's delegate measures.
int cellPixels(const QTreeView& view, const QString& text)
{
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.widget = &view;
    option.font = view.font();
    option.fontMetrics = view.fontMetrics();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = text;
    option.textElideMode = view.textElideMode();
    option.decorationSize = view.iconSize();
    return view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &view).width();
}

} // namespace

ColumnWidths::ColumnWidths(const QTreeView& view, Clock* clock) : m_view(view)
{
    // Wide values of each kind: the states with the longest texts, a time left with every place filled,
    // and a date with two-digit month, day and hour.
    const QDateTime wideDate = DateTimes::naive(2028, 12, 28, 22, 58, 58);
    const QDateTime now = clock ? clock->Time() : wideDate;
    for (const AucSnipeStates state : {OR2Watching, OR2BidSet, OR2BidSuccess}) {
        const AuctionPtr auction = AuctionPtr::create();
        auction->Clock = clock;
        auction->Item = QStringLiteral("123456789012");
        auction->Price = 1234.56;
        auction->Shipping = 1234.56;
        auction->SnipeBid = 1234.56;
        auction->SnipeSeconds = 60;
        auction->Quantity = 10;
        auction->Bids = 100;
        auction->SnipeState = state;
        auction->EndTime = state == OR2Watching ? wideDate : now.addSecs(23 * 3600 + 59 * 60 + 59);
        auction->StartTime = wideDate;
        auction->LastUpdated = wideDate;
        m_usual.append(auction);
    }
}

int ColumnWidths::leastPixels(const Column& column, int section) const
{
    int least = 0;
    if (!column.Caption.isEmpty())
        least = m_view.header()->sectionSizeHint(section);
    if (column.Iconic())
        return least;
    for (const AuctionPtr& auction : m_usual) {
        TextOnly cell;
        column.UpdateListItem(cell, *auction);
        if (!cell.text.isEmpty())
            least = qMax(least, cellPixels(m_view, cell.text));
    }
    return least;
}

int ColumnWidths::drawnPixels(const Column& column, int section) const
{
    return qMax(Twips::toPixels(column.Width), leastPixels(column, section));
}
