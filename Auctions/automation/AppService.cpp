#include "AppService.h"

#include "AppAdaptor.h"
#include "DataFolder.h"
#include "OrvEnums.h"
#include "cApp.h"

AppService::AppService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new AppAdaptor(this);
}

void AppService::attach(cApp& app)
{
    BusService::attach(app);
    m_app = &app;
    connect(&app, &cApp::StateChange, this, &AppService::StateChange);
    connect(&app, &cApp::StatusChange, this, &AppService::StatusChange);
    connect(&app, &cApp::ErrorMessage, this, &AppService::ErrorMessage);
}

void AppService::setSnapshot(std::function<QVariantMap()> snapshot, std::function<bool()> ready)
{
    m_snapshot = std::move(snapshot);
    m_snapshotReady = std::move(ready);
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
    serve([this] {
        // Runs after the reply, so that the client never waits on the shut-down.
        if (m_app)
            QMetaObject::invokeMethod(m_app, &cApp::Quit, Qt::QueuedConnection);
    });
}

void AppService::show()
{
    serve([this] { app().show(); });
}

void AppService::ShowInfo(int eInfo)
{
    serve([this, eInfo] {
        if (eInfo < eViewInfoWelcome || eInfo > eViewInfoLookingAtAuction)
            throw OrvError(OrvError::InvalidArgument, QStringLiteral("App"),
                           QStringLiteral("There is no information page ") + QString::number(eInfo) +
                               QLatin1Char('.'));
        app().ShowInfo(ViewInfoType(eInfo));
    });
}

void AppService::Save()
{
    serve([this] {
        // A failed save leaves its reason in the status line.
        if (!app().Save())
            throw OrvError(OrvError::FileAccess, QStringLiteral("App"), app().Status());
    });
}

QVariantMap AppService::Snapshot()
{
    return serveWhenReady([this] { return !m_snapshotReady || m_snapshotReady(); },
                          [this] { return m_snapshot ? m_snapshot() : QVariantMap(); });
}

QString AppService::DataFolder()
{
    return serve([] { return ::DataFolder::path(); });
}
