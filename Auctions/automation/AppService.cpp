#include "AppService.h"

#include "BusGate.h"
#include "OrvEnums.h"
#include "cApp.h"

AppService::AppService(BusGate& gate, QObject* parent) : QObject(parent), m_gate(gate) {}

void AppService::attach(cApp& app)
{
    m_app = &app;
    connect(&app, &cApp::StateChange, this, &AppService::StateChange);
    connect(&app, &cApp::StatusChange, this, &AppService::StatusChange);
    connect(&app, &cApp::ErrorMessage, this, &AppService::ErrorMessage);
}

int AppService::State() const
{
    return m_app ? int(m_app->State()) : int(AppNoState);
}

QString AppService::Status() const
{
    return m_app ? m_app->Status() : QString();
}

void AppService::Quit()
{
    const auto quit = [this] {
        // Runs after the reply, so that the client never waits on the shut-down.
        if (m_app)
            QMetaObject::invokeMethod(m_app, &cApp::Quit, Qt::QueuedConnection);
        return QVariantList();
    };
    if (!m_gate.hold(*this, quit))
        quit();
}
