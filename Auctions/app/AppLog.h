#pragma once

#include <QLoggingCategory>

// The application shell's log: start-up, hand-over, tray and shut-down.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
