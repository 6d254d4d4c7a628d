#include "AuctionListView.h"

#include "AuctionItemDelegate.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>

namespace {

bool carriesText(const QMimeData* data)
{
    return data && (data->hasText() || data->hasUrls());
}

} // namespace

AuctionListView::AuctionListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
    setItemDelegate(new AuctionItemDelegate(this));
    setIconSize(QSize(16, 16));
    header()->setSectionsMovable(true);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(4);
    header()->setSortIndicatorShown(true);
    header()->setHighlightSections(false);
}

std::pair<int, int> AuctionListView::visibleRows() const
{
    if (!model() || model()->rowCount() == 0 || !isVisible())
        return {1, 0};
    const int first = indexAt(QPoint(0, 0)).row();
    if (first < 0)
        return {1, 0};
    int last = indexAt(QPoint(0, viewport()->height() - 1)).row();
    if (last < 0)
        last = model()->rowCount() - 1;
    return {first, last};
}

void AuctionListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (carriesText(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void AuctionListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (carriesText(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void AuctionListView::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!carriesText(data)) {
        event->ignore();
        return;
    }
    // Browsers offer an address as text, as an address list, or both.
    QString text = data->text();
    if (text.isEmpty() && data->hasUrls())
        text = data->urls().constFirst().toString();
    event->acceptProposedAction();
    Q_EMIT textDropped(text);
}

void AuctionListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        event->accept();
        Q_EMIT deletePressed();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void AuctionListView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    Q_EMIT menuRequested(event->globalPos());
}
