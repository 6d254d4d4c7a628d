#pragma once

#include "FakeTrayBackend.h"
#include "RecordingDialogHost.h"
#include "ShellHost.h"

// Records the shell's windows and the model's editors in one list, in order ("splash", "main",
// "closeMain", "storeMain", "settings", ...); the notification area is a FakeTrayBackend.
class RecordingShellHost : public RecordingEditors<ShellHost>
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
    void storeMainWindowLayout() override { calls << QStringLiteral("storeMain"); }
    bool isMainWindowOpen() const override { return mainOpen; }
    void raiseMainWindow() override { calls << QStringLiteral("raiseMain"); }
    void closeAllWindows() override
    {
        calls << QStringLiteral("closeAll");
        mainOpen = false;
    }
    void viewAbout(cApp&) override { calls << QStringLiteral("about"); }
    void viewInfo(cApp&, int eInfo) override { calls << QStringLiteral("info:%1").arg(eInfo); }
    void viewVersion(VerManager&) override { calls << QStringLiteral("version"); }
    TrayBackend& trayBackend() override { return tray; }

    bool mainOpen = false;
    FakeTrayBackend tray;
};
