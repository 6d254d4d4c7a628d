#include "HandOverReceiver.h"

#include "BusGate.h"

HandOverReceiver::HandOverReceiver(BusGate* gate, QObject* parent) : QObject(parent), m_gate(gate) {}

bool HandOverReceiver::SetText(const QString& text)
{
    const auto take = [this, text] {
        Q_EMIT textChanged(text);
        return true;
    };
    if (m_gate && m_gate->hold(*this, [take] { return QVariantList{take()}; }))
        return false;
    return take();
}
