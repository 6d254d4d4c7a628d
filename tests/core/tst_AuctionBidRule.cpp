#include "Auction.h"
#include "XMLManager.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {

const QString amountText =
    QStringLiteral("Bid not sent: the maximum bid must be above 0 and at most 1,000,000,000.");
const QString quantityText = QStringLiteral("Bid not sent: the quantity to bid for must be at least 1.");
const QString secondsText = QStringLiteral("Bid not sent: the seconds before the end must not be negative.");
const QString hourText = QStringLiteral("Bid not sent: the seconds before the end must be at most 3,600.");
const int int32Max = std::numeric_limits<qint32>::max();

struct Amount
{
    const char* name;
    double value;
    bool sound;
};

const Amount amounts[] = {
    {"-5", -5, false},
    {"0", 0, false},
    {"NaN", std::numeric_limits<double>::quiet_NaN(), false},
    {"inf", std::numeric_limits<double>::infinity(), false},
    {"1e308", 1e308, false},
    {"1e9", 1e9, true},
    {"1e9+0.01", 1e9 + 0.01, false},
    {"0.01", 0.01, true},
};

} // namespace

// The one rule a bid must meet before it is prepared or sent, and what loading makes of a stored bid that
// breaks it.
class tst_AuctionBidRule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rule_data();
    void rule();
    void loading_data();
    void loading();
};

void tst_AuctionBidRule::rule_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("fault");

    for (const Amount& amount : amounts) {
        for (const int quantity : {0, -1, 1}) {
            for (const int seconds : {-1, 0, 3600, 3601, int32Max}) {
                // The amount is judged first, then the quantity, then the seconds.
                const QString fault = !amount.sound    ? amountText
                                      : quantity < 1   ? quantityText
                                      : seconds < 0    ? secondsText
                                      : seconds > 3600 ? hourText
                                                       : QString();
                QTest::addRow("amount %s, quantity %d, seconds %d", amount.name, quantity, seconds)
                    << amount.value << quantity << seconds << fault;
            }
        }
    }
}

void tst_AuctionBidRule::rule()
{
    QFETCH(double, amount);
    QFETCH(int, quantity);
    QFETCH(int, seconds);
    QFETCH(QString, fault);
    Auction auction;
    auction.SnipeBid = amount;
    auction.SnipeQuantity = quantity;
    auction.SnipeSeconds = seconds;
    QCOMPARE(auction.bidFault(), fault);
}

void tst_AuctionBidRule::loading_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("storedState");
    QTest::addColumn<int>("loadedState");
    QTest::addColumn<QString>("comment");

    const QString earlier = QStringLiteral("Bid successfully sent and confirmed.");
    QTest::newRow("set, -5") << -5.0 << 1 << 10 << int(OR2BidSet) << int(OR2BidFailed) << amountText;
    QTest::newRow("set, 0") << 0.0 << 1 << 10 << int(OR2BidSet) << int(OR2BidFailed) << amountText;
    // Stored as 0: a file holds no NaN.
    QTest::newRow("set, NaN") << std::numeric_limits<double>::quiet_NaN() << 1 << 10 << int(OR2BidSet)
                              << int(OR2BidFailed) << amountText;
    QTest::newRow("set, 1e308") << 1e308 << 1 << 10 << int(OR2BidSet) << int(OR2BidFailed) << amountText;
    QTest::newRow("set, 1e9+0.01") << 1e9 + 0.01 << 1 << 10 << int(OR2BidSet) << int(OR2BidFailed)
                                   << amountText;
    QTest::newRow("set, quantity 0") << 25.5 << 0 << 10 << int(OR2BidSet) << int(OR2BidFailed)
                                     << quantityText;
    QTest::newRow("set, seconds -1") << 25.5 << 1 << -1 << int(OR2BidSet) << int(OR2BidFailed) << secondsText;
    // Sent at once, a month early, were it armed.
    QTest::newRow("set, seconds 2^31-1")
        << 25.5 << 1 << int32Max << int(OR2BidSet) << int(OR2BidFailed) << hourText;
    QTest::newRow("set, seconds 3601")
        << 25.5 << 1 << 3601 << int(OR2BidSet) << int(OR2BidFailed) << hourText;
    QTest::newRow("set, seconds 3600") << 25.5 << 1 << 3600 << int(OR2BidSet) << int(OR2BidSet) << earlier;
    QTest::newRow("set, 1e9") << 1e9 << 1 << 0 << int(OR2BidSet) << int(OR2BidSet) << earlier;
    QTest::newRow("set, 0.01") << 0.01 << 1 << 0 << int(OR2BidSet) << int(OR2BidSet) << earlier;
    // Nothing armed, nothing to undo.
    QTest::newRow("watching, -5") << -5.0 << 1 << 10 << int(OR2Watching) << int(OR2Watching) << earlier;
    QTest::newRow("won, quantity 0") << 25.5 << 0 << 10 << int(OR2BidSuccess) << int(OR2BidSuccess)
                                     << earlier;
}

void tst_AuctionBidRule::loading()
{
    QFETCH(double, amount);
    QFETCH(int, quantity);
    QFETCH(int, seconds);
    QFETCH(int, storedState);
    QFETCH(int, loadedState);
    QFETCH(QString, comment);

    Auction stored;
    stored.Item = QStringLiteral("123");
    stored.SnipeBid = amount;
    stored.SnipeQuantity = quantity;
    stored.SnipeSeconds = seconds;
    stored.SnipeState = static_cast<AucSnipeStates>(storedState);
    stored.SysComments = QStringLiteral("Bid successfully sent and confirmed.");
    XMLManager file;
    file.Save(stored, file.NewNode(QStringLiteral("Auction")));

    Auction loaded;
    file.Restore(loaded, file.Node().firstChildElement(QStringLiteral("Auction")));
    QCOMPARE(int(loaded.SnipeState), loadedState);
    QCOMPARE(loaded.SysComments, comment);
    // The values stay as stored, for the user to mend.
    QCOMPARE(loaded.SnipeBid, std::isfinite(amount) ? amount : 0.0);
    QCOMPARE(loaded.SnipeQuantity, quantity);
    QCOMPARE(loaded.SnipeSeconds, seconds);
}

QTEST_GUILESS_MAIN(tst_AuctionBidRule)
#include "tst_AuctionBidRule.moc"
