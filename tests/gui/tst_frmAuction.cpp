#include "Categorys.h"
#include "DateTimes.h"
#include "DialogFixture.h"
#include "EnumName.h"
#include "FakeSite.h"
#include "TextForms.h"
#include "Updaters.h"
#include "WidgetDialogHost.h"
#include "XMLManager.h"
#include "ctlCalendar.h"
#include "frmAuction.h"
#include "frmAuctionBid.h"
#include "frmCategory.h"
#include "frmCategoryDelete.h"
#include "frmDate.h"
#include "mMain.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

namespace {

// The auction editor on the fixture's application.
struct Window : DialogFixture
{
    QPointer<frmAuction> window = new frmAuction(services());

    ~Window()
    {
        delete window;
        if (frmDate* chooser = frmDate::shared())
            delete chooser;
    }

    QLineEdit* box(const QString& name) const { return control<QLineEdit>(window, name); }
    QString text(const QString& name) const { return box(name)->text(); }
    QString label(const char* name) const
    {
        return control<QLabel>(window, QString::fromLatin1(name))->text();
    }
    QString status() const { return label("status"); }
    QPushButton* button(const char* name) const
    {
        return control<QPushButton>(window, QString::fromLatin1(name));
    }
    QToolButton* download() const { return control<QToolButton>(window, QStringLiteral("cmdDownload")); }
    QComboBox* category() const { return control<QComboBox>(window, QStringLiteral("cboCategory")); }
    void viewNew() { window->View(app.Auctions(), app.Categorys(), AuctionPtr()); }
    void view(const AuctionPtr& auction) { window->View(app.Auctions(), app.Categorys(), auction); }
    void save() const { button("cmdSave")->click(); }
    bool closed() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
};

// An auction with every field set; `zeroDates` leaves its three dates unknown.
AuctionPtr filled(DialogFixture& f, const QString& item, bool zeroDates)
{
    const AuctionPtr auction = f.add(item);
    auction->Description = QStringLiteral("Brass Lamp");
    auction->HighBidder = QStringLiteral("TOPBIDDER");
    auction->Seller = QStringLiteral("LAMPSELLER");
    auction->Comments = QStringLiteral("for the hall");
    auction->Price = 12.345;
    auction->Shipping = 3.25;
    auction->Quantity = 0;
    auction->Bids = 7;
    if (zeroDates) {
        auction->EndTime = DateTimes::zero();
    } else {
        auction->StartTime = DateTimes::naive(2004, 7, 1, 8, 30, 5);
        auction->EndTime = DateTimes::naive(2004, 7, 8, 0, 0, 0);
        auction->LastUpdated = DateTimes::naive(2004, 7, 2, 23, 59, 59);
    }
    return auction;
}

struct Fields
{
    QString description, highBidder, seller, comments, category;
    double price, shipping;
    qint32 quantity, bids;
    QDateTime start, end, updated;
    bool operator==(const Fields&) const = default;
};

Fields fieldsOf(const Auction& a)
{
    return {a.Description, a.HighBidder, a.Seller, a.Comments,  a.Category, a.Price,
            a.Shipping,    a.Quantity,   a.Bids,   a.StartTime, a.EndTime,  a.LastUpdated};
}

char* toString(const Fields& f)
{
    return qstrdup(QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11|%12")
                       .arg(f.description, f.highBidder, f.seller, f.comments, f.category)
                       .arg(f.price, 0, 'g', 17)
                       .arg(f.shipping, 0, 'g', 17)
                       .arg(f.quantity)
                       .arg(f.bids)
                       .arg(TextForms::date(f.start), TextForms::date(f.end), TextForms::date(f.updated))
                       .toUtf8()
                       .constData());
}

} // namespace

Q_DECLARE_METATYPE(AucSnipeStates)

// The auction editor: what it shows and stores, its refusals, the download into its boxes, the bid
// summary, the way on to the bid dialog, the date chooser, and the host that opens the editors.
class tst_frmAuction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void viewShowsTheAuction_data();
    void viewShowsTheAuction();
    void viewForANewAuction();
    void savingUnchangedKeepsTheAuction_data();
    void savingUnchangedKeepsTheAuction();
    void saveStoresTheBoxes();
    void refusals_data();
    void refusals();
    void addErrors_data();
    void addErrors();
    void firstAuctionInformationOnce();
    void categoryThatNoLongerExists();
    void staleWindowStoresNothing_data();
    void staleWindowStoresNothing();
    void downloadFillsTheBoxes();
    void downloadFailure();
    void onlyTheLatestDownloadFills();
    void closingDuringADownload();
    void bidSummary_data();
    void bidSummary();
    void editBidForANewAuction();
    void editBidWithoutAUserName();
    void editBidIncomplete();
    void dateButtonsRoundTrip_data();
    void dateButtonsRoundTrip();
    void hostOpensOneSharedWindowEach();
};

