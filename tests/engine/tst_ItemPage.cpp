#include "AuctionsEvents.h"
#include "CaughtError.h"
#include "DateTimes.h"
#include "FakeSite.h"
#include "FakeTimeSource.h"
#include "ItemPage.h"
#include "OrvError.h"
#include "TextForms.h"
#include "Updater.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

struct Fields
{
    QString description;
    QDateTime endTime;
    QDateTime startTime;
    double price = 0;
    QString currency;
    qint32 quantity = 0;
    qint32 bids = 0;
    QString highBidder;
    QString seller;

    static Fields of(const Auction& a)
    {
        return {a.Description, a.EndTime, a.StartTime,  a.Price, a.CurrencyTxt,
                a.Quantity,    a.Bids,    a.HighBidder, a.Seller};
    }
    bool operator==(const Fields&) const = default;
};
Q_DECLARE_METATYPE(Fields)

// How an item page is read into an auction: the fields, what a missing or unreadable label leaves
// alone, and which pages it refuses.
class tst_ItemPage : public QObject
{
    Q_OBJECT

private:
    // What the auction held before the page was read: every "kept" expectation refers to it.
    static Fields before()
    {
        return {QStringLiteral("old description"),
                DateTimes::naive(2001, 2, 3, 4, 5, 6),
                DateTimes::naive(2001, 1, 1, 1, 1, 1),
                99.5,
                QStringLiteral("OLD"),
                2,
                4,
                QStringLiteral("OLDBIDDER"),
                QStringLiteral("OLDSELLER")};
    }
    static AuctionPtr filledAuction()
    {
        auto auction = AuctionPtr::create();
        const Fields f = before();
        auction->Item = QStringLiteral("123");
        auction->Description = f.description;
        auction->EndTime = f.endTime;
        auction->StartTime = f.startTime;
        auction->Price = f.price;
        auction->CurrencyTxt = f.currency;
        auction->Quantity = f.quantity;
        auction->Bids = f.bids;
        auction->HighBidder = f.highBidder;
        auction->Seller = f.seller;
        return auction;
    }
    static QString fixture(const char* name)
    {
        return QString::fromUtf8(FakeSite::fixture(QString::fromLatin1(name)));
    }

    // The lamp page's rows, for pages built around them.
    static QString lampRows()
    {
        const QString page = fixture("item-lamp.html");
        return page.mid(page.indexOf(QLatin1String("<table>")));
    }

    // The leading-number reading of every tail of the text, as the money and count steps describe it.
    static double referenceNumber(QString text)
    {
        const qsizetype n = text.size();
        text.remove(QLatin1Char(','));
        for (qsizetype i = 0; i < n; ++i) {
            const double value = TextForms::leadingNumber(text.right(n - i));
            if (value > 0)
                return value;
        }
        return 0;
    }

private Q_SLOTS:
    void readsThePage_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<Fields>("expected");

        const QDateTime zero = DateTimes::zero();
        const Fields old = before();
        const auto at = [](int y, int mo, int d, int h, int mi) { return DateTimes::naive(y, mo, d, h, mi); };

        QTest::newRow("full page") << fixture("item-lamp.html") << Fields{"Brass Lamp",
                                                                          at(2006, 3, 15, 10, 0),
                                                                          at(2006, 3, 8, 10, 0),
                                                                          1234.5,
                                                                          "US",
                                                                          1,
                                                                          7,
                                                                          "TOPBIDDER",
                                                                          "LAMPSELLER"};
        QTest::newRow("quantity above 1 is a dutch auction") << fixture("item-dutch.html")
                                                             << Fields{"Garden Gnomes, set of 3",
                                                                       at(2006, 4, 2, 18, 30),
                                                                       at(2006, 3, 26, 18, 30),
                                                                       3,
                                                                       "GBP",
                                                                       5,
                                                                       12,
                                                                       "DUTCH",
                                                                       "GNOMES_R_US"};
        QTest::newRow("entities, quotes, winning bid and buyer") << fixture("item-ended.html")
                                                                 << Fields{"Bobs Best Lamp & Shade",
                                                                           at(2007, 1, 5, 9, 15),
                                                                           at(2006, 12, 29, 9, 15),
                                                                           1025,
                                                                           "US",
                                                                           1,
                                                                           3,
                                                                           "LAMP_LOVER",
                                                                           "BOB"};
        QTest::newRow("no bids, no start time, no quantity")
            << fixture("item-nobids.html")
            << Fields{"Tin Robot", at(2006, 6, 30, 20, 0), zero, 5, "US", 1, 0, "NO BIDS", "ROBOTS"};

