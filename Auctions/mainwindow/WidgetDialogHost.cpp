#include "WidgetDialogHost.h"

#include "cGlobal.h"
#include "frmAuctions.h"

#include <QApplication>

WidgetDialogHost::~WidgetDialogHost()
{
    delete m_mainWindow;
}

void WidgetDialogHost::viewSplash(cApp&) {}

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

void WidgetDialogHost::viewAbout(cApp&) {}

void WidgetDialogHost::viewInfo(cApp&, int)
{
}

// The settings dialog and the clock window are not built yet.
void WidgetDialogHost::viewSettings(Settings&)
{
}

void WidgetDialogHost::viewClock(Clock&)
{
}
