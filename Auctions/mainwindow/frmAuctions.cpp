#include "frmAuctions.h"

#include "BidManager.h"
#include "CommandErrors.h"
#include "ListMenus.h"
#include "MessageBoxSink.h"
#include "Settings.h"
#include "ShellHost.h"
#include "SiteEndpoints.h"
#include "TrayBackend.h"
#include "Twips.h"
#include "Unloader.h"
#include "VerManager.h"
#include "cApp.h"
#include "cGlobal.h"
#include "ctlAuctions.h"

#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTreeView>

frmAuctions::frmAuctions(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Auction Orv"));
    resize(900, 520);
    m_auctionsView = new ctlAuctions(this);
    m_auctionsView->setObjectName(QStringLiteral("AuctionsView"));
    setCentralWidget(m_auctionsView);

    m_statusPanel = new QLabel(this);
    m_statusPanel->setObjectName(QStringLiteral("status"));
    // A long status line is cut, rather than widening the window.
    m_statusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_countPanel = new QLabel(this);
    m_countPanel->setObjectName(QStringLiteral("count"));
    statusBar()->setObjectName(QStringLiteral("sbStatus"));
    statusBar()->addWidget(m_statusPanel, 1);
    statusBar()->addPermanentWidget(m_countPanel);

    connect(m_auctionsView, &ctlAuctions::StatusChange, m_statusPanel, &QLabel::setText);
    connect(m_auctionsView, &ctlAuctions::RecordCountChange, this, [this](int shown, int total) {
        m_countPanel->setText(QString::number(shown) + QStringLiteral(" / ") + QString::number(total) +
                              QStringLiteral(" Auctions"));
    });
    buildMenus();
}

frmAuctions::~frmAuctions() = default;

QAction* frmAuctions::addEntry(QMenu* menu, const char* name, const QString& caption,
                               const QString& errorTitle, std::function<void()> command)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    m_entries.insert(action->objectName(), action);
    connect(action, &QAction::triggered, this, [this, name, errorTitle, command] {
        if (errorTitle.isEmpty())
            CommandErrors::ignore(name, command);
        else
            CommandErrors::show(m_app ? &m_app->messageBoxes() : nullptr, errorTitle, command);
    });
    return action;
}

