#pragma once

#include "TimeSource.h"

#include <QTimeZone>

// A clock that tests set and advance by hand. Installs itself for its lifetime.
class FakeTimeSource : public TimeSource
{
public:
    explicit FakeTimeSource(QDateTime localNow = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC),
                            int biasMinutes = 0, int summerMinutes = 0);
    ~FakeTimeSource() override;

    QDateTime localNow() const override { return m_localNow; }
    // UTC = local + bias - summer shift.
    QDateTime utcNow() const override { return m_localNow.addSecs(60LL * (m_bias - m_summer)); }
    int biasMinutes() const override { return m_bias; }
    int summerMinutes() const override { return m_summer; }
    qint64 monotonicMs() const override { return m_monotonicMs; }

    void setLocalNow(const QDateTime& value) { m_localNow = value; }
    void setBias(int minutes) { m_bias = minutes; }
    void setSummer(int minutes) { m_summer = minutes; }
    // Puts the clock at `utc` as a PC in `zone` shows it: local time, standard bias and the summer
    // shift in force at that instant.
    void setUtcNowIn(const QTimeZone& zone, const QDateTime& utc);
    // Moves local time and the monotonic clock on together.
    void advanceSeconds(qint64 seconds);
    void advanceMs(qint64 ms);

private:
    QDateTime m_localNow;
    int m_bias;
    int m_summer;
    qint64 m_monotonicMs = 1'000'000;
    qint64 m_subSecondMs = 0;
};
