#include "EngineFactories.h"
#include "MessageBoxSink.h"
#include "NetworkManagerDialer.h"
#include "TerminationWatcher.h"
#include "WidgetDialogHost.h"
#include "WidgetMessageBoxSink.h"
#include "cApp.h"
#include "cAppStarter.h"
#include "frmBrowser.h"
#include "mMain.h"

#include <QApplication>
#include <QDBusConnection>
#include <QSessionManager>
#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
    // The hidden browser windows of the bid senders need this before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Auction Orv"));
    QApplication::setApplicationVersion(QStringLiteral(ORV_VERSION));
    // Hiding the main window must not end the program: it lives on in the notification area.
    QApplication::setQuitOnLastWindowClosed(false);
    // A file-size limit fails the write that meets it, with its reason, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    WidgetDialogHost dialogs;
    WidgetMessageBoxSink messageBoxes;
    // The bid attempts' hidden browser windows and the dial-up control on NetworkManager.
    EngineFactories engine{[](const Settings& settings) { return new frmBrowser(settings); },
                           [] { return new NetworkManagerDialer(QDBusConnection::systemBus()); }};
    bool started = false;
    try {
        cAppStarter starter(dialogs, messageBoxes, std::move(engine), QApplication::arguments());
        started = starter.Start(false);
    } catch (const std::exception& error) {
        messageBoxes.show(MessageBoxSink::Exclamation, QStringLiteral("Auction Orv Load Error"),
                          QString::fromUtf8(error.what()));
        return 1;
    }
    cApp* app = mMain::App();
    // A start that handed "Show" over ends well; one that ended in the error box does not.
    if (!app)
        return started ? 0 : 1;

    // The session's end saves even while a client holds the program open.
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, app, &cApp::sessionEnd);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, app,
                     [app](QSessionManager&) { app->saveForSessionEnd(); });

    const int result = QApplication::exec();
    delete app;
    return result;
}
