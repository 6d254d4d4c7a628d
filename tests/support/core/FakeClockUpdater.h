#pragma once

#include "DateTimes.h"
#include "IClockUpdater.h"
#include "OrvEnums.h"

// Stands in for the clock's synchronisation worker: records requests and reports whatever a test tells it.
class FakeClockUpdater : public IClockUpdater
{
public:
    void Download() override { ++downloads; }
    void Cancel() override { ++cancels; }
    QDateTime Time() const override { return utc; }
    void report(sfRunState state) { Q_EMIT StateChanged(state); }

    int downloads = 0;
    int cancels = 0;
    QDateTime utc = DateTimes::zero();
};
