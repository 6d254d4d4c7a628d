#include "EngineLog.h"

Q_LOGGING_CATEGORY(lcPage, "orv.engine.page")
Q_LOGGING_CATEGORY(lcBid, "orv.engine.bid")
Q_LOGGING_CATEGORY(lcNet, "orv.engine.net")
