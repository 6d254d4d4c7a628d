#include "ctlAuctions.h"

#include "AuctionListModel.h"
#include "AuctionListView.h"
#include "Auctions.h"
#include "BgrColor.h"
#include "BidManager.h"
#include "Categorys.h"
#include "Clock.h"
#include "ColumnWidths.h"
#include "Columns.h"
#include "CommandErrors.h"
#include "DateTimes.h"
#include "ItemLinks.h"
#include "LightsPanel.h"
#include "ListMenus.h"
#include "MainWindowLog.h"
#include "MessageBoxSink.h"
#include "NetManager.h"
#include "OrvError.h"
#include "OrvPictures.h"
#include "Settings.h"
#include "TimeSource.h"
#include "Twips.h"
#include "Updater.h"
#include "Updaters.h"
#include "VerManager.h"
#include "cApp.h"
#include "cGlobal.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSet>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString executionError = QStringLiteral("Execution Error");

struct Button
{
    const char* key;
    const char* tooltip;
    const char* image;
};

// The toolbar in its order; a null key is a separator.
const Button buttons[] = {
    {"add", "Add New Auction", "add"},
    {"edit", "Edit Selected Auction(s)", "edit"},
    {"delete", "Delete Selected Auction(s)", "delete"},
    {nullptr, nullptr, nullptr},
    {"clock", "View Time Details", "clock"},
    {"config", "Open Configurations Window...", "config"},
    {nullptr, nullptr, nullptr},
    {"navigate", "View Auction Webpage", "navigate"},
    {"update", "Update Selected Auction(s)", "update"},
    {"updateall", "Update All Auctions", "updateall"},
    {"stop", "Stop Downloads", "stop"},
    {nullptr, nullptr, nullptr},
    {"bid", "Send bid for selected auction now!", "bid"},
    {"stopbid", "Cancel Bids in Progress", "stop"},
};

QString levelOfLight(int state, int light)
{
    switch (state) {
    case eBidderGreen:
        return light == 0 ? QStringLiteral("green") : QStringLiteral("grey");
    case eBidderYellow:
        return light == 1 ? QStringLiteral("yellow") : QStringLiteral("grey");
    case eBidderRed:
        return light == 2 ? QStringLiteral("red") : QStringLiteral("grey");
    case eBidderBidding:
        return QStringLiteral("red");
    default:
        return QStringLiteral("grey");
    }
}

} // namespace

ctlAuctions::ctlAuctions(QWidget* parent) : QWidget(parent)
{
    tb = new QToolBar(this);
    tb->setObjectName(QStringLiteral("tb"));
    tb->setIconSize(QSize(16, 16));
    tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    picLights = new LightsPanel(this);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tbsTabs"));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    m_tabs->setIconSize(QSize(16, 16));
    m_tabs->setContextMenuPolicy(Qt::CustomContextMenu);
    lvwAuctions = new AuctionListView(this);
    lvwAuctions->setObjectName(QStringLiteral("lvwAuctions"));
    m_model = new AuctionListModel(this);
    lvwAuctions->setModel(m_model);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tb);
    layout->addWidget(m_tabs);
    layout->addWidget(lvwAuctions, 1);

    buildToolbar();
    buildMenus();

    connect(m_tabs, &QTabBar::currentChanged, this, [this] {
        if (!m_tabsRebuilding)
            tabClicked();
    });
    connect(m_tabs, &QTabBar::customContextMenuRequested, this,
            [this](const QPoint& pos) { showCategorysMenu(m_tabs->mapToGlobal(pos)); });
    connect(lvwAuctions->header(), &QHeaderView::sectionClicked, this, &ctlAuctions::headerClicked);
    connect(lvwAuctions, &QTreeView::clicked, this, &ctlAuctions::rowClicked);
    connect(lvwAuctions, &QTreeView::doubleClicked, this,
            [this] { run(QStringLiteral("Navigate Error"), [this] { Navigate(); }); });
    connect(lvwAuctions, &AuctionListView::deletePressed, this,
            [this] { run(QStringLiteral("Delete Error"), [this] { Delete(); }); });
    connect(lvwAuctions, &AuctionListView::menuRequested, this, &ctlAuctions::showAuctionsMenu);
    connect(lvwAuctions, &AuctionListView::textDropped, this, &ctlAuctions::dropText);
}

ctlAuctions::~ctlAuctions()
{
    disconnectModel();
}

