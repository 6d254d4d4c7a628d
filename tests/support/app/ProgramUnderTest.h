#pragma once

#include "OrvBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QString>

// The program's binaries in the build tree and its face on the test's session bus.
namespace ProgramUnderTest {

// A binary of the build tree, e.g. "Auctions/orvauctions2" (CTest sets ORV_BINARY_DIR).
inline QString binary(const QString& relative)
{
    return qEnvironmentVariable("ORV_BINARY_DIR") + QLatin1Char('/') + relative;
}

inline bool ownsBusName()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(OrvBus::serviceName).value();
}

// The running program's application state, or -1 while it does not answer. A fresh proxy each time:
// one made before the objects are registered stays invalid.
inline int remoteState()
{
    QDBusInterface app(OrvBus::serviceName, OrvBus::appPath, OrvBus::appInterface);
    const QVariant state = app.property("State");
    return state.isValid() ? state.toInt() : -1;
}

} // namespace ProgramUnderTest
