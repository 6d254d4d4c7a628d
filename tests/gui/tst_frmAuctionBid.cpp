#include "BidManager.h"
#include "DataFolder.h"
#include "DateTimes.h"
#include "DialogFixture.h"
#include "EnumName.h"
#include "TextForms.h"
#include "cGlobal.h"
#include "frmAuctionBid.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <cmath>

namespace {

// The bid dialog on the fixture's application.
struct Window : DialogFixture
{
    QPointer<frmAuctionBid> window = new frmAuctionBid(services());

    ~Window() { delete window; }

    QComboBox* state() const { return control<QComboBox>(window, QStringLiteral("cboState")); }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(window, QString::fromLatin1(name)); }
    QString system() const { return control<QLabel>(window, QStringLiteral("lblSystem"))->text(); }
    QPushButton* button(const char* name) const
    {
        return control<QPushButton>(window, QString::fromLatin1(name));
    }
    // Chooses an item of the state combo as a click does.
    void choose(const QString& text) const
    {
        const int index = state()->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        state()->setCurrentIndex(index);
        Q_EMIT state()->activated(index);
    }
    void save() const { button("cmdSave")->click(); }
    // Whether the window was closed (and so unloaded).
    bool closed() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
};

struct Snipe
{
    double bid;
    qint32 seconds;
    AucSnipeStates state;
    bool operator==(const Snipe&) const = default;
};

Snipe snipeOf(const Auction& auction)
{
    return {auction.SnipeBid, auction.SnipeSeconds, auction.SnipeState};
}

char* toString(const Snipe& snipe)
{
    return qstrdup(QStringLiteral("bid %1, seconds %2, %3")
                       .arg(snipe.bid, 0, 'g', 17)
                       .arg(snipe.seconds)
                       .arg(enumName<AucSnipeStates>(snipe.state))
                       .toUtf8()
                       .constData());
}

} // namespace

Q_DECLARE_METATYPE(AucSnipeStates)

// The bid details dialog: the state combo and its explanations, Save's checks and order, amounts read
// back under every locale, a window overtaken by the bid manager, and the page of the last attempt.
class tst_frmAuctionBid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        cGlobal::setLauncher({});
        QLocale::setDefault(QLocale::c());
    }

    void comboItemsInTheirOrder();
    void viewByState_data();
    void viewByState();
    void explanationFollowsTheChoice();
    void saveOrderAndFirstBidInformation();
    void refusals_data();
    void refusals();
    void stored_data();
    void stored();
    void closedAuction_data();
    void closedAuction();
    void amountsReadBackUnchanged_data();
    void amountsReadBackUnchanged();
    void windowOvertakenByTheBidManager_data();
    void windowOvertakenByTheBidManager();
    void deletedAuctionIsNotSaved();
    void viewNewChoosesBidding();
    void storedPageOfTheLastAttempt_data();
    void storedPageOfTheLastAttempt();
};

void tst_frmAuctionBid::comboItemsInTheirOrder()
{
    Window w;
    w.window->View(w.add(QStringLiteral("100")));
    QStringList texts;
    QStringList keys;
    for (int i = 0; i < w.state()->count(); ++i) {
        texts << w.state()->itemText(i);
        keys << w.state()->itemData(i).toString();
        QVERIFY(!w.state()->itemIcon(i).isNull());
    }
    QCOMPARE(texts, QStringList({"NOT BIDDING", "BIDDING", "BID FAILED", "CANCELLED BID", "SUCCESSFUL BID"}));
    QCOMPARE(keys, QStringList({"Watching", "Bid", "Failed", "Cancelled", "Success"}));
    QVERIFY(!w.state()->isEditable());
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Auction Bid Details"));
}

