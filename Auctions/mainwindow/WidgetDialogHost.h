#pragma once

#include "DialogHost.h"
#include "SystemTrayBackend.h"

#include <QPointer>

class frmAuctions;

// Opens the program's real windows for the model.
class WidgetDialogHost : public DialogHost
{
public:
    ~WidgetDialogHost() override;

    void viewSplash(cApp& app) override;
    void viewMainWindow(cApp& app) override;
    void closeMainWindow() override;
    bool isMainWindowOpen() const override;
    void raiseMainWindow() override;
    void closeAllWindows() override;
    void viewAbout(cApp& app) override;
    void viewInfo(cApp& app, int eInfo) override;
    TrayBackend& trayBackend() override { return m_tray; }

private:
    QPointer<frmAuctions> m_mainWindow;
    SystemTrayBackend m_tray;
};
