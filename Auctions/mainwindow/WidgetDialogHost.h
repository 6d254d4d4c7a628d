#pragma once

#include "DialogHost.h"
#include "SystemTrayBackend.h"

#include <QPointer>

class frmAbout;
class frmAuctions;
class frmInfo;
class frmSplash;

// Opens the program's real windows for the model. Each window is one shared instance, made afresh
// once the user has closed it.
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
    void viewSettings(Settings& settings) override;
    void viewClock(Clock& clock) override;
    TrayBackend& trayBackend() override { return m_tray; }

private:
    QPointer<frmAuctions> m_mainWindow;
    QPointer<frmSplash> m_splash;
    QPointer<frmAbout> m_about;
    QPointer<frmInfo> m_info;
    SystemTrayBackend m_tray;
};
