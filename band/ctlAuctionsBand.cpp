#include "ctlAuctionsBand.h"

#include "BandLog.h"
#include "BandTree.h"
#include "DateTimes.h"
#include "ItemLinks.h"
#include "MessageBoxSink.h"
#include "OrvPictures.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemoteBidManager.h"
#include "RemoteCategorys.h"
#include "RemoteClock.h"
#include "RemoteError.h"
#include "RemoteNetManager.h"
#include "RemoteNodeRules.h"
#include "RemoteSettings.h"
#include "RemoteUpdaters.h"
#include "cBrowser.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace NodeRules = Remote::NodeRules;

namespace {

QString keyOf(const QTreeWidgetItem* node)
{
    return node ? node->data(0, BandTreeItem::KeyRole).toString() : QString();
}

QIcon picture(const QString& key)
{
    return key.isEmpty() ? QIcon() : OrvPictures::icon(key);
}

} // namespace

ctlAuctionsBand::ctlAuctionsBand(MessageBoxSink& boxes, QWidget* parent) : QWidget(parent), m_boxes(boxes)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < 3; ++i) {
        auto* bar = new QToolBar(this);
        bar->setObjectName(QStringLiteral("tb2_%1").arg(i));
        bar->setIconSize(QSize(16, 16));
        tb2.append(bar);
    }
    buildToolbars();

    SSTab = new QTabWidget(this);
    auto* page = new QWidget(SSTab);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    tvwAuctions = new BandTree(page);
    tvwAuctions->setObjectName(QStringLiteral("tvwAuctions"));
    tvwAuctions->setEnabled(false);
    pageLayout->addWidget(tb2.at(0));
    pageLayout->addWidget(tvwAuctions, 1);
    SSTab->addTab(page, QStringLiteral("Auctions"));

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    sbStatus = new QLabel(status);
    sbStatus->setObjectName(QStringLiteral("status"));
    status->addWidget(sbStatus, 1);

    layout->addWidget(tb2.at(1));
    layout->addWidget(tb2.at(2));
    layout->addWidget(SSTab, 1);
    layout->addWidget(status);

    buildMenus();

    tmrTick.setInterval(1000);
    connect(&tmrTick, &QTimer::timeout, this, &ctlAuctionsBand::tmrTick_Timer);
    connect(tvwAuctions, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { nodeClicked(item); });
    connect(tvwAuctions, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { nodeClicked(current); });
    connect(tvwAuctions, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { nodeExpanded(item, true); });
    connect(tvwAuctions, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { nodeExpanded(item, false); });
    connect(tvwAuctions, &QTreeWidget::itemDoubleClicked, this,
            [this] { run(QStringLiteral("Navigate Error"), [this] { Navigate(); }); });
    connect(tvwAuctions, &BandTree::popupRequested, this, [this](const QPoint& at) {
        if (QMenu* menu = PopupMenu())
            menu->popup(at);
    });
    connect(tvwAuctions, &BandTree::deletePressed, this, &ctlAuctionsBand::treeDeletePressed);
    connect(tvwAuctions, &BandTree::dropped, this, &ctlAuctionsBand::treeDropped);
    updateButtons();
}

ctlAuctionsBand::~ctlAuctionsBand()
{
    Release();
}

