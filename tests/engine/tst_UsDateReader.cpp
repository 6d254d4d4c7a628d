#include "DateTimes.h"
#include "FakeTimeSource.h"
#include "UsDateReader.h"

#include <QTest>

class tst_UsDateReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected"); // the zero date: does not read

        const QDateTime zero = DateTimes::zero();
        const auto at = [](int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
            return DateTimes::naive(y, mo, d, h, mi, s);
        };
        // The item page's layouts, read from the upper-cased page.
        QTest::newRow("MMM-dd-yy upper case") << "MAR-15-06 10:00:00" << at(2006, 3, 15, 10);
        QTest::newRow("MMM-dd-yyyy") << "Dec-01-2005 23:59:59" << at(2005, 12, 1, 23, 59, 59);
        QTest::newRow("every month, upper case") << "SEP-30-07 00:00:01" << at(2007, 9, 30, 0, 0, 1);
        QTest::newRow("full month name") << "SEPTEMBER 3, 2006" << at(2006, 9, 3);
        QTest::newRow("Sept") << "Sept 3 2006 1:02:03" << at(2006, 9, 3, 1, 2, 3);
        // The time page, with its commas and points removed, and as it stands.
        QTest::newRow("MMM d yyyy") << "MAR 15 2006 18:12:34" << at(2006, 3, 15, 18, 12, 34);
        QTest::newRow("MMM. d, yyyy time") << "Mar. 15, 2006 18:12:34" << at(2006, 3, 15, 18, 12, 34);
        QTest::newRow("weekday first") << "Wed, Mar 15, 2006 18:12" << at(2006, 3, 15, 18, 12);
        QTest::newRow("day first") << "15-Mar-2006 10:00" << at(2006, 3, 15, 10);
        QTest::newRow("numbers, PM") << "03/15/2006 10:00:00 PM" << at(2006, 3, 15, 22);
        QTest::newRow("numbers, 12 AM") << "3/5/06 12:30 am" << at(2006, 3, 5, 0, 30);
        QTest::newRow("numbers, 12 PM") << "3/5/2006 12:30:15 PM" << at(2006, 3, 5, 12, 30, 15);
        QTest::newRow("numbers, date only") << "12/31/1999" << at(1999, 12, 31);
        QTest::newRow("year first") << "2006-03-15 10:00:00" << at(2006, 3, 15, 10);
        QTest::newRow("blanks around") << "  MAR-15-06 10:00:00  " << at(2006, 3, 15, 10);
        QTest::newRow("leap day") << "FEB-29-08" << at(2008, 2, 29);
        // What does not name a date and time reads as the zero date.
        QTest::newRow("empty") << "" << zero;
        QTest::newRow("words") << "ENDS SOON" << zero;
        QTest::newRow("time zone left on") << "MAR-15-06 10:00:00 PST" << zero;
        QTest::newRow("time alone") << "10:00:00" << zero;
        QTest::newRow("no such day") << "FEB-30-06 10:00:00" << zero;
        QTest::newRow("not a leap year") << "FEB-29-07" << zero;
        QTest::newRow("month 13") << "13/01/2006" << zero;
        QTest::newRow("day first numbers") << "15/03/2006" << zero;
        QTest::newRow("hour 24") << "MAR-15-06 24:00:00" << zero;
        QTest::newRow("minute 60") << "MAR-15-06 10:60:00" << zero;
        QTest::newRow("13 PM") << "3/5/2006 13:00 PM" << zero;
        QTest::newRow("mixed separators") << "3/5-2006" << zero;
        QTest::newRow("three-digit day") << "MAR-150-06" << zero;
        QTest::newRow("trailing words") << "MAR-15-06 10:00:00 and more" << zero;
        QTest::newRow("long text") << QString(200, QLatin1Char(' ')) + "MAR-15-06" +
                                          QString(2000, QLatin1Char('x'))
                                   << zero;
    }

    void reads()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        QCOMPARE(UsDateReader::read(text), expected);
    }

    // A two-digit year is the one within fifty years of today: from 49 years before to 50 after.
    void twoDigitYearsFallWithinFiftyYearsOfToday_data()
    {
        QTest::addColumn<int>("thisYear");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("year");
        const QList<std::tuple<int, const char*, int>> rows{
            {2026, "JAN-02-06", 2006}, {2026, "1/2/00", 2000},    {2026, "JAN-02-76", 2076},
            {2026, "JAN-02-77", 1977}, {2029, "JAN-02-29", 2029}, {2029, "JAN-02-30", 2030},
            {2029, "JAN-02-79", 2079}, {2029, "JAN-02-80", 1980}, {2030, "JAN-02-30", 2030},
            {2030, "JAN-02-80", 2080}, {2030, "JAN-02-81", 1981}, {2031, "JAN-02-30", 2030},
            {2031, "1/2/31", 2031},    {2031, "JAN-02-82", 1982}, {2099, "JAN-02-01", 2101},
        };
        for (const auto& [thisYear, text, year] : rows)
            QTest::addRow("%d: %s", thisYear, text) << thisYear << QString::fromLatin1(text) << year;
    }
    void twoDigitYearsFallWithinFiftyYearsOfToday()
    {
        QFETCH(int, thisYear);
        QFETCH(QString, text);
        QFETCH(int, year);
        FakeTimeSource clock(DateTimes::naive(thisYear, 12, 31, 23, 59, 59));
        QCOMPARE(UsDateReader::read(text), DateTimes::naive(year, 1, 2));
        // A time reading is dated by the time it is read near.
        FakeTimeSource elsewhere(DateTimes::naive(1990, 1, 1));
        QCOMPARE(UsDateReader::read(text, DateTimes::naive(thisYear, 1, 1)), DateTimes::naive(year, 1, 2));
    }

    void readsLikeThisWhateverTheLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QDateTime read = UsDateReader::read(u"MAY-03-06 10:00:00");
        QLocale::setDefault(before);
        QCOMPARE(read, DateTimes::naive(2006, 5, 3, 10));
    }

    void aTextWithoutYearTakesTheCurrentYear()
    {
        FakeTimeSource clock(DateTimes::naive(2031, 6, 1, 12));
        QCOMPARE(UsDateReader::read(u"MAR 15 18:12:34"), DateTimes::naive(2031, 3, 15, 18, 12, 34));
    }

    void aTextWithoutYearTakesTheYearNearestToAGivenTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("near");
        QTest::addColumn<QDateTime>("expected");

        const auto at = [](int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
            return DateTimes::naive(y, mo, d, h, mi, s);
        };
        QTest::newRow("same year") << "JUL 4 10:00:00" << at(2026, 7, 4, 9) << at(2026, 7, 4, 10);
        QTest::newRow("last year's December")
            << "DEC 31 23:59:59" << at(2027, 1, 1) << at(2026, 12, 31, 23, 59, 59);
        QTest::newRow("next year's January")
            << "JAN 1 00:00:01" << at(2026, 12, 31, 23) << at(2027, 1, 1, 0, 0, 1);
        QTest::newRow("leap day of the year before") << "FEB 29" << at(2025, 1, 10) << at(2024, 2, 29);
        QTest::newRow("no leap day within a year") << "FEB 29" << at(2026, 6, 1) << DateTimes::zero();
        QTest::newRow("a year written is kept")
            << "DEC 31 2026 23:00:00" << at(2031, 1, 1) << at(2026, 12, 31, 23);
    }
    void aTextWithoutYearTakesTheYearNearestToAGivenTime()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, near);
        QFETCH(QDateTime, expected);
        FakeTimeSource clock(DateTimes::naive(2040, 6, 1, 12)); // the local year plays no part
        QCOMPARE(UsDateReader::read(text, near), expected);
    }
};

QTEST_GUILESS_MAIN(tst_UsDateReader)
#include "tst_UsDateReader.moc"
