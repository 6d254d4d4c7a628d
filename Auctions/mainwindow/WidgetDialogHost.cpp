#include "WidgetDialogHost.h"

#include "frmAuctions.h"

#include <QApplication>

WidgetDialogHost::~WidgetDialogHost()
{
    delete m_mainWindow;
}

void WidgetDialogHost::viewSplash(cApp&)
{
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
    if (!m_mainWindow)
        return;
    if (m_mainWindow->isMinimized())
        m_mainWindow->showNormal();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void WidgetDialogHost::closeAllWindows()
{
    closeMainWindow();
    QApplication::closeAllWindows();
}

void WidgetDialogHost::viewAbout(cApp&)
{
}

void WidgetDialogHost::viewInfo(cApp&, int)
{
}

void WidgetDialogHost::viewAuction(Auctions&, Categorys&, const AuctionPtr&)
{
}

void WidgetDialogHost::viewAuctionNewItem(Auctions&, Categorys&, const QString&, const QString&)
{
}

void WidgetDialogHost::viewAuctionBid(const AuctionPtr&, bool)
{
}

void WidgetDialogHost::viewCategory(Categorys&, Auctions&, const CategoryPtr&)
{
}

void WidgetDialogHost::viewCategoryDelete(Auctions&, Categorys&, const CategoryPtr&)
{
}
