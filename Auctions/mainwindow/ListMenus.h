#pragma once

#include <QString>

class Categorys;
class Columns;
class QMenu;

// The two submenus that the main window's "Auctions" menu and the list's pop-up menu share. Each entry
// carries in its data the name of its column or category; with no columns or categories only the
// disabled placeholder entry ("Item", "Category") is left.
class ListMenus
{
public:
    // "View Columns...": one entry per column in collection order, its caption the column's menu text,
    // checked when the column is visible.
    static void buildColumnMenu(QMenu& menu, const Columns* columns);
    // "Move to Category...": one entry per category in collection order, checked when its name equals
    // the selected auction's category exactly (`noted` is empty without one; no category has an empty
    // name). The submenu itself is enabled exactly when the list has a selected row.
    static void buildMoveMenu(QMenu& menu, const Categorys* categorys, const QString& noted,
                              bool hasSelectedRow);
};
