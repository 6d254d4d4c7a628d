#include "StopWatch.h"

#include "OrvError.h"
#include "TimeSource.h"

#include <limits>

StopWatch::StopWatch()
{
    Reset();
}

qint32 StopWatch::Elapsed() const
{
    const qint64 elapsed = TimeSource::current().monotonicMs() - m_start;
    if (elapsed > std::numeric_limits<qint32>::max() || elapsed < std::numeric_limits<qint32>::min())
        throw OrvError(ErrOverflow, QStringLiteral("StopWatch::Elapsed"), QStringLiteral("Overflow"));
    return qint32(elapsed);
}

qint32 StopWatch::MaximumResolution() const
{
    return std::numeric_limits<qint32>::max();
}

void StopWatch::Reset()
{
    m_start = TimeSource::current().monotonicMs();
}