void tst_frmAuction::viewShowsTheAuction_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("zeroDates");
    QTest::addColumn<QStringList>("texts"); // price, shipping, quantity, start, end, last updated
    // Amounts whole, as stored: a Save of the untouched boxes gives back the very amounts.
    QTest::newRow("en_US") << "en_US" << false << QStringList{"12.345",   "3.25",
                                                              "1",        "7/1/2004 8:30:05 AM",
                                                              "7/8/2004", "7/2/2004 11:59:59 PM"};
    QTest::newRow("de_DE") << "de_DE" << false << QStringList{"12,345",     "3,25",
                                                              "1",          "01.07.2004 08:30:05",
                                                              "08.07.2004", "02.07.2004 23:59:59"};
    QTest::newRow("dates unknown") << "en_US" << true
                                   << QStringList{"12.345", "3.25", "1", "N/A", "N/A", "N/A"};
}

void tst_frmAuction::viewShowsTheAuction()
{
    QFETCH(QString, locale);
    QFETCH(bool, zeroDates);
    QFETCH(QStringList, texts);
    QLocale::setDefault(QLocale(locale));
    Window w;
    const AuctionPtr auction = filled(w, QStringLiteral("100"), zeroDates);
    w.view(auction);

    const QStringList shown{w.text("txtPrice"),     w.text("txtShipping"), w.text("txtQuantity"),
                            w.text("txtStartDate"), w.text("txtEndTime"),  w.text("txtLastUpdated")};
    QCOMPARE(shown, texts);
    QCOMPARE(w.text("txtItem"), QStringLiteral("100"));
    QCOMPARE(w.text("txtDescription"), QStringLiteral("Brass Lamp"));
    QCOMPARE(w.text("txtHighbidder"), QStringLiteral("TOPBIDDER"));
    QCOMPARE(w.text("txtSeller"), QStringLiteral("LAMPSELLER"));
    QCOMPARE(w.text("txtComments"), QStringLiteral("for the hall"));
    QCOMPARE(w.text("txtBids"), QStringLiteral("7"));
    QCOMPARE(w.category()->currentText(), QStringLiteral("Default"));
    QVERIFY(!w.category()->isEditable());
    QCOMPARE(w.button("cmdSave")->text(), QStringLiteral("Save Auction"));
    QVERIFY(!w.box(QStringLiteral("txtItem"))->isEnabled());
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Auction Editor"));
    // The time left runs for an auction being edited.
    QCOMPARE(w.label("lblTimeLeft"), zeroDates ? QStringLiteral("N/A") : QStringLiteral("OVER"));
    auction->EndTime = w.app.Clock().Time().addSecs(3661);
    w.window->tmrTick_Timer();
    QCOMPARE(w.label("lblTimeLeft"), QStringLiteral("00:01:01:01"));
}

void tst_frmAuction::viewForANewAuction()
{
    Window w;
    w.app.Categorys().Add(QStringLiteral("Books"), false, 1);
    w.viewNew();
    QCOMPARE(w.button("cmdSave")->text(), QStringLiteral("Add Auction"));
    QVERIFY(w.box(QStringLiteral("txtItem"))->isEnabled());
    QCOMPARE(w.text("txtItem"), QString());
    QCOMPARE(w.text("txtQuantity"), QStringLiteral("1"));
    QCOMPARE(w.category()->count(), 2);
    QCOMPARE(w.category()->currentText(), QStringLiteral("Default"));
    QCOMPARE(w.button("cmdEditBid")->text(), QStringLiteral("Create Bid Details"));
    QCOMPARE(w.label("lblTimeLeft"), QStringLiteral("00:00:00:00"));
    // Nothing typed: nothing to download, add or bid on.
    QVERIFY(!w.download()->isEnabled());
    QVERIFY(!w.button("cmdSave")->isEnabled());
    QVERIFY(!w.button("cmdEditBid")->isEnabled());
    w.box(QStringLiteral("txtItem"))->setText(QStringLiteral("300"));
    QVERIFY(w.download()->isEnabled());
    QVERIFY(w.button("cmdSave")->isEnabled());
    QVERIFY(w.button("cmdEditBid")->isEnabled());
}

void tst_frmAuction::savingUnchangedKeepsTheAuction_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("zeroDates");
    for (const char* locale : {"en_US", "de_DE", "en_GB", "fr_FR"}) {
        QTest::addRow("%s", locale) << locale << false;
        QTest::addRow("%s dates unknown", locale) << locale << true;
    }
}