        QString noAnchor = fixture("item-lamp.html");
        noAnchor.remove(QLatin1String("<a name=\"description\"></a>"));
        QTest::newRow("no description anchor: no label counts")
            << noAnchor << Fields{"Brass Lamp", at(2006, 3, 15, 10, 0), zero,      old.price, old.currency, 1,
                                  old.bids,     old.highBidder,         old.seller};

        QString anchorFirst = fixture("item-lamp.html");
        anchorFirst.remove(QLatin1String("<a name=\"description\"></a>"));
        anchorFirst.replace(QLatin1String("<body>"), QLatin1String("<body><a name=\"description\"></a>"));
        QTest::newRow("labels after the description anchor")
            << anchorFirst
            << Fields{"Brass Lamp", at(2006, 3, 15, 10, 0), zero,      old.price, old.currency, 1,
                      old.bids,     old.highBidder,         old.seller};

        // Each label is searched from the top, so the order of the rows does not matter, except that
        // the seller's link is looked for after "Item location:".
        QStringList lines = fixture("item-lamp.html").split(QLatin1Char('\n'));
        std::reverse(lines.begin() + 1, lines.end() - 2);
        QTest::newRow("rows in reverse order")
            << lines.join(QLatin1Char('\n')) << Fields{"Brass Lamp",
                                                       at(2006, 3, 15, 10, 0),
                                                       at(2006, 3, 8, 10, 0),
                                                       1234.5,
                                                       "US",
                                                       1,
                                                       7,
                                                       "TOPBIDDER",
                                                       old.seller};
        QTest::newRow("times that do not read keep the old ones")
            << QStringLiteral("<title>eBay: Lamp (item 1 end time when it sells)</title>") +
                   lampRows().replace(QLatin1String("Mar-08-06 10:00:00 PST"),
                                      QLatin1String("to be announced"))
            << Fields{"Lamp", old.endTime, old.startTime, 1234.5, "US", 1, 7, "TOPBIDDER", "LAMPSELLER"};
        QTest::newRow("end time without closing parenthesis")
            << QStringLiteral("<title>eBay: Lamp (item 1 end time MAR-15-06 10:00:00</title>") + lampRows()
            << Fields{"Lamp", old.endTime, at(2006, 3, 8, 10, 0), 1234.5,      "US",
                      1,      7,           "TOPBIDDER",           "LAMPSELLER"};
        // The seller's title is the seller's: the end time and the labels come after the item mark.
        QTest::newRow("a seller's title that names an end time")
            << QStringLiteral("<title>eBay: Lamp end time Jan-01-20 00:00:00 PST) "
                              "(item 123 end time Mar-15-06 10:00:00 PST)</title>") +
                   lampRows()
            << Fields{"Lamp end time Jan-01-20 00:00:00 PST)",
                      at(2006, 3, 15, 10, 0),
                      at(2006, 3, 8, 10, 0),
                      1234.5,
                      "US",
                      1,
                      7,
                      "TOPBIDDER",
                      "LAMPSELLER"};
        QTest::newRow("a seller's title with an item mark and labels")
            << QStringLiteral("<title>eBay: Lamp (item is new) end time Jan-01-20 00:00:00 PST) Quantity: "
                              "<td>5</td> Start time: <td>Feb-02-05</td> (item 123 end time Mar-15-06 "
                              "10:00:00 PST)</title>") +
                   lampRows()
            << Fields{"Lamp (item is new) end time Jan-01-20 00:00:00 PST) Quantity: <td>5</td> Start time: "
                      "<td>Feb-02-05</td>",
                      at(2006, 3, 15, 10, 0),
                      at(2006, 3, 8, 10, 0),
                      1234.5,
                      "US",
                      1,
                      7,
                      "TOPBIDDER",
                      "LAMPSELLER"};
        QTest::newRow("item mark right after the colon")
            << QStringLiteral("<title>eBay:(item 1 end time Mar-15-06 10:00:00 PST)</title>") + lampRows()
            << Fields{"",
                      at(2006, 3, 15, 10, 0),
                      at(2006, 3, 8, 10, 0),
                      1234.5,
                      "US",
                      1,
                      7,
                      "TOPBIDDER",
                      "LAMPSELLER"};

