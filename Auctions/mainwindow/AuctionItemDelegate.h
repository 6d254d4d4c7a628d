#pragma once

#include <QStyledItemDelegate>

// Draws the list's cells; a cell that shows only a picture gets it centred without the text margins,
// so the narrow icon columns show their whole 16-pixel picture.
class AuctionItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
