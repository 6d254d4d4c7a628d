// Owns a name on the session bus and then never answers a call: a running instance that hangs.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerService(QString::fromLocal8Bit(argv[1])))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    ::sleep(120);
    return 0;
}