void ctlAuctionsBand::buildToolbars()
{
    struct Button
    {
        int bar;
        const char* key;
        const char* tip;
        const char* image;
    };
    static const Button buttons[] = {
        {0, "add", "Add New Auction", "add"},
        {0, "edit", "Edit Selected Auction", "edit"},
        {0, "delete", "Delete Selected Auction", "delete"},
        {0, "update", "Update Selected Auction", "update"},
        {0, "updateall", "Update All Auctions", "updateall"},
        {0, "stop", "Stop Downloads", "stop"},
        {0, "bid", "Send bid for selected auction now!", "bid"},
        {0, "stopbid", "Cancel Bids in Progress", "stop"},
        {1, "app", "Open Auctions Window", "app"},
        {1, "config", "Configure Application Settings", "config"},
        {1, "clock", "View Time Details", "clock"},
        {2, "addcurrent", "Add Auction in Webbrowser", "add2"},
    };
    for (const Button& entry : buttons) {
        const QString key = QString::fromLatin1(entry.key);
        QAction* action =
            tb2.at(entry.bar)->addAction(OrvPictures::icon(QString::fromLatin1(entry.image)), QString());
        action->setObjectName(key);
        action->setToolTip(QString::fromLatin1(entry.tip));
        connect(action, &QAction::triggered, this, [this, key] { buttonClick(key); });
        m_buttons.insert(key, action);
    }
    QAction* addCurrent = m_buttons.value(QStringLiteral("addcurrent"));
    addCurrent->setText(QStringLiteral("Add Current Auction  "));
    tb2.at(2)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void ctlAuctionsBand::buildMenus()
{
    auto entry = [this](QMenu* menu, const char* name, const QString& caption, const QString& title,
                        std::function<void()> command) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, title, command] { run(title, command); });
        m_entries.insert(QString::fromLatin1(name), action);
        return action;
    };
    mnuAuctions = new QMenu(QStringLiteral("Auctions"), this);
    mnuAuctions->setObjectName(QStringLiteral("mnuAuctions"));
    entry(mnuAuctions, "mnuAuctionsAdd", QStringLiteral("Add New Auction..."),
          QStringLiteral("Auction Add Error"), [this] { Add(); });
    mnuAuctions->addSeparator();
    entry(mnuAuctions, "mnuAuctionsEdit", QStringLiteral("Edit Selected Auction"),
          QStringLiteral("Auction Edit Error"), [this] { Edit(); });
    entry(mnuAuctions, "mnuAuctionsEditBid", QString(), QStringLiteral("Edit Auction Bid Error"),
          [this] { EditBid(); });
    entry(mnuAuctions, "mnuAuctionsDelete", QStringLiteral("Delete Selected Auction(s)"),
          QStringLiteral("Auction Delete Error"), [this] { Delete(); });
    mnuAuctions->addSeparator();
    entry(mnuAuctions, "mnuAuctionsNavigate", QStringLiteral("Visit Auction Webpage"),
          QStringLiteral("Navigate Error"), [this] { Navigate(); });
    mnuAuctions->addSeparator();
    entry(mnuAuctions, "mnuAuctionsUpdateAll", QStringLiteral("Update All Auctions"),
          QStringLiteral("Auctions Update Error"), [this] { UpdateAllAuctions(); });
    entry(mnuAuctions, "mnuAuctionsUpdate", QStringLiteral("Update Selected Auction"),
          QStringLiteral("Auction Update Error"), [this] { UpdateAuctions(); });
    mnuAuctions->addSeparator();
    entry(mnuAuctions, "mnuAuctionsBid", QStringLiteral("Send Auction Bid Now!"),
          QStringLiteral("Send Bid Error"), [this] { SendBid(); });
    mnuAuctions->addSeparator();
    mnuAuctionsMove = mnuAuctions->addMenu(QStringLiteral("Move to Category..."));
    mnuAuctionsMove->setObjectName(QStringLiteral("mnuAuctionsMove"));
    m_entries.insert(QStringLiteral("mnuAuctionsMove"), mnuAuctionsMove->menuAction());

    mnuCategorys = new QMenu(QStringLiteral("Categories"), this);
    mnuCategorys->setObjectName(QStringLiteral("mnuCategorys"));
    entry(mnuCategorys, "mnuCategorysAdd", QStringLiteral("Add New Category..."),
          QStringLiteral("Category Add Error"), [this] { AddCategory(); });
    mnuCategorys->addSeparator();
    entry(mnuCategorys, "mnuCategorysEdit", QStringLiteral("Edit Selected Category"),
          QStringLiteral("Category Edit Error"), [this] { EditCategory(); });
    entry(mnuCategorys, "mnuCategorysDelete", QStringLiteral("Delete Selected Category"),
          QStringLiteral("Category Delete Error"), [this] { DeleteCategory(); });
    BuildMoveMenu(std::nullopt);
}

void ctlAuctionsBand::run(const QString& title, const std::function<void()>& command)
{
    try {
        command();
    } catch (const Remote::Error& error) {
        m_boxes.show(MessageBoxSink::Exclamation, title, error.description());
    }
}

void ctlAuctionsBand::setStatus(const QString& text)
{
    m_status = text;
    sbStatus->setText(text);
}

// Binding.

void ctlAuctionsBand::View(Remote::App& oApp, cBrowser* oBrowser)
{
    Release();
    m_app = &oApp;
    m_browser = oBrowser;
    connectModel();
    rebuild();
    BidManager_StateChange(oApp.BidManager().State());
    updateButtons();
    // The page shown before the band listened is judged now, as a change to it would be.
    Browser_Viewing(oBrowser && oBrowser->ViewingAuction());
    tvwAuctions->setEnabled(true);
    tmrTick.start();
}

