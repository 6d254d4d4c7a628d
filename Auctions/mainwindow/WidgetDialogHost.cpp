#include "WidgetDialogHost.h"

#include "DialogServices.h"
#include "NetManager.h"
#include "Settings.h"
#include "cApp.h"
#include "cGlobal.h"
#include "frmAbout.h"
#include "frmAuction.h"
#include "frmAuctionBid.h"
#include "frmAuctions.h"
#include "frmCategory.h"
#include "frmCategoryDelete.h"
#include "frmClock.h"
#include "frmInfo.h"
#include "frmSettings.h"
#include "frmSplash.h"
#include "frmVersion.h"
#include "mMain.h"

#include <QApplication>

WidgetDialogHost::~WidgetDialogHost()
{
    delete m_mainWindow;
    delete m_splash;
    delete m_about;
    delete m_info;
    delete m_settings;
    delete m_clock;
    delete m_version;
    delete m_auction;
    delete m_auctionBid;
    delete m_category;
    delete m_categoryDelete;
}

void WidgetDialogHost::viewSplash(cApp& app)
{
    if (!m_splash)
        m_splash = new frmSplash;
    m_splash->View(app);
}

void WidgetDialogHost::viewMainWindow(cApp& app)
{
    if (!m_mainWindow)
        m_mainWindow = new frmAuctions;
    m_mainWindow->View(app);
}

void WidgetDialogHost::closeMainWindow()
{
    if (m_mainWindow)
        m_mainWindow->closeByProgram();
}

void WidgetDialogHost::storeMainWindowLayout()
{
    if (m_mainWindow)
        m_mainWindow->storeLayout();
}

bool WidgetDialogHost::isMainWindowOpen() const
{
    return m_mainWindow && m_mainWindow->isVisible();
}

void WidgetDialogHost::raiseMainWindow()
{
    cGlobal::fnShowWindow(m_mainWindow);
}

void WidgetDialogHost::closeAllWindows()
{
    closeMainWindow();
    QApplication::closeAllWindows();
}

void WidgetDialogHost::viewAbout(cApp& app)
{
    if (!m_about)
        m_about = new frmAbout(app);
    m_about->View();
}

void WidgetDialogHost::viewInfo(cApp& app, int eInfo)
{
    if (!m_info)
        m_info = new frmInfo(app);
    m_info->View(eInfo);
}

void WidgetDialogHost::viewSettings(Settings& settings)
{
    if (!m_settings) {
        // The dialer, the browser windows, the state file and the message boxes are the application's.
        cApp* app = mMain::App();
        if (!app)
            return;
        m_settings = new frmSettings(
            app->NetManager().dialer(),
            [app, &settings] { return app->engineFactories().browserWindow(settings); },
            [app] { app->Save(); }, app->messageBoxes());
    }
    m_settings->View(settings);
}

void WidgetDialogHost::viewClock(Clock& clock)
{
    if (!m_clock) {
        const cApp* app = mMain::App();
        m_clock = new frmClock(app && app->Settings().AlwaysOnTop);
    }
    m_clock->View(clock);
}

void WidgetDialogHost::viewVersion(VerManager& verManager)
{
    if (!m_version) {
        const cApp* app = mMain::App();
        m_version = new frmVersion(app && app->Settings().AlwaysOnTop);
    }
    m_version->View(verManager);
}

namespace {

// The one shared window of an editor, made on the running application once the user has closed it.
template <typename Window> Window* editor(QPointer<Window>& window)
{
    if (!window) {
        cApp* app = mMain::App();
        if (!app)
            return nullptr;
        window = new Window(DialogServices::of(*app));
    }
    return window;
}

} // namespace

void WidgetDialogHost::viewAuction(Auctions& auctions, Categorys& categorys, const AuctionPtr& auction)
{
    if (frmAuction* window = editor(m_auction))
        window->View(auctions, categorys, auction);
}

void WidgetDialogHost::viewAuctionNewItem(Auctions& auctions, Categorys& categorys, const QString& sItem,
                                          const QString& sCategory)
{
    if (frmAuction* window = editor(m_auction))
        window->ViewNewItem(auctions, categorys, sItem, sCategory);
}

void WidgetDialogHost::viewAuctionBid(const AuctionPtr& auction, bool newBid)
{
    frmAuctionBid* window = editor(m_auctionBid);
    if (!window)
        return;
    if (newBid)
        window->ViewNew(auction);
    else
        window->View(auction);
}

void WidgetDialogHost::viewCategory(Categorys& categorys, Auctions& auctions, const CategoryPtr& category)
{
    if (frmCategory* window = editor(m_category))
        window->View(categorys, auctions, category);
}

void WidgetDialogHost::viewCategoryDelete(Auctions& auctions, Categorys& categorys,
                                          const CategoryPtr& category)
{
    if (frmCategoryDelete* window = editor(m_categoryDelete))
        window->View(auctions, categorys, category);
}
