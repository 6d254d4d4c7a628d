#pragma once

#include "EngineFactories.h"

#include <QStringList>

class ShellHost;
class cApp;
class MessageBoxSink;

// The start-up decision: hand "Show" to a running instance, or become the first instance, create the
// application object, load the state file and show the main window or sit in the notification area.
class cAppStarter
{
public:
    static constexpr int HandOverTimeoutMs = 100;

    cAppStarter(ShellHost& dialogs, MessageBoxSink& messageBoxes, EngineFactories engine,
                QStringList arguments);

    void Start(bool bFlag);

    // The command line counts as "SHOW" only when the arguments, joined by blanks and upper-cased,
    // are exactly that word.
    static bool isShowCommand(const QStringList& arguments);

    // After a start with "SHOW": the version check when it is due, the clock window when the site clock
    // has not been synchronised for longer than the settings allow.
    static void StartupChecks(cApp& app);

private:
    bool SendTextToApp(const QString& sText);
    void startFirstInstance();

    ShellHost& m_dialogs;
    MessageBoxSink& m_messageBoxes;
    EngineFactories m_engine;
    QStringList m_arguments;
};