void ctlAuctions::buildToolbar()
{
    for (const Button& button : buttons) {
        if (!button.key) {
            tb->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(button.key);
        QAction* action = tb->addAction(OrvPictures::icon(QString::fromLatin1(button.image)), QString());
        action->setObjectName(key);
        action->setData(key);
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setText(QString::fromLatin1(button.tooltip));
        connect(action, &QAction::triggered, this, [this, key] { buttonClick(key); });
        m_buttons.insert(key, action);
    }
    tb->addSeparator();
    tb->addWidget(picLights);
    // Before the first event that sets them: nothing to act on, no download and no bid running.
    for (const char* key : {"edit", "delete", "navigate", "bid", "stop", "stopbid"})
        m_buttons.value(QString::fromLatin1(key))->setEnabled(false);
}

void ctlAuctions::buildMenus()
{
    mnuAuctions = new QMenu(QStringLiteral("Auctions"), this);
    mnuAuctions->setObjectName(QStringLiteral("mnuAuctions"));
    auto entry = [this](QMenu* menu, const char* name, const QString& caption, const QString& title,
                        std::function<void()> command) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, title, command] { run(title, command); });
        m_menuEntries.insert(QString::fromLatin1(name), action);
    };
    entry(mnuAuctions, "mnuAuctionsAdd", QStringLiteral("Add New Auction..."),
          QStringLiteral("Auction Add Error"), [this] { Add(); });
    mnuAuctions->addSeparator();
    entry(mnuAuctions, "mnuAuctionsEdit", QStringLiteral("Edit Selected Auction"),
          QStringLiteral("Auction Edit Error"), [this] { Edit(); });
    entry(mnuAuctions, "mnuAuctionsEditBid", QStringLiteral("Edit Auction Bid Details"),
          QStringLiteral("Edit Auction Bid Error"), [this] { EditBid(); });
    entry(mnuAuctions, "mnuAuctionsDelete", QStringLiteral("Delete Selected Auction(s)"),
          QStringLiteral("Auction Delete Error"), [this] { Delete(); });
    mnuAuctions->addSeparator();
    entry(mnuAuctions, "mnuAuctionsNavigate", QStringLiteral("Visit Auction Website"),
          QStringLiteral("Navigate Error"), [this] { Navigate(); });
    mnuAuctions->addSeparator();
    entry(mnuAuctions, "mnuAuctionsUpdateAll", QStringLiteral("Update All Auctions"),
          QStringLiteral("Auctions Update Error"), [this] { UpdateAllAuctions(); });
    entry(mnuAuctions, "mnuAuctionsUpdateSelected", QStringLiteral("Update Selected Auction(s)"),
          QStringLiteral("Auction Update Error"), [this] { UpdateAuctions(); });
    mnuAuctions->addSeparator();
    entry(mnuAuctions, "mnuAuctionsBid", QStringLiteral("Send Auction Bid Now!"),
          QStringLiteral("Send Bid Error"), [this] { SendBid(); });
    mnuAuctions->addSeparator();
    mnuAuctionsViewItem = mnuAuctions->addMenu(QStringLiteral("View Columns..."));
    mnuAuctionsViewItem->menuAction()->setObjectName(QStringLiteral("mnuAuctionsView"));
    m_menuEntries.insert(QStringLiteral("mnuAuctionsView"), mnuAuctionsViewItem->menuAction());
    mnuAuctionsMoveItem = mnuAuctions->addMenu(QStringLiteral("Move to Category..."));
    mnuAuctionsMoveItem->menuAction()->setObjectName(QStringLiteral("mnuAuctionsMove"));
    m_menuEntries.insert(QStringLiteral("mnuAuctionsMove"), mnuAuctionsMoveItem->menuAction());
    ListMenus::buildColumnMenu(*mnuAuctionsViewItem, nullptr);
    ListMenus::buildMoveMenu(*mnuAuctionsMoveItem, nullptr, QString(), false);
    connect(mnuAuctionsViewItem, &QMenu::triggered, this, [this](QAction* action) {
        const QString name = action->data().toString();
        run(QStringLiteral("Column Toggle Error"), [this, name] { ToggleColumn(name); });
    });
    connect(mnuAuctionsMoveItem, &QMenu::triggered, this, [this](QAction* action) {
        const QString name = action->data().toString();
        run(QStringLiteral("Auction Move Error"), [this, name] { MoveAuction(name); });
    });

    mnuCategorys = new QMenu(QStringLiteral("Categories"), this);
    mnuCategorys->setObjectName(QStringLiteral("mnuCategorys"));
    entry(mnuCategorys, "mnuCategorysAdd", QStringLiteral("Add New Category..."),
          QStringLiteral("Category Add Error"), [this] { AddCategory(); });
    mnuCategorys->addSeparator();
    entry(mnuCategorys, "mnuCategorysEdit", QStringLiteral("Edit Selected Category"),
          QStringLiteral("Category Edit Error"), [this] { EditCategory(); });
    entry(mnuCategorys, "mnuCategorysDelete", QStringLiteral("Delete Selected Category"),
          QStringLiteral("Category Delete Error"), [this] { DeleteCategory(); });
}

