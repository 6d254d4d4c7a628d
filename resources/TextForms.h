#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// The one place where dates, numbers and flags become text and back. Stored values are written in a
// locale-independent form (dates "yyyy-MM-dd HH:mm:ss", decimals with a point, no grouping) and read in
// that form first and in the user's regional form second, so a file written under one locale reads
// back identically under another. Years always have four digits.
namespace TextForms {

QString flag(bool value); // "True" / "False"
// "True"/"False" in any case, or a number (non-zero is true); anything else gives nullopt.
std::optional<bool> readFlag(const QString& text);

QString whole(qint64 value);
QString decimal(double value); // the shortest text that reads back exactly, point, no grouping
// A decimal in a web address: at most 15 significant digits, point, no grouping ("0.3" for 0.1 + 0.2).
QString addressDecimal(double value);
QString date(const QDateTime& value); // "yyyy-MM-dd HH:mm:ss" of the naive date-time

// The whole text (trimmed) as a number: the stored form first, then a comma without a point as the
// decimal mark, then the regional form; never with digit grouping.
std::optional<double> readDecimal(const QString& text);
// A naive date-time: the stored form, then "yyyy-MM-dd", then the regional short date followed by the
// regional long or short time or by "H:mm:ss" (a two-digit year is the one within fifty years of today),
// then "M/d/yyyy h:mm:ss AP".
std::optional<QDateTime> readDate(const QString& text);

// The leading-number rule for typed and scraped numbers: leading blanks are skipped, then an optional
// sign, digits and a point decimal are taken as far as they go; text that does not begin with a number
// reads as 0.
double leadingNumber(const QString& text);
// Rounds to the nearest whole number, halves to even.
qint64 roundHalfEven(double value);
// A stored 32-bit whole number: the leading number of the text, halves to even ("12abc" is 12, text
// without a number is 0); nothing when it does not fit 32 bits.
std::optional<qint32> readLong(const QString& text);

// Display forms for lists and windows, in the user's regional format. The general date text is the
// short date (with a four-digit year) and the long time (without a zone): the date alone at midnight,
// the time alone for the zero date.
QString generalDate(const QDateTime& value);
// Two decimals with the regional separator and no grouping ("0.00").
QString twoDecimals(double value);
// A number as it stands, with the regional separator, no grouping and no trailing zeros ("7.5").
QString plainNumber(double value);
// The regional short date with a four-digit year; readDate reads it back, alone or followed by a blank
// and a time "H:mm:ss".
QString shortDate(const QDate& value);
// The time left from `now` to `endTime`: "N/A" when the end is not known, "OVER" once it has passed,
// "<d> Days +" from a day on, else "00:hh:mm:ss".
QString timeLeft(const QDateTime& endTime, const QDateTime& now);
// The full month name and the year in the user's language ("December 2004").
QString monthAndYear(const QDate& value);

// A number in a dialog's box: ASCII digits, the regional decimal mark, no grouping; `decimals` fixed
// places, or (-1) as many as it takes for readTypedNumber to give back exactly `value`.
QString typedNumber(double value, int decimals = -1);
// A number typed into a dialog's box: the whole text (trimmed) is an optional sign, digits with at most
// one decimal mark (a point or the regional mark) and an optional exponent. Nothing for an empty text,
// for anything else ("12abc"), for digit grouping ("1,000" where the comma groups thousands) and for a
// mark that could group thousands ("1.000" where the point does), so a typed amount is never misread.
std::optional<double> readTypedNumber(const QString& text);

} // namespace TextForms
