#include "ctlAuctionsBand.h"

#include "DataFolder.h"
#include "DebugPackage.h"
#include "DebugToolLog.h"
#include "Dialog.h"
#include "MessageBoxSink.h"
#include "OrvPictures.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemoteCategorys.h"
#include "RemoteClock.h"
#include "RemoteError.h"
#include "RemoteNodeRules.h"
#include "RemoteSettings.h"
#include "ResumeNext.h"
#include "WidgetMessageBoxSink.h"

#include <QColor>
#include <QDir>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace DebugTool {

namespace NodeRules = Remote::NodeRules;

namespace {

// The node's key, as the band's tree keys its nodes.
constexpr int KeyRole = Qt::UserRole;
// The box's state as last seen, so that a change of a node's text is not taken for a tick.
constexpr int KnownCheckRole = Qt::UserRole + 1;

QString keyOf(const QTreeWidgetItem* node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

// Nodes by their text, as the tree sorts its categories and each category's auctions.
void sortByText(QList<QTreeWidgetItem*>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(), [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return NodeRules::textLess(a->text(0), b->text(0));
    });
}

} // namespace

ctlAuctionsBand::ctlAuctionsBand(QWidget* parent)
    : QWidget(parent), m_tree(new QTreeWidget(this)),
      m_cmdCreate(new QPushButton(QStringLiteral("Create Debug File"), this)), m_tmrTick(new QTimer(this)),
      m_dialog(std::make_unique<Dialog>())
{
    m_tree->setObjectName(QStringLiteral("tvwAuctions"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_cmdCreate->setObjectName(QStringLiteral("cmdCreate"));
    m_tmrTick->setObjectName(QStringLiteral("tmrTick"));
    m_tmrTick->setInterval(1000);

    // The tree above, the button at the bottom; both follow the control's size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_cmdCreate, 0, Qt::AlignRight);

    connect(m_tmrTick, &QTimer::timeout, this, &ctlAuctionsBand::tick);
    connect(m_cmdCreate, &QPushButton::clicked, this, &ctlAuctionsBand::createDebugFile);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { nodeClick(node); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node)
            nodeClick(node);
    });
    connect(m_tree, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { nodeExpandedChanged(node, true); });
    connect(m_tree, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* node) { nodeExpandedChanged(node, false); });
    connect(m_tree, &QTreeWidget::itemChanged, this, &ctlAuctionsBand::nodeChanged);
}

ctlAuctionsBand::~ctlAuctionsBand() = default;

void ctlAuctionsBand::View(Remote::App& oApp)
{
    m_app = &oApp;
    m_auctions = oApp.Auctions().Items();
    m_categorys = oApp.Categorys().Items();

    m_tree->hide();
    clear();
    for (const Remote::CategoryRecord& category : std::as_const(m_categorys))
        resumeNext(lcDebugTool, [&] { addCategoryNode(category); });
    // Categories by their text, and each one's auctions by theirs; the first category added is selected.
    QList<QTreeWidgetItem*> roots;
    while (m_tree->topLevelItemCount() > 0)
        roots.append(m_tree->takeTopLevelItem(0));
    for (QTreeWidgetItem* root : std::as_const(roots)) {
        QList<QTreeWidgetItem*> children = root->takeChildren();
        sortByText(children);
        root->addChildren(children);
    }
    QList<QTreeWidgetItem*> sorted = roots;
    sortByText(sorted);
    m_tree->addTopLevelItems(sorted);
    if (!roots.isEmpty())
        m_tree->setCurrentItem(roots.first());
    m_tree->show();
    m_tmrTick->start();
    setStatus(QStringLiteral("Select the auctions you want to package."));
}

void ctlAuctionsBand::Release()
{
    m_tmrTick->stop();
    m_tree->hide();
    clear();
    m_app.clear();
    m_auctions.clear();
    m_categorys.clear();
}

