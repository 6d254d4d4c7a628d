// The auction tree's node rules shared by the band and the debug tool: keys and kinds, texts, images
// and colours.
#include "FakeBackend.h"
#include "RemoteNodeRules.h"
#include "RemoteSettings.h"

#include <QLocale>
#include <QTest>

using namespace Remote;
using namespace Remote::NodeRules;

namespace {

QDateTime at(int year, int month, int day, int hour, int minute, int second, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms), Qt::UTC);
}

AuctionRecord sample()
{
    AuctionRecord auction;
    auction.Item = QStringLiteral("123");
    auction.Description = QStringLiteral("Brass lamp");
    auction.Price = 5;
    auction.Quantity = 2;
    auction.Bids = 4;
    auction.SnipeBid = 7.5;
    auction.EndTime = at(2024, 6, 1, 13, 2, 3);
    auction.HighBidder = QStringLiteral("bidder1");
    auction.Seller = QStringLiteral("seller9");
    auction.Comments = QStringLiteral("check the base");
    return auction;
}

} // namespace

class tst_NodeRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void keyKinds_data();
    void keyKinds();
    void keysAreBuiltAsTheTreeFindsThem();
    void categoryNode_data();
    void categoryNode();
    void auctionImage_data();
    void auctionImage();
    void colourFollowsTheLevelOnly_data();
    void colourFollowsTheLevelOnly();
    void infoLines_data();
    void infoLines();
    void stateLine_data();
    void stateLine();
    void timeLeftText_data();
    void timeLeftText();
    void textOrder_data();
    void textOrder();
};

void tst_NodeRules::initTestCase()
{
    // A regional form with a comma decimal and a 24-hour clock, so that the texts show which form they use.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void tst_NodeRules::keyKinds_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");

    QTest::newRow("category") << "Books:CAT"
                              << "category"
                              << "Books";
    QTest::newRow("category named with a colon") << "Art: old:CAT"
                                                 << "category"
                                                 << "Art: old";
    QTest::newRow("auction") << "123~"
                             << "auction"
                             << "123";
    QTest::newRow("information") << "123:Price:INF"
                                 << "info"
                                 << "123";
    QTest::newRow("lower-case category suffix") << "Books:cat"
                                                << "none"
                                                << "";
    QTest::newRow("lower-case information suffix") << "123:Price:inf"
                                                   << "none"
                                                   << "";
    QTest::newRow("tilde inside") << "12~3"
                                  << "none"
                                  << "";
    QTest::newRow("empty") << ""
                           << "none"
                           << "";
}

void tst_NodeRules::keyKinds()
{
    QFETCH(QString, key);
    QFETCH(QString, kind);
    QFETCH(QString, name);

    QCOMPARE(isCategoryKey(key), kind == QLatin1String("category"));
    QCOMPARE(isAuctionKey(key), kind == QLatin1String("auction"));
    QCOMPARE(isInfoKey(key), kind == QLatin1String("info"));
    QCOMPARE(categoryOfKey(key), kind == QLatin1String("category") ? name : QString());
    QCOMPARE(itemOfAuctionKey(key), kind == QLatin1String("auction") ? name : QString());
    QCOMPARE(itemOfInfoKey(key), kind == QLatin1String("info") ? name : QString());
}

void tst_NodeRules::keysAreBuiltAsTheTreeFindsThem()
{
    QCOMPARE(categoryKey(QStringLiteral("Books")), QStringLiteral("Books:CAT"));
    QCOMPARE(auctionKey(QStringLiteral("123")), QStringLiteral("123~"));

    QStringList keys;
    for (const QString& field : infoFields())
        keys << infoKey(QStringLiteral("123"), field);
    QCOMPARE(keys,
             QStringList({"123:Item:INF", "123:Price:INF", "123:Quantity:INF", "123:Bids:INF",
                          "123:SnipeBid:INF", "123:SnipeState:INF", "123:TimeLeft:INF", "123:EndTime:INF",
                          "123:HighBidder:INF", "123:Seller:INF", "123:Comments:INF"}));
    for (const QString& key : std::as_const(keys)) {
        QVERIFY2(isInfoKey(key) && !isAuctionKey(key) && !isCategoryKey(key), qPrintable(key));
        QCOMPARE(itemOfInfoKey(key), QStringLiteral("123"));
    }
}

void tst_NodeRules::categoryNode_data()
{
    QTest::addColumn<bool>("limited");
    QTest::addColumn<bool>("expanded");
    QTest::addColumn<QString>("image");

    QTest::newRow("collapsed") << false << false << "closed";
    QTest::newRow("collapsed, limited") << true << false << "closed2";
    QTest::newRow("expanded") << false << true << "open";
    QTest::newRow("expanded, limited") << true << true << "open2";
}

