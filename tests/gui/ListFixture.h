#pragma once

#include "AuctionListModel.h"
#include "Auctions.h"
#include "Categorys.h"
#include "Clock.h"
#include "Columns.h"
#include "FakeTimeSource.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "cApp.h"
#include "ctlAuctions.h"

#include <QItemSelectionModel>
#include <QTreeView>

// The application at a fixed moment on an empty data folder (the category "Default" and the standard
// columns), with its windows and message boxes recorded, and an auction list control to bind to it.
struct ListFixture
{
    FakeTimeSource now{QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)};
    TestDataFolder data;
    RecordingDialogHost dialogs;
    RecordingMessageBoxSink boxes;
    cApp app{dialogs, boxes};
    ctlAuctions list;

    ListFixture()
    {
        app.Load();
        app.Settings().ConfirmDel = true;
        app.Settings().ConfirmMove = true;
        app.Settings().ConfirmBid = true;
    }

    // An auction ending `endsIn` seconds from the site's now.
    AuctionPtr add(const QString& item, const QString& category, qint64 endsIn = 3600,
                   const QString& description = QString())
    {
        const AuctionPtr auction = app.Auctions().Add(item, category);
        auction->EndTime = app.Clock().Time().addSecs(endsIn);
        auction->Description = description.isEmpty() ? QStringLiteral("Lot ") + item : description;
        return auction;
    }

    AuctionListModel& model() const { return *list.model(); }
    int section(const QString& column) const { return model().sectionOf(column); }
    QString cell(int row, const QString& column) const
    {
        return model().data(model().index(row, section(column))).toString();
    }
    QString image(int row, const QString& column) const
    {
        return model().data(model().index(row, section(column)), AuctionListModel::ImageKeyRole).toString();
    }
    // The item numbers of the rows, in the list's order.
    QStringList rows() const
    {
        QStringList items;
        for (int row = 0; row < model().rowCount(); ++row)
            items << model().auctionAt(row)->Item;
        return items;
    }
    void select(const QStringList& items)
    {
        QItemSelectionModel* selection = list.ListView()->selectionModel();
        selection->clearSelection();
        for (const QString& item : items) {
            const int row = model().rowOfItem(item);
            selection->select(model().index(row, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            selection->setCurrentIndex(model().index(row, 1), QItemSelectionModel::NoUpdate);
        }
    }
    void sortBy(const QString& column, AppSortOrder order)
    {
        app.Columns().setSortColumn(column);
        if (app.Columns().SortOrder != order)
            app.Columns().setSortColumn(column);
    }
};
