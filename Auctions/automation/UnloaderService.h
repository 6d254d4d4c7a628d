#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QObject>

class BusGate;
class Unloader;

// The Unloader on the session bus. A client that holds the program open registers a hold; while any
// hold is alive, every shut-down question is refused. A hold ends when its client releases it or when
// the client's connection goes, crashed or not. Each question is also sent to the clients as Unloading.
// The program never calls into a client, so no client can stall it.
class UnloaderService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.auctionorv.ORVAuctions.Unloader")
public:
    UnloaderService(Unloader& unloader, const QDBusConnection& bus, QObject* parent = nullptr);
    // On the bus before the application (and its Unloader) exists: calls wait at `gate`, when given,
    // until it opens.
    UnloaderService(const QDBusConnection& bus, BusGate* gate, QObject* parent = nullptr);

    void attach(Unloader& unloader);
    int holdCount() const;

public Q_SLOTS:
    void RegisterHold();
    void ReleaseHold();

Q_SIGNALS:
    void Unloading(bool bValue);

private:
    void addHold(const QString& holder);
    void releaseHold(const QString& holder);
    void onUnloading(bool bValue);
    void dropHolder(const QString& name);
    void dropHolderIfGone(const QString& name);

    Unloader* m_unloader = nullptr;
    BusGate* m_gate = nullptr;
    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    QHash<QString, int> m_holds;
};