void ctlAuctionsBand::connectModel()
{
    Remote::App& app = *m_app;
    // In the order: clock, browser, auctions, download queue, categories, bid manager, connection watch.
    m_links << connect(&app.Clock(), &Remote::Clock::StatusChange, this, &ctlAuctionsBand::setStatus);
    if (m_browser)
        m_links << connect(m_browser, &cBrowser::Viewing, this, &ctlAuctionsBand::Browser_Viewing);
    m_links << connect(&app.Auctions(), &Remote::Auctions::AuctionChanged, this,
                       &ctlAuctionsBand::Auctions_AuctionChanged);
    m_links << connect(&app.Auctions(), &Remote::Auctions::Updated, this, &ctlAuctionsBand::Auctions_Updated);
    m_links << connect(&app.Updaters(), &Remote::Updaters::UpdaterChanged, this,
                       &ctlAuctionsBand::Updaters_UpdaterChanged);
    m_links << connect(&app.Updaters(), &Remote::Updaters::StateChanged, this,
                       &ctlAuctionsBand::Updaters_StateChanged);
    m_links << connect(&app.Updaters(), &Remote::Updaters::StatusChange, this, &ctlAuctionsBand::setStatus);
    m_links << connect(&app.Categorys(), &Remote::Categorys::Updated, this,
                       &ctlAuctionsBand::Categorys_Updated);
    m_links << connect(&app.BidManager(), &Remote::BidManager::StateChange, this,
                       &ctlAuctionsBand::BidManager_StateChange);
    m_links << connect(&app.BidManager(), &Remote::BidManager::StatusChange, this,
                       &ctlAuctionsBand::setStatus);
    m_links << connect(&app.NetManager(), &Remote::NetManager::StatusChange, this,
                       &ctlAuctionsBand::setStatus);
    // A first look at an item page made before the program answered counts once its settings arrive.
    m_links << connect(&app.Settings(), &Remote::Settings::Updated, this, [this] {
        if (m_lookPending)
            LookingAtAuction();
    });
}

void ctlAuctionsBand::Release()
{
    tmrTick.stop();
    tvwAuctions->setEnabled(false);
    for (const QMetaObject::Connection& link : std::as_const(m_links))
        disconnect(link);
    m_links.clear();
    m_app = nullptr;
    m_browser = nullptr;
    m_lookPending = false;
    {
        const QSignalBlocker quiet(tvwAuctions);
        tvwAuctions->clear();
    }
    m_nodes.clear();
    updateButtons();
}

// The tree.

void ctlAuctionsBand::Categorys_Updated()
{
    rebuild();
}

void ctlAuctionsBand::rebuild()
{
    tvwAuctions->setEnabled(false);
    tvwAuctions->setSortingEnabled(false);
    {
        const QSignalBlocker quiet(tvwAuctions);
        tvwAuctions->clear();
    }
    m_nodes.clear();
    if (!m_app) {
        updateButtons();
        return;
    }
    const QList<Remote::AuctionRecord> auctions = m_app->Auctions().Items();
    QTreeWidgetItem* first = nullptr;
    {
        // The nodes arrive all at once; the tree hears of them when they are in place.
        const QSignalBlocker quiet(tvwAuctions);
        for (const Remote::CategoryRecord& category : m_app->Categorys().Items()) {
            QTreeWidgetItem* node = AddCategoryNode(category, auctions);
            if (!first)
                first = node;
        }
    }
    tvwAuctions->setSortingEnabled(true);
    tvwAuctions->sortItems(0, Qt::AscendingOrder);
    // The first category of the collection, wherever the sorting shows it.
    if (first)
        tvwAuctions->setCurrentItem(first);
    nodeClicked(tvwAuctions->currentItem());
    tvwAuctions->setEnabled(true);
}

QTreeWidgetItem* ctlAuctionsBand::AddCategoryNode(const Remote::CategoryRecord& category,
                                                  const QList<Remote::AuctionRecord>& auctions)
{
    const QString key = NodeRules::categoryKey(category.Name);
    auto* node = new BandTreeItem(tvwAuctions);
    node->setData(0, BandTreeItem::KeyRole, key);
    node->setText(0, category.Name);
    node->setIcon(0, picture(NodeRules::categoryImage(category.Limited, false)));
    m_nodes.insert(key, node);
    for (const Remote::AuctionRecord& auction : auctions) {
        if (category.Contains(auction))
            AddAuctionNode(auction, node);
    }
    UpdateCategoryNode(node);
    return node;
}

