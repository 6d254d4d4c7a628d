#pragma once

#include <QDateTime>
#include <QStringView>

// Reads the dates that web pages write in United States English, whatever the user's own locale:
// month names (full or abbreviated, any letter case) as in "MAR-15-06 10:00:00", "Mar 15, 2006 18:12:34",
// "15 March 2006", or numbers month first as in "03/15/2006 10:00 PM", or "2006-03-15 10:00:00". The time
// is optional, with or without seconds and AM/PM. A two-digit year is the one within fifty years of
// today; a text without a year takes the current local year.
namespace UsDateReader {

// The naive date-time that `text` names, or the zero date when it names none.
QDateTime read(QStringView text);
// The same, except that "today" is `near`, and a text without a year takes the year (the one of `near`,
// the one before or the one after) that puts it nearest to it: a reading taken around New Year keeps its
// own year.
QDateTime read(QStringView text, const QDateTime& near);

} // namespace UsDateReader
