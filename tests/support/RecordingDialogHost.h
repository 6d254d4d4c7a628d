#pragma once

#include "DialogHost.h"
#include "FakeTrayBackend.h"

#include <QStringList>

// Records which windows the model opened and closed, in order ("splash", "main", "closeMain", ...);
// the notification area is a FakeTrayBackend.
class RecordingDialogHost : public DialogHost
{
public:
    void viewSplash(cApp&) override { calls << QStringLiteral("splash"); }
    void viewMainWindow(cApp&) override
    {
        calls << QStringLiteral("main");
        mainOpen = true;
    }
    void closeMainWindow() override
    {
        calls << QStringLiteral("closeMain");
        mainOpen = false;
    }
    bool isMainWindowOpen() const override { return mainOpen; }
    void raiseMainWindow() override { calls << QStringLiteral("raiseMain"); }
    void closeAllWindows() override
    {
        calls << QStringLiteral("closeAll");
        mainOpen = false;
    }
    void viewAbout(cApp&) override { calls << QStringLiteral("about"); }
    void viewInfo(cApp&, int eInfo) override { calls << QStringLiteral("info:%1").arg(eInfo); }
    void viewSettings(Settings&) override { calls << QStringLiteral("settings"); }
    void viewClock(Clock&) override { calls << QStringLiteral("clock"); }
    TrayBackend& trayBackend() override { return tray; }

    QStringList calls;
    bool mainOpen = false;
    FakeTrayBackend tray;
};