QTreeWidgetItem* ctlAuctionsBand::AddAuctionNode(const Remote::AuctionRecord& auction,
                                                 QTreeWidgetItem* categoryNode)
{
    const QString key = NodeRules::auctionKey(auction.Item);
    auto* node = new BandTreeItem(categoryNode);
    node->setData(0, BandTreeItem::KeyRole, key);
    node->setText(0, auction.Description);
    m_nodes.insert(key, node);
    UpdateAuctionNode(node, auction);
    return node;
}

void ctlAuctionsBand::UpdateAuctionNode(QTreeWidgetItem* node, const Remote::AuctionRecord& auction)
{
    node->setIcon(0, picture(NodeRules::auctionImage(auction.SnipeState, auction.TimeLeftLevel)));
    if (m_app)
        node->setForeground(0, QColor::fromRgb(NodeRules::rgbFromBgr(
                                   NodeRules::auctionColor(auction.TimeLeftLevel, m_app->Settings()))));
    node->setText(0, auction.Description);
    if (node->isExpanded() && node->childCount() > 0)
        UpdateInfoNodes(auction);
}

void ctlAuctionsBand::UpdateCategoryNode(QTreeWidgetItem* node)
{
    if (node)
        node->setText(0, NodeRules::categoryText(NodeRules::categoryOfKey(keyOf(node)), node->childCount()));
}

void ctlAuctionsBand::AddInfoNodes(const Remote::AuctionRecord& auction, QTreeWidgetItem* node)
{
    const QStringList& fields = NodeRules::infoFields();
    for (int i = 0; i < fields.size(); ++i) {
        const QString key = NodeRules::infoKey(auction.Item, fields.at(i));
        auto* line = new BandTreeItem(node);
        line->setData(0, BandTreeItem::KeyRole, key);
        line->setData(0, BandTreeItem::OrderRole, i);
        line->setIcon(0, picture(NodeRules::infoCreationImage(fields.at(i))));
        m_nodes.insert(key, line);
    }
    UpdateInfoNodes(auction);
}

void ctlAuctionsBand::UpdateInfoNodes(const Remote::AuctionRecord& auction)
{
    if (!m_app)
        return;
    const QDateTime now = m_app->Clock().Time();
    const QString timeLeft = QStringLiteral("TimeLeft");
    const QString state = QStringLiteral("SnipeState");
    for (const QString& field : NodeRules::infoFields()) {
        if (field == timeLeft)
            continue;
        QTreeWidgetItem* line = m_nodes.value(NodeRules::infoKey(auction.Item, field));
        if (!line)
            continue;
        line->setText(0, NodeRules::infoText(field, auction, now));
        if (field == state)
            line->setIcon(0, picture(NodeRules::snipeStateImage(auction.SnipeState)));
    }
    RefreshTimeLeft(auction);
}

void ctlAuctionsBand::RefreshTimeLeft(const Remote::AuctionRecord& auction)
{
    QTreeWidgetItem* node = m_nodes.value(NodeRules::auctionKey(auction.Item));
    if (!m_app || !node || !node->isExpanded() || node->childCount() == 0)
        return;
    if (QTreeWidgetItem* line = m_nodes.value(NodeRules::infoKey(auction.Item, QStringLiteral("TimeLeft"))))
        line->setText(0, NodeRules::infoText(QStringLiteral("TimeLeft"), auction, m_app->Clock().Time()));
}

void ctlAuctionsBand::removeNode(QTreeWidgetItem* node)
{
    for (int i = 0; i < node->childCount(); ++i)
        m_nodes.remove(keyOf(node->child(i)));
    m_nodes.remove(keyOf(node));
    delete node;
}

QTreeWidgetItem* ctlAuctionsBand::CategoryNode(const QString& name) const
{
    // By the exact name, as a category's Contains compares.
    return m_nodes.value(NodeRules::categoryKey(name));
}