void tst_frmAuction::savingUnchangedKeepsTheAuction()
{
    QFETCH(QString, locale);
    QFETCH(bool, zeroDates);
    QLocale::setDefault(QLocale(locale));
    Window w;
    const AuctionPtr auction = filled(w, QStringLiteral("100"), zeroDates);
    Fields expected = fieldsOf(*auction);
    expected.quantity = 1; // shown as 1, stored as shown
    w.view(auction);
    w.save();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    QCOMPARE(fieldsOf(*auction), expected);
    QCOMPARE(w.events, QStringList({"changed:100", "save"}));
    QVERIFY(w.closed());
}

void tst_frmAuction::saveStoresTheBoxes()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    Window w;
    w.app.Categorys().Add(QStringLiteral("Books"), false, 1);
    const AuctionPtr auction = filled(w, QStringLiteral("100"), false);
    w.view(auction);
    w.box(QStringLiteral("txtPrice"))->setText(QStringLiteral("1234,56"));
    w.box(QStringLiteral("txtShipping"))->setText(QStringLiteral("4.5"));
    w.box(QStringLiteral("txtQuantity"))->setText(QStringLiteral("0.4"));
    w.box(QStringLiteral("txtBids"))->setText(QStringLiteral("2.5"));
    w.box(QStringLiteral("txtEndTime"))->setText(QStringLiteral("09.07.2004 10:11:12"));
    w.box(QStringLiteral("txtDescription"))->setText(QStringLiteral("Lamp, brass"));
    w.category()->setCurrentIndex(w.category()->findText(QStringLiteral("Books")));
    w.save();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    QCOMPARE(auction->Price, 1234.56);
    QCOMPARE(auction->Shipping, 4.5);
    // 0.4 is a quantity above 0, and rounds to 0.
    QCOMPARE(auction->Quantity, 0);
    QCOMPARE(auction->Bids, 2);
    QCOMPARE(auction->EndTime, DateTimes::naive(2004, 7, 9, 10, 11, 12));
    QCOMPARE(auction->Description, QStringLiteral("Lamp, brass"));
    QCOMPARE(auction->Category, QStringLiteral("Books"));
    QCOMPARE(auction->Item, QStringLiteral("100"));
}

void tst_frmAuction::refusals_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("quantity letters") << "en_US"
                                      << "txtQuantity"
                                      << "abc";
    QTest::newRow("quantity zero") << "en_US"
                                   << "txtQuantity"
                                   << "0";
    QTest::newRow("quantity empty") << "en_US"
                                    << "txtQuantity"
                                    << "";
    QTest::newRow("quantity beyond 32 bits") << "en_US"
                                             << "txtQuantity"
                                             << "1e10";
    QTest::newRow("price grouped") << "en_US"
                                   << "txtPrice"
                                   << "1,000";
    QTest::newRow("price point grouping") << "de_DE"
                                          << "txtPrice"
                                          << "1.000";
    QTest::newRow("price letters after digits") << "en_US"
                                                << "txtPrice"
                                                << "12abc";
    QTest::newRow("price negative") << "en_US"
                                    << "txtPrice"
                                    << "-1";
    QTest::newRow("price huge") << "en_US"
                                << "txtPrice"
                                << "1e308";
    QTest::newRow("shipping letters") << "en_US"
                                      << "txtShipping"
                                      << "free";
    QTest::newRow("bids letters") << "en_US"
                                  << "txtBids"
                                  << "abc";
    QTest::newRow("bids negative") << "en_US"
                                   << "txtBids"
                                   << "-2";
    QTest::newRow("end time junk") << "en_US"
                                   << "txtEndTime"
                                   << "next Tuesday";
    QTest::newRow("start date impossible") << "en_US"
                                           << "txtStartDate"
                                           << "13/45/2004";
    QTest::newRow("last updated junk") << "de_DE"
                                       << "txtLastUpdated"
                                       << "gestern";
}

void tst_frmAuction::refusals()
{
    QFETCH(QString, locale);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    for (const bool existing : {false, true}) {
        Window w;
        const AuctionPtr auction = filled(w, QStringLiteral("100"), false);
        const Fields before = fieldsOf(*auction);
        if (existing) {
            w.view(auction);
        } else {
            w.viewNew();
            w.box(QStringLiteral("txtItem"))->setText(QStringLiteral("300"));
        }
        w.box(box)->setText(text);
        w.save();
        QCOMPARE(w.titles(), QStringList{QStringLiteral("Information Not Complete")});
        QCOMPARE(w.boxes.boxes.first().text,
                 QStringLiteral("Please make sure the required fields are properly completed."));
        QCOMPARE(w.boxes.boxes.first().icon, MessageBoxSink::Exclamation);
        QCOMPARE(w.app.Auctions().Count(), 1);
        QCOMPARE(fieldsOf(*auction), before);
        QVERIFY(w.events.isEmpty());
        QVERIFY(!w.closed());
    }
}

