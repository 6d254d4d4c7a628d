#include "Auction.h"
#include "DateTimes.h"
#include "FakeSite.h"
#include "ItemPage.h"
#include "OrvError.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>

// Thousands of mangled copies of real item pages, always the same ones (fixed seed). Whatever a page
// holds, reading it must not crash, must not write an impossible value, must never wipe a known end
// time, and a refused page must leave the auction as it was. Run it under AddressSanitizer too
// (scripts/test.sh with ORV_ASAN=1).
class tst_ItemPageFuzz : public QObject
{
    Q_OBJECT

private:
    struct Snapshot
    {
        QString description;
        QDateTime endTime;
        QDateTime startTime;
        double price;
        QString currency;
        qint32 quantity;
        qint32 bids;
        QString highBidder;
        QString seller;
        bool operator==(const Snapshot&) const = default;
    };
    static Snapshot snapshot(const Auction& a)
    {
        return {a.Description, a.EndTime, a.StartTime,  a.Price, a.CurrencyTxt,
                a.Quantity,    a.Bids,    a.HighBidder, a.Seller};
    }

    static QString randomPiece(QRandomGenerator& random)
    {
        static const QStringList pieces{
            QStringLiteral("<"),
            QStringLiteral(">"),
            QStringLiteral("</"),
            QStringLiteral("</td>"),
            QStringLiteral("<td>"),
            QStringLiteral("<TD"),
            QStringLiteral(":"),
            QStringLiteral("(item"),
            QStringLiteral(")"),
            QStringLiteral("end time"),
            QStringLiteral("<title>"),
            QStringLiteral("&amp;"),
            QStringLiteral("&AMP;NBSP;"),
            QStringLiteral("\""),
            QStringLiteral("'"),
            QStringLiteral("Current bid:"),
            QStringLiteral("Price:"),
            QStringLiteral("Start time:"),
            QStringLiteral("Quantity:"),
            QStringLiteral("History:"),
            QStringLiteral("High bidder:"),
            QStringLiteral("Buyer:"),
            QStringLiteral("Item location:"),
            QStringLiteral("?ViewFeedback"),
            QStringLiteral("<a name=\"description\">"),
            QStringLiteral("US $"),
            QStringLiteral("1,234.56"),
            QStringLiteral("99999999999"),
            QStringLiteral("1e309"),
            QStringLiteral("-7"),
            QStringLiteral("."),
            QStringLiteral("MAR-15-06 10:00:00"),
            QStringLiteral("FEB-30-06 25:61:00"),
            QStringLiteral("\u00a0"),
            QStringLiteral("\u00df\ufb01"),
            QStringLiteral("\U0001F4A1"),
            QString(QChar(0)),
            QString(QChar(0xd800)),
            QString(QChar(0xdfff)),
            QString(300, QLatin1Char('9')),
        };
        return pieces.at(random.bounded(pieces.size()));
    }

    static void mutate(QString& page, QRandomGenerator& random)
    {
        const qsizetype at = page.isEmpty() ? 0 : random.bounded(page.size() + 1);
        const qsizetype length = random.bounded(1, 60);
        switch (random.bounded(7)) {
        case 0:
            page.remove(at, length);
            break;
        case 1:
            page.insert(at, randomPiece(random));
            break;
        case 2:
            for (qsizetype i = 0; i < length / 4 + 1; ++i)
                page.insert(at, QChar(char16_t(random.bounded(0x10000))));
            break;
        case 3:
            page.insert(at, page.mid(random.bounded(page.size() + 1), length));
            break;
        case 4:
            page.truncate(at);
            break;
        case 5:
            page.replace(at, length, randomPiece(random));
            break;
        default:
            page = page.mid(at) + page.left(at);
            break;
        }
    }

private Q_SLOTS:
    void mangledPagesNeverHarmTheAuction()
    {
        QStringList pages;
        for (const char* name : {"item-lamp.html", "item-dutch.html", "item-ended.html", "item-nobids.html"})
            pages << QString::fromUtf8(FakeSite::fixture(QString::fromLatin1(name)));
        QRandomGenerator random(20260504);
        int read = 0;
        int refused = 0;
        for (int round = 0; round < 6000; ++round) {
            QString page = pages.at(random.bounded(pages.size()));
            const int mutations = random.bounded(1, 9);
            for (int m = 0; m < mutations; ++m)
                mutate(page, random);

            auto auction = AuctionPtr::create();
            auction->Item = QStringLiteral("123");
            auction->Description = QStringLiteral("known");
            auction->EndTime = DateTimes::naive(2030, 1, 2, 3, 4, 5);
            auction->StartTime = DateTimes::naive(2029, 12, 26, 3, 4, 5);
            auction->Price = 12.5;
            auction->Quantity = 1;
            auction->Bids = 2;
            const Snapshot before = snapshot(*auction);
            const QByteArray where = "round " + QByteArray::number(round);
            try {
                QVERIFY(ItemPage::Parse(*auction, page));
                ++read;
            } catch (const OrvError& error) {
                QVERIFY2(error.number() == OrvError::Refused, where.constData());
                QVERIFY2(snapshot(*auction) == before, where.constData());
                ++refused;
                continue;
            }
            QVERIFY2(!DateTimes::isZero(auction->EndTime) && auction->EndTime.isValid(), where.constData());
            QVERIFY2(auction->StartTime.isValid(), where.constData());
            QVERIFY2(std::isfinite(auction->Price) && auction->Price >= 0, where.constData());
            QVERIFY2(auction->Quantity >= 0 && auction->Bids >= 0, where.constData());
            QCOMPARE(auction->Item, QStringLiteral("123"));
        }
        // Both outcomes were exercised, or the mangling is too gentle or too rough to mean anything.
        QVERIFY2(read > 1000 && refused > 100,
                 qPrintable(QStringLiteral("read %1, refused %2").arg(read).arg(refused)));
    }
};

QTEST_GUILESS_MAIN(tst_ItemPageFuzz)
#include "tst_ItemPageFuzz.moc"
