#include "WidgetDialogHost.h"

#include "cGlobal.h"
#include "frmAbout.h"
#include "frmAuctions.h"
#include "frmInfo.h"
#include "frmSplash.h"

#include <QApplication>

WidgetDialogHost::~WidgetDialogHost()
{
    delete m_mainWindow;
    delete m_splash;
    delete m_about;
    delete m_info;
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

// The settings dialog and the clock window are not built yet.
void WidgetDialogHost::viewSettings(Settings&) {}

void WidgetDialogHost::viewClock(Clock&) {}

void WidgetDialogHost::viewAuction(Auctions&, Categorys&, const AuctionPtr&) {}

void WidgetDialogHost::viewAuctionNewItem(Auctions&, Categorys&, const QString&, const QString&) {}

void WidgetDialogHost::viewAuctionBid(const AuctionPtr&, bool) {}

void WidgetDialogHost::viewCategory(Categorys&, Auctions&, const CategoryPtr&) {}

void WidgetDialogHost::viewCategoryDelete(Auctions&, Categorys&, const CategoryPtr&) {}
