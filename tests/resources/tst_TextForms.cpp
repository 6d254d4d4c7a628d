#include "DateTimes.h"
#include "TextForms.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <cstring>
#include <limits>

using namespace TextForms;

class tst_TextForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void storedFormsReadBackUnderEveryLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << QStringLiteral("C");
        QTest::newRow("en_US") << QStringLiteral("en_US");
        QTest::newRow("de_DE") << QStringLiteral("de_DE");
        QTest::newRow("fr_FR") << QStringLiteral("fr_FR");
    }
    void storedFormsReadBackUnderEveryLocale()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        const QDateTime when = DateTimes::naive(2031, 11, 2, 23, 5, 9);
        const QString dateText = date(when);
        const QString priceText = decimal(1234.5);
        QCOMPARE(dateText, QStringLiteral("2031-11-02 23:05:09"));
        QCOMPARE(priceText, QStringLiteral("1234.5"));

        QLocale::setDefault(QLocale(locale));
        QCOMPARE(readDate(dateText).value(), when);
        QCOMPARE(readDecimal(priceText).value(), 1234.5);
        QCOMPARE(readFlag(flag(true)).value(), true);
        QCOMPARE(readFlag(flag(false)).value(), false);
    }

    // A stored decimal is the shortest text that reads back as the very same number, under every
    // locale: an amount typed with sixteen digits is the same amount after a restart.
    void decimalsAreTheShortestExactText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouping never") << 1234567.25 << QStringLiteral("1234567.25");
        QTest::newRow("sixteen digits") << 0.1234567890123456 << QStringLiteral("0.1234567890123456");
        QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << QStringLiteral("0.30000000000000004");
        QTest::newRow("0.3") << 0.3 << QStringLiteral("0.3");
        QTest::newRow("largest bid") << 1e9 << QStringLiteral("1000000000");
        QTest::newRow("seventeen digits") << 123456789.12345679 << QStringLiteral("123456789.12345679");
        QTest::newRow("negative") << -0.5 << QStringLiteral("-0.5");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("small") << 0.0001 << QStringLiteral("0.0001");
        QTest::newRow("tiny") << 1e-7 << QStringLiteral("1e-07");
        QTest::newRow("huge") << 1e21 << QStringLiteral("1e+21");
        QTest::newRow("huge, many digits")
            << 1.2345678901234567e300 << QStringLiteral("1.2345678901234567e+300");
        QTest::newRow("smallest") << std::numeric_limits<double>::denorm_min() << QStringLiteral("5e-324");
        QTest::newRow("not finite") << std::numeric_limits<double>::infinity() << QStringLiteral("0");
    }
    void decimalsAreTheShortestExactText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        QCOMPARE(decimal(value), text);
        if (!std::isfinite(value))
            return;
        for (const char* locale : {"C", "en_US", "de_DE", "fr_FR"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            const std::optional<double> read = readDecimal(text);
            QVERIFY2(read && std::memcmp(&*read, &value, sizeof value) == 0, locale);
        }
    }

    // A decimal written in a comma-decimal region (an older file, a hand edit) is read as that decimal
    // under every locale, and no digit grouping is ever taken: a grouped reading would make a stored
    // maximum bid a thousand times too large.
    void decimalsReadTheSameUnderEveryLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // NaN: does not read

        const double none = std::numeric_limits<double>::quiet_NaN();
        const QList<std::pair<const char*, double>> cases{
            {"12,125", 12.125},   {"25,5", 25.5},
            {"-0,75", -0.75},     {"1234.5", 1234.5},
            {"1.234", 1.234},     {"0,5e2", 50.0},
            {"1,234.5", none},    {"1.234,5", none},
            {"1,234,567", none},  {"12 125,5", none},
            {"12.125.000", none}, {"1\u202f234,5", none}, // French grouping by a narrow no-break space
        };
        for (const char* locale : {"C", "en_US", "de_DE", "fr_FR"}) {
            for (const auto& [text, value] : cases) {
                QTest::addRow("%s %s", locale, text)
                    << QString::fromLatin1(locale) << QString::fromUtf8(text) << value;
            }
        }
    }
    void decimalsReadTheSameUnderEveryLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(locale));
        const std::optional<double> read = readDecimal(text);
        if (std::isnan(value))
            QVERIFY2(!read, qPrintable(QString::number(read.value_or(0), 'g', 17)));
        else
            QCOMPARE(read.value(), value);
    }

    void regionalFormsAreTheFallBack_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("de_DE four-digit") << QStringLiteral("de_DE") << QStringLiteral("02.11.2031 23:05:09")
                                          << DateTimes::naive(2031, 11, 2, 23, 5, 9);
        // A two-digit year is never read as 19xx when it means this century.
        QTest::newRow("de_DE two-digit") << QStringLiteral("de_DE") << QStringLiteral("02.11.31 23:05:09")
                                         << DateTimes::naive(2031, 11, 2, 23, 5, 9);
        QTest::newRow("en_US with AM/PM")
            << QStringLiteral("en_US") << QStringLiteral("11/2/2031 11:05:09 PM")
            << DateTimes::naive(2031, 11, 2, 23, 5, 9);
        QTest::newRow("date only") << QStringLiteral("en_US") << QStringLiteral("3/15/2006")
                                   << DateTimes::naive(2006, 3, 15);
        // The date chooser writes the short date and a 24-hour time whatever the regional time.
        QTest::newRow("en_US 24-hour") << QStringLiteral("en_US") << QStringLiteral("12/24/2004 15:30:05")
                                       << DateTimes::naive(2004, 12, 24, 15, 30, 5);
        QTest::newRow("de_DE hour without zero")
            << QStringLiteral("de_DE") << QStringLiteral("24.12.2004 0:00:00")
            << DateTimes::naive(2004, 12, 24);
    }
    void regionalFormsAreTheFallBack()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(readDate(text).value(), expected);
    }

    void unreadableTextsGiveNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("words") << QStringLiteral("soon");
        QTest::newRow("half a date") << QStringLiteral("2031-13-45 10:00:00");
        QTest::newRow("number then words") << QStringLiteral("12abc");
    }
    void unreadableTextsGiveNothing()
    {
        QFETCH(QString, text);
        QVERIFY(!readDate(text).has_value());
        QVERIFY(!readDecimal(text).has_value());
        QVERIFY(!readFlag(text).has_value());
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << QStringLiteral("25.5") << 25.5;
        QTest::newRow("leading blanks") << QStringLiteral("   7 bids") << 7.0;
        QTest::newRow("sign") << QStringLiteral("-3.25x") << -3.25;
        QTest::newRow("stops at comma") << QStringLiteral("1,234.50") << 1.0;
        QTest::newRow("point first") << QStringLiteral(".5") << 0.5;
        QTest::newRow("no number") << QStringLiteral("US $12") << 0.0;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("comma decimal is not a decimal") << QStringLiteral("12,5") << 12.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(TextForms::leadingNumber(text), value);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("2.5") << 2.5 << qint64(2);
        QTest::newRow("3.5") << 3.5 << qint64(4);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("2.51") << 2.51 << qint64(3);
        QTest::newRow("-5.5") << -5.5 << qint64(-6);
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, rounded);
        QCOMPARE(TextForms::roundHalfEven(value), rounded);
    }

    void readLong_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<qint32>("value");
        QTest::newRow("plain") << QStringLiteral("-42") << true << qint32(-42);
        QTest::newRow("leading number") << QStringLiteral(" 12abc") << true << qint32(12);
        QTest::newRow("no number") << QStringLiteral("abc") << true << qint32(0);
        QTest::newRow("empty") << QString() << true << qint32(0);
        QTest::newRow("half to even, down") << QStringLiteral("12.5") << true << qint32(12);
        QTest::newRow("half to even, up") << QStringLiteral("13.5") << true << qint32(14);
        QTest::newRow("largest") << QStringLiteral("2147483647") << true << qint32(2147483647);
        QTest::newRow("too large") << QStringLiteral("2147483648") << false << qint32(0);
        QTest::newRow("too small") << QStringLiteral("-2147483649") << false << qint32(0);
    }
    void readLong()
    {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QFETCH(qint32, value);
        const std::optional<qint32> read = TextForms::readLong(text);
        QCOMPARE(read.has_value(), fits);
        if (fits)
            QCOMPARE(*read, value);
    }

    // Stored values are read by a quick path; whatever it reads must be what the general reading gives.
    // What a dialog writes into a number box reads back to the very same value under every locale.
    void typedNumbersReadBackExactly_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        for (const char* locale : {"en_US", "de_DE", "fr_FR", "C"}) {
            const bool comma = QLocale(QString::fromLatin1(locale)).decimalPoint() == QLatin1String(",");
            const auto mark = [comma](QString text) {
                return comma ? text.replace(QLatin1Char('.'), QLatin1Char(',')) : text;
            };
            QTest::addRow("%s 12.5", locale) << locale << 12.5 << -1 << mark(QStringLiteral("12.5"));
            QTest::addRow("%s thousand", locale) << locale << 1000.0 << -1 << QStringLiteral("1000");
            QTest::addRow("%s 12.125", locale) << locale << 12.125 << -1 << mark(QStringLiteral("12.125"));
            QTest::addRow("%s long fraction", locale)
                << locale << 0.1 + 0.2 << -1 << mark(QStringLiteral("0.30000000000000004"));
            QTest::addRow("%s two places", locale)
                << locale << 1234.5 << 2 << mark(QStringLiteral("1234.50"));
            QTest::addRow("%s zero", locale) << locale << 0.0 << -1 << QStringLiteral("0");
        }
    }
    void typedNumbersReadBackExactly()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(typedNumber(value, decimals), text);
        QCOMPARE(readTypedNumber(text).value(), value);
    }

    // Only a text that is wholly one number reads; grouping, and a mark that could be grouping, never do.
    void typedNumbersReadWhollyOrNotAtAll_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // NaN: does not read
        const double no = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("point") << "en_US"
                               << " 12.5 " << 12.5;
        QTest::newRow("sign and exponent") << "en_US"
                                           << "-1e3" << -1000.0;
        QTest::newRow("plus") << "en_US"
                              << "+7" << 7.0;
        QTest::newRow("fraction alone") << "en_US"
                                        << ".5" << 0.5;
        QTest::newRow("trailing point") << "en_US"
                                        << "5." << 5.0;
        QTest::newRow("huge") << "en_US"
                              << "1e308" << 1e308;
        QTest::newRow("beyond double") << "en_US"
                                       << "1e309" << no;
        QTest::newRow("empty") << "en_US"
                               << "" << no;
        QTest::newRow("blank") << "en_US"
                               << "   " << no;
        QTest::newRow("letters after") << "en_US"
                                       << "12abc" << no;
        QTest::newRow("letters") << "en_US"
                                 << "abc" << no;
        QTest::newRow("grouped") << "en_US"
                                 << "1,000" << no;
        QTest::newRow("comma where the point is the mark") << "en_US"
                                                           << "12,50" << no;
        QTest::newRow("two marks") << "en_US"
                                   << "1.2.3" << no;
        QTest::newRow("sign alone") << "en_US"
                                    << "-" << no;
        QTest::newRow("exponent without digits") << "en_US"
                                                 << "1e" << no;
        QTest::newRow("currency") << "en_US"
                                  << "$12" << no;
        QTest::newRow("de comma") << "de_DE"
                                  << "12,5" << 12.5;
        QTest::newRow("de point with two places") << "de_DE"
                                                  << "12.50" << 12.5;
        QTest::newRow("de comma and three places") << "de_DE"
                                                   << "1,000" << 1.0;
        QTest::newRow("de point and three places") << "de_DE"
                                                   << "1.000" << no;
        QTest::newRow("de grouped with decimals") << "de_DE"
                                                  << "1.000,50" << no;
        QTest::newRow("fr blank grouping") << "fr_FR"
                                           << "1 000" << no;
        QTest::newRow("fr comma") << "fr_FR"
                                  << "1,25" << 1.25;
    }
    void typedNumbersReadWhollyOrNotAtAll()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(locale));
        const std::optional<double> read = readTypedNumber(text);
        if (std::isnan(value))
            QVERIFY2(!read, qPrintable(QStringLiteral("read as %1").arg(read.value_or(0))));
        else
            QCOMPARE(read.value_or(std::numeric_limits<double>::quiet_NaN()), value);
    }

    void storedFormsReadAsTheGeneralReadingDoes()
    {
        QRandomGenerator random(20260310);
        const QLocale c = QLocale::c();
        QLocale stored = QLocale::c();
        stored.setNumberOptions(QLocale::RejectGroupSeparator);
        auto digits = [&](int count, int first = '0') {
            QString text;
            for (int i = 0; i < count; ++i)
                text += QChar(
                    char16_t(i == 0 ? first + random.bounded('9' - first + 1) : '0' + random.bounded(10)));
            return text;
        };
        for (int round = 0; round < 20000; ++round) {
            // Dates and times of the stored form, valid or not (month 13, day 31 of February, hour 24).
            const QString day = digits(4, round % 7 ? '1' : '0') + QLatin1Char('-') + digits(2) +
                                QLatin1Char('-') + digits(2);
            const QString time = digits(2) + QLatin1Char(':') + digits(2) + QLatin1Char(':') + digits(2);
            const QDate date = c.toDate(day, QStringLiteral("yyyy-MM-dd"));
            const QTime clock = c.toTime(time, QStringLiteral("HH:mm:ss"));
            if (date.isValid() && clock.isValid())
                QCOMPARE(readDate(day + QLatin1Char(' ') + time).value_or(QDateTime()),
                         DateTimes::naive(date, clock));
            if (date.isValid())
                QCOMPARE(readDate(day).value_or(QDateTime()), DateTimes::naive(date));

            // Decimals and whole numbers, signed or not, leading zeros included.
            const QString sign = random.bounded(3) == 0 ? QStringLiteral("-") : QString();
            const QString whole = sign + digits(1 + random.bounded(12));
            const QString decimal = whole + QLatin1Char('.') + digits(1 + random.bounded(12));
            for (const QString& number : {whole, decimal}) {
                bool ok = false;
                const double expected = stored.toDouble(number, &ok);
                QVERIFY(ok);
                const std::optional<double> read = readDecimal(number);
                QVERIFY(read);
                QCOMPARE(*read, expected);
                QCOMPARE(std::signbit(*read), std::signbit(expected));
            }
            const QString count = sign + digits(1 + random.bounded(9));
            QCOMPARE(
                TextForms::readLong(count),
                std::optional<qint32>(qint32(TextForms::roundHalfEven(TextForms::leadingNumber(count)))));
        }
    }

    void timeArithmetic()
    {
        const QDateTime a = DateTimes::naive(2026, 3, 8, 1, 59, 59);
        const QDateTime b = DateTimes::naive(2026, 3, 8, 3, 0, 1);
        // Naive arithmetic ignores summer-time switches: 1:59:59 to 3:00:01 is an hour and two seconds.
        QCOMPARE(DateTimes::secondsBetween(a, b), qint64(3602));
        QCOMPARE(DateTimes::minutesBetween(a, b), qint64(61));
        QCOMPARE(DateTimes::minutesBetween(DateTimes::naive(2026, 1, 1, 10, 0, 59),
                                           DateTimes::naive(2026, 1, 1, 10, 1, 0)),
                 qint64(1));
        QCOMPARE(
            DateTimes::daysBetween(DateTimes::naive(2026, 1, 1, 23, 59), DateTimes::naive(2026, 1, 2, 0, 1)),
            qint64(1));
        QVERIFY(DateTimes::isZero(DateTimes::zero()));
        QVERIFY(DateTimes::isZero(QDateTime()));
        QVERIFY(!DateTimes::isZero(a));
    }
};

QTEST_GUILESS_MAIN(tst_TextForms)
#include "tst_TextForms.moc"