std::optional<Remote::AuctionRecord> ctlAuctionsBand::Auction(const QTreeWidgetItem* node) const
{
    QString item;
    const QString key = keyOf(node);
    if (NodeRules::isAuctionKey(key))
        item = NodeRules::itemOfAuctionKey(key);
    else if (NodeRules::isInfoKey(key))
        item = NodeRules::itemOfInfoKey(key);
    if (item.isEmpty())
        return std::nullopt;
    for (const Remote::AuctionRecord& auction : m_auctions) {
        if (auction.Item.compare(item, Qt::CaseInsensitive) == 0)
            return auction;
    }
    return std::nullopt;
}

std::optional<Remote::CategoryRecord> ctlAuctionsBand::Category(const QTreeWidgetItem* node) const
{
    while (node && !NodeRules::isCategoryKey(keyOf(node)))
        node = node->parent();
    if (!node)
        return std::nullopt;
    const QString name = NodeRules::categoryOfKey(keyOf(node));
    for (const Remote::CategoryRecord& category : m_categorys) {
        if (category.Name.compare(name, Qt::CaseInsensitive) == 0)
            return category;
    }
    return std::nullopt;
}

void ctlAuctionsBand::setStatus(const QString& text)
{
    m_status = text;
    Q_EMIT StatusChanged(text);
}

void ctlAuctionsBand::setMessageBoxSink(MessageBoxSink* sink)
{
    m_messageBoxes = sink;
}

void ctlAuctionsBand::setDialogBackend(std::unique_ptr<DialogBackend> backend)
{
    m_dialog = std::make_unique<Dialog>(std::move(backend));
}

void ctlAuctionsBand::tick()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (NodeRules::isInfoKey(keyOf(node)))
        node = node->parent();
    if (!NodeRules::isAuctionKey(keyOf(node)))
        return;
    if (const std::optional<Remote::AuctionRecord> auction = Auction(node))
        resumeNext(lcDebugTool, [&] { refreshTimeLeft(node, *auction); });
}

void ctlAuctionsBand::createDebugFile()
{
    if (m_creating)
        return;
    const QScopedValueRollback creating(m_creating, true);
    m_cmdCreate->setEnabled(false);
    const auto enableAgain = qScopeGuard([this] { m_cmdCreate->setEnabled(true); });

    Dialog::SaveFileArguments save;
    save.Filename = QStringLiteral("Auction Orv Debug Package");
    save.Filter = QStringLiteral("Zip (*.zip)|*.zip");
    save.FilterIndex = 1;
    save.DlgTitle = QStringLiteral("Save Debug Package");
    save.DefaultExt = QStringLiteral("zip");
    save.OverWritePrompt = true;
    save.Owner = nullptr;
    if (!m_dialog->VBGetSaveFileName(save))
        return;

    const DebugPackage::Outcome outcome = DebugPackage(packedFolder()).write(save.Filename, tickedItems());
    if (!m_messageBoxes) {
        m_ownMessageBoxes = std::make_unique<WidgetMessageBoxSink>();
        m_messageBoxes = m_ownMessageBoxes.get();
    }
    if (outcome.written) {
        m_messageBoxes->show(MessageBoxSink::Information, QStringLiteral("Debug Package Created"),
                             QStringLiteral("The Debugging file has been successfully created."));
    } else {
        qCWarning(lcDebugTool).noquote() << "Debug package not written:" << outcome.reason;
        m_messageBoxes->show(MessageBoxSink::Exclamation, QStringLiteral("Could not Zip files"),
                             outcome.reason);
    }
}

QString ctlAuctionsBand::packedFolder() const
{
    // The program may run with another data folder than this tool's environment names.
    if (m_app) {
        try {
            const QString folder = m_app->DataFolder();
            if (QDir::isAbsolutePath(folder))
                return folder;
            qCWarning(lcDebugTool).noquote() << "The main program named no data folder:" << folder;
        } catch (const Remote::Error& error) {
            qCWarning(lcDebugTool).noquote()
                << "The main program did not tell its data folder:" << error.description();
        }
    }
    return DataFolder::path();
}

