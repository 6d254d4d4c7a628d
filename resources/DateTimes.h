#pragma once

#include <QDateTime>

// Site and local times are naive date-times: a QDateTime in Qt::UTC used only as a container, so that
// arithmetic never jumps at a summer-time switch. The zero date 1899-12-30 00:00 means "unknown".
namespace DateTimes {

QDateTime zero();
QDateTime naive(const QDate& date, const QTime& time = QTime(0, 0));
QDateTime naive(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// Any date-time (local, UTC or naive) re-labelled as naive with the same wall-clock fields.
QDateTime asNaive(const QDateTime& value);

// The form a date takes between processes: seconds since 1970-01-01 00:00 of the naive date-time (an
// invalid one counts as the zero date), and back.
qint64 toSeconds(const QDateTime& value);
QDateTime fromSeconds(qint64 seconds);

// Invalid values and values at or before the zero date count as the zero date.
bool isZero(const QDateTime& value);

QDateTime truncatedToSecond(const QDateTime& value);
// Whole seconds, whole minutes (minute boundaries crossed) and calendar days (midnights crossed) from
// `from` to `to`; negative when `to` is earlier.
qint64 secondsBetween(const QDateTime& from, const QDateTime& to);
qint64 minutesBetween(const QDateTime& from, const QDateTime& to);
qint64 daysBetween(const QDateTime& from, const QDateTime& to);

// The year that two digits name within fifty years of `thisYear`: from 49 years before it to 50 after
// (in 2026 "30" is 2030 and "77" is 1977).
int yearWithinFifty(int twoDigits, int thisYear);

} // namespace DateTimes
