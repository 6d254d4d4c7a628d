#pragma once

#include "OrvEnums.h"

#include <QPointer>
#include <functional>

class MessageBoxSink;
class Settings;
class cApp;

// What the editing dialogs use of the application besides the records they edit: the settings, the
// message boxes, and the application's own steps that a save takes. Tests hand in their own steps to
// see which run and in what order.
struct DialogServices
{
    QPointer<::Settings> settings;
    MessageBoxSink* messageBoxes = nullptr;
    // Writes the state file.
    std::function<void()> save;
    // Lets the bid manager look at the snipes again.
    std::function<void()> refreshBids;
    // Opens the information window on one of its pages.
    std::function<void(ViewInfoType)> showInfo;
    // Starts a synchronisation of the site clock.
    std::function<void()> syncClock;

    // The application's own.
    static DialogServices of(cApp& app);
};
