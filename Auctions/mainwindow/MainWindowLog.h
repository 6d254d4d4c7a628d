#pragma once

#include <QLoggingCategory>

// Errors of the main window, the auction list and the date chooser that are passed over.
Q_DECLARE_LOGGING_CATEGORY(lcMainWindow)
