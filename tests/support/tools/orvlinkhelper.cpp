// A client process bound to the main program through the client library: `orvlinkhelper` binds (starting
// the program when it is not running) and reports on standard output "bound" (or "lost <reason>"), "held"
// once the program holds open for it, and "lost <reason>" when the program ends.
#include "RemoteBackend.h"
#include "RemotecApp.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    Remote::cApp link;
    QObject::connect(&link, &Remote::cApp::Bound, [&out] { out << "bound" << Qt::endl; });
    QObject::connect(&link, &Remote::cApp::Lost,
                     [&out](const QString& reason) { out << "lost " << reason << Qt::endl; });
    QObject::connect(&link.backend(), &Remote::Backend::holdChanged, [&out](bool held) {
        if (held)
            out << "held" << Qt::endl;
    });
    return QCoreApplication::exec();
}
