#include "AuctionItemDelegate.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>

void AuctionItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    const QVariant picture = index.data(Qt::DecorationRole);
    if (picture.isNull() || !index.data(Qt::DisplayRole).toString().isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell's background and selection as any other cell, then the picture on top.
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.features &= ~QStyleOptionViewItem::HasDecoration;
    plain.icon = QIcon();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, widget);

    const int side = qMin(16, qMin(option.rect.width(), option.rect.height()));
    if (side <= 0)
        return;
    const QRect target(option.rect.center().x() - side / 2 + 1, option.rect.center().y() - side / 2 + 1, side,
                       side);
    const QIcon::Mode mode = option.state & QStyle::State_Enabled ? QIcon::Normal : QIcon::Disabled;
    picture.value<QIcon>().paint(painter, target, Qt::AlignCenter, mode);
}
