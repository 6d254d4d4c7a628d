#include "frmAuctions.h"

#include "Settings.h"
#include "ShellHost.h"
#include "TrayBackend.h"
#include "cApp.h"
#include "cGlobal.h"

#include <QCloseEvent>
#include <QStatusBar>

frmAuctions::frmAuctions(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Auction Orv"));
    resize(800, 500);
}

void frmAuctions::View(cApp& app)
{
    if (m_app)
        disconnect(m_app, nullptr, this, nullptr);
    m_app = &app;
    connect(&app, &cApp::StatusChange, this, [this](const QString& text) { statusBar()->showMessage(text); });
    statusBar()->showMessage(app.Status());
    show();
    cGlobal::fnShowWindow(this);
}

void frmAuctions::closeByProgram()
{
    m_closingByProgram = true;
    close();
    m_closingByProgram = false;
}

void frmAuctions::closeEvent(QCloseEvent* event)
{
    if (m_closingByProgram || !m_app || m_app->State() == AppShuttingDown) {
        event->accept();
        return;
    }
    // The user's close: to the notification area, or the end of the program. Without a notification
    // area a hidden program could neither be seen nor ended, so the close ends it. The window closes
    // with this event (a close asked for from inside it would do nothing), unless an Exit was refused.
    if (m_app->Settings().MinOnClose && m_app->dialogHost().trayBackend().isAvailable())
        m_app->hide();
    else
        m_app->Quit();
    event->setAccepted(m_app->State() == AppHidden || m_app->State() == AppShuttingDown);
}