void tst_frmAuctionBid::viewByState_data()
{
    QTest::addColumn<AucSnipeStates>("state");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("editable"); // the three boxes, the combo and Save
    QTest::addColumn<QString>("explanation");
    QTest::newRow("watching") << OR2Watching << "NOT BIDDING" << true
                              << "To schedule a bid, change status to Bidding.";
    QTest::newRow("bid set") << OR2BidSet << "BIDDING" << true
                             << "Currently watching auction, waiting to send bid.";
    QTest::newRow("preparing") << OR2BidPreparing << "" << false << "";
    QTest::newRow("prepared") << OR2BidPrepared << "" << false << "";
    QTest::newRow("sending") << OR2BidSending << "" << false << "";
    QTest::newRow("failed") << OR2BidFailed << "BID FAILED" << true << "No explanation for failed bid.";
    QTest::newRow("success") << OR2BidSuccess << "SUCCESSFUL BID" << true
                             << "Bid successfully sent and confirmed.";
    QTest::newRow("cancelled") << OR2BidCancelled << "CANCELLED BID" << true
                               << "No explanation for cancelled bid.";
}

void tst_frmAuctionBid::viewByState()
{
    QFETCH(AucSnipeStates, state);
    QFETCH(QString, chosen);
    QFETCH(bool, editable);
    QFETCH(QString, explanation);
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    auction->SnipeState = state;
    auction->SnipeBid = 12.5;
    auction->SnipeSeconds = 9;
    auction->SnipeQuantity = 3;
    w.window->View(auction);

    QCOMPARE(w.state()->currentText(), chosen);
    QCOMPARE(w.system(), explanation);
    QCOMPARE(w.box("txtMaxBid")->text(), QStringLiteral("12.5"));
    QCOMPARE(w.box("txtSnipeTime")->text(), QStringLiteral("9"));
    QCOMPARE(w.box("txtBidQuantity")->text(), QStringLiteral("3"));
    // Only a chosen "BIDDING" opens the boxes; the quantity is only shown.
    QCOMPARE(w.box("txtMaxBid")->isEnabled(), state == OR2BidSet);
    QCOMPARE(w.box("txtSnipeTime")->isEnabled(), state == OR2BidSet);
    QVERIFY(w.box("txtBidQuantity")->isReadOnly());
    QCOMPARE(w.state()->isEnabled(), editable);
    QCOMPARE(w.button("cmdSave")->isEnabled(), editable);
    QVERIFY(w.window->isVisible());
}

void tst_frmAuctionBid::explanationFollowsTheChoice()
{
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    w.window->View(auction);
    w.choose(QStringLiteral("BIDDING"));
    QCOMPARE(w.system(), QStringLiteral("Please enter a bid for this auction."));
    QVERIFY(w.box("txtMaxBid")->isEnabled());
    // Typing is not a choice: the text follows the next click.
    w.box("txtMaxBid")->setText(QStringLiteral("20"));
    QCOMPARE(w.system(), QStringLiteral("Please enter a bid for this auction."));
    w.choose(QStringLiteral("BIDDING"));
    QCOMPARE(w.system(), QStringLiteral("Currently watching auction, waiting to send bid."));
    w.choose(QStringLiteral("CANCELLED BID"));
    QVERIFY(!w.box("txtMaxBid")->isEnabled());

    // A comment of the system stays whatever is chosen.
    auction->SysComments = QStringLiteral("Outbid at 21.00");
    w.window->View(auction);
    for (const char* text : {"NOT BIDDING", "BIDDING", "BID FAILED", "CANCELLED BID", "SUCCESSFUL BID"}) {
        w.choose(QString::fromLatin1(text));
        QCOMPARE(w.system(), QStringLiteral("Outbid at 21.00"));
    }
}

