#include "RemoteLog.h"

Q_LOGGING_CATEGORY(lcClient, "orv.client")
