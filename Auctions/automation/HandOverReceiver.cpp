#include "HandOverReceiver.h"

HandOverReceiver::HandOverReceiver(QObject* parent) : QObject(parent) {}

bool HandOverReceiver::SetText(const QString& text)
{
    Q_EMIT textChanged(text);
    return true;
}