void ctlAuctionsBand::clear()
{
    const QScopedValueRollback applying(m_applying, true);
    m_tree->clear();
    m_nodes.clear();
    m_order.clear();
}

QTreeWidgetItem* ctlAuctionsBand::addNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                                          const QString& image)
{
    const QScopedValueRollback applying(m_applying, true);
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    node->setData(0, KeyRole, key);
    node->setText(0, text);
    if (!image.isEmpty())
        node->setIcon(0, OrvPictures::icon(image));
    node->setFlags(node->flags() | Qt::ItemIsUserCheckable);
    node->setCheckState(0, Qt::Unchecked);
    node->setData(0, KnownCheckRole, int(Qt::Unchecked));
    m_nodes.insert(key, node);
    m_order.append(node);
    return node;
}

void ctlAuctionsBand::addCategoryNode(const Remote::CategoryRecord& category)
{
    QTreeWidgetItem* node = addNode(nullptr, NodeRules::categoryKey(category.Name), category.Name,
                                    NodeRules::categoryImage(category.Limited, false));
    for (const Remote::AuctionRecord& auction : std::as_const(m_auctions)) {
        if (!category.Contains(auction))
            continue;
        resumeNext(lcDebugTool, [&] {
            QTreeWidgetItem* child =
                addNode(node, NodeRules::auctionKey(auction.Item), auction.Description, {});
            updateAuctionNode(child, auction);
        });
    }
    const QScopedValueRollback applying(m_applying, true);
    node->setText(0, NodeRules::categoryText(category.Name, node->childCount()));
}

void ctlAuctionsBand::updateAuctionNode(QTreeWidgetItem* node, const Remote::AuctionRecord& auction)
{
    const QScopedValueRollback applying(m_applying, true);
    node->setIcon(0, OrvPictures::icon(NodeRules::auctionImage(auction.SnipeState, auction.TimeLeftLevel)));
    if (m_app) {
        const quint32 rgb =
            NodeRules::rgbFromBgr(NodeRules::auctionColor(auction.TimeLeftLevel, m_app->Settings()));
        node->setForeground(0, QColor::fromRgb(rgb));
    }
    node->setText(0, auction.Description);
    if (node->isExpanded() && node->childCount() > 0)
        updateInfoNodes(node, auction);
}

void ctlAuctionsBand::addInfoNodes(QTreeWidgetItem* node, const Remote::AuctionRecord& auction)
{
    // Each new line takes its auction's tick.
    const Qt::CheckState state = node->checkState(0);
    for (const QString& field : NodeRules::infoFields()) {
        QTreeWidgetItem* info = addNode(node, NodeRules::infoKey(auction.Item, field), QString(),
                                        NodeRules::infoCreationImage(field));
        setChecked(info, state);
    }
    updateInfoNodes(node, auction);
}

void ctlAuctionsBand::updateInfoNodes(QTreeWidgetItem* node, const Remote::AuctionRecord& auction)
{
    const QScopedValueRollback applying(m_applying, true);
    const QDateTime now = siteNow();
    for (const QString& field : NodeRules::infoFields()) {
        if (field == QLatin1String("TimeLeft"))
            continue;
        QTreeWidgetItem* info = m_nodes.value(NodeRules::infoKey(auction.Item, field));
        if (!info)
            continue;
        info->setText(0, NodeRules::infoText(field, auction, now));
        if (field == QLatin1String("SnipeState"))
            info->setIcon(0, OrvPictures::icon(NodeRules::snipeStateImage(auction.SnipeState)));
    }
    refreshTimeLeft(node, auction);
}

void ctlAuctionsBand::refreshTimeLeft(QTreeWidgetItem* node, const Remote::AuctionRecord& auction)
{
    if (!node->isExpanded() || node->childCount() == 0)
        return;
    QTreeWidgetItem* info = m_nodes.value(NodeRules::infoKey(auction.Item, QStringLiteral("TimeLeft")));
    if (!info)
        return;
    const QScopedValueRollback applying(m_applying, true);
    info->setText(0, NodeRules::infoText(QStringLiteral("TimeLeft"), auction, siteNow()));
}

