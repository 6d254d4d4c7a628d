#pragma once

#include "BusService.h"

#include <QVariantMap>
#include <functional>

// What clients on the session bus see of the application object. It is on the bus before the
// application exists; until then (and until the gate opens) calls wait, and the properties read
// AppNoState and an empty status.
class AppService : public BusService
{
    Q_OBJECT
    Q_PROPERTY(int State READ State)
    Q_PROPERTY(QString Status READ Status)
public:
    explicit AppService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app) override;
    // What Snapshot answers: everything a client binds to; `ready` does a bounded piece of the work it
    // needs and says whether it can be given at once.
    void setSnapshot(std::function<QVariantMap()> snapshot, std::function<bool()> ready);

    int State() const;
    QString Status() const;

public Q_SLOTS:
    void Quit();
    void show();
    void ShowInfo(int eInfo);
    void Save();
    QVariantMap Snapshot();
    QString DataFolder();

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& Status);
    void ErrorMessage(const QString& sMessage);

private:
    QPointer<cApp> m_app;
    std::function<QVariantMap()> m_snapshot;
    std::function<bool()> m_snapshotReady;
};
