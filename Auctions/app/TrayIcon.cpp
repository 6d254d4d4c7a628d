#include "TrayIcon.h"

#include "AppLog.h"
#include "BidManager.h"
#include "ResumeNext.h"
#include "ShellHost.h"
#include "cApp.h"
#include "cSubClass.h"
#include "frmTrayIcon.h"

TrayIcon::TrayIcon(cApp& app) : QObject(&app), m_app(app) {}

TrayIcon::~TrayIcon() = default;

frmTrayIcon* TrayIcon::window() const
{
    return m_window;
}

TrayBackend& TrayIcon::backend() const
{
    return m_app.dialogHost().trayBackend();
}

void TrayIcon::Init(::BidManager& oBidManager)
{
    m_bidManager = &oBidManager;
    connect(m_bidManager, &::BidManager::StateChange, this, &TrayIcon::onStateChange);
}

void TrayIcon::setVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    if (value) {
        m_window = new frmTrayIcon(m_app, this);
        connect(m_window, &frmTrayIcon::testActivateRequested, this, &TrayIcon::testActivateRequested);
        m_nid.hWnd = m_window.data();
        m_nid.uCallbackMessage = CallbackMessage;
        m_nid.szTip = QStringLiteral("Auction Orv");
        resumeNext(lcApp, [&] { RefreshIcon(); });
        resumeNext(lcApp, [&] { backend().Add(m_nid); });
        m_subclass = new cSubClass(this);
        m_subclass->Subclass(m_window, this);
        m_subclass->AddMsg(CallbackMessage, cSubClass::After);
    } else {
        resumeNext(lcApp, [&] { backend().Delete(m_nid); });
        // This may run inside the tray window's own handlers: both go later, never here.
        if (m_subclass) {
            m_subclass->UnSubclass();
            m_subclass->deleteLater();
        }
        if (m_window)
            m_window->Unload();
        m_subclass = nullptr;
        m_window = nullptr;
        m_nid.hWnd = nullptr;
    }
}

void TrayIcon::RefreshIcon()
{
    if (!m_bidManager)
        return;
    switch (m_bidManager->State()) {
    case eBidderGreen:
        m_nid.hIcon = QStringLiteral("GREEN");
        break;
    case eBidderYellow:
        m_nid.hIcon = QStringLiteral("YELLOW");
        break;
    case eBidderRed:
        m_nid.hIcon = QStringLiteral("RED");
        break;
    case eBidderBidding:
        m_nid.hIcon = QStringLiteral("FLAG");
        break;
    case eBidderPaused:
        m_nid.hIcon = QStringLiteral("GREY");
        break;
    }
}

void TrayIcon::onStateChange()
{
    if (!m_visible)
        return;
    resumeNext(lcApp, [&] { RefreshIcon(); });
    resumeNext(lcApp, [&] { backend().Modify(m_nid); });
}

void TrayIcon::After(qint32&, QObject*, qint32 uMsg, QEvent* event)
{
    const auto* callback = dynamic_cast<const TrayBackend::CallbackEvent*>(event);
    if (uMsg != CallbackMessage || !callback)
        return;
    resumeNext(lcApp, [&] {
        switch (callback->lParam()) {
        case TrayBackend::RightButtonUp:
            if (m_window)
                m_window->PopupMenu(backend());
            break;
        case TrayBackend::LeftDoubleClick:
            m_app.show();
            break;
        case TrayBackend::LeftButtonUp:
            // Where the tray never reports a double click, the single click is the way back.
            if (!backend().reportsDoubleClick())
                m_app.show();
            break;
        default:
            break;
        }
    });
}

void TrayIcon::Before(bool&, qint32&, QObject*, qint32, QEvent*) {}
