#pragma once

#include "IXMLPersist.h"
#include "OrvEnums.h"

#include <QPointer>
#include <QSharedPointer>
#include <QString>

class Auction;
class ColumnsEvents;
class ListCell;
class Settings;

// One column of the auction list: its header, widths and sort key, and how it shows an auction's field.
// Widths are in twips; a width of 0 hides the column.
class Column : public IXMLPersist
{
public:
    QString Name;
    qint32 Index = 0;
    qint32 Default = 0;
    QString Caption;
    QString Menu;
    bool Enabled = false;
    qint32 Width = 0;
    QString Sort;
    bool Colored = false;
    QString TooltipText;
    QPointer<ColumnsEvents> Events;
    AppColumnAligments Alignment = OR2ColumnLeft;
    // The settings that the "Hot" cell compares the bids with (HotBids).
    QPointer<::Settings> Settings;

    bool Visible() const { return Width >= 1; }
    // Showing restores Default; a change is reported to the collection, an unchanged value does nothing.
    void setVisible(bool value);
    // The column shows an image instead of a text.
    bool Iconic() const;
    // Writes this column's value for the auction into the cell; a cell it cannot fill is left as it was.
    void UpdateListItem(ListCell& cell, const Auction& auction) const;

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;
};

using ColumnPtr = QSharedPointer<Column>;