        QString noBlank = fixture("item-lamp.html");
        noBlank.replace(QLatin1String("US $1,234.50"), QStringLiteral("EUR\u00a012,50"));
        QTest::newRow("currency before a non-breaking space") << noBlank << Fields{"Brass Lamp",
                                                                                   at(2006, 3, 15, 10, 0),
                                                                                   at(2006, 3, 8, 10, 0),
                                                                                   1250,
                                                                                   "EUR",
                                                                                   1,
                                                                                   7,
                                                                                   "TOPBIDDER",
                                                                                   "LAMPSELLER"};
        QString bareNumber = fixture("item-lamp.html");
        bareNumber.replace(QLatin1String("US $1,234.50"), QLatin1String("17"));
        QTest::newRow("price without currency keeps the currency")
            << bareNumber << Fields{"Brass Lamp",
                                    at(2006, 3, 15, 10, 0),
                                    at(2006, 3, 8, 10, 0),
                                    17,
                                    old.currency,
                                    1,
                                    7,
                                    "TOPBIDDER",
                                    "LAMPSELLER"};
        QString hugeCount = fixture("item-lamp.html");
        hugeCount.replace(QLatin1String("<td>1</td>"), QLatin1String("<td>99999999999</td>"));
        QTest::newRow("a count too large keeps the old one")
            << hugeCount
            << Fields{
                   "Brass Lamp", at(2006, 3, 15, 10, 0), at(2006, 3, 8, 10, 0), 1234.5, "US", 2, 7, "DUTCH",
                   "LAMPSELLER"};

