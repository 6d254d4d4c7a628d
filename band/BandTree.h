#pragma once

#include <QTreeWidget>
#include <QTreeWidgetItem>

// The band's tree view. A right-button press asks for the pop-up menu without moving the selection (the
// menus act on the selected node); the Delete key and dropped text are handed on.
class BandTree : public QTreeWidget
{
    Q_OBJECT
public:
    explicit BandTree(QWidget* parent = nullptr);

Q_SIGNALS:
    void popupRequested(const QPoint& globalPos);
    void deletePressed();
    // The first line of dropped text or of the first dropped address, trimmed.
    void dropped(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// A node of the band's tree. Categories and auctions sort by their text; information lines keep the
// order in which they were added.
class BandTreeItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    // The node's key and, for an information line, its position among its siblings.
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int OrderRole = Qt::UserRole + 1;

    bool operator<(const QTreeWidgetItem& other) const override;
};
