#include "frmAuctions.h"

#include "DialogHost.h"
#include "Settings.h"
#include "TrayBackend.h"
#include "cApp.h"

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
    raise();
    activateWindow();
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
    // area a hidden program could neither be seen nor ended, so the close ends it.
    event->ignore();
    if (m_app->Settings().MinOnClose && m_app->dialogHost().trayBackend().isAvailable())
        m_app->hide();
    else
        m_app->Quit();
}
