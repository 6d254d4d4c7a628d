#include "DebugToolLog.h"

Q_LOGGING_CATEGORY(lcDebugTool, "orv.debugtool")
