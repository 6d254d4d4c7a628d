#include "WidgetDialogHost.h"

#include "NetManager.h"
#include "Settings.h"
#include "cApp.h"
#include "cGlobal.h"
#include "frmAbout.h"
#include "frmAuctions.h"
#include "frmBrowser.h"
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
        // The dialer, the state file and the message boxes are the application's.
        cApp* app = mMain::App();
        if (!app)
            return;
        m_settings = new frmSettings(
            app->NetManager().dialer(), [&settings] { return new frmBrowser(settings); },
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

void WidgetDialogHost::viewAuction(Auctions&, Categorys&, const AuctionPtr&) {}

void WidgetDialogHost::viewAuctionNewItem(Auctions&, Categorys&, const QString&, const QString&) {}

void WidgetDialogHost::viewAuctionBid(const AuctionPtr&, bool) {}

void WidgetDialogHost::viewCategory(Categorys&, Auctions&, const CategoryPtr&) {}

void WidgetDialogHost::viewCategoryDelete(Auctions&, Categorys&, const CategoryPtr&) {}
