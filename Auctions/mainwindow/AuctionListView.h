#pragma once

#include <QTreeView>

// The report list of the auction list control: whole rows selected, several at once, a header whose
// sections the user can drag and resize, and no sorting of its own (the control sorts). It hands the
// control what it cannot decide itself: a dropped text, the Delete key and the right button.
class AuctionListView : public QTreeView
{
    Q_OBJECT
public:
    explicit AuctionListView(QWidget* parent = nullptr);

    // The rows between the top and the bottom of the visible area; an empty range (1, 0) when none.
    std::pair<int, int> visibleRows() const;

Q_SIGNALS:
    void textDropped(const QString& text);
    void deletePressed();
    void menuRequested(const QPoint& globalPos);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};
