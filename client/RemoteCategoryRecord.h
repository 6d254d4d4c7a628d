#pragma once

#include "BusCategoryRecord.h"
#include "RemoteAuctionRecord.h"

namespace Remote {

// One category as the main program last reported it: the record as it travels on the bus.
using CategoryRecord = Bus::CategoryRecord;

} // namespace Remote