void tst_frmAuction::addErrors_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("error");
    QTest::newRow("already listed") << "100"
                                    << "Cannot add auction.  Item 100 already exists in Category Default.";
    QTest::newRow("already listed, other case")
        << "abc1"
        << "Cannot add auction.  Item abc1 already exists in Category Default.";
    QTest::newRow("slash")
        << "12/3"
        << "Cannot add auction.  The item number \"12/3\" may hold only letters and digits.";
    QTest::newRow("quote")
        << "12'3"
        << "Cannot add auction.  The item number \"12'3\" may hold only letters and digits.";
    QTest::newRow("blanks only") << "   "
                                 << "Cannot add auction.  The item number is empty.";
}

void tst_frmAuction::addErrors()
{
    QFETCH(QString, item);
    QFETCH(QString, error);
    Window w;
    w.add(QStringLiteral("100"));
    w.add(QStringLiteral("ABC1"));
    w.viewNew();
    w.box(QStringLiteral("txtItem"))->setText(item);
    w.save();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Add Error")});
    QCOMPARE(w.boxes.boxes.first().text, error);
    QCOMPARE(w.app.Auctions().Count(), 2);
    QVERIFY(w.events.isEmpty());
    QVERIFY(!w.closed());
    QVERIFY(w.box(QStringLiteral("txtItem"))->isEnabled());
}

void tst_frmAuction::firstAuctionInformationOnce()
{
    Window w;
    QVERIFY(!w.app.Settings().ViewedAuctionAdded);
    w.viewNew();
    w.box(QStringLiteral("txtItem"))->setText(QStringLiteral(" 300 "));
    w.save();
    QVERIFY(w.boxes.boxes.isEmpty());
    QCOMPARE(w.events, QStringList({"changed:300", "info:1", "sync", "changed:300", "save"}));
    QVERIFY(w.app.Settings().ViewedAuctionAdded);
    QCOMPARE(w.app.Auctions().Item(QStringLiteral("300"))->Category, QStringLiteral("Default"));
    QVERIFY(w.closed());

    w.events.clear();
    w.window = new frmAuction(w.services());
    w.viewNew();
    w.box(QStringLiteral("txtItem"))->setText(QStringLiteral("301"));
    w.save();
    QCOMPARE(w.events, QStringList({"changed:301", "changed:301", "save"}));
    QCOMPARE(w.host.calls.count(QStringLiteral("info:1")), 1);
}

void tst_frmAuction::categoryThatNoLongerExists()
{
    Window w;
    w.app.Categorys().Add(QStringLiteral("Books"), false, 1);
    const AuctionPtr auction = filled(w, QStringLiteral("100"), false);
    auction->Category = QStringLiteral("Gone");
    w.view(auction);
    QCOMPARE(w.category()->currentIndex(), -1);
    w.save();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Information Not Complete")});
    QCOMPARE(auction->Category, QStringLiteral("Gone"));

    // Chosen, then removed before Save: the auction does not go to a category that no view shows.
    w.boxes.boxes.clear();
    w.category()->setCurrentIndex(w.category()->findText(QStringLiteral("Books")));
    w.app.Categorys().Remove(QStringLiteral("Books"));
    w.save();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Add Error")});
    QCOMPARE(auction->Category, QStringLiteral("Gone"));

    w.boxes.boxes.clear();
    w.category()->setCurrentIndex(w.category()->findText(QStringLiteral("Default")));
    w.save();
    QVERIFY(w.boxes.boxes.isEmpty());
    QCOMPARE(auction->Category, QStringLiteral("Default"));
}

// A window filled before its auction changed writes none of its old values back: Save stores nothing,
// fills the boxes afresh and says why; the next Save stores what the boxes then hold.
void tst_frmAuction::staleWindowStoresNothing_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("stale");
    QTest::newRow("updated by a download") << "download" << true;
    QTest::newRow("moved to another category") << "move" << true;
    QTest::newRow("a new price") << "price" << true;
    QTest::newRow("deleted") << "delete" << true;
    QTest::newRow("only its bid changed") << "bid" << false;
}