void ctlAuctions::disconnectModel()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    for (const QMetaObject::Connection& connection : std::as_const(m_columnConnections))
        disconnect(connection);
    m_columnConnections.clear();
}

void ctlAuctions::View(cApp& app)
{
    disconnectModel();
    m_app = &app;
    mClock = &app.Clock();
    mColumns = &app.Columns();
    mAuctions = &app.Auctions();
    mCategorys = &app.Categorys();
    mUpdaters = &app.Updaters();
    mBidManager = &app.BidManager();
    mNetManager = &app.NetManager();
    mVerManager = &app.VersionManager();
    m_model->setSettings(&app.Settings());

    m_connections << connect(mClock, &Clock::Updated, this, &ctlAuctions::fullRebuild)
                  << connect(mClock, &Clock::StatusChange, this, &ctlAuctions::setStatus)
                  << connect(mAuctions, &Auctions::Updated, this, &ctlAuctions::fullRebuild)
                  << connect(mAuctions, &Auctions::AuctionChanged, this, &ctlAuctions::oneRowUpdate)
                  << connect(mCategorys, &Categorys::Updated, this, &ctlAuctions::tabRebuild)
                  << connect(mUpdaters, &Updaters::StateChanged, this, &ctlAuctions::queueStateChanged)
                  << connect(mUpdaters, &Updaters::UpdaterChanged, this, &ctlAuctions::updaterChanged)
                  << connect(mUpdaters, &Updaters::StatusChange, this, &ctlAuctions::setStatus)
                  << connect(mBidManager, &BidManager::StateChange, this, &ctlAuctions::bidderStateChanged)
                  << connect(mBidManager, &BidManager::StatusChange, this, &ctlAuctions::setStatus)
                  << connect(mNetManager, &NetManager::StatusChange, this, &ctlAuctions::setStatus)
                  << connect(mVerManager, &VerManager::StatusChange, this, &ctlAuctions::setStatus);
    m_columnConnections << connect(mColumns, &Columns::Updated, this, &ctlAuctions::columnRebuild)
                        << connect(mColumns, &Columns::SortUpdated, this, &ctlAuctions::applySort)
                        << connect(mColumns, &Columns::ColumnUpdated, this, &ctlAuctions::columnWidthChanged);

    m_sortSection = -1;
    CommandErrors::ignore("column rebuild", [&] { columnRebuild(); });
    CommandErrors::ignore("tab rebuild", [&] { tabRebuild(); });
    CommandErrors::ignore("background colour", [&] { RefreshBackWindow(); });
    m_lastRefreshMs.reset();
    m_refreshRunning = true;
    m_connections << connect(&app, &cApp::Ticked, this, &ctlAuctions::heartbeat);
    // A window opened in the middle of a state shows it at once, not at the next change.
    CommandErrors::ignore("lights", [&] { bidderStateChanged(mBidManager->State()); });
    CommandErrors::ignore("download buttons", [&] {
        const bool busy = mUpdaters->State() == sfBusy;
        m_buttons.value(QStringLiteral("stop"))->setEnabled(busy);
        m_buttons.value(QStringLiteral("update"))->setEnabled(!busy);
        m_buttons.value(QStringLiteral("updateall"))->setEnabled(!busy);
    });
}

void ctlAuctions::Clear()
{
    m_refreshRunning = false;
    disconnectModel();
    mClock = nullptr;
    mColumns = nullptr;
    mAuctions = nullptr;
    mCategorys = nullptr;
    mUpdaters = nullptr;
    mBidManager = nullptr;
    mNetManager = nullptr;
    mVerManager = nullptr;
    m_model->setAuctions({});
}

void ctlAuctions::RefreshBackWindow()
{
    if (!m_app)
        return;
    QPalette colours = lvwAuctions->palette();
    colours.setColor(QPalette::Base, BgrColor::toColor(m_app->Settings().AuctionListBackColor));
    lvwAuctions->setPalette(colours);
}

