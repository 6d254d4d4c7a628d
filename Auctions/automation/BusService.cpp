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

void BusService::checkLength(const QString& text, qsizetype limit, const QString& what)
{
    if (text.size() > limit)
        throw OrvError::refused(QStringLiteral("Automation"), what + QStringLiteral(" is longer than ") +
                                                                  QString::number(limit) +
                                                                  QStringLiteral(" characters."));
}

void BusService::checkItem(const QString& sItem)
{
    checkLength(sItem, MaxItemLength, QStringLiteral("The item number"));
}

void BusService::checkName(const QString& sName)
{
    checkLength(sName, MaxNameLength, QStringLiteral("The category name"));
}
