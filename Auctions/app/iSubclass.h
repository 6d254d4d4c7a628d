#pragma once

#include <QtPlugin>

class QEvent;
class QObject;

// What an owner of a cSubClass implements: the hooked window's listed events, before and after the
// window's own handling. uMsg is the event's type; the event itself stands for the message's arguments.
class iSubclass
{
public:
    virtual ~iSubclass() = default;

    // lReturn holds the window's own result (1 when it handled the event); the owner may change it.
    virtual void After(qint32& lReturn, QObject* hWnd, qint32 uMsg, QEvent* event) = 0;
    // Setting bHandled ends the event here: neither the window nor After sees it.
    virtual void Before(bool& bHandled, qint32& lReturn, QObject* hWnd, qint32 uMsg, QEvent* event) = 0;
};

Q_DECLARE_INTERFACE(iSubclass, "org.auctionorv.iSubclass")
