#include "frmTrayIcon.h"

#include "AppLog.h"
#include "BidManager.h"
#include "MessageBoxSink.h"
#include "ResumeNext.h"
#include "ShellHost.h"
#include "cApp.h"

namespace {

const QString productName = QStringLiteral("Auction Orv");
const QString separator = QStringLiteral("-");
// A box of a tray window is open; shared, since a window unloaded under its box may be loaded anew.
bool boxOpen = false;

} // namespace

frmTrayIcon::frmTrayIcon(cApp& app, QObject* parent) : QObject(parent), m_app(app)
{
    // The caption by which a second start found this window; kept as the object's name.
    setObjectName(QStringLiteral("{EF98FE83-28A9-4238-8AF6-8C868F403DC1}"));
    m_mnuPopup = {
        {QStringLiteral("mnuPopupShow"), QStringLiteral("&Show ") + productName},
        {QStringLiteral("mnuPopupDash"), separator},
        {QStringLiteral("mnuPopupPause"), QStringLiteral("&Pause Bid Watching")},
        {QStringLiteral("mnuPopupDash2"), separator},
        {QStringLiteral("mnuPopupExit"), QStringLiteral("E&xit")},
        {QStringLiteral("mnuTestActivate"), QStringLiteral("Test Activate"), false, false},
    };
    resumeNext(lcApp, [&] { refreshPauseCheck(); });

    m_tmrShow.setObjectName(QStringLiteral("tmrShow"));
    m_tmrShow.setSingleShot(true);
    m_tmrShow.setInterval(ShowDelayMs);
    connect(&m_tmrShow, &QTimer::timeout, this, [this] { resumeNext(lcApp, [&] { m_app.show(); }); });
    m_tmrQuit.setObjectName(QStringLiteral("tmrQuit"));
    m_tmrQuit.setSingleShot(true);
    m_tmrQuit.setInterval(QuitDelayMs);
    connect(&m_tmrQuit, &QTimer::timeout, this, [this] { resumeNext(lcApp, [&] { m_app.Quit(); }); });

    // With no main window open, a refused Exit or a failed save would otherwise go unseen. Queued: the
    // box waits for a click, and a caller over the bus gets its answer first.
    connect(
        &app, &cApp::ErrorMessage, this,
        [this](const QString& sMessage) { showBox(QStringLiteral("Application Error"), sMessage); },
        Qt::QueuedConnection);
    connect(
        &app, &cApp::saveFailed, this,
        [this](const QString& text) { showBox(QStringLiteral("Save Error"), text); }, Qt::QueuedConnection);
}

void frmTrayIcon::showBox(const QString& title, const QString& text)
{
    // One box at a time: the heartbeat, the bus and the menu go on while it is open, and may fail again.
    // None at shut-down, which must not wait for a click.
    if (boxOpen || m_app.State() == AppShuttingDown || m_app.dialogHost().isMainWindowOpen())
        return;
    boxOpen = true;
    MessageBoxSink& boxes = m_app.messageBoxes();
    resumeNext(lcApp, [&] { boxes.show(MessageBoxSink::Exclamation, title, text); });
    boxOpen = false;
}

void frmTrayIcon::setTxtMsg(const QString& text)
{
    if (text == m_txtMsg)
        return;
    m_txtMsg = text;
    // A burst of requests keeps the first timer running, so the window is shown once.
    if (m_txtMsg == QLatin1String("Show") && !m_tmrShow.isActive())
        m_tmrShow.start();
    setTxtMsg(QString());
}

void frmTrayIcon::refreshPauseCheck()
{
    m_mnuPopup[PauseEntry].checked = m_app.BidManager().Paused();
}

void frmTrayIcon::mnuClick(const QString& name)
{
    resumeNext(lcApp, [&] {
        if (name == QLatin1String("mnuPopupShow")) {
            m_app.show();
        } else if (name == QLatin1String("mnuPopupPause")) {
            ::BidManager& bidManager = m_app.BidManager();
            bidManager.setPaused(!bidManager.Paused());
            refreshPauseCheck();
        } else if (name == QLatin1String("mnuPopupExit")) {
            m_tmrQuit.start();
        } else if (name == QLatin1String("mnuTestActivate")) {
            Q_EMIT testActivateRequested();
        }
    });
}

void frmTrayIcon::PopupMenu(TrayBackend& backend)
{
    // The bid manager may have been paused elsewhere since the last click: the check mark shows it now.
    resumeNext(lcApp, [&] { refreshPauseCheck(); });
    const QPointer<frmTrayIcon> self(this);
    backend.PopupMenu(m_mnuPopup, [self](const QString& name) {
        if (self)
            self->mnuClick(name);
    });
}

void frmTrayIcon::Unload()
{
    m_tmrShow.stop();
    m_tmrQuit.stop();
    disconnect(&m_app, nullptr, this, nullptr);
    deleteLater();
}
