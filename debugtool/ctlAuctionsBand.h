#pragma once

#include "RemoteAuctionRecord.h"
#include "RemoteCategoryRecord.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

class Dialog;
class DialogBackend;
class MessageBoxSink;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace Remote {
class App;
}

// The debug tool's own windows, kept apart from the main program's list and the band's tree of the
// same names.
namespace DebugTool {

// The debug tool's auction tree: the main program's categories and auctions, read once when viewed and
// shown by the same node rules as the band's tree, each node with a check box, and the button that packs
// the ticked auctions' bid pages with the state file into a debug package. It follows no change of the
// model; only the time left of the selected auction is written again every second.
class ctlAuctionsBand : public QWidget
{
    Q_OBJECT
public:
    explicit ctlAuctionsBand(QWidget* parent = nullptr);
    ~ctlAuctionsBand() override;

    // Fills the tree from `oApp`'s categories and auctions as they are now, and starts the clock.
    void View(Remote::App& oApp);
    // Stops the clock, empties the tree and lets go of the program's objects.
    void Release();

    // The auctions and categories the tree was filled from.
    QList<Remote::AuctionRecord> Auctions() const { return m_auctions; }
    QList<Remote::CategoryRecord> Categorys() const { return m_categorys; }
    // The auction of an auction node or of an information node's auction; the category of a category
    // node, an auction node's category or an information node's; nothing for other nodes.
    std::optional<Remote::AuctionRecord> Auction(const QTreeWidgetItem* node) const;
    std::optional<Remote::CategoryRecord> Category(const QTreeWidgetItem* node) const;
    QTreeWidget* TreeView() const { return m_tree; }
    // The node under `key` (a category's name and ":CAT", an item number and "~", ...); null when none.
    QTreeWidgetItem* node(const QString& key) const { return m_nodes.value(key); }

    QString Status() const { return m_status; }
    // Stores the text and raises StatusChanged.
    void setStatus(const QString& text);

    // Where the result boxes go (real boxes when not set) and what runs the save dialog (the Qt dialog
    // when not set).
    void setMessageBoxSink(MessageBoxSink* sink);
    void setDialogBackend(std::unique_ptr<DialogBackend> backend);

    // What the clock does each second: writes the time left of the selected node's auction.
    void tick();
    // "Create Debug File": asks where to save, then packs. Does nothing while a package is being made.
    void createDebugFile();

Q_SIGNALS:
    void StatusChanged(const QString& text);

private:
    void clear();
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                             const QString& image);
    void addCategoryNode(const Remote::CategoryRecord& category);
    void updateAuctionNode(QTreeWidgetItem* node, const Remote::AuctionRecord& auction);
    void addInfoNodes(QTreeWidgetItem* node, const Remote::AuctionRecord& auction);
    void updateInfoNodes(QTreeWidgetItem* node, const Remote::AuctionRecord& auction);
    void refreshTimeLeft(QTreeWidgetItem* node, const Remote::AuctionRecord& auction);
    void nodeClick(QTreeWidgetItem* node);
    void nodeExpandedChanged(QTreeWidgetItem* node, bool expanded);
    void nodeChanged(QTreeWidgetItem* node, int column);
    void setChecked(QTreeWidgetItem* node, Qt::CheckState state);
    void checkCategory(QTreeWidgetItem* node);
    void checkAuction(QTreeWidgetItem* node);
    void checkInfo(QTreeWidgetItem* node);
    QStringList tickedItems() const;
    // The data folder of the program the tree was read from, as it tells it now; this tool's own only
    // when no program answers.
    QString packedFolder() const;
    QDateTime siteNow() const;

    QTreeWidget* m_tree;
    QPushButton* m_cmdCreate;
    QTimer* m_tmrTick;
    QPointer<Remote::App> m_app;
    QList<Remote::AuctionRecord> m_auctions;
    QList<Remote::CategoryRecord> m_categorys;
    QHash<QString, QTreeWidgetItem*> m_nodes;
    // Every node in the order it was added: the order the package takes the pages in.
    QList<QTreeWidgetItem*> m_order;
    QString m_status;
    // Set while the tree's boxes are being set by the check rules, whose own changes start nothing.
    bool m_applying = false;
    // Set while a package is being made.
    bool m_creating = false;
    MessageBoxSink* m_messageBoxes = nullptr;
    std::unique_ptr<MessageBoxSink> m_ownMessageBoxes;
    std::unique_ptr<Dialog> m_dialog;
};

} // namespace DebugTool