void tst_NodeRules::categoryNode()
{
    QFETCH(bool, limited);
    QFETCH(bool, expanded);
    QFETCH(QString, image);

    QCOMPARE(categoryImage(limited, expanded), image);
    QCOMPARE(categoryText(QStringLiteral("Books"), 2), QStringLiteral("Books (2)"));
    QCOMPARE(categoryText(QStringLiteral("Books"), 0), QStringLiteral("Books (0)"));
}

void tst_NodeRules::auctionImage_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("image");

    QTest::newRow("watching, complete") << int(OR2Watching) << int(OR2Complete) << "white";
    QTest::newRow("watching, warning") << int(OR2Watching) << int(OR2Warning) << "red";
    QTest::newRow("watching, caution") << int(OR2Watching) << int(OR2Caution) << "yellow";
    QTest::newRow("watching, active") << int(OR2Watching) << int(OR2Active) << "green";
    // Any other state shows its own image at every level.
    for (int level : {int(OR2Complete), int(OR2Active)}) {
        const QByteArray at = level == OR2Complete ? ", complete" : ", active";
        QTest::newRow(QByteArray("bid set" + at).constData()) << int(OR2BidSet) << level << "bid";
        QTest::newRow(QByteArray("preparing" + at).constData())
            << int(OR2BidPreparing) << level << "preparing";
        QTest::newRow(QByteArray("prepared" + at).constData()) << int(OR2BidPrepared) << level << "preparing";
        QTest::newRow(QByteArray("sending" + at).constData()) << int(OR2BidSending) << level << "bidding";
        QTest::newRow(QByteArray("failed" + at).constData()) << int(OR2BidFailed) << level << "failed";
        QTest::newRow(QByteArray("success" + at).constData()) << int(OR2BidSuccess) << level << "star";
        QTest::newRow(QByteArray("cancelled" + at).constData())
            << int(OR2BidCancelled) << level << "cancelled";
    }
}

void tst_NodeRules::auctionImage()
{
    QFETCH(int, state);
    QFETCH(int, level);
    QFETCH(QString, image);

    QCOMPARE(NodeRules::auctionImage(AucSnipeStates(state), AucTimeLeftLevel(level)), image);
}

void tst_NodeRules::colourFollowsTheLevelOnly_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("bgr");
    QTest::addColumn<quint32>("rgb");

    // Settings: ColorActive 0x010203, ColorCaution 0x0000ff, ColorComplete 0x808080, ColorWarning 0xff0000.
    QTest::newRow("active") << int(OR2Active) << 0x010203 << 0x030201u;
    QTest::newRow("caution") << int(OR2Caution) << 0x0000ff << 0xff0000u;
    QTest::newRow("complete") << int(OR2Complete) << 0x808080 << 0x808080u;
    QTest::newRow("warning") << int(OR2Warning) << 0xff0000 << 0x0000ffu;
}

void tst_NodeRules::colourFollowsTheLevelOnly()
{
    QFETCH(int, level);
    QFETCH(int, bgr);
    QFETCH(quint32, rgb);

    FakeBackend backend;
    Remote::Settings settings(backend);
    settings.reset({{QStringLiteral("ColorActive"), 0x010203},
                    {QStringLiteral("ColorCaution"), 0x0000ff},
                    {QStringLiteral("ColorComplete"), 0x808080},
                    {QStringLiteral("ColorWarning"), 0xff0000}});

    QCOMPARE(auctionColor(AucTimeLeftLevel(level), settings), bgr);
    QCOMPARE(rgbFromBgr(auctionColor(AucTimeLeftLevel(level), settings)), rgb);
}

void tst_NodeRules::infoLines_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("image");

    QTest::newRow("item") << "Item" << int(OR2BidSet) << "ITEM: 123"
                          << "none";
    QTest::newRow("price, regional decimal") << "Price" << int(OR2BidSet) << "PRICE: 5,00"
                                             << "dollar";
    QTest::newRow("quantity") << "Quantity" << int(OR2BidSet) << "QTY: 2"
                              << "quantity";
    QTest::newRow("bids") << "Bids" << int(OR2BidSet) << "BIDS: 4"
                          << "bids";
    QTest::newRow("bid set") << "SnipeBid" << int(OR2BidSet) << "BID: 7,5"
                             << "money";
    QTest::newRow("bid of a watched auction") << "SnipeBid" << int(OR2Watching) << "BID: N/A"
                                              << "money";
    QTest::newRow("bid of a cancelled one") << "SnipeBid" << int(OR2BidCancelled) << "BID: 7,5"
                                            << "money";
    QTest::newRow("state line") << "SnipeState" << int(OR2BidSet) << "SNIPE READY"
                                << "";
    QTest::newRow("time left") << "TimeLeft" << int(OR2BidSet) << "00:01:02:03"
                               << "clock";
    QTest::newRow("end") << "EndTime" << int(OR2BidSet) << "END: 01.06.2024 13:02:03"
                         << "calendar";
    QTest::newRow("high bidder") << "HighBidder" << int(OR2BidSet) << "BIDDER: bidder1"
                                 << "smile";
    QTest::newRow("seller") << "Seller" << int(OR2BidSet) << "SELLER: seller9"
                            << "smile";
    QTest::newRow("comments, no prefix") << "Comments" << int(OR2BidSet) << "check the base"
                                         << "comment";
}

