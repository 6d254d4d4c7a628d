#pragma once

#include <functional>

class BrowserWindow;
class Dialer;
class Settings;

// The engine parts that reach beyond the process: the hidden browser window of each bid attempt and
// the dial-up control. Whoever builds the application hands them in: main the real ones, tests fakes.
struct EngineFactories
{
    // A fresh browser window for one attempt, reading its settings when it is made.
    std::function<BrowserWindow*(const Settings& settings)> browserWindow;
    // The dial-up control, made once; the connection watch owns it.
    std::function<Dialer*()> dialer;
};
