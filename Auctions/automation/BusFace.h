#pragma once

#include "BusGate.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

class AppService;
class AuctionsService;
class BidManagerService;
class BusService;
class CategorysService;
class ClockService;
class HandOverReceiver;
class SettingsService;
class UpdatersService;
class UnloaderService;
class cApp;

// The program's objects on the session bus (the hand-over mailbox, the application, its model and
// engine objects, the Unloader) and its name there. The objects are in place before the name is claimed and
// hold their calls until the program has loaded; meanwhile a second name says that the program is still
// starting, so that a second start waits for its answer instead of taking a busy instance for a hung one.
class BusFace : public QObject
{
    Q_OBJECT
public:
    explicit BusFace(const QDBusConnection& bus, QObject* parent = nullptr);
    // Takes the objects off the bus and gives the names back.
    ~BusFace() override;

    // Puts the objects on the bus and claims the program's name; false when another instance owns the
    // name (the objects are then taken off again).
    bool claim();
    // The application the objects stand for, once it exists.
    void attach(cApp& app);
    // Answers the calls held so far; the program is no longer starting.
    void open();

    // True while the owner of the program's name has not finished starting.
    static bool isStarting(const QDBusConnection& bus);

private:
    void release();
    void giveBack(const QString& name);

    QDBusConnection m_bus;
    BusGate m_gate;
    HandOverReceiver* m_handOver;
    AppService* m_app;
    AuctionsService* m_auctions;
    CategorysService* m_categorys;
    SettingsService* m_settings;
    ClockService* m_clock;
    BidManagerService* m_bidManager;
    UpdatersService* m_updaters;
    BusService* m_netManager;
    BusService* m_updater;
    UnloaderService* m_unloader;
    QStringList m_paths;
    QStringList m_names;
};
