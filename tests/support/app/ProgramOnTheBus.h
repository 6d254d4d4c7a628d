#pragma once

#include "BusFace.h"
#include "FakeEngine.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "cApp.h"

#include <QDBusConnection>

// The program's model and its face on the bus in the test's own process, on a data folder of the test's
// own: start() claims the name, loads the state file and opens the gate, as the program's start does.
struct ProgramOnTheBus
{
    explicit ProgramOnTheBus(const QDBusConnection& bus = QDBusConnection::sessionBus()) : face(bus) {}

    // False when the name could not be claimed.
    bool start()
    {
        if (!face.claim())
            return false;
        face.attach(app);
        app.Load();
        app.hide();
        face.open();
        return true;
    }

    TestDataFolder data;
    BusFace face;
    RecordingShellHost host;
    RecordingMessageBoxSink boxes;
    FakeEngine engine;
    cApp app{host, boxes, engine.factories()};
};
