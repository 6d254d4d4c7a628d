#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class Clock;
class QLabel;
class QPushButton;

// The clock window, "Clock Settings": the site time, the user's local time derived from it and the
// computer's own time, twice a second, with the time of the last synchronisation; "Synchronize Clock"
// synchronises the site clock. The window follows the clock's events while it is open.
class frmClock : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TickMs = 500;

    explicit frmClock(bool alwaysOnTop, QWidget* parent = nullptr);

    // Shows `clock`, starts the timer and shows the window modeless.
    void View(Clock& clock);
    // The text of the status panel.
    void Status(const QString& text);

    // One tick of the timer: the three times.
    void tmrTick_Timer();

private:
    void mClock_Updated();
    void mClock_StateChanged(int state);

    QPointer<Clock> mClock;
    QTimer tmrTick;
    QLabel* lblRemoteTime;
    QLabel* lblLocalTime;
    QLabel* lblSystemTime;
    QLabel* lblLastUpdated;
    QPushButton* cmdUpdate;
    QLabel* m_status;
};
