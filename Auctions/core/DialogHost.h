#pragma once

class Clock;
class Settings;
class TrayBackend;
class cApp;

// How the model opens and closes windows. The widget layer implements it; model and engine tests use a
// recording fake. Each window that a later part of the program brings adds its own entry here.
class DialogHost
{
public:
    virtual ~DialogHost() = default;

    virtual void viewSplash(cApp& app) = 0;
    virtual void viewMainWindow(cApp& app) = 0;
    virtual void closeMainWindow() = 0;
    virtual bool isMainWindowOpen() const = 0;
    // Brings the open main window to the front (a hand-over while it is shown).
    virtual void raiseMainWindow() = 0;
    virtual void closeAllWindows() = 0;
    virtual void viewAbout(cApp& app) = 0;
    virtual void viewInfo(cApp& app, int eInfo) = 0;
    virtual void viewSettings(Settings& settings) = 0;
    virtual void viewClock(Clock& clock) = 0;
    // The notification area, for the tray icon.
    virtual TrayBackend& trayBackend() = 0;
};