void frmAuctions::buildMenus()
{
    auto topMenu = [this](const char* name, const QString& caption) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        m_menus.insert(menu->objectName(), menu);
        return menu;
    };
    ctlAuctions* list = m_auctionsView;

    QMenu* program = topMenu("mnuWindow", QStringLiteral("&Program"));
    connect(program, &QMenu::aboutToShow, this, &frmAuctions::programMenuOpening);
    addEntry(program, "mnuWindowConfigure", QStringLiteral("&Configure Settings"),
             QStringLiteral("Configurations Show Error"), [this] {
                 if (m_app)
                     m_app->Settings().View();
             });
    addEntry(program, "mnuWindowCheckUpdates", QStringLiteral("Check for &Updates..."), QString(), [this] {
        if (m_app)
            m_app->VersionManager().Check();
    });
    program->addSeparator();
    QAction* onTop = addEntry(program, "mnuWindowOnTop", QStringLiteral("&Always on Top"), QString(), [this] {
        if (!m_app)
            return;
        Settings& settings = m_app->Settings();
        settings.AlwaysOnTop = !settings.AlwaysOnTop;
        cGlobal::AlwaysOnTop(this, settings.AlwaysOnTop);
        m_entries.value(QStringLiteral("mnuWindowOnTop"))->setChecked(settings.AlwaysOnTop);
        m_app->Save();
    });
    onTop->setCheckable(true);
    program->addSeparator();
    QAction* pause =
        addEntry(program, "mnuWindowPause", QStringLiteral("&Pause Bid Watching"), QString(), [this] {
            if (!m_app)
                return;
            m_app->BidManager().setPaused(!m_app->BidManager().Paused());
            // Saved at once: a pause lost to a crash would let the bids go out after all.
            m_app->Save();
        });
    pause->setCheckable(true);
    program->addSeparator();
    addEntry(program, "mnuWindowMin", QStringLiteral("&Minimize to Tray"), QString(),
             [this] { minimizeToTray(); });
    addEntry(program, "mnuWindowClose", QStringLiteral("E&xit Auction Orv"), QString(),
             [this] { exitOrHide(); });

    QMenu* auctions = topMenu("mnuAuctions", QStringLiteral("&Auctions"));
    connect(auctions, &QMenu::aboutToShow, this, &frmAuctions::auctionsMenuOpening);
    addEntry(auctions, "mnuAuctionsAdd", QStringLiteral("&Add New Auction..."),
             QStringLiteral("Auction Add Error"), [list] { list->Add(); });
    auctions->addSeparator();
    addEntry(auctions, "mnuAuctionsEdit", QStringLiteral("&Edit Selected Auction"),
             QStringLiteral("Auction Edit Error"), [list] { list->Edit(); });
    addEntry(auctions, "mnuAuctionsDelete", QStringLiteral("&Delete Selected Auction(s)"),
             QStringLiteral("Auction Delete Error"), [list] { list->Delete(); });
    auctions->addSeparator();
    addEntry(auctions, "mnuAuctionsUpdateAll", QStringLiteral("Update All Auctions"),
             QStringLiteral("Auctions Update Error"), [list] { list->UpdateAllAuctions(); });
    addEntry(auctions, "mnuAuctionsUpdateSelected", QStringLiteral("Update Selected Auction(s)"),
             QStringLiteral("Auction(s) Update Error"), [list] { list->UpdateAuctions(); });
    auctions->addSeparator();
    addEntry(auctions, "mnuAuctionsNavigate", QStringLiteral("&Visit Auction Website"),
             QStringLiteral("Auction Navigate Error"), [list] { list->Navigate(); });
    auctions->addSeparator();
    QMenu* columns = auctions->addMenu(QStringLiteral("View Columns..."));
    columns->setObjectName(QStringLiteral("mnuAuctionsViewItem"));
    columns->menuAction()->setObjectName(QStringLiteral("mnuAuctionsView"));
    m_menus.insert(columns->objectName(), columns);
    m_entries.insert(QStringLiteral("mnuAuctionsView"), columns->menuAction());
    QMenu* move = auctions->addMenu(QStringLiteral("Move to Category..."));
    move->setObjectName(QStringLiteral("mnuAuctionsMoveItem"));
    move->menuAction()->setObjectName(QStringLiteral("mnuAuctionsMove"));
    m_menus.insert(move->objectName(), move);
    m_entries.insert(QStringLiteral("mnuAuctionsMove"), move->menuAction());
    ListMenus::buildColumnMenu(*columns, nullptr);
    ListMenus::buildMoveMenu(*move, nullptr, QString(), false);
    connect(columns, &QMenu::triggered, this, [this, list](QAction* action) {
        const QString name = action->data().toString();
        CommandErrors::show(m_app ? &m_app->messageBoxes() : nullptr, QStringLiteral("Column Toggle Error"),
                            [list, name] { list->ToggleColumn(name); });
    });
    connect(move, &QMenu::triggered, this, [this, list](QAction* action) {
        const QString name = action->data().toString();
        CommandErrors::show(m_app ? &m_app->messageBoxes() : nullptr, QStringLiteral("Auction Move Error"),
                            [list, name] { list->MoveAuction(name); });
    });

    QMenu* categorys = topMenu("mnuCategorys", QStringLiteral("&Categories"));
    addEntry(categorys, "mnuCategorysAdd", QStringLiteral("&Add New Category..."),
             QStringLiteral("Category Add Error"), [list] { list->AddCategory(); });
    categorys->addSeparator();
    addEntry(categorys, "mnuCategorysEdit", QStringLiteral("&Edit Selected Category"),
             QStringLiteral("Category Edit Error"), [list] { list->EditCategory(); });
    addEntry(categorys, "mnuCategorysDelete", QStringLiteral("&Delete Selected Category"),
             QStringLiteral("Category Delete Error"), [list] { list->DeleteCategory(); });

    QMenu* help = topMenu("mnuHelp", QStringLiteral("&Help"));
    addEntry(help, "mnuHelpHome", QStringLiteral("Orv &Homepage"), QString(),
             [] { cGlobal::LaunchFile(SiteEndpoints::url(SiteEndpoints::Maker, QString()).toString()); });
    addEntry(help, "mnuHelpInstructions", QStringLiteral("Orv &Instructions"), QString(), [] {
        cGlobal::LaunchFile(
            SiteEndpoints::url(SiteEndpoints::Maker, QStringLiteral("/instructions.html")).toString());
    });
    help->addSeparator();
    addEntry(help, "mnuHelpAbout", QStringLiteral("&About Program"), QStringLiteral("Help About Error"),
             [this] {
                 if (m_app)
                     m_app->ShowAbout();
             });
}

void frmAuctions::View(cApp& app)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_appConnections))
        disconnect(connection);
    m_appConnections.clear();
    m_app = &app;
    m_appConnections << connect(&app, &cApp::StatusChange, m_statusPanel, &QLabel::setText)
                     << connect(&app, &cApp::ErrorMessage, this, [this](const QString& sMessage) {
                            if (m_app)
                                m_app->messageBoxes().show(MessageBoxSink::Exclamation,
                                                           QStringLiteral("Application Error"), sMessage);
                        });
    m_statusPanel->setText(app.Status());
    // A window that is not shown loads afresh: its bounds and its place above other windows.
    const bool loading = !isVisible();
    if (loading)
        load();
    m_auctionsView->View(app);
    show();
    cGlobal::fnShowWindow(this);
    if (!app.Settings().ViewedWelcome) {
        app.Settings().ViewedWelcome = true;
        app.ShowInfo(eViewInfoWelcome);
    }
}