void ctlAuctionsBand::Auctions_AuctionChanged(const Remote::AuctionRecord& auction)
{
    if (!m_app)
        return;
    QTreeWidgetItem* node = m_nodes.value(NodeRules::auctionKey(auction.Item));
    if (node) {
        QTreeWidgetItem* oldCategory = node->parent();
        const QString shownIn = NodeRules::categoryOfKey(keyOf(oldCategory));
        if (auction.Deleted || auction.Category != shownIn) {
            removeNode(node);
            UpdateCategoryNode(oldCategory);
            if (!auction.Deleted) {
                if (QTreeWidgetItem* target = CategoryNode(auction.Category)) {
                    AddAuctionNode(auction, target);
                    UpdateCategoryNode(target);
                }
            }
        } else {
            UpdateAuctionNode(node, auction);
        }
    } else if (!auction.Deleted) {
        if (QTreeWidgetItem* target = CategoryNode(auction.Category)) {
            AddAuctionNode(auction, target);
            UpdateCategoryNode(target);
            target->setExpanded(true);
        }
    }
    updateButtons();
}

void ctlAuctionsBand::Auctions_Updated()
{
    const std::optional<Remote::CategoryRecord> selected = Category();
    QTreeWidgetItem* before = selected ? CategoryNode(selected->Name) : nullptr;
    const bool expanded = before && before->isExpanded();
    rebuild();
    if (!selected)
        return;
    if (QTreeWidgetItem* again = CategoryNode(selected->Name)) {
        tvwAuctions->setCurrentItem(again);
        again->setExpanded(expanded);
    }
}

void ctlAuctionsBand::Updaters_UpdaterChanged(int State, const QString& item)
{
    QTreeWidgetItem* node = m_nodes.value(NodeRules::auctionKey(item));
    if (!node)
        return;
    if (State == Remote::sfRunning)
        node->setIcon(0, picture(QStringLiteral("ieyellow")));
    else if (State == Remote::sfFailed)
        node->setIcon(0, picture(QStringLiteral("iered")));
}

void ctlAuctionsBand::Updaters_StateChanged(int State)
{
    setStatus(State == Remote::sfBusy ? QStringLiteral("Downloading Auctions...")
                                      : QStringLiteral("Auctions Downloaded"));
    updateButtons();
}

void ctlAuctionsBand::BidManager_StateChange(int State)
{
    m_buttons.value(QStringLiteral("stopbid"))->setEnabled(m_app && State == Remote::eBidderBidding);
}

void ctlAuctionsBand::Browser_Viewing(bool bViewing)
{
    m_buttons.value(QStringLiteral("addcurrent"))->setEnabled(bViewing);
    m_lookPending = false;
    if (bViewing && m_app)
        LookingAtAuction();
}

void ctlAuctionsBand::LookingAtAuction()
{
    m_lookPending = false;
    try {
        Remote::Settings& settings = m_app->Settings();
        if (!settings.ViewedLookingAtAuction()) {
            settings.setViewedLookingAtAuction(true);
            m_app->ShowInfo(Remote::eViewInfoLookingAtAuction);
        }
    } catch (const Remote::Error& error) {
        // Not bound yet: the flag read was no answer of the program.
        m_lookPending = error.number() == Remote::Error::NotRunning;
        qCWarning(lcBand) << "the information page could not be shown:" << error.description();
    }
}

void ctlAuctionsBand::nodeClicked(QTreeWidgetItem* node)
{
    const QString key = keyOf(node);
    if (m_app && NodeRules::isAuctionKey(key)) {
        if (const std::optional<Remote::AuctionRecord> auction =
                m_app->Auctions().Item(NodeRules::itemOfAuctionKey(key))) {
            if (node->childCount() == 0)
                AddInfoNodes(*auction, node);
            else
                UpdateInfoNodes(*auction);
        }
    }
    updateButtons();
}

void ctlAuctionsBand::nodeExpanded(QTreeWidgetItem* node, bool expanded)
{
    const QString key = keyOf(node);
    if (!m_app || !NodeRules::isCategoryKey(key))
        return;
    const std::optional<Remote::CategoryRecord> category =
        m_app->Categorys().Item(NodeRules::categoryOfKey(key));
    node->setIcon(0, picture(NodeRules::categoryImage(category && category->Limited, expanded)));
}