void ctlAuctionsBand::nodeClick(QTreeWidgetItem* node)
{
    if (!NodeRules::isAuctionKey(keyOf(node)))
        return;
    const std::optional<Remote::AuctionRecord> auction = Auction(node);
    if (!auction)
        return;
    resumeNext(lcDebugTool, [&] {
        if (node->childCount() == 0)
            addInfoNodes(node, *auction);
        else
            updateInfoNodes(node, *auction);
    });
}

void ctlAuctionsBand::nodeExpandedChanged(QTreeWidgetItem* node, bool expanded)
{
    if (!NodeRules::isCategoryKey(keyOf(node)))
        return;
    if (const std::optional<Remote::CategoryRecord> category = Category(node)) {
        const QScopedValueRollback applying(m_applying, true);
        node->setIcon(0, OrvPictures::icon(NodeRules::categoryImage(category->Limited, expanded)));
    }
}

void ctlAuctionsBand::nodeChanged(QTreeWidgetItem* node, int column)
{
    if (m_applying || column != 0)
        return;
    const Qt::CheckState state = node->checkState(0);
    if (node->data(0, KnownCheckRole).toInt() == int(state))
        return;
    const QScopedValueRollback applying(m_applying, true);
    node->setData(0, KnownCheckRole, int(state));
    const QString key = keyOf(node);
    if (NodeRules::isCategoryKey(key))
        checkCategory(node);
    else if (NodeRules::isAuctionKey(key))
        checkAuction(node);
    else if (NodeRules::isInfoKey(key))
        checkInfo(node);
}

void ctlAuctionsBand::setChecked(QTreeWidgetItem* node, Qt::CheckState state)
{
    const QScopedValueRollback applying(m_applying, true);
    node->setCheckState(0, state);
    node->setData(0, KnownCheckRole, int(state));
}

void ctlAuctionsBand::checkCategory(QTreeWidgetItem* node)
{
    // Every auction the category holds takes the category's state, and passes it on to its lines.
    const std::optional<Remote::CategoryRecord> category = Category(node);
    if (!category)
        return;
    const Qt::CheckState state = node->checkState(0);
    for (const Remote::AuctionRecord& auction : std::as_const(m_auctions)) {
        if (!category->Contains(auction))
            continue;
        if (QTreeWidgetItem* auctionNode = m_nodes.value(NodeRules::auctionKey(auction.Item))) {
            setChecked(auctionNode, state);
            checkAuction(auctionNode);
        }
    }
}

void ctlAuctionsBand::checkAuction(QTreeWidgetItem* node)
{
    // Its lines follow it; a cleared auction clears its category, never the category's other auctions.
    const Qt::CheckState state = node->checkState(0);
    for (int i = 0; i < node->childCount(); ++i)
        setChecked(node->child(i), state);
    if (state == Qt::Unchecked && node->parent())
        setChecked(node->parent(), Qt::Unchecked);
}

void ctlAuctionsBand::checkInfo(QTreeWidgetItem* node)
{
    if (QTreeWidgetItem* auctionNode = node->parent()) {
        setChecked(auctionNode, node->checkState(0));
        checkAuction(auctionNode);
    }
}

QStringList ctlAuctionsBand::tickedItems() const
{
    // The pages go in the order their nodes were added; the item number is the ticked node's own.
    QStringList items;
    for (const QTreeWidgetItem* node : m_order) {
        const QString key = keyOf(node);
        if (node->checkState(0) == Qt::Checked && NodeRules::isAuctionKey(key))
            items.append(NodeRules::itemOfAuctionKey(key));
    }
    return items;
}

QDateTime ctlAuctionsBand::siteNow() const
{
    return m_app ? m_app->Clock().Time() : QDateTime();
}

} // namespace DebugTool
