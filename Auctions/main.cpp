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

int main(int argc, char* argv[])
{
    // The hidden browser windows of the bid senders need this before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Auction Orv"));
    QApplication::setApplicationVersion(QStringLiteral(ORV_VERSION));
    // Hiding the main window must not end the program: it lives on in the notification area.
    QApplication::setQuitOnLastWindowClosed(false);

    WidgetDialogHost dialogs;
    WidgetMessageBoxSink messageBoxes;
    // The bid attempts' hidden browser windows and the dial-up control on NetworkManager.
    EngineFactories engine{[](const Settings& settings) { return new frmBrowser(settings); },
                           [] { return new NetworkManagerDialer(QDBusConnection::systemBus()); }};
    try {
        cAppStarter starter(dialogs, messageBoxes, std::move(engine), QApplication::arguments());
        starter.Start(false);
    } catch (const std::exception& error) {
        messageBoxes.show(MessageBoxSink::Exclamation, QStringLiteral("Auction Orv Load Error"),
                          QString::fromUtf8(error.what()));
        return 1;
    }
    cApp* app = mMain::App();
    if (!app)
        return 0;

    // The session's end saves even while a client holds the program open.
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, app, &cApp::sessionEnd);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, app,
                     [app](QSessionManager&) { app->Save(); });

    const int result = QApplication::exec();
    delete app;
    return result;
}
