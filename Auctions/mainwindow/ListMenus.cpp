#include "ListMenus.h"

#include "Categorys.h"
#include "Columns.h"
#include "CommandErrors.h"

#include <QMenu>

namespace {

void placeholder(QMenu& menu, const QString& caption)
{
    QAction* entry = menu.addAction(caption);
    entry->setEnabled(false);
}

QAction* entry(QMenu& menu, const QString& caption, const QString& name, bool checked)
{
    QAction* action = menu.addAction(CommandErrors::literal(caption));
    action->setData(name);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

void ListMenus::buildColumnMenu(QMenu& menu, const Columns* columns)
{
    menu.clear();
    if (!columns || columns->IsEmpty()) {
        placeholder(menu, QStringLiteral("Item"));
        return;
    }
    for (const ColumnPtr& column : columns->Items())
        entry(menu, column->Menu, column->Name, column->Visible());
}

void ListMenus::buildMoveMenu(QMenu& menu, const Categorys* categorys, const QString& noted,
                              bool hasSelectedRow)
{
    menu.clear();
    menu.menuAction()->setEnabled(hasSelectedRow);
    if (!categorys || categorys->Count() == 0) {
        placeholder(menu, QStringLiteral("Category"));
        return;
    }
    for (const CategoryPtr& category : categorys->Items())
        entry(menu, category->Name, category->Name, category->Name == noted);
}
