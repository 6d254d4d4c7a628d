#pragma once

#include "BusAuctionRecord.h"
#include "RemoteEnums.h"

namespace Remote {

// One auction as the main program last reported it: the record as it travels on the bus.
using AuctionRecord = Bus::AuctionRecord;

} // namespace Remote