void tst_frmAuctionBid::saveOrderAndFirstBidInformation()
{
    Window w;
    QVERIFY(!w.app.Settings().ViewedBidCreated);
    const AuctionPtr first = w.add(QStringLiteral("100"));
    w.window->View(first);
    w.choose(QStringLiteral("BIDDING"));
    w.box("txtMaxBid")->setText(QStringLiteral("25"));
    w.save();
    QCOMPARE(w.events, QStringList({"changed:100", "refresh", "info:2", "save"}));
    QCOMPARE(first->SnipeState, OR2BidSet);
    QCOMPARE(first->SnipeBid, 25.0);
    QVERIFY(w.app.Settings().ViewedBidCreated);
    QVERIFY(w.host.calls.contains(QStringLiteral("info:2")));
    // The bid manager looked again and watches the new bid.
    QCOMPARE(w.app.BidManager().State(), eBidderYellow);
    QVERIFY(w.closed());
    QVERIFY(w.boxes.boxes.isEmpty());

    // The information shows once only.
    w.events.clear();
    w.window = new frmAuctionBid(w.services());
    const AuctionPtr second = w.add(QStringLiteral("200"));
    w.window->ViewNew(second);
    w.box("txtMaxBid")->setText(QStringLiteral("30"));
    w.save();
    QCOMPARE(w.events, QStringList({"changed:200", "refresh", "save"}));
}

void tst_frmAuctionBid::refusals_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("maxBid");
    QTest::addColumn<QString>("seconds");
    const QString bidding = QStringLiteral("BIDDING");
    QTest::newRow("empty bid") << "en_US" << bidding << ""
                               << "10";
    QTest::newRow("blank bid") << "en_US" << bidding << "   "
                               << "10";
    QTest::newRow("zero bid") << "en_US" << bidding << "0"
                              << "10";
    QTest::newRow("negative bid") << "en_US" << bidding << "-5"
                                  << "10";
    QTest::newRow("huge bid") << "en_US" << bidding << "1e308"
                              << "10";
    QTest::newRow("above the largest bid") << "en_US" << bidding << "1000000001"
                                           << "10";
    QTest::newRow("letters") << "en_US" << bidding << "abc"
                             << "10";
    QTest::newRow("letters after digits") << "en_US" << bidding << "12abc"
                                          << "10";
    QTest::newRow("grouped thousand") << "en_US" << bidding << "1,000"
                                      << "10";
    QTest::newRow("point grouping a thousand") << "de_DE" << bidding << "1.000"
                                               << "10";
    QTest::newRow("seconds letters") << "en_US" << bidding << "25"
                                     << "abc";
    QTest::newRow("seconds negative") << "en_US" << bidding << "25"
                                      << "-1";
    QTest::newRow("seconds beyond 32 bits") << "en_US" << bidding << "25"
                                            << "1e12";
    QTest::newRow("seconds beyond an hour") << "en_US" << bidding << "25"
                                            << "3601";
    QTest::newRow("watching with letters") << "en_US"
                                           << "NOT BIDDING"
                                           << "abc"
                                           << "10";
    QTest::newRow("watching with a negative bid") << "en_US"
                                                  << "NOT BIDDING"
                                                  << "-3"
                                                  << "10";
}

void tst_frmAuctionBid::refusals()
{
    QFETCH(QString, locale);
    QFETCH(QString, choice);
    QFETCH(QString, maxBid);
    QFETCH(QString, seconds);
    QLocale::setDefault(QLocale(locale));
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    auction->SnipeBid = 7;
    auction->SnipeSeconds = 4;
    const Snipe before = snipeOf(*auction);
    w.window->View(auction);
    w.choose(QStringLiteral("BIDDING"));
    w.box("txtMaxBid")->setText(maxBid);
    w.box("txtSnipeTime")->setText(seconds);
    w.choose(choice);
    w.save();

    QCOMPARE(w.boxes.boxes.size(), 1);
    QCOMPARE(w.boxes.boxes.first().title, QStringLiteral("Information Not Complete"));
    QCOMPARE(w.boxes.boxes.first().text,
             QStringLiteral("Please make sure each field is properly completed."));
    QCOMPARE(w.boxes.boxes.first().icon, MessageBoxSink::Exclamation);
    QCOMPARE(snipeOf(*auction), before);
    QVERIFY(w.events.isEmpty());
    QVERIFY(!w.closed());
}

