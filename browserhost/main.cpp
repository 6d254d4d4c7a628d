#include "BandPlugins.h"
#include "BrowserMainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QUrl>
#include <QWebEngineProfile>

// orvbrowser: a small browser that hosts band plug-ins, on a profile of its own that keeps its cookies,
// so the user stays signed in to the site between runs.
int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvbrowser"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("The Auction Orv browser."));
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("page"), QStringLiteral("The address to open."),
                                  QStringLiteral("[page]"));
    options.process(app);

    auto* profile = new QWebEngineProfile(QStringLiteral("orvbrowser"), &app);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);

    const QList<DeskBandFactory*> bands =
        BandPlugins::load(BandPlugins::folders(), [](const QString& description) {
            QMessageBox::warning(nullptr, QStringLiteral("Plugin Error"), description);
        });
    auto* window = new BrowserMainWindow(profile, bands);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QStringList pages = options.positionalArguments();
    window->open(pages.isEmpty() ? QUrl(QStringLiteral("about:blank")) : QUrl::fromUserInput(pages.first()));
    window->show();
    const int result = app.exec();
    // Every window, and with it its page, goes before the profile.
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* widget : windows) {
        if (qobject_cast<BrowserMainWindow*>(widget))
            delete widget;
    }
    delete profile;
    return result;
}