AuctionPtr ctlAuctions::Auction() const
{
    const QItemSelectionModel* selection = lvwAuctions->selectionModel();
    if (!selection)
        return AuctionPtr();
    int row = -1;
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row(), QModelIndex())) {
        row = current.row();
    } else {
        const QModelIndexList rows = selection->selectedRows();
        for (const QModelIndex& index : rows)
            row = row < 0 ? index.row() : qMin(row, index.row());
    }
    const AuctionPtr auction = m_model->auctionAt(row);
    return stillListed(auction) ? auction : AuctionPtr();
}

CategoryPtr ctlAuctions::Category() const
{
    const int tab = m_tabs->currentIndex();
    if (tab < 0 || !mCategorys)
        return CategoryPtr();
    // Looked up as the collection keys it, letter case ignored; a tab may name a category removed since.
    const QString key = m_tabs->tabData(tab).toString();
    for (const CategoryPtr& category : mCategorys->Items()) {
        if (category->Name.compare(key, Qt::CaseInsensitive) == 0)
            return category;
    }
    return CategoryPtr();
}

::Auctions* ctlAuctions::Auctions() const
{
    return mAuctions;
}

::Categorys* ctlAuctions::Categorys() const
{
    return mCategorys;
}

::Columns* ctlAuctions::Columns() const
{
    return mColumns;
}

QTreeView* ctlAuctions::ListView() const
{
    return lvwAuctions;
}

QList<AuctionPtr> ctlAuctions::GetSelectedAuctions() const
{
    QList<int> rows;
    if (const QItemSelectionModel* selection = lvwAuctions->selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows())
            rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    QList<AuctionPtr> auctions;
    for (int row : std::as_const(rows)) {
        const AuctionPtr auction = m_model->auctionAt(row);
        if (stillListed(auction))
            auctions << auction;
    }
    return auctions;
}

bool ctlAuctions::stillListed(const AuctionPtr& auction) const
{
    if (!auction || auction->Deleted || !mAuctions)
        return false;
    try {
        return mAuctions->Item(auction->Item) == auction;
    } catch (const OrvError& error) {
        // Cleared from the collection without being removed one by one.
        qCDebug(lcMainWindow) << "No longer listed:" << error.description();
        return false;
    }
}

void ctlAuctions::setStatus(const QString& text)
{
    m_status = text;
    Q_EMIT StatusChange(m_status);
}

void ctlAuctions::Terminate()
{
    m_refreshRunning = false;
    const QPointer<::Columns> columns = mColumns;
    for (const QMetaObject::Connection& connection : std::as_const(m_columnConnections))
        disconnect(connection);
    m_columnConnections.clear();
    mColumns = nullptr;
    if (!columns)
        return;

    const QString sortColumn = columns->SortColumn();
    const AppSortOrder sortOrder = columns->SortOrder;
    const QHeaderView* header = lvwAuctions->header();
    const ColumnWidths widths(*lvwAuctions, mClock);
    ::Columns shown;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int section = header->logicalIndex(visual);
        const ColumnPtr headerColumn = m_model->columnAt(section);
        if (!headerColumn)
            continue;
        CommandErrors::ignore("column write-back", [&] {
            const ColumnPtr column = columns->Item(headerColumn->Name);
            // A width the user left alone keeps its twips; one converted back and forth would drift.
            const int pixels = header->isSectionHidden(section) ? 0 : header->sectionSize(section);
            const bool leftAlone = column->Width >= 1 && pixels == widths.drawnPixels(*column, section);
            const qint32 width = leftAlone ? column->Width : Twips::fromPixels(pixels);
            shown.Add(column->Name, width, column->Caption, column->Menu, column->Default, column->Alignment,
                      column->Sort, column->TooltipText, false, column->Colored);
            columns->Remove(column->Name);
        });
    }
    for (const ColumnPtr& column : shown.Items()) {
        CommandErrors::ignore("column write-back", [&] {
            columns->Add(column->Name, column->Width, column->Caption, column->Menu, column->Default,
                         column->Alignment, column->Sort, column->TooltipText, false, column->Colored);
        });
    }
    // Adding writes the sort column; put both back exactly as they were (the column first, as writing
    // the name it already holds turns the order over).
    columns->setSortColumn(sortColumn);
    columns->SortOrder = sortOrder;
}

void ctlAuctions::heartbeat()
{
    if (!m_refreshRunning || m_rebuilding || !m_app)
        return;
    const qint32 every = m_app->Settings().TimeLeftRefresh;
    if (every == -1)
        return;
    const qint64 now = TimeSource::current().monotonicMs();
    // Whole seconds, to the nearest, so a beat a few milliseconds early still counts.
    if (m_lastRefreshMs && (now - *m_lastRefreshMs + 500) / 1000 < every)
        return;
    m_lastRefreshMs = now;
    const auto [first, last] = lvwAuctions->visibleRows();
    m_model->refreshTimeLeft(first, last);
}

