#pragma once

#include "EngineFactories.h"

#include <QStringList>
#include <memory>

class BusFace;
class ShellHost;
class cApp;
class MessageBoxSink;

// The start-up decision: hand "Show" to a running instance, or become the first instance, create the
// application object, load the state file and show the main window or sit in the notification area.
class cAppStarter
{
public:
    static constexpr int HandOverTimeoutMs = 100;
    // How long a second start waits for an instance that is still loading its state file.
    static constexpr int StartingTimeoutMs = 60000;

    cAppStarter(ShellHost& dialogs, MessageBoxSink& messageBoxes, EngineFactories engine,
                QStringList arguments);

    // False when the start ended in the error box (nothing started and nothing handed over).
    bool Start(bool bFlag);

    // The command line counts as "SHOW" only when the arguments, joined by blanks and upper-cased,
    // are exactly that word.
    static bool isShowCommand(const QStringList& arguments);

    // After a start with "SHOW": the version check when it is due, the clock window when the site clock
    // has not been synchronised for longer than the settings allow.
    static void StartupChecks(cApp& app);

private:
    bool SendTextToApp(const QString& sText);
    void startFirstInstance(std::unique_ptr<BusFace> face);

    ShellHost& m_dialogs;
    MessageBoxSink& m_messageBoxes;
    EngineFactories m_engine;
    QStringList m_arguments;
};
