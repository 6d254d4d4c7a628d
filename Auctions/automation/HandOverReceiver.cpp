#include "HandOverReceiver.h"

#include "BusGate.h"
#include "OrvError.h"

#include <QDBusConnection>

HandOverReceiver::HandOverReceiver(BusGate* gate, QObject* parent) : QObject(parent), m_gate(gate) {}

bool HandOverReceiver::SetText(const QString& text)
{
    // The mailbox takes a word; a text longer than any it knows is refused before it is kept.
    if (text.size() > MaxTextLength) {
        const OrvError refusal = OrvError::refused(
            QStringLiteral("HandOver"), QStringLiteral("The text is longer than ") +
                                            QString::number(MaxTextLength) + QStringLiteral(" characters."));
        if (!calledFromDBus())
            throw refusal;
        setDelayedReply(true);
        connection().send(BusGate::errorReply(message(), refusal));
        return false;
    }
    const auto take = [this, text] {
        Q_EMIT textChanged(text);
        return true;
    };
    if (m_gate && m_gate->hold(*this, [take] { return QVariantList{take()}; }))
        return false;
    return take();
}