void ctlAuctions::columnRebuild()
{
    if (!mColumns)
        return;
    m_model->setColumns(mColumns->Items());
    QHeaderView* header = lvwAuctions->header();
    // A fresh header: the columns in collection order.
    for (int section = 0; section < header->count(); ++section) {
        const int visual = header->visualIndex(section);
        if (visual != section)
            header->moveSection(visual, section);
    }
    applyHeaderSizes();
    m_hasDownloadColumn = mColumns->Exists(QStringLiteral("DL"));
    m_hasTimeLeftColumn = mColumns->Exists(QStringLiteral("TimeLeft"));
    rebuildColumnMenu();
    fullRebuild();
}

void ctlAuctions::applyHeaderSizes()
{
    QHeaderView* header = lvwAuctions->header();
    header->setSectionHidden(0, true);
    const ColumnWidths widths(*lvwAuctions, mClock);
    for (int section = 1; section < m_model->columnCount(); ++section) {
        const ColumnPtr column = m_model->columnAt(section);
        header->setSectionHidden(section, column->Width < 1);
        if (column->Width >= 1)
            header->resizeSection(section, widths.drawnPixels(*column, section));
    }
}

void ctlAuctions::fullRebuild()
{
    const int tab = m_tabs->currentIndex();
    if (tab < 0 || m_tabs->tabData(tab).toString().isEmpty()) {
        m_model->setAuctions({});
        return;
    }
    const CategoryPtr category = Category();
    m_rebuilding = true;
    lvwAuctions->setUpdatesEnabled(false);
    QList<AuctionPtr> shown;
    if (category && mAuctions) {
        for (const AuctionPtr& auction : mAuctions->Items()) {
            if (category->Contains(*auction))
                shown << auction;
        }
    }
    m_model->setAuctions(shown);
    CommandErrors::ignore("sort", [&] { applySort(); });
    m_rebuilding = false;
    lvwAuctions->setUpdatesEnabled(true);
    countsAndCommandState();
}

void ctlAuctions::oneRowUpdate(::Auction* changed)
{
    const AuctionPtr auction = changed->sharedFromThis();
    const CategoryPtr category = Category();
    const int row = m_model->rowOfItem(auction->Item);
    if (!category || !category->Contains(*auction) || auction->Deleted) {
        if (row >= 0)
            m_model->removeAt(row);
    } else if (row >= 0) {
        m_model->renderRow(row);
    } else {
        m_model->appendAuction(auction);
    }
    countsAndCommandState();
}

void ctlAuctions::countsAndCommandState()
{
    const bool hasRows = m_model->rowCount() > 0;
    for (const char* key : {"edit", "delete", "navigate"})
        m_buttons.value(QString::fromLatin1(key))->setEnabled(hasRows);
    Q_EMIT RecordCountChange(m_model->rowCount(), mAuctions ? mAuctions->Count() : 0);
}

