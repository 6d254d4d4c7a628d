#include "BusService.h"

#include "cApp.h"

#include <QDBusConnection>
#include <QDBusMessage>

BusService::BusService(BusGate& gate, QObject* parent) : QObject(parent), m_gate(gate) {}

void BusService::attach(cApp& app)
{
    m_app = &app;
}

cApp& BusService::app() const
{
    if (!m_app)
        throw OrvError(OrvError::ObjectNotSet, QStringLiteral("Automation"),
                       QStringLiteral("The application has not started."));
    return *m_app;
}

void BusService::refuse(const std::exception& error)
{
    setDelayedReply(true);
    connection().send(BusGate::errorReply(message(), error));
}
