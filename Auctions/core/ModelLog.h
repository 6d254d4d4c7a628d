#pragma once

#include <QLoggingCategory>

// The model's log: auctions, categories, columns, settings, site clock and the state file.
Q_DECLARE_LOGGING_CATEGORY(lcModel)
