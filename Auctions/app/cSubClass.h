#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class iSubclass;

// Hooks one window (any QObject that receives events) and hands its listed events to an owner before
// and after the window handles them. Two tables list the events: the before-table (When = 1) and the
// after-table (any other When); a count of -1 lists every event, a slot holding -1 is free.
class cSubClass : public QObject
{
    Q_OBJECT
public:
    static constexpr qint32 AllMessages = -1;
    static constexpr qint32 Before = 1;
    static constexpr qint32 After = 0;

    explicit cSubClass(QObject* parent = nullptr);
    ~cSubClass() override;

    void AddMsg(qint32 uMsg, qint32 When);
    // Hands the event to the hooked window's own handler, past every hook; 0 while nothing is hooked.
    qint32 CallOrigWndProc(QEvent* event);
    void DelMsg(qint32 uMsg, qint32 When);
    // The owner must be a QObject that implements iSubclass; it is held weakly.
    void Subclass(QObject* hwnd, QObject* Owner);
    void UnSubclass();

    QObject* hookedWindow() const { return m_window; }
    qint32 MsgCount(qint32 When) const { return table(When).count; }
    QList<qint32> MsgTable(qint32 When) const { return table(When).entries; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Table
    {
        qint32 count = 0;
        QList<qint32> entries;
        bool lists(qint32 uMsg) const
        {
            return count == AllMessages || (count > 0 && entries.contains(uMsg));
        }
    };

    Table& table(qint32 When) { return When == Before ? m_before : m_after; }
    const Table& table(qint32 When) const { return When == Before ? m_before : m_after; }
    iSubclass* owner() const;
    bool ownerGone();

    QPointer<QObject> m_window;
    QPointer<QObject> m_owner;
    Table m_before;
    Table m_after;
};
