#pragma once

#include <QtGlobal>

// Milliseconds since creation or the last Reset, on the monotonic clock of TimeSource (so a wall
// clock change never moves it, and tests can drive it).
class StopWatch
{
public:
    static constexpr qint32 ErrOverflow = 6;

    StopWatch();

    // Throws OrvError ErrOverflow once the count no longer fits 32 bits (after about 24.8 days).
    qint32 Elapsed() const;
    // The finest and coarsest periods the watch can time, in milliseconds.
    qint32 MinimumResolution() const { return 1; }
    qint32 MaximumResolution() const;
    void Reset();

private:
    qint64 m_start = 0;
};