void ctlAuctions::applySort()
{
    if (!mColumns)
        return;
    const int section = m_model->sectionOf(mColumns->SortColumn());
    if (section > 0)
        m_sortSection = section;
    const ColumnPtr column = m_model->columnAt(m_sortSection);
    if (!column)
        return;
    m_model->sortRows(column->Name, mColumns->SortOrder);
    lvwAuctions->header()->setSortIndicator(
        m_sortSection, mColumns->SortOrder == OR2Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ctlAuctions::headerClicked(int section)
{
    const ColumnPtr headerColumn = m_model->columnAt(section);
    if (!headerColumn || !mColumns)
        return;
    CommandErrors::ignore("header click", [&] {
        const ColumnPtr column = mColumns->Item(headerColumn->Name);
        mColumns->setSortColumn(column->Sort);
    });
    // The header turns its arrow by itself; it shows the sort that holds.
    if (const ColumnPtr sorted = m_model->columnAt(m_sortSection); sorted && mColumns)
        lvwAuctions->header()->setSortIndicator(
            m_sortSection, mColumns->SortOrder == OR2Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ctlAuctions::columnWidthChanged(::Column* column)
{
    const int section = m_model->sectionOf(column->Name);
    if (section > 0) {
        lvwAuctions->header()->setSectionHidden(section, column->Width < 1);
        if (column->Width >= 1)
            lvwAuctions->header()->resizeSection(
                section, ColumnWidths(*lvwAuctions, mClock).drawnPixels(*column, section));
    }
    rebuildColumnMenu();
    if (column->Iconic())
        fullRebuild();
}

void ctlAuctions::tabRebuild()
{
    if (!mCategorys)
        return;
    {
        // Removing and adding tabs moves the current tab; none of that is the user's choice.
        const QScopedValueRollback<bool> guard(m_tabsRebuilding, true);
        while (m_tabs->count() > 0)
            m_tabs->removeTab(0);
        for (const CategoryPtr& category : mCategorys->Items()) {
            const int tab = m_tabs->addTab(
                OrvPictures::icon(category->Limited ? QStringLiteral("basket") : QStringLiteral("category")),
                CommandErrors::literal(category->Name));
            m_tabs->setTabData(tab, category->Name);
        }
        for (int tab = 0; tab < m_tabs->count(); ++tab) {
            if (m_tabs->tabData(tab).toString().compare(mCategorys->Current, Qt::CaseInsensitive) == 0) {
                m_tabs->setCurrentIndex(tab);
                break;
            }
        }
    }
    fullRebuild();
}

void ctlAuctions::tabClicked()
{
    if (const CategoryPtr category = Category(); category && mCategorys)
        mCategorys->Current = category->Name;
    fullRebuild();
}

void ctlAuctions::bidderStateChanged(int state)
{
    m_buttons.value(QStringLiteral("stopbid"))->setEnabled(state == eBidderBidding);
    for (int light = 0; light < 3; ++light)
        picLights->setLight(light, levelOfLight(state, light));
}

void ctlAuctions::queueStateChanged(int state)
{
    const bool busy = state == sfBusy;
    m_buttons.value(QStringLiteral("stop"))->setEnabled(busy);
    m_buttons.value(QStringLiteral("update"))->setEnabled(!busy);
    m_buttons.value(QStringLiteral("updateall"))->setEnabled(!busy);
    setStatus(busy ? QStringLiteral("Downloading Auctions...") : QStringLiteral("Auctions Downloaded"));
}

void ctlAuctions::updaterChanged(int state, Updater* updater)
{
    if (!m_hasDownloadColumn || !updater || !updater->Auction)
        return;
    QString key;
    switch (state) {
    case sfRunning:
        key = QStringLiteral("ieyellow");
        break;
    case sfComplete:
        key = QStringLiteral("iegreen");
        break;
    case sfFailed:
        key = QStringLiteral("iered");
        break;
    default:
        return;
    }
    const int row = m_model->rowOfItem(updater->Auction->Item);
    const int section = m_model->sectionOf(QStringLiteral("DL"));
    if (row < 0 || section < 0 || lvwAuctions->header()->isSectionHidden(section) ||
        lvwAuctions->header()->sectionSize(section) <= 0)
        return;
    m_model->setCellImage(row, section, key);
}

void ctlAuctions::rowClicked()
{
    if (const AuctionPtr auction = Auction())
        m_buttons.value(QStringLiteral("bid"))->setEnabled(auction->SnipeBid > 0);
}

void ctlAuctions::rebuildColumnMenu()
{
    ListMenus::buildColumnMenu(*mnuAuctionsViewItem, mColumns);
}

void ctlAuctions::rebuildMoveMenu()
{
    const AuctionPtr auction = Auction();
    const bool hasSelectedRow =
        lvwAuctions->selectionModel() && lvwAuctions->selectionModel()->hasSelection();
    ListMenus::buildMoveMenu(*mnuAuctionsMoveItem, mCategorys, auction ? auction->Category : QString(),
                             hasSelectedRow);
}

void ctlAuctions::showAuctionsMenu(const QPoint& globalPos)
{
    rebuildMoveMenu();
    const AuctionPtr auction = Auction();
    QAction* editBid = m_menuEntries.value(QStringLiteral("mnuAuctionsEditBid"));
    if (auction) {
        for (const char* name : {"mnuAuctionsEdit", "mnuAuctionsDelete", "mnuAuctionsUpdateAll",
                                 "mnuAuctionsUpdateSelected", "mnuAuctionsNavigate", "mnuAuctionsMove"})
            m_menuEntries.value(QString::fromLatin1(name))->setEnabled(true);
        m_menuEntries.value(QStringLiteral("mnuAuctionsBid"))->setEnabled(auction->SnipeBid > 0);
        editBid->setEnabled(true);
        editBid->setText(auction->SnipeBid > 0 ? QStringLiteral("Edit / View Bid Details...")
                                               : QStringLiteral("Create Bid for Auction..."));
    } else {
        for (const char* name :
             {"mnuAuctionsEdit", "mnuAuctionsDelete", "mnuAuctionsUpdateSelected", "mnuAuctionsNavigate",
              "mnuAuctionsMove", "mnuAuctionsBid", "mnuAuctionsEditBid"})
            m_menuEntries.value(QString::fromLatin1(name))->setEnabled(false);
    }
    mnuAuctions->popup(globalPos);
}

void ctlAuctions::showCategorysMenu(const QPoint& globalPos)
{
    mnuCategorys->popup(globalPos);
}

void ctlAuctions::dropText(const QString& text)
{
    const QString item = ItemLinks::itemFromDrop(text);
    if (item.isEmpty()) {
        qCDebug(lcMainWindow) << "A drop without an item-page address is ignored";
        return;
    }
    run(QStringLiteral("Add Auction Error"), [this, item] {
        if (mAuctions)
            mAuctions->ViewAdd(item, QString());
    });
}

void ctlAuctions::run(const QString& title, const std::function<void()>& command)
{
    CommandErrors::show(m_app ? &m_app->messageBoxes() : nullptr, title, command);
}

bool ctlAuctions::confirm(const QString& text, const QString& title, bool okCancel)
{
    if (!m_app)
        return false;
    const MessageBoxSink::Answer answer = m_app->messageBoxes().show(
        MessageBoxSink::Question, title, text, okCancel ? MessageBoxSink::OkCancel : MessageBoxSink::YesNo);
    return answer == (okCancel ? MessageBoxSink::AnswerOk : MessageBoxSink::AnswerYes);
}

QAction* ctlAuctions::toolButton(const QString& key) const
{
    return m_buttons.value(key);
}

QString ctlAuctions::lightKey(int index) const
{
    return picLights->lightKey(index);
}

void ctlAuctions::buttonClick(const QString& key)
{
    const QHash<QString, std::function<void()>> commands{
        {QStringLiteral("add"), [this] { Add(); }},
        {QStringLiteral("edit"), [this] { Edit(); }},
        {QStringLiteral("delete"), [this] { Delete(); }},
        {QStringLiteral("clock"), [this] { ViewClock(); }},
        {QStringLiteral("config"), [this] { ViewSettings(); }},
        {QStringLiteral("navigate"), [this] { Navigate(); }},
        {QStringLiteral("update"), [this] { UpdateAuctions(); }},
        {QStringLiteral("updateall"), [this] { UpdateAllAuctions(); }},
        {QStringLiteral("stop"), [this] { CancelUpdates(); }},
        {QStringLiteral("bid"), [this] { SendBid(); }},
        {QStringLiteral("stopbid"), [this] { CancelBids(); }},
        {QStringLiteral("addcat"), [this] { AddCategory(); }},
        {QStringLiteral("editcat"), [this] { EditCategory(); }},
        {QStringLiteral("delcat"), [this] { DeleteCategory(); }},
    };
    if (const auto command = commands.value(key))
        run(executionError, command);
}

// The commands. Each question is asked about auctions captured before it: the heartbeat and the bus
// go on while a box is open, and an auction removed meanwhile is passed over afterwards.

void ctlAuctions::ViewClock()
{
    if (mClock)
        mClock->show();
}

void ctlAuctions::ViewSettings()
{
    if (m_app)
        m_app->Settings().View();
}

void ctlAuctions::MoveAuction(const QString& sCategory)
{
    if (!m_app)
        return;
    const QList<AuctionPtr> selected = GetSelectedAuctions();
    if (m_app->Settings().ConfirmMove &&
        !confirm(QStringLiteral("Are you sure you want to move these auctions?"),
                 QStringLiteral("Move Confirmation"), false))
        return;
    bool moved = false;
    for (const AuctionPtr& auction : selected) {
        if (!stillListed(auction))
            continue;
        auction->Category = sCategory;
        auction->Changed();
        moved = true;
    }
    // A move is an edit like any other: it reaches the state file at once.
    if (moved)
        m_app->Save();
}

void ctlAuctions::ToggleColumn(const QString& sColumn)
{
    if (!mColumns)
        return;
    const ColumnPtr column = mColumns->Item(sColumn);
    column->setVisible(!column->Visible());
}

void ctlAuctions::SendBid()
{
    const AuctionPtr auction = Auction();
    if (!auction || !m_app || !mBidManager)
        return;
    if (m_app->Settings().ConfirmBid &&
        !confirm(QStringLiteral("This will immediately send the bid for the auction ") +
                     auction->Description + QStringLiteral(".  Are you sure you want to do this?"),
                 QStringLiteral("Bid Confirmation"), true))
        return;
    if (!stillListed(auction))
        return;
    mBidManager->SendBid(auction);
}

void ctlAuctions::CancelBids()
{
    if (mBidManager)
        mBidManager->Cancel();
}

void ctlAuctions::Navigate()
{
    const AuctionPtr auction = Auction();
    if (!auction)
        return;
    const QUrl address = ItemLinks::itemPageUrl(auction->Item);
    if (address.isEmpty())
        throw OrvError::refused(QStringLiteral("Navigate"),
                                QStringLiteral("Cannot open the auction's page.  "
                                               "The item number \"") +
                                    auction->Item + QStringLiteral("\" may hold only letters and digits."));
    cGlobal::LaunchPage(address.toString(QUrl::FullyEncoded), m_app && m_app->Settings().ForceIE);
}

void ctlAuctions::UpdateAuctions()
{
    if (mUpdaters)
        mUpdaters->DownloadItems(GetSelectedAuctions());
}

void ctlAuctions::UpdateAllAuctions()
{
    if (!mUpdaters || !mAuctions)
        return;
    // An auction read after its end is final; one whose end is not known yet is never final.
    auto wanted = [](const AuctionPtr& auction) {
        return auction->LastUpdated <= auction->EndTime || DateTimes::isZero(auction->EndTime);
    };
    QList<AuctionPtr> batch;
    QSet<QString> queued;
    auto add = [&](const AuctionPtr& auction) {
        if (!auction || !wanted(auction) || queued.contains(auction->Item.toCaseFolded()))
            return;
        const QString key = auction->Item.toCaseFolded();
        queued.insert(key);
        batch << auction;
    };
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const AuctionPtr auction = m_model->auctionAt(row);
        if (stillListed(auction))
            add(auction);
    }
    const CategoryPtr category = Category();
    for (const AuctionPtr& auction : mAuctions->Items()) {
        if (!category || !category->Contains(*auction))
            add(auction);
    }
    mUpdaters->DownloadItems(batch);
}

void ctlAuctions::CancelUpdates()
{
    if (mUpdaters)
        mUpdaters->Cancel();
}

void ctlAuctions::Add()
{
    const CategoryPtr category = Category();
    if (!category || !mAuctions)
        return;
    mAuctions->ViewAdd(QString(), category->Name);
}

void ctlAuctions::Delete()
{
    if (!m_app || !mAuctions)
        return;
    const QList<AuctionPtr> selected = GetSelectedAuctions();
    if (selected.size() == 1 && m_app->Settings().ConfirmDel &&
        !confirm(QStringLiteral("Are you sure you want to delete the Auction ") +
                     selected.first()->Description + QStringLiteral("?"),
                 QStringLiteral("Delete Confirmation"), false))
        return;
    if (selected.size() > 1 && m_app->Settings().ConfirmDel &&
        !confirm(QStringLiteral("Are you sure you want to delete these ") + QString::number(selected.size()) +
                     QStringLiteral(" Auctions?"),
                 QStringLiteral("Delete Confirmation"), false))
        return;
    for (const AuctionPtr& auction : selected) {
        if (stillListed(auction))
            mAuctions->Remove(auction->Item);
    }
    m_app->Save();
}

void ctlAuctions::Edit()
{
    if (const AuctionPtr auction = Auction(); auction && mAuctions)
        mAuctions->ViewEdit(auction);
}

void ctlAuctions::EditBid()
{
    const AuctionPtr auction = Auction();
    if (!auction || !mAuctions)
        return;
    if (auction->SnipeState != OR2Watching)
        mAuctions->ViewEditBid(auction);
    else
        mAuctions->ViewNewBid(auction);
}

void ctlAuctions::AddCategory()
{
    if (mCategorys)
        mCategorys->ViewAdd();
}

void ctlAuctions::EditCategory()
{
    if (const CategoryPtr category = Category(); category && mCategorys)
        mCategorys->ViewEdit(category);
}

void ctlAuctions::DeleteCategory()
{
    const CategoryPtr category = Category();
    if (!category || !mCategorys || !m_app)
        return;
    if (m_app->Settings().ConfirmDel &&
        !confirm(QStringLiteral("Are you sure you want to delete the Category ") + category->Name +
                     QStringLiteral("?"),
                 QStringLiteral("Delete Confirmation"), false))
        return;
    if (!mCategorys->Items().contains(category))
        return;
    // The remover takes a category that still holds auctions; an empty one goes at once.
    mCategorys->ViewRemove(category);
    if (!mCategorys->Items().contains(category)) {
        tabClicked();
        m_app->Save();
    }
}
