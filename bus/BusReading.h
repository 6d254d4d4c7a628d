#pragma once

#include <QDBusConnection>
#include <climits>
#include <dbus/dbus.h>

namespace OrvBus {

// Keeps a connection reading whatever its peers send. The bus library stops reading a connection while
// the messages it has read and not yet freed pass a size (63 MiB by default) and starts again when they
// are freed; Qt frees them on the thread that answers, where starting again fails, and the connection
// would stay deaf for good. Without a limit it never stops: the bus daemon bounds what it queues for us.
inline void keepReading(const QDBusConnection& bus)
{
    if (auto* connection = static_cast<DBusConnection*>(bus.internalPointer()))
        dbus_connection_set_max_received_size(connection, LONG_MAX);
}

} // namespace OrvBus
