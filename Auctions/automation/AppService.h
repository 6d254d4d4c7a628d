#pragma once

#include <QDBusContext>
#include <QObject>
#include <QPointer>

class BusGate;
class cApp;

// What clients on the session bus see of the application object. It is on the bus before the
// application exists; until then (and until the gate opens) calls wait, and the properties read
// AppNoState and an empty status.
class AppService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.auctionorv.ORVAuctions.App")
    Q_PROPERTY(int State READ State)
    Q_PROPERTY(QString Status READ Status)
public:
    explicit AppService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app);

    int State() const;
    QString Status() const;

public Q_SLOTS:
    void Quit();

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& Status);
    void ErrorMessage(const QString& sMessage);

private:
    BusGate& m_gate;
    QPointer<cApp> m_app;
};