        // Upper-casing must keep every position: one character that grows ("ß" to "SS") would shift them.
        QString odd = fixture("item-lamp.html");
        odd.replace(QLatin1String("Brass Lamp"),
                    QStringLiteral("Gro\u00dfe \ufb01ne Lampe \u0000\U0001F4A1\u202e"));
        odd.replace(QLatin1String("<td>Springfield</td>"),
                    QStringLiteral("<td>\u00df\u00df\u00df") + QChar(0xd800) + QStringLiteral("</td>"));
        QTest::newRow("odd characters")
            << odd
            << Fields{QStringLiteral("Gro\u00dfe \ufb01ne Lampe \u0000\U0001F4A1\u202e"),
                      at(2006, 3, 15, 10, 0),
                      at(2006, 3, 8, 10, 0),
                      1234.5,
                      "US",
                      1,
                      7,
                      "TOPBIDDER",
                      "LAMPSELLER"};
    }

    void readsThePage()
    {
        QFETCH(QString, html);
        QFETCH(Fields, expected);

        const AuctionPtr auction = filledAuction();
        QVERIFY(ItemPage::Parse(*auction, html));
        const Fields got = Fields::of(*auction);
        QCOMPARE(got.description, expected.description);
        QCOMPARE(got.endTime, expected.endTime);
        QCOMPARE(got.startTime, expected.startTime);
        QCOMPARE(got.price, expected.price);
        QCOMPARE(got.currency, expected.currency);
        QCOMPARE(got.quantity, expected.quantity);
        QCOMPARE(got.bids, expected.bids);
        QCOMPARE(got.highBidder, expected.highBidder);
        QCOMPARE(got.seller, expected.seller);
        QCOMPARE(auction->Item, QStringLiteral("123"));
    }

    void refusesPagesThatAreNoItemPage_data()
    {
        QTest::addColumn<QString>("html");
        QTest::newRow("title without colon")
            << QStringLiteral("<html><title>Item not found</title><p>Sorry</p></html>");
        QTest::newRow("colons in the body only") << QStringLiteral(
            "<html><title>Item not found</title><a href=http://x/>Home</a> Price: none</html>");
        QTest::newRow("empty") << QString();
        QTest::newRow("colon among the first characters")
            << QStringLiteral(":ab (item 1 end time MAR-15-06 10:00:00)");
        QTest::newRow("removed listing") << fixture("item-removed.html");
        QTest::newRow("no item mark in the title")
            << QStringLiteral("<title>eBay: Lamp end time Mar-15-06 11:00:00 PST)</title>") + lampRows();
        QTest::newRow("end time only in the seller's title")
            << QStringLiteral("<title>eBay: Lamp end time Mar-15-06 11:00:00 PST (item 123)</title>") +
                   lampRows();
        QTest::newRow("sign-in page with a colon title") << QStringLiteral(
            "<html><title>Hotel network: please sign in</title><td>Price:</td><td>$5</td></html>");
        QTest::newRow("truncated after the title") << fixture("item-lamp.html").left(20);
        QTest::newRow("binary") << QString::fromLatin1(QByteArray("\x00\xff\x01:\x02\x03\x04<TITLE", 12));
    }

    void refusesPagesThatAreNoItemPage()
    {
        QFETCH(QString, html);
        const AuctionPtr auction = filledAuction();
        AuctionsEvents events;
        auction->Events = &events;
        int announced = 0;
        connect(&events, &AuctionsEvents::AuctionUpdated, this, [&] { ++announced; });
        connect(&events, &AuctionsEvents::AuctionChanged, this, [&] { ++announced; });

        const auto error = caughtError([&] { ItemPage::Parse(*auction, html); });
        QVERIFY2(error, "the page was read");
        QCOMPARE(error->number(), OrvError::Refused);
        QCOMPARE(error->description(), QStringLiteral("The Auction was not Found or is not Available."));
        QCOMPARE(error->source(), QStringLiteral("orvauctions2.Updater"));
        QVERIFY(Fields::of(*auction) == before());
        QCOMPARE(announced, 0);
    }

    void announcesUpdatedThenChanged()
    {
        const AuctionPtr auction = filledAuction();
        AuctionsEvents events;
        auction->Events = &events;
        QStringList heard;
        connect(&events, &AuctionsEvents::AuctionUpdated, this, [&](Auction* a) {
            QCOMPARE(a, auction.data());
            QCOMPARE(a->Description, QStringLiteral("Brass Lamp")); // the fields are in place by then
            heard << QStringLiteral("Updated");
        });
        connect(&events, &AuctionsEvents::AuctionChanged, this, [&] { heard << QStringLiteral("Changed"); });
        QVERIFY(ItemPage::Parse(*auction, fixture("item-lamp.html")));
        QCOMPARE(heard, QStringList({"Updated", "Changed"}));
    }

    void readsHugePages()
    {
        const QString filler(10 * 1024 * 1024, QLatin1Char('x'));
        const AuctionPtr auction = filledAuction();
        QString longDescription = fixture("item-lamp.html");
        longDescription.replace(QLatin1String("<p>text</p>"),
                                QStringLiteral("<p>") + filler + QStringLiteral("</p>"));
        QVERIFY(ItemPage::Parse(*auction, longDescription));
        QCOMPARE(auction->Seller, QStringLiteral("LAMPSELLER"));
        QCOMPARE(auction->Price, 1234.5);

        // Ten megabytes where the cells should be: long runs of digits, no closing tags.
        const QString zeros(5 * 1024 * 1024, QLatin1Char('0'));
        const QString nines(5 * 1024 * 1024, QLatin1Char('9'));
        const QString runs = QStringLiteral("<title>eBay: Big (item 1 end time ") + nines +
                             QStringLiteral(")</title><table><tr><td>Current bid:</td><td>US $") + zeros +
                             QStringLiteral("7</td></tr><tr><td>Quantity:</td><td>") + nines +
                             QStringLiteral("</td></tr><tr><td>History:</td><td>") + filler +
                             QStringLiteral("</table><a name=description>");
        const AuctionPtr big = filledAuction();
        QVERIFY(ItemPage::Parse(*big, runs));
        QCOMPARE(big->Description, QStringLiteral("Big"));
        QCOMPARE(big->EndTime, before().endTime);
        QCOMPARE(big->Price, 7.0);
        QCOMPARE(big->Quantity, before().quantity); // too large for a count
        QCOMPARE(big->Bids, 0);
    }

    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::addColumn<QString>("withoutCommas");

        QTest::newRow("money") << "US $1,234.50" << 1234.5 << "US $1234.50";
        QTest::newRow("grouped decimals") << "1,234.56" << 1234.56 << "1234.56";
        QTest::newRow("count") << "3 BIDS" << 3.0 << "3 BIDS";
        QTest::newRow("empty") << "" << 0.0 << "";
        QTest::newRow("money with cents") << "US $5.00" << 5.0 << "US $5.00";
        QTest::newRow("nothing positive") << "0.00 -3 none" << 3.0 << "0.00 -3 none";
        QTest::newRow("zero") << "0.00" << 0.0 << "0.00";
        QTest::newRow("point first") << "$.50" << 0.5 << "$.50";
        QTest::newRow("exponent") << "1E3 BIDS" << 1000.0 << "1E3 BIDS";
        QTest::newRow("leftmost wins") << "<TD WIDTH=50>1" << 50.0 << "<TD WIDTH=50>1";
        QTest::newRow("commas anywhere") << "1,2,3" << 123.0 << "123";
    }

    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QFETCH(QString, withoutCommas);
        QString inOut = text;
        QCOMPARE(ItemPage::fnNumber(inOut), expected);
        QCOMPARE(inOut, withoutCommas);
    }

    // The fast number reader gives what reading every tail of the text in turn gives.
    void readsNumbersAsEveryTailReads()
    {
        QRandomGenerator random(424242);
        const QString alphabet = QStringLiteral("0000123456789..,,+-eE  $US\t\n\u00a0xB<>/");
        for (int round = 0; round < 20000; ++round) {
            QString text;
            const int length = random.bounded(0, 24);
            for (int i = 0; i < length; ++i)
                text += alphabet.at(random.bounded(alphabet.size()));
            QString copy = text;
            QCOMPARE(ItemPage::fnNumber(copy), referenceNumber(text));
        }
    }

    void readsLongNumbersAsEveryTailReads()
    {
        const QString nines(500, QLatin1Char('9'));
        const QString zeros(500, QLatin1Char('0'));
        for (const QString& text :
             QStringList{nines, zeros + QLatin1Char('5'), QStringLiteral("0.") + zeros + QLatin1Char('5'),
                         QStringLiteral("-") + nines + QStringLiteral(" 2"), zeros}) {
            QString copy = text;
            QCOMPARE(ItemPage::fnNumber(copy), referenceNumber(text));
        }
    }

    void findsTextByPosition()
    {
        // Labels in the order given win, not the earliest in the text; the bound is exclusive.
        qsizetype at = 0;
        QVERIFY(ItemPage::fnFirstPos(QStringLiteral("B: A: B:"), at, 99,
                                     {QStringLiteral("A:"), QStringLiteral("B:")}));
        QCOMPARE(at, 4);
        // A start position other than 0 is where the search begins.
        at = 2;
        QVERIFY(ItemPage::fnFirstPos(QStringLiteral("B: A: B:"), at, 99, {QStringLiteral("B:")}));
        QCOMPARE(at, 7);
        at = 0;
        QVERIFY(!ItemPage::fnFirstPos(QStringLiteral("B: A:"), at, 1, {QStringLiteral("B:")}));
        QCOMPARE(at, 0);
        QVERIFY(ItemPage::fnFirstPos(QStringLiteral("xB:"), at, 3, {QStringLiteral("B:")}));
        QCOMPARE(at, 2);

        // The text just before the first closing tag, after the last ">" before it.
        at = 1;
        QCOMPARE(ItemPage::fnMidData(QStringLiteral("<td><b>US $5</b></td>"), at), QStringLiteral("US $5"));
        QCOMPARE(at, 8);
        at = 3;
        QCOMPARE(ItemPage::fnMidData(QStringLiteral("ab</c"), at), QStringLiteral("ab"));
        at = 1;
        QCOMPARE(ItemPage::fnMidData(QStringLiteral("<td>no closing tag"), at), QString());

        // From one past the marker's first character; a marker that is absent starts from 1.
        at = 1;
        QCOMPARE(ItemPage::fnMidText(QStringLiteral("x<TD>5</TD"), at, QStringLiteral("<TD"),
                                     QStringLiteral("</TD")),
                 QStringLiteral("TD>5"));
        QCOMPARE(at, 3);
        at = 5;
        QCOMPARE(
            ItemPage::fnMidText(QStringLiteral("abc</TD"), at, QStringLiteral("<TD"), QStringLiteral("</TD")),
            QStringLiteral("abc"));
        QCOMPARE(at, 1);
    }

    // A two-digit year on a page is the one within fifty years of today: from 2030 on, "30" must not be
    // read as 1930.
    void readsTwoDigitYearsWithinFiftyYearsOfToday_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("endText");
        QTest::addColumn<QDateTime>("endTime");
        const auto at = [](int y, int mo, int d) { return DateTimes::naive(y, mo, d, 10, 0); };
        for (const int year : {2029, 2030, 2031}) {
            const QDate today(year, 6, 1);
            QTest::addRow("%d, 29", year) << today << "Dec-26-29" << at(2029, 12, 26);
            QTest::addRow("%d, 30", year) << today << "Jan-02-30" << at(2030, 1, 2);
            QTest::addRow("%d, 31", year) << today << "Jan-02-31" << at(2031, 1, 2);
            QTest::addRow("%d, 06", year) << today << "Mar-15-06" << at(2006, 3, 15);
        }
        QTest::newRow("2029, 79") << QDate(2029, 6, 1) << "Jan-02-79" << at(2079, 1, 2);
        QTest::newRow("2029, 80") << QDate(2029, 6, 1) << "Jan-02-80" << at(1980, 1, 2);
        QTest::newRow("2030, 80") << QDate(2030, 6, 1) << "Jan-02-80" << at(2080, 1, 2);
        QTest::newRow("2031, 81") << QDate(2031, 6, 1) << "Jan-02-81" << at(2081, 1, 2);
        QTest::newRow("2031, 82") << QDate(2031, 6, 1) << "Jan-02-82" << at(1982, 1, 2);
    }
    void readsTwoDigitYearsWithinFiftyYearsOfToday()
    {
        QFETCH(QDate, today);
        QFETCH(QString, endText);
        QFETCH(QDateTime, endTime);
        FakeTimeSource pc(DateTimes::naive(today, QTime(12, 0)));
        QString html = fixture("item-lamp.html");
        html.replace(QLatin1String("Mar-15-06"), endText);
        html.replace(QLatin1String("Mar-08-06"), endText);
        const AuctionPtr auction = filledAuction();
        Updater updater;
        QVERIFY(updater.Parse(*auction, html));
        QCOMPARE(auction->EndTime, endTime);
        QCOMPARE(auction->StartTime, endTime);
    }

    void checksItemNumbersBeforeTheyBecomeAnAddress_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("valid");
        QTest::newRow("digits") << "4455" << true;
        QTest::newRow("letters and digits") << "ab12CD" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank inside") << "12 3" << false;
        QTest::newRow("blank around") << " 123" << false;
        QTest::newRow("query") << "1&item=2" << false;
        QTest::newRow("fragment") << "1#x" << false;
        QTest::newRow("path") << "../1" << false;
        QTest::newRow("non-ASCII digit") << QStringLiteral("1\u0663") << false;
    }

    void checksItemNumbersBeforeTheyBecomeAnAddress()
    {
        QFETCH(QString, item);
        QFETCH(bool, valid);
        const QString address = Updater::itemPageAddress(item);
        if (valid)
            QVERIFY(address.endsWith(QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=") + item));
        else
            QCOMPARE(address, QString());
    }
};

QTEST_GUILESS_MAIN(tst_ItemPage)
#include "tst_ItemPage.moc"