void tst_frmAuction::staleWindowStoresNothing()
{
    QFETCH(QString, change);
    QFETCH(bool, stale);
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    FakeSite site;
    QVERIFY(site.listen({SiteEndpoints::ItemPage}));
    site.exportEnvironment();
    site.setItemPage(QStringLiteral("100"),
                     FakeSite::Response::page(FakeSite::fixture(QStringLiteral("item-lamp.html"))));
    Window w;
    w.app.Categorys().Add(QStringLiteral("Books"), false, 1);
    const AuctionPtr auction = filled(w, QStringLiteral("100"), false);
    w.view(auction);
    w.box(QStringLiteral("txtComments"))->setText(QStringLiteral("typed meanwhile"));

    const QDateTime downloadedEnd = DateTimes::naive(2006, 3, 15, 10, 0);
    if (change == QLatin1String("download")) {
        w.app.Updaters().DownloadItem(auction);
        QTRY_COMPARE(w.app.Updaters().State(), sfNotBusy);
        QCOMPARE(auction->EndTime, downloadedEnd);
    } else if (change == QLatin1String("move")) {
        auction->Category = QStringLiteral("Books");
        auction->Changed();
    } else if (change == QLatin1String("price")) {
        auction->Price = 99;
        auction->Changed();
    } else if (change == QLatin1String("delete")) {
        w.app.Auctions().Remove(QStringLiteral("100"));
    } else {
        auction->SnipeBid = 20;
        auction->SnipeState = OR2BidSet;
        auction->Changed();
    }
    const Fields after = fieldsOf(*auction);
    w.events.clear();
    w.save();

    if (!stale) {
        QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
        QCOMPARE(auction->Comments, QStringLiteral("typed meanwhile"));
        QCOMPARE(auction->SnipeBid, 20.0);
        QVERIFY(w.closed());
        return;
    }
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Auction Details Changed")});
    QCOMPARE(w.boxes.boxes.first().icon, MessageBoxSink::Information);
    QCOMPARE(fieldsOf(*auction), after);
    QVERIFY(!w.events.contains(QStringLiteral("save")));
    QVERIFY(!w.closed());
    if (change == QLatin1String("delete")) {
        QCOMPARE(w.boxes.boxes.first().text,
                 QStringLiteral("This auction is no longer in the list.  Nothing was saved."));
        QVERIFY(!w.app.Auctions().Exists(QStringLiteral("100")));
        return;
    }
    QCOMPARE(w.boxes.boxes.first().text,
             QStringLiteral("This auction was updated while this window was open.  The window now shows it "
                            "as it stands; nothing was saved."));
    // The boxes show the auction as it stands now.
    QCOMPARE(w.text("txtEndTime"), TextForms::generalDate(auction->EndTime));
    QCOMPARE(w.text("txtPrice"), TextForms::typedNumber(auction->Price));
    QCOMPARE(w.text("txtComments"), auction->Comments);
    QCOMPARE(w.category()->currentText(), auction->Category);
    if (change == QLatin1String("download")) {
        // What the download read is in the file, and the refused Save did not take it back.
        XMLManager saved;
        saved.LoadFile(w.data.stateFile());
        const XmlElement stored =
            saved.Node().firstChildElement(QStringLiteral("Auctions")).firstChildElement();
        QCOMPARE(stored.firstChildElement(QStringLiteral("EndTime")).text(), TextForms::date(downloadedEnd));
        QCOMPARE(stored.firstChildElement(QStringLiteral("Description")).text(),
                 QStringLiteral("Brass Lamp"));
    }

    // Saved again, the window stores what it now shows, which is the auction as it stands.
    w.boxes.boxes.clear();
    w.save();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    Fields expected = after;
    expected.quantity = qMax(expected.quantity, 1); // shown as 1, stored as shown
    QCOMPARE(fieldsOf(*auction), expected);
    QCOMPARE(w.events.last(), QStringLiteral("save"));
    QVERIFY(w.closed());
}

void tst_frmAuction::downloadFillsTheBoxes()
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    FakeSite site;
    QVERIFY(site.listen({SiteEndpoints::ItemPage}));
    site.exportEnvironment();
    site.setItemPage(QStringLiteral("123"),
                     FakeSite::Response::page(FakeSite::fixture(QStringLiteral("item-lamp.html"))));
    Window w;
    w.app.Categorys().Add(QStringLiteral("Books"), false, 1);
    w.window->ViewNewItem(w.app.Auctions(), w.app.Categorys(), QStringLiteral("123"),
                          QStringLiteral("Books"));
    QCOMPARE(w.status(), QStringLiteral("Downloading auction 123 details..."));
    QVERIFY(!w.download()->isEnabled());
    QTRY_COMPARE(w.status(), QStringLiteral("Auction 123 details downloaded."));
    QVERIFY(w.download()->isEnabled());

    const QDateTime siteNow = w.app.Clock().Time();
    QVERIFY(siteNow != DateTimes::asNaive(w.now.localNow())); // so that the stamp below tells them apart
    QCOMPARE(w.text("txtDescription"), QStringLiteral("Brass Lamp"));
    QCOMPARE(w.text("txtPrice"), QStringLiteral("1234.5"));
    QCOMPARE(w.text("txtBids"), QStringLiteral("7"));
    QCOMPARE(w.text("txtQuantity"), QStringLiteral("1"));
    QCOMPARE(w.text("txtHighbidder"), QStringLiteral("TOPBIDDER"));
    QCOMPARE(w.text("txtSeller"), QStringLiteral("LAMPSELLER"));
    QCOMPARE(w.text("txtEndTime"), TextForms::generalDate(DateTimes::naive(2006, 3, 15, 10, 0)));
    QCOMPARE(w.text("txtStartDate"), TextForms::generalDate(DateTimes::naive(2006, 3, 8, 10, 0)));
    QCOMPARE(w.text("txtLastUpdated"), TextForms::generalDate(siteNow));
    QCOMPARE(w.category()->currentText(), QStringLiteral("Books"));
    // Nothing is stored until Save.
    QCOMPARE(w.app.Auctions().Count(), 0);

    w.save();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    const AuctionPtr added = w.app.Auctions().Item(QStringLiteral("123"));
    QCOMPARE(added->Category, QStringLiteral("Books"));
    QCOMPARE(added->Description, QStringLiteral("Brass Lamp"));
    QCOMPARE(added->Price, 1234.5);
    QCOMPARE(added->EndTime, DateTimes::naive(2006, 3, 15, 10, 0));
    QCOMPARE(added->LastUpdated, siteNow);
}

