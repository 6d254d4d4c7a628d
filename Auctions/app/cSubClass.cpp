#include "cSubClass.h"

#include "iSubclass.h"

#include <QEvent>

cSubClass::cSubClass(QObject* parent) : QObject(parent) {}

cSubClass::~cSubClass()
{
    UnSubclass();
}

void cSubClass::AddMsg(qint32 uMsg, qint32 When)
{
    Table& t = table(When);
    if (uMsg == AllMessages) {
        t.count = AllMessages;
        t.entries.clear();
        return;
    }
    // A table that listed every event becomes a list of this one.
    if (t.count == AllMessages)
        t.count = 0;
    if (t.entries.contains(uMsg))
        return;
    const qsizetype free = t.entries.indexOf(AllMessages);
    if (free >= 0) {
        t.entries[free] = uMsg;
        return;
    }
    t.entries.append(uMsg);
    t.count = qint32(t.entries.size());
}

void cSubClass::DelMsg(qint32 uMsg, qint32 When)
{
    Table& t = table(When);
    if (uMsg == AllMessages) {
        t.count = 0;
        t.entries.clear();
        return;
    }
    // The slot is freed for reuse; the count stays.
    const qsizetype at = t.entries.indexOf(uMsg);
    if (at >= 0)
        t.entries[at] = AllMessages;
}

void cSubClass::Subclass(QObject* hwnd, QObject* Owner)
{
    UnSubclass();
    if (!hwnd)
        return;
    m_window = hwnd;
    m_owner = Owner;
    hwnd->installEventFilter(this);
}

void cSubClass::UnSubclass()
{
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = nullptr;
}

qint32 cSubClass::CallOrigWndProc(QEvent* event)
{
    if (!m_window || !event)
        return 0;
    // QObject::event is the window's own handler; calling it directly passes the event filters by.
    return m_window->event(event) ? 1 : 0;
}

iSubclass* cSubClass::owner() const
{
    return qobject_cast<iSubclass*>(m_owner.data());
}

bool cSubClass::ownerGone()
{
    UnSubclass();
    return true;
}

bool cSubClass::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return false;
    const qint32 uMsg = event->type();
    qint32 lReturn = 0;
    // The owner may drop this object from inside a callback; nothing here is touched after that.
    const QPointer<cSubClass> self(this);
    const QPointer<QObject> window(m_window);

    if (m_before.lists(uMsg)) {
        iSubclass* target = owner();
        if (!target)
            return ownerGone();
        bool bHandled = false;
        target->Before(bHandled, lReturn, window, uMsg, event);
        if (bHandled || !window)
            return true;
        if (!self)
            return false;
    }
    // An event that no After wants goes on to the window the usual way.
    if (!m_after.lists(uMsg))
        return false;
    lReturn = window->event(event) ? 1 : 0;
    if (!self)
        return true;
    iSubclass* target = owner();
    if (!target)
        return ownerGone();
    target->After(lReturn, window, uMsg, event);
    return true;
}
