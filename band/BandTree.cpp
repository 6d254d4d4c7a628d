#include "BandTree.h"

#include "RemoteNodeRules.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>

BandTree::BandTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DropOnly);
    setExpandsOnDoubleClick(true);
    setUniformRowHeights(true);
}

void BandTree::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        Q_EMIT popupRequested(event->globalPosition().toPoint());
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void BandTree::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse asks at the right-button press; the keyboard's menu key asks here.
    if (event->reason() != QContextMenuEvent::Mouse)
        Q_EMIT popupRequested(event->globalPos());
    event->accept();
}

void BandTree::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        event->accept();
        Q_EMIT deletePressed();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void BandTree::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasText() || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void BandTree::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasText() || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void BandTree::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    QString text =
        data->hasUrls() && !data->urls().isEmpty() ? data->urls().first().toString() : data->text();
    // A list of addresses ends its lines in CR LF: the first line, trimmed.
    text = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    event->acceptProposedAction();
    Q_EMIT dropped(text);
}

bool BandTreeItem::operator<(const QTreeWidgetItem& other) const
{
    const QVariant order = data(0, OrderRole);
    const QVariant otherOrder = other.data(0, OrderRole);
    if (order.isValid() && otherOrder.isValid())
        return order.toInt() < otherOrder.toInt();
    return Remote::NodeRules::textLess(text(0), other.text(0));
}
