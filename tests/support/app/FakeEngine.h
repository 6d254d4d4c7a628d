#pragma once

#include "EngineFactories.h"
#include "FakeDialer.h"
#include "ScriptedBrowser.h"
#include "frmBrowser.h"

#include <QPointer>

// The engine parts of an application under test, in place of the program's own: browser windows that
// the test drives by hand and a dial-up control that records its dials. It must outlive the application.
class FakeEngine
{
public:
    EngineFactories factories()
    {
        return {[this](const Settings&) { return browsers.factory()(); },
                [this]() -> Dialer* {
                    dialer = new FakeDialer;
                    return dialer;
                }};
    }
    // The program's own browser windows with the recording dial-up control, for whole snipes against a
    // fake site.
    EngineFactories factoriesWithRealBrowsers()
    {
        EngineFactories real = factories();
        real.browserWindow = [](const Settings& settings) { return new frmBrowser(settings); };
        return real;
    }

    ScriptedBrowsers browsers;
    QPointer<FakeDialer> dialer; // made by the application, owned by its connection watch
};
