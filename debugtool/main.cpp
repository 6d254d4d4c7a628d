#include "RemotecApp.h"
#include "frmAuctions.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Auction Orv Debug Packager"));

    // The link starts the main program hidden when it is not running, and holds it open until the
    // window closes.
    DebugTool::frmAuctions window;
    window.View(std::make_unique<Remote::cApp>());
    return QApplication::exec();
}
