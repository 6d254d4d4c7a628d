#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

// A client's hold on the main program: while it is held, the program refuses to shut down. The hold
// ends with ReleaseHold, with this object, or with the client's connection to the bus.
class UnloaderClient : public QObject
{
    Q_OBJECT
public:
    // The main program on the session bus.
    explicit UnloaderClient(QObject* parent = nullptr);
    // The Unloader of `service` on `bus`.
    UnloaderClient(const QDBusConnection& bus, const QString& service, QObject* parent = nullptr);
    ~UnloaderClient() override;

    // Asks the program for a hold without waiting on it (a client's window must not freeze while the
    // program starts): HoldChanged tells the answer.
    void RegisterHold();
    void ReleaseHold();

Q_SIGNALS:
    // The program took the hold (true) or refused it (false).
    void HoldChanged(bool held);
    // The program asks whether it may end (false) or tells that it ends now (true).
    void Unloading(bool bValue);

private Q_SLOTS:
    void onUnloading(bool bValue);

private:
    QDBusConnection m_bus;
    QString m_service;
    bool m_held = false;
    bool m_pending = false;
};
