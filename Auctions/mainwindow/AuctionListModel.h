#pragma once

#include "Auction.h"
#include "Column.h"
#include "OrvEnums.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QPointer>

class Settings;

// The rows of the auction list: one per auction shown, keyed by its item number followed by "~" and
// holding the auction (shared); one cell per list column after the empty first column "None". The
// columns fill the cells (Column::UpdateListItem) when a row is rendered. A full rebuild renders each row
// when the list first asks for it, so that ten thousand rows cost only what is on the screen; a refresh
// pass rewrites the time-left cells the same way, and a row whose time-left level has changed since it
// was rendered is rendered again, so its colour and icon follow the time.
class AuctionListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The key of the picture a cell shows (Qt::DecorationRole gives the picture itself).
    static constexpr int ImageKeyRole = Qt::UserRole + 1;

    explicit AuctionListModel(QObject* parent = nullptr);
    ~AuctionListModel() override;

    // The settings that give the row colours.
    void setSettings(const Settings* settings);

    // The headers: "None", then one per column in this order. Removes every row.
    void setColumns(const QList<ColumnPtr>& columns);
    ColumnPtr columnAt(int section) const;
    // The section of the column named `name`, letter case ignored; -1 when there is none.
    int sectionOf(const QString& name) const;

    // A full rebuild: these auctions, in this order, as the rows.
    void setAuctions(const QList<AuctionPtr>& auctions);
    // Row creation: a row for the auction at the end, rendered at once.
    void appendAuction(const AuctionPtr& auction);
    void removeAt(int row);
    // Renders the row again: its colour, then every cell.
    void renderRow(int row);
    // Puts the picture `key` into one cell of the row.
    void setCellImage(int row, int section, const QString& key);
    // Starts a refresh pass: each row's time-left cell is rewritten when the list next shows it; the rows
    // from `first` to `last` (those on the screen) are announced as changed now.
    void refreshTimeLeft(int first, int last);
    // Orders the rows by the value of the column named `name` (see sortKind), ties keeping their order.
    void sortRows(const QString& name, AppSortOrder sortOrder);

    // The row of the key item + "~"; -1 when there is none.
    int rowOfItem(const QString& item) const;
    QString rowKey(int row) const;
    // The auction that the row holds; null for a row that does not exist.
    AuctionPtr auctionAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Cell
    {
        QString text;
        QString image;
    };
    struct Row
    {
        QString key;
        AuctionPtr auction;
        QList<Cell> cells; // empty until the row is first rendered
        AucTimeLeftLevel level = OR2Complete;
        QColor colour;
        quint64 pass = 0; // the refresh pass its time-left cell was written in
    };

    void render(Row& row) const;
    // Brings a row up to date before it is shown: rendered once, time left as of the latest pass.
    Row& shown(int row) const;
    QColor colourOf(AucTimeLeftLevel level) const;

    QPointer<const Settings> m_settings;
    QList<ColumnPtr> m_columns;
    int m_timeLeftSection = -1;
    mutable QList<Row> m_rows;
    quint64 m_pass = 1;
};
