#pragma once

#include <QLoggingCategory>

// Errors that the shared library's procedures pass over.
Q_DECLARE_LOGGING_CATEGORY(lcResources)
