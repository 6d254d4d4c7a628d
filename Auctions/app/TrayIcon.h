#pragma once

#include "TrayBackend.h"
#include "iSubclass.h"

#include <QObject>
#include <QPointer>

class BidManager;
class cApp;
class cSubClass;
class frmTrayIcon;

// The notification icon: shown while the program sits in the notification area, its picture follows
// the bid manager's state, and its mouse events reach the hidden tray window, where this object
// listens through a cSubClass.
class TrayIcon : public QObject, public iSubclass
{
    Q_OBJECT
    Q_INTERFACES(iSubclass)
public:
    // The icon's callback message (the first user message plus one, 1025).
    static constexpr qint32 CallbackMessage = 1025;

    explicit TrayIcon(cApp& app);
    ~TrayIcon() override;

    void Init(::BidManager& oBidManager);
    bool Visible() const { return m_visible; }
    void setVisible(bool value);

    // The hidden tray window; it exists exactly while the icon is shown.
    frmTrayIcon* window() const;

    void After(qint32& lReturn, QObject* hWnd, qint32 uMsg, QEvent* event) override;
    void Before(bool& bHandled, qint32& lReturn, QObject* hWnd, qint32 uMsg, QEvent* event) override;

Q_SIGNALS:
    // The tray window's hidden menu entry asked for a second start's hand-over (frmTrayIcon).
    void testActivateRequested();

private:
    TrayBackend& backend() const;
    void RefreshIcon();
    void onStateChange();

    cApp& m_app;
    ::BidManager* m_bidManager = nullptr;
    QPointer<cSubClass> m_subclass;
    bool m_visible = false;
    TrayBackend::NotifyIconData m_nid;
    QPointer<frmTrayIcon> m_window;
};
