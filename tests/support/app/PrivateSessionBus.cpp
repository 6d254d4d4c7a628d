#include "PrivateSessionBus.h"

PrivateSessionBus::PrivateSessionBus() : m_previous(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
{
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                   QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted() || !m_daemon.waitForReadyRead())
        return;
    m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    if (!m_address.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
}

PrivateSessionBus::~PrivateSessionBus()
{
    m_daemon.kill();
    m_daemon.waitForFinished();
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_previous);
}
