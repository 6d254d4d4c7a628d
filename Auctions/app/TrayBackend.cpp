#include "TrayBackend.h"

#include <QCoreApplication>

void TrayBackend::notify(const NotifyIconData& nid, qint32 mouseMessage)
{
    if (!nid.hWnd || nid.uCallbackMessage <= 0)
        return;
    CallbackEvent event(nid.uCallbackMessage, mouseMessage);
    QCoreApplication::sendEvent(nid.hWnd, &event);
}
