#pragma once

#include "Auction.h"
#include "Category.h"
#include "OrvEnums.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class AuctionListModel;
class AuctionListView;
class Auctions;
class BidManager;
class Categorys;
class Clock;
class Column;
class Columns;
class LightsPanel;
class NetManager;
class QAction;
class QMenu;
class QTabBar;
class QToolBar;
class QTreeView;
class Updater;
class Updaters;
class VerManager;
class cApp;

// The auction list control: a toolbar with the list commands and three status lights, a row of tabs,
// one per category, and the report list of the selected category's auctions, one cell per list column.
// It follows the model's and the engine's events and never polls them; the application's heartbeat
// drives the refresh of the time-left cells. Its commands are the ones the main window's menus, its
// own toolbar, its pop-up menus, the Delete key and the double-click run; they let the model's errors
// through, and the control's own controls show them under their titles.
class ctlAuctions : public QWidget
{
    Q_OBJECT
public:
    explicit ctlAuctions(QWidget* parent = nullptr);
    ~ctlAuctions() override;

    // Binds the control to the application's objects and fills it; binding again drops the old binding.
    void View(cApp& app);
    // Unbinds: stops the refresh, drops every model reference and empties the list.
    void Clear();
    void RefreshBackWindow();
    ::Auctions* Auctions() const;
    // The auction of the selected row: the current row when it is selected, else the first selected
    // row; none when nothing is selected or the row's auction has left the collection.
    AuctionPtr Auction() const;
    ::Categorys* Categorys() const;
    // The category of the selected tab; none without a tab or when the tab names no category.
    CategoryPtr Category() const;
    ::Columns* Columns() const;
    QTreeView* ListView() const;
    // The auctions of all selected rows, in the list's row order.
    QList<AuctionPtr> GetSelectedAuctions() const;
    QTabBar* Tabs() const { return m_tabs; }
    QString Status() const { return m_status; }
    void setStatus(const QString& text);
    // Writes the list's column order and widths back into Columns and stops following them.
    void Terminate();

    // The commands.
    void ViewClock();
    void MoveAuction(const QString& sCategory);
    void ToggleColumn(const QString& sColumn);
    void SendBid();
    void CancelBids();
    void Navigate();
    void UpdateAuctions();
    void UpdateAllAuctions();
    void CancelUpdates();
    void Add();
    void Delete();
    void Edit();
    void EditBid();
    void AddCategory();
    void DeleteCategory();
    void EditCategory();
    // The settings dialog (toolbar "config").
    void ViewSettings();

    // The toolbar's dispatch by key, also for "addcat", "editcat" and "delcat", which have no button;
    // an error is shown under "Execution Error". Any other key does nothing.
    void buttonClick(const QString& key);
    QAction* toolButton(const QString& key) const;
    QString lightKey(int index) const;
    // The pop-up menus: the list's ("Auctions") and the tabs' ("Categories").
    QMenu* auctionsMenu() const { return mnuAuctions; }
    QMenu* categorysMenu() const { return mnuCategorys; }
    // Opens the list's pop-up menu as a right-button press in the list does.
    void showAuctionsMenu(const QPoint& globalPos);
    void showCategorysMenu(const QPoint& globalPos);
    // What the list does with a text dropped on it.
    void dropText(const QString& text);
    AuctionListModel* model() const { return m_model; }

    // One beat of the application's heartbeat: rewrites the time-left cells when Settings.TimeLeftRefresh
    // seconds have passed since the last time (by a clock that never jumps); -1 switches it off.
    void heartbeat();

Q_SIGNALS:
    void StatusChange(const QString& sStatus);
    void RecordCountChange(int shown, int total);

private:
    void buildToolbar();
    void buildMenus();
    void disconnectModel();
    void columnRebuild();
    void fullRebuild();
    void oneRowUpdate(::Auction* auction);
    void countsAndCommandState();
    void applySort();
    void columnWidthChanged(::Column* column);
    void headerClicked(int section);
    void tabRebuild();
    void tabClicked();
    void bidderStateChanged(int state);
    void queueStateChanged(int state);
    void updaterChanged(int state, Updater* updater);
    void rowClicked();
    void applyHeaderSizes();
    void rebuildColumnMenu();
    void rebuildMoveMenu();
    // Runs `command` and shows its error under `title`.
    void run(const QString& title, const std::function<void()>& command);
    // Asks a question (the question icon); true for Yes or OK.
    bool confirm(const QString& text, const QString& title, bool okCancel);
    // Whether the auction is still the collection's record under its item number.
    bool stillListed(const AuctionPtr& auction) const;

    QPointer<cApp> m_app;
    QPointer<::Clock> mClock;
    QPointer<::Columns> mColumns;
    QPointer<::Auctions> mAuctions;
    QPointer<::Categorys> mCategorys;
    QPointer<::Updaters> mUpdaters;
    QPointer<::BidManager> mBidManager;
    QPointer<::NetManager> mNetManager;
    QPointer<::VerManager> mVerManager;
    QList<QMetaObject::Connection> m_columnConnections;
    QList<QMetaObject::Connection> m_connections;

    QToolBar* tb;
    LightsPanel* picLights;
    QTabBar* m_tabs;
    AuctionListView* lvwAuctions;
    AuctionListModel* m_model;
    QHash<QString, QAction*> m_buttons;
    QMenu* mnuAuctions;
    QMenu* mnuCategorys;
    QMenu* mnuAuctionsViewItem;
    QMenu* mnuAuctionsMoveItem;
    QHash<QString, QAction*> m_menuEntries;

    QString m_status;
    bool m_rebuilding = false;
    bool m_tabsRebuilding = false;
    bool m_hasDownloadColumn = false;
    bool m_hasTimeLeftColumn = false;
    // The section whose column orders the rows; -1 before any.
    int m_sortSection = -1;
    bool m_refreshRunning = false;
    std::optional<qint64> m_lastRefreshMs;
};
