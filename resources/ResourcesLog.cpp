#include "ResourcesLog.h"

Q_LOGGING_CATEGORY(lcResources, "orv.resources")