void tst_NodeRules::infoLines()
{
    QFETCH(QString, field);
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(QString, image);

    AuctionRecord auction = sample();
    auction.SnipeState = AucSnipeStates(state);
    QVERIFY(infoFields().contains(field));
    QCOMPARE(infoText(field, auction, at(2024, 6, 1, 12, 0, 0)), text);
    QCOMPARE(infoCreationImage(field), image);
}

void tst_NodeRules::stateLine_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("text");

    QTest::newRow("watching") << int(OR2Watching) << "eye"
                              << "NOT BIDDING";
    QTest::newRow("bid set") << int(OR2BidSet) << "bid"
                             << "SNIPE READY";
    QTest::newRow("preparing") << int(OR2BidPreparing) << "preparing"
                               << "PREPARING";
    // The auction node shows "preparing" here; the state line "bidding".
    QTest::newRow("prepared") << int(OR2BidPrepared) << "bidding"
                              << "PREPARED";
    QTest::newRow("sending") << int(OR2BidSending) << "bidding"
                             << "BIDDING";
    QTest::newRow("failed") << int(OR2BidFailed) << "failed"
                            << "BID FAILED";
    QTest::newRow("success") << int(OR2BidSuccess) << "star"
                             << "BID SUCCESS";
    QTest::newRow("cancelled") << int(OR2BidCancelled) << "cancelled"
                               << "BID CANCELLED";
}

void tst_NodeRules::stateLine()
{
    QFETCH(int, state);
    QFETCH(QString, image);
    QFETCH(QString, text);

    QCOMPARE(snipeStateImage(AucSnipeStates(state)), image);
    QCOMPARE(snipeStateText(AucSnipeStates(state)), text);
}

void tst_NodeRules::timeLeftText_data()
{
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("text");

    const QDateTime now = at(2024, 6, 1, 12, 0, 0);
    QTest::newRow("end not known") << QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC) << now << "N/A";
    QTest::newRow("invalid end") << QDateTime() << now << "N/A";
    QTest::newRow("a second after the end") << now.addSecs(-1) << now << "OVER";
    QTest::newRow("at the end") << now << now << "00:00:00:00";
    QTest::newRow("3725 seconds") << now.addSecs(3725) << now << "00:01:02:05";
    QTest::newRow("a second less than a day") << now.addSecs(86399) << now << "00:23:59:59";
    QTest::newRow("a day") << now.addSecs(86400) << now << "1 Days +";
    QTest::newRow("three days and a bit") << now.addSecs(3 * 86400 + 7) << now << "3 Days +";
    // Whole seconds of both times: 12:00:00.900 to 12:00:01 is one second.
    QTest::newRow("fractions dropped")
        << at(2024, 6, 1, 12, 0, 1) << at(2024, 6, 1, 12, 0, 0, 900) << "00:00:00:01";
}

void tst_NodeRules::timeLeftText()
{
    QFETCH(QDateTime, end);
    QFETCH(QDateTime, now);
    QFETCH(QString, text);

    QCOMPARE(NodeRules::timeLeftText(end, now), text);
}

// The order of nodes by text, the same in the band and the debug tool.
void tst_NodeRules::textOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("less");
    QTest::newRow("case ignored first") << "apple"
                                        << "Banana" << true;
    QTest::newRow("case ignored, other way") << "Banana"
                                             << "apple" << false;
    QTest::newRow("equal but for case: exact order") << "Lamp"
                                                     << "lamp" << true;
    QTest::newRow("equal but for case, other way") << "lamp"
                                                   << "Lamp" << false;
    QTest::newRow("equal") << "Lamp"
                           << "Lamp" << false;
}

void tst_NodeRules::textOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, less);
    QCOMPARE(NodeRules::textLess(a, b), less);
}

QTEST_GUILESS_MAIN(tst_NodeRules)
#include "tst_NodeRules.moc"