void tst_frmAuctionBid::stored_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("maxBid");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<double>("bid");
    QTest::addColumn<int>("storedSeconds");
    QTest::addColumn<AucSnipeStates>("state");
    QTest::newRow("halves to even down") << "en_US"
                                         << "BIDDING"
                                         << "25"
                                         << "2.5" << 25.0 << 2 << OR2BidSet;
    QTest::newRow("halves to even up") << "en_US"
                                       << "BIDDING"
                                       << "25"
                                       << "3.5" << 25.0 << 4 << OR2BidSet;
    QTest::newRow("zero seconds") << "en_US"
                                  << "BIDDING"
                                  << "25"
                                  << "0" << 25.0 << 0 << OR2BidSet;
    QTest::newRow("an hour") << "en_US"
                             << "BIDDING"
                             << "25"
                             << "3600" << 25.0 << 3600 << OR2BidSet;
    QTest::newRow("exponent") << "en_US"
                              << "BIDDING"
                              << "1e3"
                              << "5" << 1000.0 << 5 << OR2BidSet;
    QTest::newRow("largest bid") << "en_US"
                                 << "BIDDING"
                                 << "1000000000"
                                 << "5" << 1e9 << 5 << OR2BidSet;
    QTest::newRow("decimal comma") << "de_DE"
                                   << "BIDDING"
                                   << "12,5"
                                   << "5" << 12.5 << 5 << OR2BidSet;
    QTest::newRow("point under de_DE") << "de_DE"
                                       << "BIDDING"
                                       << "12.50"
                                       << "5" << 12.5 << 5 << OR2BidSet;
    QTest::newRow("watching without a bid") << "en_US"
                                            << "NOT BIDDING"
                                            << ""
                                            << "5" << 0.0 << 5 << OR2Watching;
    QTest::newRow("cancelled") << "en_US"
                               << "CANCELLED BID"
                               << "8"
                               << "5" << 8.0 << 5 << OR2BidCancelled;
    QTest::newRow("success") << "en_US"
                             << "SUCCESSFUL BID"
                             << "8"
                             << "5" << 8.0 << 5 << OR2BidSuccess;
    QTest::newRow("failed") << "en_US"
                            << "BID FAILED"
                            << "8"
                            << "5" << 8.0 << 5 << OR2BidFailed;
}

void tst_frmAuctionBid::stored()
{
    QFETCH(QString, locale);
    QFETCH(QString, choice);
    QFETCH(QString, maxBid);
    QFETCH(QString, seconds);
    QFETCH(double, bid);
    QFETCH(int, storedSeconds);
    QFETCH(AucSnipeStates, state);
    QLocale::setDefault(QLocale(locale));
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    auction->SnipeQuantity = 2;
    w.window->View(auction);
    w.choose(QStringLiteral("BIDDING"));
    w.box("txtMaxBid")->setText(maxBid);
    w.box("txtSnipeTime")->setText(seconds);
    w.choose(choice);
    w.save();

    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    QCOMPARE(snipeOf(*auction), (Snipe{bid, storedSeconds, state}));
    QCOMPARE(auction->SnipeQuantity, 2);
    QCOMPARE(w.events.last(), QStringLiteral("save"));
    QVERIFY(w.closed());
}

void tst_frmAuctionBid::closedAuction_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<qint64>("endsIn"); // seconds after the site's now; a huge negative: the zero date
    QTest::addColumn<bool>("refused");
    QTest::newRow("bid, ended a second ago") << "BIDDING" << qint64(-1) << true;
    QTest::newRow("bid, ends now") << "BIDDING" << qint64(0) << false;
    QTest::newRow("bid, end not known") << "BIDDING" << std::numeric_limits<qint64>::min() << true;
    QTest::newRow("cancelled, ended a second ago") << "CANCELLED BID" << qint64(-1) << false;
    QTest::newRow("watching, ended a second ago") << "NOT BIDDING" << qint64(-1) << false;
}

