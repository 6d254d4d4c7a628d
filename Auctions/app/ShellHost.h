#pragma once

#include "DialogHost.h"

class TrayBackend;
class VerManager;
class cApp;

// How the application shell opens and closes its own windows: the splash, the main window, the about
// and information windows, and the notification area. It extends the model's editors (DialogHost), so
// that one host serves the whole program. The widget layer implements it; tests use a recording fake.
class ShellHost : public DialogHost
{
public:
    virtual void viewSplash(cApp& app) = 0;
    virtual void viewMainWindow(cApp& app) = 0;
    virtual void closeMainWindow() = 0;
    // Writes the open main window's layout (the list's column order and widths, the window's bounds)
    // into the model, as its unload does, and leaves it open; the caller saves.
    virtual void storeMainWindowLayout() = 0;
    virtual bool isMainWindowOpen() const = 0;
    // Brings the open main window to the front (a hand-over while it is shown).
    virtual void raiseMainWindow() = 0;
    virtual void closeAllWindows() = 0;
    virtual void viewAbout(cApp& app) = 0;
    virtual void viewInfo(cApp& app, int eInfo) = 0;
    // The new-version window on the version that the check found.
    virtual void viewVersion(VerManager& verManager) = 0;
    // The notification area, for the tray icon.
    virtual TrayBackend& trayBackend() = 0;
};
