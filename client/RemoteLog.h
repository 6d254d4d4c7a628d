#pragma once

#include <QLoggingCategory>

// The client library's log ("orv.client").
Q_DECLARE_LOGGING_CATEGORY(lcClient)