void tst_frmAuctionBid::closedAuction()
{
    QFETCH(QString, choice);
    QFETCH(qint64, endsIn);
    QFETCH(bool, refused);
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    auction->EndTime = endsIn == std::numeric_limits<qint64>::min() ? DateTimes::zero()
                                                                    : w.app.Clock().Time().addSecs(endsIn);
    const Snipe before = snipeOf(*auction);
    w.window->View(auction);
    w.choose(QStringLiteral("BIDDING"));
    w.box("txtMaxBid")->setText(QStringLiteral("25"));
    w.choose(choice);
    w.save();
    if (refused) {
        QCOMPARE(w.titles(), QStringList{QStringLiteral("Cannot Create Bid")});
        QCOMPARE(w.boxes.boxes.first().text,
                 QStringLiteral("You may not set bids for auctions that have already closed."));
        QCOMPARE(w.boxes.boxes.first().icon, MessageBoxSink::Information);
        QCOMPARE(snipeOf(*auction), before);
        QVERIFY(w.events.isEmpty());
        QVERIFY(!w.closed());
    } else {
        QVERIFY(w.boxes.boxes.isEmpty());
        QCOMPARE(auction->SnipeBid, 25.0);
        QVERIFY(w.closed());
    }
}

void tst_frmAuctionBid::amountsReadBackUnchanged_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("bid");
    for (const char* locale : {"en_US", "de_DE", "fr_FR"}) {
        QTest::addRow("%s 12.5", locale) << locale << 12.5;
        QTest::addRow("%s 1000.25", locale) << locale << 1000.25;
        QTest::addRow("%s 12.125", locale) << locale << 12.125;
        QTest::addRow("%s 0.1 + 0.2", locale) << locale << 0.1 + 0.2;
        QTest::addRow("%s 7", locale) << locale << 7.0;
    }
}

void tst_frmAuctionBid::amountsReadBackUnchanged()
{
    QFETCH(QString, locale);
    QFETCH(double, bid);
    QLocale::setDefault(QLocale(locale));
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    auction->SnipeState = OR2BidSet;
    auction->SnipeBid = bid;
    auction->SnipeSeconds = 6;
    const Snipe before = snipeOf(*auction);
    w.window->View(auction);
    w.save();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    QCOMPARE(snipeOf(*auction), before);
}

void tst_frmAuctionBid::windowOvertakenByTheBidManager_data()
{
    QTest::addColumn<AucSnipeStates>("filled");
    QTest::addColumn<AucSnipeStates>("meanwhile");
    QTest::addColumn<QString>("shown"); // the state the refreshed window shows
    QTest::newRow("set, now preparing") << OR2BidSet << OR2BidPreparing << "";
    QTest::newRow("set, now prepared") << OR2BidSet << OR2BidPrepared << "";
    QTest::newRow("set, now sending") << OR2BidSet << OR2BidSending << "";
    QTest::newRow("set, now won") << OR2BidSet << OR2BidSuccess << "SUCCESSFUL BID";
    QTest::newRow("set, now failed") << OR2BidSet << OR2BidFailed << "BID FAILED";
    QTest::newRow("watching, now cancelled") << OR2Watching << OR2BidCancelled << "CANCELLED BID";
}

void tst_frmAuctionBid::windowOvertakenByTheBidManager()
{
    QFETCH(AucSnipeStates, filled);
    QFETCH(AucSnipeStates, meanwhile);
    QFETCH(QString, shown);
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    auction->SnipeState = filled;
    auction->SnipeBid = 25;
    w.window->View(auction);
    // The user re-arms the bid while the bid manager moves the snipe on.
    w.choose(QStringLiteral("BIDDING"));
    w.box("txtMaxBid")->setText(QStringLiteral("40"));
    auction->SnipeState = meanwhile;
    w.save();

    QCOMPARE(auction->SnipeState, meanwhile);
    QCOMPARE(auction->SnipeBid, 25.0);
    QVERIFY(w.events.isEmpty());
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Bid Details Changed")});
    QCOMPARE(w.boxes.boxes.first().icon, MessageBoxSink::Information);
    QVERIFY(!w.closed());
    QCOMPARE(w.state()->currentText(), shown);
    QCOMPARE(w.box("txtMaxBid")->text(), QStringLiteral("25"));

    // Refreshed on a finished bid, the window saves what the user then chooses.
    if (!shown.isEmpty()) {
        w.boxes.boxes.clear();
        w.choose(QStringLiteral("NOT BIDDING"));
        w.save();
        QVERIFY(w.boxes.boxes.isEmpty());
        QCOMPARE(auction->SnipeState, OR2Watching);
    }
}