void ctlAuctionsBand::updateButtons()
{
    const QString key = keyOf(tvwAuctions->currentItem());
    const bool auctionNode = m_app && NodeRules::isAuctionKey(key);
    const bool onAuction = m_app && (auctionNode || NodeRules::isInfoKey(key));
    m_buttons.value(QStringLiteral("edit"))->setEnabled(onAuction);
    m_buttons.value(QStringLiteral("delete"))->setEnabled(onAuction);
    // A selected auction and no download running.
    m_buttons.value(QStringLiteral("update"))->setEnabled(onAuction && !busy());
    m_buttons.value(QStringLiteral("updateall"))->setEnabled(m_app && !busy());
    m_buttons.value(QStringLiteral("stop"))->setEnabled(busy());
    QAction* bid = m_buttons.value(QStringLiteral("bid"));
    if (auctionNode) {
        const std::optional<Remote::AuctionRecord> auction = Auction();
        bid->setEnabled(auction && auction->SnipeBid > 0);
    } else if (!onAuction) {
        bid->setEnabled(false);
    }
    for (const char* always : {"add", "app", "config", "clock"})
        m_buttons.value(QString::fromLatin1(always))->setEnabled(m_app != nullptr);
    if (!m_app) {
        m_buttons.value(QStringLiteral("stopbid"))->setEnabled(false);
        m_buttons.value(QStringLiteral("addcurrent"))->setEnabled(false);
    }
}

void ctlAuctionsBand::tmrTick_Timer()
{
    if (const std::optional<Remote::AuctionRecord> auction = Auction())
        RefreshTimeLeft(*auction);
}

// The selection.

bool ctlAuctionsBand::busy() const
{
    return m_app && m_app->Updaters().State() == Remote::sfBusy;
}

bool ctlAuctionsBand::stillListed(const Remote::AuctionRecord& auction) const
{
    return m_app && m_app->Auctions().Exists(auction.Item);
}

std::optional<Remote::AuctionRecord> ctlAuctionsBand::Auction() const
{
    if (!m_app)
        return std::nullopt;
    QTreeWidgetItem* node = tvwAuctions->currentItem();
    QString key = keyOf(node);
    if (NodeRules::isInfoKey(key))
        key = keyOf(node->parent());
    if (!NodeRules::isAuctionKey(key))
        return std::nullopt;
    return m_app->Auctions().Item(NodeRules::itemOfAuctionKey(key));
}

std::optional<Remote::CategoryRecord> ctlAuctionsBand::Category() const
{
    if (!m_app)
        return std::nullopt;
    QTreeWidgetItem* node = tvwAuctions->currentItem();
    while (node && node->parent())
        node = node->parent();
    const QString key = keyOf(node);
    if (!NodeRules::isCategoryKey(key))
        return std::nullopt;
    return m_app->Categorys().Item(NodeRules::categoryOfKey(key));
}

// The commands.

void ctlAuctionsBand::Add()
{
    if (m_app)
        m_app->Auctions().ViewAdd(QString(), QString());
}

void ctlAuctionsBand::Edit()
{
    if (const auto auction = Auction())
        m_app->Auctions().ViewEdit(auction->Item);
}

void ctlAuctionsBand::EditBid()
{
    const auto auction = Auction();
    if (!auction)
        return;
    if (auction->SnipeState != Remote::OR2Watching)
        m_app->Auctions().ViewEditBid(auction->Item);
    else
        m_app->Auctions().ViewNewBid(auction->Item);
}

void ctlAuctionsBand::Delete()
{
    // The tree selects one node at most.
    const auto auction = Auction();
    if (!auction || !m_app)
        return;
    if (m_boxes.show(MessageBoxSink::Question, QStringLiteral("Delete Confirmation"),
                     QStringLiteral("Are you sure you want to delete the Auction ") + auction->Description +
                         QStringLiteral("?"),
                     MessageBoxSink::YesNo) != MessageBoxSink::AnswerYes ||
        !stillListed(*auction))
        return;
    m_app->Auctions().Remove(auction->Item);
    m_app->Save();
}

void ctlAuctionsBand::Navigate()
{
    const auto auction = Auction();
    if (!auction || !m_browser)
        return;
    const QUrl address = ItemLinks::itemPageUrl(auction->Item);
    if (address.isEmpty())
        throw Remote::Error(Remote::Error::Refused,
                            QStringLiteral("Cannot open the auction's page.  The item number \"") +
                                auction->Item + QStringLiteral("\" may hold only letters and digits."));
    m_browser->Navigate(address.toString());
}