void tst_frmAuction::downloadFailure()
{
    FakeSite site;
    QVERIFY(site.listen({SiteEndpoints::ItemPage}));
    site.exportEnvironment();
    Window w;
    const AuctionPtr auction = filled(w, QStringLiteral("100"), false);
    w.view(auction);
    w.download()->click();
    QTRY_COMPARE(w.status(), QStringLiteral("Error downloading auction details."));
    QVERIFY(w.download()->isEnabled());
    QCOMPARE(w.text("txtDescription"), QStringLiteral("Brass Lamp"));

    // An item number that is no item number never reaches an address.
    w.viewNew();
    w.box(QStringLiteral("txtItem"))->setText(QStringLiteral("1/../2"));
    site.clearRequests();
    w.download()->click();
    QTRY_COMPARE(w.status(), QStringLiteral("Error downloading auction details."));
    QVERIFY(site.requests().isEmpty());
}

void tst_frmAuction::onlyTheLatestDownloadFills()
{
    FakeSite site;
    QVERIFY(site.listen({SiteEndpoints::ItemPage}));
    site.exportEnvironment();
    const QByteArray lamp = FakeSite::fixture(QStringLiteral("item-lamp.html"));
    site.setItemPage(QStringLiteral("123"), FakeSite::Response::page(lamp).delayed(300));
    site.setItemPage(QStringLiteral("456"),
                     FakeSite::Response::page(FakeSite::fixture(QStringLiteral("item-dutch.html"))));
    Window w;
    w.window->ViewNewItem(w.app.Auctions(), w.app.Categorys(), QStringLiteral("123"), QString());
    QTRY_COMPARE(site.pendingCount(), 1);
    // The button waits for the download under way; another item handed to the window replaces it.
    QVERIFY(!w.download()->isEnabled());
    w.window->ViewNewItem(w.app.Auctions(), w.app.Categorys(), QStringLiteral("456"), QString());
    QTRY_COMPARE(w.status(), QStringLiteral("Auction 456 details downloaded."));
    QCOMPARE(w.text("txtDescription"), QStringLiteral("Garden Gnomes, set of 3"));
    // The first page is due later and changes nothing.
    QTest::qWait(500);
    QCOMPARE(site.pendingCount(), 0);
    QCOMPARE(w.text("txtItem"), QStringLiteral("456"));
    QCOMPARE(w.text("txtDescription"), QStringLiteral("Garden Gnomes, set of 3"));
    QCOMPARE(w.status(), QStringLiteral("Auction 456 details downloaded."));

    // Opening on another auction drops a download under way: its page never fills that auction's boxes.
    site.setItemPage(QStringLiteral("789"), FakeSite::Response::page(lamp).delayed(300));
    w.window->ViewNewItem(w.app.Auctions(), w.app.Categorys(), QStringLiteral("789"), QString());
    QTRY_COMPARE(site.pendingCount(), 1);
    const AuctionPtr other = filled(w, QStringLiteral("100"), false);
    other->Description = QStringLiteral("Umbrella");
    w.view(other);
    QVERIFY(w.download()->isEnabled());
    QTest::qWait(500);
    QCOMPARE(site.pendingCount(), 0);
    QCOMPARE(w.text("txtItem"), QStringLiteral("100"));
    QCOMPARE(w.text("txtDescription"), QStringLiteral("Umbrella"));
}

void tst_frmAuction::closingDuringADownload()
{
    FakeSite site;
    QVERIFY(site.listen({SiteEndpoints::ItemPage}));
    site.exportEnvironment();
    site.setItemPage(
        QStringLiteral("123"),
        FakeSite::Response::page(FakeSite::fixture(QStringLiteral("item-lamp.html"))).delayed(300));
    Window w;
    w.window->ViewNewItem(w.app.Auctions(), w.app.Categorys(), QStringLiteral("123"), QString());
    QTRY_COMPARE(site.pendingCount(), 1);
    w.window->close();
    QVERIFY(w.closed());
    QTest::qWait(500);
    QCOMPARE(site.pendingCount(), 0);
    QCOMPARE(w.app.Auctions().Count(), 0);
}