void tst_frmAuctionBid::deletedAuctionIsNotSaved()
{
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    w.window->View(auction);
    w.choose(QStringLiteral("BIDDING"));
    w.box("txtMaxBid")->setText(QStringLiteral("40"));
    w.app.Auctions().Remove(QStringLiteral("100"));
    w.events.clear();
    w.save();
    QCOMPARE(auction->SnipeState, OR2Watching);
    QCOMPARE(auction->SnipeBid, 0.0);
    QVERIFY(w.events.isEmpty());
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Bid Details Changed")});
}

void tst_frmAuctionBid::viewNewChoosesBidding()
{
    Window w;
    const AuctionPtr auction = w.add(QStringLiteral("100"));
    w.window->ViewNew(auction);
    QCOMPARE(w.state()->currentText(), QStringLiteral("BIDDING"));
    QVERIFY(w.box("txtMaxBid")->isEnabled());
    QCOMPARE(w.system(), QStringLiteral("Please enter a bid for this auction."));
    QVERIFY(w.window->isVisible());

    // A bid under way is only shown, whichever entry opened the window.
    auction->SnipeState = OR2BidSending;
    w.window->ViewNew(auction);
    QCOMPARE(w.state()->currentIndex(), -1);
    QVERIFY(!w.box("txtMaxBid")->isEnabled());
}

void tst_frmAuctionBid::storedPageOfTheLastAttempt_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("file"); // made in the data folder before View; empty: none
    QTest::addColumn<bool>("enabled");
    QTest::newRow("page there") << "100"
                                << "Sent Snipes/100.html" << true;
    QTest::newRow("no page") << "100"
                             << "" << false;
    QTest::newRow("another item's page") << "100"
                                         << "Sent Snipes/1000.html" << false;
    QTest::newRow("a pattern in the item") << "1*"
                                           << "Sent Snipes/100.html" << false;
    QTest::newRow("a pattern matching itself") << "1*"
                                               << "Sent Snipes/1*.html" << false;
    QTest::newRow("a path out of the folder") << "../x"
                                              << "x.html" << false;
    QTest::newRow("a quote") << "1\"2"
                             << "Sent Snipes/1\"2.html" << false;
}

void tst_frmAuctionBid::storedPageOfTheLastAttempt()
{
    QFETCH(QString, item);
    QFETCH(QString, file);
    QFETCH(bool, enabled);
    Window w;
    QList<QUrl> launched;
    cGlobal::setLauncher([&launched](const QUrl& url) {
        launched << url;
        return true;
    });
    QDir(w.data.path()).mkpath(QStringLiteral("Sent Snipes"));
    if (!file.isEmpty())
        w.data.write(file, "<html>bid page</html>");
    // An item number from a hand-edited state file can be anything; the window builds no path from one
    // that is not letters and digits.
    const auto auction = AuctionPtr::create(0);
    auction->Item = item;
    auction->Clock = &w.app.Clock();
    w.window->View(auction);

    QCOMPARE(w.button("cmdView")->text(), QStringLiteral("View Web Output"));
    QCOMPARE(w.button("cmdView")->isEnabled(), enabled);
    w.button("cmdView")->click();
    if (enabled)
        QCOMPARE(launched, QList<QUrl>{QUrl::fromLocalFile(QDir(w.data.path()).filePath(file))});
    else
        QVERIFY(launched.isEmpty());
}

QTEST_MAIN(tst_frmAuctionBid)
#include "tst_frmAuctionBid.moc"