void ctlAuctionsBand::SendBid()
{
    const auto auction = Auction();
    if (!auction || !m_app)
        return;
    if (m_app->Settings().ConfirmBid() &&
        m_boxes.show(MessageBoxSink::Question, QStringLiteral("Bid Confirmation"),
                     QStringLiteral("This will immediately send the bid for the auction ") +
                         auction->Description + QStringLiteral(".  Are you sure you want to do this?"),
                     MessageBoxSink::OkCancel) != MessageBoxSink::AnswerOk)
        return;
    if (stillListed(*auction))
        m_app->BidManager().SendBid(auction->Item);
}

void ctlAuctionsBand::CancelBids()
{
    if (m_app)
        m_app->BidManager().Cancel();
}

void ctlAuctionsBand::UpdateAuctions()
{
    if (const auto auction = Auction())
        m_app->Updaters().DownloadItems({auction->Item});
}

void ctlAuctionsBand::UpdateAllAuctions()
{
    if (!m_app)
        return;
    // Every auction shown, in the tree's order, unless it was read after its end; an auction whose end
    // is not known yet (never read) is always wanted.
    QStringList items;
    for (int i = 0; i < tvwAuctions->topLevelItemCount(); ++i) {
        QTreeWidgetItem* category = tvwAuctions->topLevelItem(i);
        for (int j = 0; j < category->childCount(); ++j) {
            const QString key = keyOf(category->child(j));
            const auto auction = m_app->Auctions().Item(NodeRules::itemOfAuctionKey(key));
            if (auction && (auction->LastUpdated <= auction->EndTime || DateTimes::isZero(auction->EndTime)))
                items << auction->Item;
        }
    }
    m_app->Updaters().DownloadItems(items);
}

void ctlAuctionsBand::AddCategory()
{
    if (m_app)
        m_app->Categorys().ViewAdd();
}

void ctlAuctionsBand::EditCategory()
{
    if (const auto category = Category())
        m_app->Categorys().ViewEdit(category->Name);
}

void ctlAuctionsBand::DeleteCategory()
{
    const auto category = Category();
    if (!category)
        return;
    if (m_app->Settings().ConfirmDel() &&
        m_boxes.show(MessageBoxSink::Question, QStringLiteral("Delete Confirmation"),
                     QStringLiteral("Are you sure you want to delete the Category ") + category->Name +
                         QStringLiteral("?"),
                     MessageBoxSink::YesNo) != MessageBoxSink::AnswerYes)
        return;
    if (!m_app)
        return;
    const QList<Remote::AuctionRecord> auctions = m_app->Auctions().Items();
    const bool holdsAuctions =
        std::any_of(auctions.cbegin(), auctions.cend(),
                    [&](const Remote::AuctionRecord& a) { return a.Category == category->Name; });
    // The program's remover decides what becomes of the auctions.
    if (holdsAuctions) {
        m_app->Categorys().ViewRemove(category->Name);
        return;
    }
    m_app->Categorys().Remove(category->Name);
    m_app->Save();
}

void ctlAuctionsBand::MoveAuction(const QString& sCategory)
{
    const auto auction = Auction();
    if (!auction)
        return;
    // The node moves when the program reports the change.
    m_app->Auctions().SetCategory(auction->Item, sCategory);
    m_app->Save();
}

void ctlAuctionsBand::AddCurrentAuction()
{
    if (!m_app || !m_browser)
        return;
    QPointer<Remote::App> app = m_app;
    m_browser->AddAuction(m_app->Auctions(), Category(), m_app->Updaters(), this,
                          [this, app](const std::optional<Remote::Error>& failure) {
                              if (failure) {
                                  m_boxes.show(MessageBoxSink::Exclamation, QStringLiteral("Execution Error"),
                                               failure->description());
                                  return;
                              }
                              if (!app)
                                  return;
                              run(QStringLiteral("Execution Error"), [app] {
                                  Remote::Settings& settings = app->Settings();
                                  if (!settings.ViewedAuctionAdded()) {
                                      settings.setViewedAuctionAdded(true);
                                      app->ShowInfo(Remote::eViewInfoAuctionAdd);
                                      app->Clock().Download();
                                  }
                                  app->Save();
                              });
                          });
}

