#include "BandLog.h"

Q_LOGGING_CATEGORY(lcBand, "orv.band")
