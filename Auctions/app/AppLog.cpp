#include "AppLog.h"

Q_LOGGING_CATEGORY(lcApp, "orv.app")
