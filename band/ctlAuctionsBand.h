#pragma once

#include "RemoteApp.h"
#include "RemoteAuctionRecord.h"
#include "RemoteCategoryRecord.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class MessageBoxSink;
class BandTree;
class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class QTreeWidgetItem;
class cBrowser;

// The band's whole content: the main program's categories and auctions as a tree (category, auction,
// information lines), three toolbars and a status line. It keeps no data of its own: every node is drawn
// from the client's replicas of the program's model and follows their reports. Its commands act on the
// program's objects; the control's own toolbars, menus, keys and drops show a command's error under
// that entry's title.
class ctlAuctionsBand : public QWidget
{
    Q_OBJECT
public:
    explicit ctlAuctionsBand(MessageBoxSink& boxes, QWidget* parent = nullptr);
    ~ctlAuctionsBand() override;

    // Binds to the program's application object and the browser watcher and fills the tree; binding
    // again drops the old binding first.
    void View(Remote::App& oApp, cBrowser* oBrowser);
    // Unbinds: stops the timer, drops every reference and empties the tree.
    void Release();

    // The auction of the selected node (an auction node, or the parent of an information line).
    std::optional<Remote::AuctionRecord> Auction() const;
    // A download is running in the program.
    bool busy() const;
    // Whether the auction is still in the list after a question: the program goes on while a box is open.
    bool stillListed(const Remote::AuctionRecord& auction) const;
    // The category of the selected node (itself, its parent or its grandparent).
    std::optional<Remote::CategoryRecord> Category() const;
    BandTree* TreeView() const { return tvwAuctions; }
    QString Status() const { return m_status; }
    void setStatus(const QString& text);

    // The commands.
    void Add();
    void Edit();
    void EditBid();
    void Delete();
    void Navigate();
    void SendBid();
    void CancelBids();
    void UpdateAuctions();
    void UpdateAllAuctions();
    void AddCategory();
    void EditCategory();
    void DeleteCategory();
    void MoveAuction(const QString& sCategory);
    void AddCurrentAuction();

    // Whether a text is an item-page address, and its item number.
    static bool fnIsAuction(const QString& sURL);
    static QString fnItem(const QString& sURL);

    // The toolbar button of a key ("add", ... "addcurrent"); a click runs it as the user's click does.
    QAction* button(const QString& key) const { return m_buttons.value(key); }
    void buttonClick(const QString& key);
    // A pop-up menu's entry by name ("mnuAuctionsEdit", ...), and the move submenu's entries.
    QAction* menuEntry(const QString& name) const { return m_entries.value(name); }
    QList<QAction*> moveEntries() const;
    // The menu that the right button shows now, made ready (captions, states, move submenu); none
    // without a selected node.
    QMenu* PopupMenu();
    // The node of a key; none when the tree holds no such node.
    QTreeWidgetItem* node(const QString& key) const { return m_nodes.value(key); }
    // One tick of the time-left timer; the timer calls it every second.
    void tmrTick_Timer();

private:
    void buildToolbars();
    void buildMenus();
    void run(const QString& title, const std::function<void()>& command);
    void connectModel();

    // Building and refreshing the tree.
    void Categorys_Updated();
    void Auctions_Updated();
    void Auctions_AuctionChanged(const Remote::AuctionRecord& auction);
    void Updaters_UpdaterChanged(int State, const QString& item);
    void Updaters_StateChanged(int State);
    void BidManager_StateChange(int State);
    void Browser_Viewing(bool bViewing);
    // The first look at an item page: the information page, once.
    void LookingAtAuction();
    void rebuild();
    QTreeWidgetItem* AddCategoryNode(const Remote::CategoryRecord& category,
                                     const QList<Remote::AuctionRecord>& auctions);
    QTreeWidgetItem* AddAuctionNode(const Remote::AuctionRecord& auction, QTreeWidgetItem* categoryNode);
    void UpdateAuctionNode(QTreeWidgetItem* node, const Remote::AuctionRecord& auction);
    void UpdateCategoryNode(QTreeWidgetItem* node);
    void AddInfoNodes(const Remote::AuctionRecord& auction, QTreeWidgetItem* node);
    void UpdateInfoNodes(const Remote::AuctionRecord& auction);
    void RefreshTimeLeft(const Remote::AuctionRecord& auction);
    void removeNode(QTreeWidgetItem* node);
    QTreeWidgetItem* CategoryNode(const QString& name) const;
    void nodeClicked(QTreeWidgetItem* node);
    void nodeExpanded(QTreeWidgetItem* node, bool expanded);
    void updateButtons();
    void BuildMoveMenu(const std::optional<Remote::AuctionRecord>& auction);
    void treeDropped(const QString& text);
    void treeDeletePressed();

    MessageBoxSink& m_boxes;
    QTabWidget* SSTab = nullptr;
    QList<QToolBar*> tb2;
    BandTree* tvwAuctions = nullptr;
    QLabel* sbStatus = nullptr;
    QTimer tmrTick;
    QMenu* mnuAuctions = nullptr;
    QMenu* mnuAuctionsMove = nullptr;
    QMenu* mnuCategorys = nullptr;
    QHash<QString, QAction*> m_buttons;
    QHash<QString, QAction*> m_entries;

    QPointer<Remote::App> m_app;
    QPointer<cBrowser> m_browser;
    QList<QMetaObject::Connection> m_links;
    QHash<QString, QTreeWidgetItem*> m_nodes;
    QString m_status;
    // The first look could not reach the program; it is taken again when the settings arrive.
    bool m_lookPending = false;
};