void tst_frmAuction::bidSummary_data()
{
    QTest::addColumn<AucSnipeStates>("state");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QColor>("colour");
    const QColor cyan(192, 255, 255);
    // States under way keep what the window showed, here the watching auction's.
    QTest::newRow("watching") << OR2Watching << "Create Bid Details"
                              << "Not Bidding on Auction" << cyan;
    QTest::newRow("set") << OR2BidSet << "Edit Bid Details"
                         << "Bid Prepared and Ready" << QColor(255, 255, 0);
    QTest::newRow("preparing") << OR2BidPreparing << "Create Bid Details"
                               << "Not Bidding on Auction" << cyan;
    QTest::newRow("prepared") << OR2BidPrepared << "Create Bid Details"
                              << "Not Bidding on Auction" << cyan;
    QTest::newRow("sending") << OR2BidSending << "Create Bid Details"
                             << "Not Bidding on Auction" << cyan;
    QTest::newRow("failed") << OR2BidFailed << "View Bid Details"
                            << "Bid Failed - See Details" << QColor(255, 0, 0);
    QTest::newRow("success") << OR2BidSuccess << "View Bid Details"
                             << "Bid Successfully Sent" << QColor(0, 255, 0);
    QTest::newRow("cancelled") << OR2BidCancelled << "View Bid Details"
                               << "Bid Cancelled - See..." << QColor(224, 224, 224);
}

void tst_frmAuction::bidSummary()
{
    QFETCH(AucSnipeStates, state);
    QFETCH(QString, button);
    QFETCH(QString, status);
    QFETCH(QColor, colour);
    Window w;
    const AuctionPtr auction = filled(w, QStringLiteral("100"), false);
    w.view(auction);
    QCOMPARE(w.label("lblBid"), QStringLiteral("N/A"));
    auction->SnipeState = state;
    auction->SnipeBid = 25.5;
    auction->SnipeSeconds = 8;
    // Activated again, as on return from the bid dialog.
    w.view(auction);
    QCOMPARE(w.button("cmdEditBid")->text(), button);
    QCOMPARE(w.label("lblStatus"), status);
    QCOMPARE(control<QLabel>(w.window, QStringLiteral("lblStatus"))->palette().color(QPalette::Window),
             colour);
    QCOMPARE(w.label("lblBid"), QStringLiteral("25.5"));
    QCOMPARE(w.label("lblSnipeTime"), QStringLiteral("8"));
    auction->SnipeSeconds = 0;
    w.view(auction);
    QCOMPARE(w.label("lblSnipeTime"), QStringLiteral("N/A"));
}

void tst_frmAuction::editBidForANewAuction()
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    Window w;
    w.viewNew();
    w.box(QStringLiteral("txtItem"))->setText(QStringLiteral("300 "));
    w.box(QStringLiteral("txtEndTime"))->setText(QStringLiteral("3/2/2026 9:30:00 AM"));
    w.box(QStringLiteral("txtDescription"))->setText(QStringLiteral("not yet stored"));
    w.button("cmdEditBid")->click();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    const AuctionPtr added = w.app.Auctions().Item(QStringLiteral("300"));
    QCOMPARE(added->EndTime, DateTimes::naive(2026, 3, 2, 9, 30));
    QCOMPARE(added->Description, QString());
    QCOMPARE(w.host.calls.last(), QStringLiteral("bid:300"));
    QVERIFY(!w.events.contains(QStringLiteral("save")));
    QCOMPARE(w.window->heldAuction(), added);
    // The boxes now belong to that auction: its item number cannot be typed over.
    QVERIFY(!w.box(QStringLiteral("txtItem"))->isEnabled());
    QCOMPARE(w.text("txtItem"), QStringLiteral("300"));

    // Pressed again, it opens the bid dialog on the same auction; Save stores into it, adding nothing.
    w.button("cmdEditBid")->click();
    QCOMPARE(w.host.calls.last(), QStringLiteral("bid:300"));
    w.save();
    QVERIFY(w.boxes.boxes.isEmpty());
    QCOMPARE(w.app.Auctions().Count(), 1);
    QCOMPARE(added->Description, QStringLiteral("not yet stored"));
    QCOMPARE(w.events.last(), QStringLiteral("save"));
}

