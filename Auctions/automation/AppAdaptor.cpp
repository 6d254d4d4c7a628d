#include "AppAdaptor.h"

#include "cApp.h"

AppAdaptor::AppAdaptor(cApp& app) : QDBusAbstractAdaptor(&app), m_app(app)
{
    connect(&app, &cApp::StateChange, this, &AppAdaptor::StateChange);
    connect(&app, &cApp::StatusChange, this, &AppAdaptor::StatusChange);
    connect(&app, &cApp::ErrorMessage, this, &AppAdaptor::ErrorMessage);
}

int AppAdaptor::State() const
{
    return m_app.State();
}

QString AppAdaptor::Status() const
{
    return m_app.Status();
}

void AppAdaptor::Quit()
{
    // Runs after the reply, so that the client never waits on the shut-down.
    QMetaObject::invokeMethod(&m_app, &cApp::Quit, Qt::QueuedConnection);
}
