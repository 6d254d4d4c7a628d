#include "BusGate.h"

#include "OrvBus.h"
#include "OrvError.h"

#include <QDBusContext>
#include <QDBusError>
#include <utility>

BusGate::BusGate(QObject* parent) : QObject(parent) {}

bool BusGate::hold(QDBusContext& context, std::function<QVariantList()> answer)
{
    if (m_open || !context.calledFromDBus())
        return false;
    context.setDelayedReply(true);
    m_held.append({context.connection(), context.message(), std::move(answer)});
    return true;
}

void BusGate::open()
{
    m_open = true;
    // Taken first: an answer may open a window, whose event loop may deliver further calls.
    const QList<Held> held = std::exchange(m_held, {});
    for (const Held& call : held) {
        QDBusMessage reply;
        try {
            reply = call.call.createReply(call.answer());
        } catch (const OrvError& error) {
            reply = errorReply(call.call, error);
        } catch (const std::exception& error) {
            reply = call.call.createErrorReply(QDBusError::Failed, QString::fromUtf8(error.what()));
        }
        QDBusConnection(call.bus).send(reply);
    }
}

QDBusMessage BusGate::errorReply(const QDBusMessage& call, const OrvError& error)
{
    QDBusMessage reply = call.createErrorReply(error.number() == OrvError::Refused ? OrvBus::errorRefused
                                                                                   : OrvBus::errorFailed,
                                               error.description());
    reply << error.number();
    return reply;
}