void ctlAuctionsBand::buttonClick(const QString& key)
{
    QAction* action = m_buttons.value(key);
    if (!action || !action->isEnabled())
        return;
    const QString title = QStringLiteral("Execution Error");
    if (key == QLatin1String("app"))
        run(title, [this] {
            if (m_app)
                m_app->show();
        });
    else if (key == QLatin1String("add"))
        run(title, [this] { Add(); });
    else if (key == QLatin1String("edit"))
        run(title, [this] { Edit(); });
    else if (key == QLatin1String("delete"))
        run(title, [this] { Delete(); });
    else if (key == QLatin1String("update"))
        run(title, [this] { UpdateAuctions(); });
    else if (key == QLatin1String("updateall"))
        run(title, [this] { UpdateAllAuctions(); });
    else if (key == QLatin1String("bid"))
        run(title, [this] { SendBid(); });
    else if (key == QLatin1String("stopbid"))
        run(title, [this] { CancelBids(); });
    else if (key == QLatin1String("stop"))
        run(title, [this] {
            if (m_app)
                m_app->Updaters().Cancel();
        });
    else if (key == QLatin1String("config"))
        run(title, [this] {
            if (m_app)
                m_app->Settings().View();
        });
    else if (key == QLatin1String("clock"))
        run(title, [this] {
            if (m_app)
                m_app->Clock().show();
        });
    else if (key == QLatin1String("addcurrent"))
        run(title, [this] { AddCurrentAuction(); });
}

// Menus, keys and drops.

QList<QAction*> ctlAuctionsBand::moveEntries() const
{
    return mnuAuctionsMove->actions();
}

void ctlAuctionsBand::BuildMoveMenu(const std::optional<Remote::AuctionRecord>& auction)
{
    mnuAuctionsMove->clear();
    mnuAuctionsMove->menuAction()->setEnabled(false);
    const QList<Remote::CategoryRecord> categories =
        m_app ? m_app->Categorys().Items() : QList<Remote::CategoryRecord>();
    if (!auction || categories.isEmpty()) {
        // The first entry is always there.
        QAction* placeholder = mnuAuctionsMove->addAction(QStringLiteral("Category"));
        placeholder->setObjectName(QStringLiteral("mnuAuctionsMoveItem"));
        placeholder->setEnabled(false);
        return;
    }
    for (const Remote::CategoryRecord& category : categories) {
        QString caption = category.Name;
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = mnuAuctionsMove->addAction(caption);
        item->setObjectName(QStringLiteral("mnuAuctionsMoveItem"));
        item->setData(category.Name);
        item->setCheckable(true);
        item->setChecked(category.Name == auction->Category);
        const QString name = category.Name;
        connect(item, &QAction::triggered, this, [this, name] {
            run(QStringLiteral("Auction Move Error"), [this, name] { MoveAuction(name); });
        });
    }
    mnuAuctionsMove->menuAction()->setEnabled(true);
}

QMenu* ctlAuctionsBand::PopupMenu()
{
    const QString key = keyOf(tvwAuctions->currentItem());
    if (!m_app || key.isEmpty())
        return nullptr;
    if (NodeRules::isCategoryKey(key))
        return mnuCategorys;
    const auto auction = Auction();
    BuildMoveMenu(auction);
    const bool hasBid = auction && auction->SnipeBid > 0;
    m_entries.value(QStringLiteral("mnuAuctionsBid"))->setEnabled(hasBid);
    m_entries.value(QStringLiteral("mnuAuctionsEditBid"))
        ->setText(hasBid ? QStringLiteral("Edit / View Bid Details...")
                         : QStringLiteral("Create Bid for Auction..."));
    return mnuAuctions;
}

void ctlAuctionsBand::treeDeletePressed()
{
    const QString key = keyOf(tvwAuctions->currentItem());
    if (NodeRules::isAuctionKey(key))
        run(QStringLiteral("Delete Error"), [this] { Delete(); });
    else if (NodeRules::isCategoryKey(key))
        run(QStringLiteral("Delete Error"), [this] { DeleteCategory(); });
}

bool ctlAuctionsBand::fnIsAuction(const QString& sURL)
{
    return ItemLinks::isItemPage(sURL);
}

QString ctlAuctionsBand::fnItem(const QString& sURL)
{
    return ItemLinks::itemOf(sURL);
}

void ctlAuctionsBand::treeDropped(const QString& text)
{
    // An address without an item number, or with one that is no item number, is other text.
    if (!m_app || !fnIsAuction(text))
        return;
    const QString item = fnItem(text);
    if (!ItemLinks::isValidItem(item))
        return;
    run(QStringLiteral("Add Auction Error"), [this, item] {
        const auto category = Category();
        if (!category)
            throw Remote::Error(Remote::Error::Refused, cBrowser::noCategoryText());
        m_app->Auctions().ViewAdd(item, category->Name);
    });
}
