#pragma once

#include <QLoggingCategory>

// Errors of the debug package tool that are passed over.
Q_DECLARE_LOGGING_CATEGORY(lcDebugTool)