void frmAuctions::load()
{
    m_unloaded = false;
    const Settings& settings = m_app->Settings();
    CommandErrors::ignore("always on top", [&] { cGlobal::AlwaysOnTop(this, settings.AlwaysOnTop); });
    m_entries.value(QStringLiteral("mnuWindowOnTop"))->setChecked(settings.AlwaysOnTop);
    Twips::applyBounds(*this, settings.WindowHeight, settings.WindowLeft, settings.WindowTop,
                       settings.WindowWidth);
}

void frmAuctions::unload()
{
    if (m_unloaded || !m_app)
        return;
    m_unloaded = true;
    writeBackLayout();
    m_app->Save();
}

void frmAuctions::writeBackLayout()
{
    CommandErrors::ignore("column write-back", [&] { m_auctionsView->Terminate(); });
    if (!isMinimized()) {
        Settings& settings = m_app->Settings();
        const QRect bounds = Twips::boundsOf(*this);
        settings.WindowHeight = Twips::fromPixels(bounds.height());
        settings.WindowLeft = Twips::fromPixels(bounds.left());
        settings.WindowTop = Twips::fromPixels(bounds.top());
        settings.WindowWidth = Twips::fromPixels(bounds.width());
    }
}

void frmAuctions::storeLayout()
{
    if (m_unloaded || !m_app)
        return;
    writeBackLayout();
    // The write-back lets go of the columns; the list follows them again, should the program go on.
    CommandErrors::ignore("list binding", [&] { m_auctionsView->View(*m_app); });
}

void frmAuctions::closeByProgram()
{
    m_closingByProgram = true;
    close();
    m_closingByProgram = false;
}

bool frmAuctions::trayAvailable() const
{
    return m_app && m_app->dialogHost().trayBackend().isAvailable();
}

void frmAuctions::closeEvent(QCloseEvent* event)
{
    if (m_closingByProgram || !m_app || m_app->State() == AppShuttingDown) {
        unload();
        event->accept();
        return;
    }
    // The user's close: to the notification area or the end of the program. The window closes with
    // this event (a close asked for from inside it would do nothing), unless it must stay to be seen.
    if (m_app->Settings().MinOnClose && trayAvailable())
        m_app->hide();
    else
        exitOrHide();
    const bool gone = m_app->State() == AppHidden || m_app->State() == AppShuttingDown;
    if (gone)
        unload();
    event->setAccepted(gone);
}

void frmAuctions::exitOrHide()
{
    if (!m_app)
        return;
    // Without a notification area a hidden program could be neither seen nor ended: only the end is
    // offered, and a refusal leaves the window open with its reason shown.
    if (!trayAvailable()) {
        m_app->Quit();
        return;
    }
    if (!m_app->Unloader().Available()) {
        m_app->hide();
        return;
    }
    m_app->Quit();
    // A client that came in between the two questions refused: the program goes to the notification
    // area rather than stay running unseen.
    if (m_app->State() != AppShuttingDown)
        m_app->hide();
}

void frmAuctions::minimizeToTray()
{
    if (!m_app)
        return;
    if (trayAvailable())
        m_app->hide();
    else
        showMinimized();
}

void frmAuctions::programMenuOpening()
{
    if (m_app)
        m_entries.value(QStringLiteral("mnuWindowPause"))->setChecked(m_app->BidManager().Paused());
}

void frmAuctions::auctionsMenuOpening()
{
    const bool selected = !m_auctionsView->Auction().isNull();
    for (const char* name : {"mnuAuctionsEdit", "mnuAuctionsDelete", "mnuAuctionsUpdateAll",
                             "mnuAuctionsUpdateSelected", "mnuAuctionsNavigate", "mnuAuctionsMove"})
        m_entries.value(QString::fromLatin1(name))->setEnabled(selected);
    ListMenus::buildColumnMenu(*m_menus.value(QStringLiteral("mnuAuctionsViewItem")),
                               m_auctionsView->Columns());
    const QItemSelectionModel* selection = m_auctionsView->ListView()->selectionModel();
    const AuctionPtr auction = m_auctionsView->Auction();
    ListMenus::buildMoveMenu(*m_menus.value(QStringLiteral("mnuAuctionsMoveItem")),
                             m_auctionsView->Categorys(), auction ? auction->Category : QString(),
                             selection && selection->hasSelection());
}

QString frmAuctions::statusText() const
{
    return m_statusPanel->text();
}

QString frmAuctions::countText() const
{
    return m_countPanel->text();
}

void frmAuctions::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_auctionsView->RefreshBackWindow();
}
