#include "BusGate.h"

#include "AppLog.h"
#include "OrvBus.h"
#include "OrvError.h"

#include <QDBusContext>
#include <new>
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
        } catch (const std::exception& error) {
            reply = errorReply(call.call, error);
        }
        QDBusConnection(call.bus).send(reply);
    }
}

QDBusMessage BusGate::errorReply(const QDBusMessage& call, const std::exception& error)
{
    qint32 number = 0;
    QString description;
    if (const auto* modelError = dynamic_cast<const OrvError*>(&error)) {
        number = modelError->number();
        description = modelError->description();
    } else {
        // Not the model's own answer: worth a trace beside the reply.
        qCWarning(lcApp) << call.interface() << call.member() << "failed:" << error.what();
        if (dynamic_cast<const std::bad_alloc*>(&error)) {
            number = OrvError::OutOfMemory;
            description = QStringLiteral("Out of memory");
        } else {
            description = QString::fromLocal8Bit(error.what());
        }
    }
    QDBusMessage reply = call.createErrorReply(
        number == OrvError::Refused ? OrvBus::errorRefused : OrvBus::errorFailed, description);
    reply << number;
    return reply;
}