void tst_frmAuction::editBidWithoutAUserName()
{
    Window w;
    w.app.Settings().Username.clear();
    w.viewNew();
    w.box(QStringLiteral("txtItem"))->setText(QStringLiteral("300"));
    w.button("cmdEditBid")->click();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Edit Bid Error")});
    QCOMPARE(
        w.boxes.boxes.first().text,
        QStringLiteral("You must first have an eBay username and password set before you can create a bid "
                       "for an auction.  Please open the configurations and enter this information."));
    // The auction stays added, and held.
    QVERIFY(w.app.Auctions().Exists(QStringLiteral("300")));
    QCOMPARE(w.window->heldAuction(), w.app.Auctions().Item(QStringLiteral("300")));
    QVERIFY(!w.host.calls.contains(QStringLiteral("bid:300")));
}

void tst_frmAuction::editBidIncomplete()
{
    Window w;
    w.viewNew();
    w.box(QStringLiteral("txtItem"))->setText(QStringLiteral("300"));
    w.box(QStringLiteral("txtQuantity"))->setText(QStringLiteral("abc"));
    w.button("cmdEditBid")->click();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Information Not Complete")});
    QCOMPARE(
        w.boxes.boxes.first().text,
        QStringLiteral("Please make sure the required fields are properly completed before you edit the bid "
                       "properties."));
    QCOMPARE(w.app.Auctions().Count(), 0);
}

void tst_frmAuction::dateButtonsRoundTrip_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("index");
    for (const char* locale : {"en_US", "en_GB", "de_DE"}) {
        for (int index = 0; index < 3; ++index)
            QTest::addRow("%s %d", locale, index) << locale << index;
    }
}

void tst_frmAuction::dateButtonsRoundTrip()
{
    QFETCH(QString, locale);
    QFETCH(int, index);
    QLocale::setDefault(QLocale(locale));
    Window w;
    const AuctionPtr auction = filled(w, QStringLiteral("100"), true);
    w.view(auction);
    control<QToolButton>(w.window, QStringLiteral("imgChooseDate_%1").arg(index))->click();
    frmDate* chooser = frmDate::shared();
    QVERIFY(chooser);
    // A 2004 date, where the regional short date has a two-digit year, at midnight and past it.
    chooser->Cal->setValue(QDate(2004, 12, 31));
    chooser->cboHour->setCurrentIndex(index == 1 ? 0 : 23);
    chooser->cboMin->setCurrentIndex(index == 1 ? 0 : 59);
    chooser->cboSecs->setCurrentIndex(index == 1 ? 0 : 7);
    chooser->save();
    const QDateTime chosen =
        index == 1 ? DateTimes::naive(2004, 12, 31) : DateTimes::naive(2004, 12, 31, 23, 59, 7);
    w.save();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    const QList<QDateTime> dates{auction->StartTime, auction->EndTime, auction->LastUpdated};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(dates.at(i), i == index ? chosen : DateTimes::zero());
}

void tst_frmAuction::hostOpensOneSharedWindowEach()
{
    Window w;
    const AuctionPtr first = w.add(QStringLiteral("100"));
    const AuctionPtr second = w.add(QStringLiteral("200"));
    mMain::setApp(&w.app);
    {
        WidgetDialogHost host;
        const auto open = [](const QMetaObject& type) {
            int count = 0;
            for (QWidget* widget : QApplication::topLevelWidgets())
                count += widget->isVisible() && widget->metaObject() == &type ? 1 : 0;
            return count;
        };
        host.viewAuction(w.app.Auctions(), w.app.Categorys(), first);
        host.viewAuction(w.app.Auctions(), w.app.Categorys(), second);
        QCOMPARE(open(frmAuction::staticMetaObject), 1);
        host.viewAuctionBid(first, false);
        host.viewAuctionBid(second, true);
        QCOMPARE(open(frmAuctionBid::staticMetaObject), 1);
        host.viewCategory(w.app.Categorys(), w.app.Auctions(), CategoryPtr());
        host.viewCategory(w.app.Categorys(), w.app.Auctions(), w.app.Categorys().Items().first());
        QCOMPARE(open(frmCategory::staticMetaObject), 1);
        host.viewCategoryDelete(w.app.Auctions(), w.app.Categorys(), w.app.Categorys().Items().first());
        QCOMPARE(open(frmCategoryDelete::staticMetaObject), 1);
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->metaObject() == &frmAuction::staticMetaObject) {
                // Each opening fills the one window afresh.
                QCOMPARE(widget->findChild<QLineEdit*>(QStringLiteral("txtItem"))->text(),
                         QStringLiteral("200"));
                // Closing unloads it; the next opening makes a new one.
                widget->close();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(open(frmAuction::staticMetaObject), 0);
        host.viewAuction(w.app.Auctions(), w.app.Categorys(), AuctionPtr());
        QCOMPARE(open(frmAuction::staticMetaObject), 1);
    }
    mMain::setApp(nullptr);
}

QTEST_MAIN(tst_frmAuction)
#include "tst_frmAuction.moc"
