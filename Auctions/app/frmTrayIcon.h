#pragma once

#include "TrayBackend.h"

#include <QObject>
#include <QTimer>

class cApp;

// The hidden window behind the notification icon, loaded while the program sits in the notification
// area: it takes the icon's mouse events, carries the icon's pop-up menu, and is the mailbox for the
// "Show" request of a second start. Exit and Show from the mailbox run from its own timers, outside
// the handler that asked for them.
class frmTrayIcon : public QObject
{
    Q_OBJECT
public:
    static constexpr int ShowDelayMs = 500;
    static constexpr int QuitDelayMs = 50;

    explicit frmTrayIcon(cApp& app, QObject* parent = nullptr);

    // The mailbox: a change to exactly "Show" asks for the main window; the text is always cleared.
    QString txtMsg() const { return m_txtMsg; }
    void setTxtMsg(const QString& text);

    // The pop-up menu's entries in order: mnuPopupShow, mnuPopupDash, mnuPopupPause, mnuPopupDash2,
    // mnuPopupExit and the hidden mnuTestActivate.
    QList<TrayBackend::MenuEntry> mnuPopup() const { return m_mnuPopup; }
    void mnuClick(const QString& name);
    void PopupMenu(TrayBackend& backend);

    // Stops the timers and goes, later: the caller may be one of this window's own handlers.
    void Unload();

Q_SIGNALS:
    // The hidden mnuTestActivate: a second start's hand-over, run in this process by whoever started it.
    void testActivateRequested();

private:
    static constexpr int PauseEntry = 2;

    void refreshPauseCheck();
    void showBox(const QString& title, const QString& text);

    cApp& m_app;
    QString m_txtMsg;
    QList<TrayBackend::MenuEntry> m_mnuPopup;
    QTimer m_tmrShow{this};
    QTimer m_tmrQuit{this};
};
