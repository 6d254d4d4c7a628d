// A client process that holds a program open: `orvholdhelper <bus name>` registers a hold on that
// program's Unloader and reports on standard output: "held" (or "refused"), "unloading 0|1" for each
// question, "released" after the line "release" arrives on standard input.
#include "UnloaderClient.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (QCoreApplication::arguments().size() != 2)
        return 2;
    QTextStream out(stdout);
    UnloaderClient client(QDBusConnection::sessionBus(), QCoreApplication::arguments().at(1));
    QObject::connect(&client, &UnloaderClient::Unloading,
                     [&out](bool bValue) { out << "unloading " << int(bValue) << Qt::endl; });
    QObject::connect(&client, &UnloaderClient::HoldChanged,
                     [&out](bool held) { out << (held ? "held" : "refused") << Qt::endl; });
    client.RegisterHold();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        const ssize_t size = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (size <= 0) {
            QCoreApplication::quit();
            return;
        }
        if (QByteArray(line, size).trimmed() == "release") {
            client.ReleaseHold();
            out << "released" << Qt::endl;
        }
    });
    return QCoreApplication::exec();
}
