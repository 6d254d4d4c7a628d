#include "Auctions.h"
#include "BidManager.h"
#include "Categorys.h"
#include "Columns.h"
#include "DateTimes.h"
#include "EnumName.h"
#include "FakeEngine.h"
#include "FakeTimeSource.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "VerManager.h"
#include "cApp.h"

#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <sys/stat.h>

namespace {

const QDateTime now = DateTimes::naive(2026, 3, 1, 12, 0, 0);

QString dateText(const QDateTime& value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

// Every stored field of the auctions, categories, columns, bid manager and version manager, one per
// line, in a form that does not depend on the locale.
QStringList describe(const cApp& app)
{
    QStringList lines;
    for (const AuctionPtr& a : app.Auctions().Items()) {
        const QString p = QStringLiteral("auction ") + a->Item + QStringLiteral(": ");
        lines << p + QStringLiteral("Description=") + a->Description
              << p + QStringLiteral("EndTime=") + dateText(a->EndTime)
              << p + QStringLiteral("StartTime=") + dateText(a->StartTime)
              << p + QStringLiteral("Price=") + number(a->Price)
              << p + QStringLiteral("Shipping=") + number(a->Shipping)
              << p + QStringLiteral("Quantity=") + QString::number(a->Quantity)
              << p + QStringLiteral("Bids=") + QString::number(a->Bids)
              << p + QStringLiteral("HighBidder=") + a->HighBidder
              << p + QStringLiteral("Seller=") + a->Seller
              << p + QStringLiteral("LastUpdated=") + dateText(a->LastUpdated)
              << p + QStringLiteral("Comments=") + a->Comments
              << p + QStringLiteral("Category=") + a->Category
              << p + QStringLiteral("SnipeState=") + enumName<AucSnipeStates>(a->SnipeState)
              << p + QStringLiteral("SnipeBid=") + number(a->SnipeBid)
              << p + QStringLiteral("SnipeSeconds=") + QString::number(a->SnipeSeconds)
              << p + QStringLiteral("SnipeQuantity=") + QString::number(a->SnipeQuantity)
              << p + QStringLiteral("Currency=") + a->CurrencyTxt
              << p + QStringLiteral("SysComments=") + a->SysComments;
    }
    for (const CategoryPtr& c : app.Categorys().Items()) {
        const QString p = QStringLiteral("category ") + c->Name + QStringLiteral(": ");
        lines << p + QStringLiteral("MaxWins=") + QString::number(c->MaxWins)
              << p + QStringLiteral("Limited=") + QString::number(c->Limited);
    }
    lines << QStringLiteral("categorys: Current=") + app.Categorys().Current;
    for (const ColumnPtr& c : app.Columns().Items()) {
        const QString p = QStringLiteral("column ") + c->Name + QStringLiteral(": ");
        lines << p + QStringLiteral("Menu=") + c->Menu << p + QStringLiteral("Sort=") + c->Sort
              << p + QStringLiteral("Caption=") + c->Caption
              << p + QStringLiteral("Index=") + QString::number(c->Index)
              << p + QStringLiteral("Width=") + QString::number(c->Width)
              << p + QStringLiteral("Colored=") + QString::number(c->Colored)
              << p + QStringLiteral("Default=") + QString::number(c->Default)
              << p + QStringLiteral("Alignment=") + enumName<AppColumnAligments>(c->Alignment)
              << p + QStringLiteral("TooltipText=") + c->TooltipText;
    }
    lines << QStringLiteral("columns: SortColumn=") + app.Columns().SortColumn()
          << QStringLiteral("columns: SortOrder=") + enumName<AppSortOrder>(app.Columns().SortOrder)
          << QStringLiteral("bidManager: State=") + enumName<eBidderState>(app.BidManager().State());
    const VerManager& ver = app.VersionManager();
    lines << QStringLiteral("verManager: Major=") + QString::number(ver.Major)
          << QStringLiteral("verManager: Minor=") + QString::number(ver.Minor)
          << QStringLiteral("verManager: Revision=") + QString::number(ver.Revision)
          << QStringLiteral("verManager: LastCheck=") + dateText(ver.LastCheck());
    return lines;
}

QByteArray fixture()
{
    QFile file(QStringLiteral(ORV_FIXTURES "/auctions-sample.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The names of an element's children, in document order.
QStringList childNames(const QDomElement& element)
{
    QStringList names;
    for (QDomElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        names << e.tagName();
    return names;
}

} // namespace

class tst_StateFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void newStateWhenTheFileDoesNotLoad_data();
    void newStateWhenTheFileDoesNotLoad();
    void roundTripAcrossLocales_data();
    void roundTripAcrossLocales();
    void writeOrder();
    void interruptedSendsFail_data();
    void interruptedSendsFail();
    void missingValuesTakeTheirDefaults();
    void valueTexts_data();
    void valueTexts();
    void duplicateMembersAreDropped();
    void standardColumnsAfterLoading_data();
    void standardColumnsAfterLoading();
    void pauseGoesThroughTheStateSetter();
    void timesThatThePcsSummerTimeSkipsRead();
    void charactersXmlCannotHoldAreDropped();
    void damagedFilesNeverCrashAndResaveWhatLoaded();
    void oddShapesKeepARecoverableCopy_data();
    void oddShapesKeepARecoverableCopy();
    void whatALoadDropsIsKeptForGood_data();
    void whatALoadDropsIsKeptForGood();
    void deepOrNonRegularFilesAreKeptAside_data();
    void deepOrNonRegularFilesAreKeptAside();
    void linkAtTheStateFileIsNotFollowed_data();
    void linkAtTheStateFileIsNotFollowed();

private:
    // A fresh application loaded from the data folder's state file.
    std::unique_ptr<cApp> load();
    // Fills every stored field of the model with values that differ from the defaults.
    void populate(cApp& app);

    std::unique_ptr<FakeTimeSource> m_time;
    std::unique_ptr<TestDataFolder> m_folder;
    RecordingShellHost m_host;
    FakeEngine m_engine;
    RecordingMessageBoxSink m_boxes;
};

void tst_StateFile::init()
{
    m_time = std::make_unique<FakeTimeSource>(now);
    m_folder = std::make_unique<TestDataFolder>();
}

void tst_StateFile::cleanup()
{
    m_folder.reset();
    m_time.reset();
    QLocale::setDefault(QLocale::c());
}

std::unique_ptr<cApp> tst_StateFile::load()
{
    auto app = std::make_unique<cApp>(m_host, m_boxes, m_engine.factories());
    app->Settings().DefaultSnipeTime = 20;
    app->Load();
    return app;
}

void tst_StateFile::populate(cApp& app)
{
    app.Settings().DefaultSnipeTime = 20;
    const AuctionPtr a = app.Auctions().Add(QStringLiteral("110023456789"), QStringLiteral("Watches"));
    a->Description = QStringLiteral("Brass <pocket> watch & chain, \"1920s\"");
    a->EndTime = DateTimes::naive(2026, 3, 4, 18, 30, 5);
    a->StartTime = DateTimes::naive(2026, 2, 25, 0, 0, 0);
    a->Price = 1234.5;
    a->Shipping = 0.1;
    a->Quantity = 3;
    a->Bids = 12;
    a->HighBidder = QStringLiteral("b***r");
    a->Seller = QStringLiteral("old clocks");
    a->LastUpdated = DateTimes::naive(2026, 3, 1, 11, 58, 2);
    a->Comments = QStringLiteral("two lines\nof notes");
    a->SnipeState = OR2BidSet;
    a->SnipeBid = 57.25;
    a->SnipeSeconds = 8;
    a->SnipeQuantity = 2;
    a->CurrencyTxt = QStringLiteral("US $");
    a->SysComments = QStringLiteral("Bid cancelled by user.");
    const AuctionPtr b = app.Auctions().Add(QStringLiteral("X9"), QStringLiteral("Books"));
    b->Price = -0.5;
    b->Shipping = 1e-7;
    // Sixteen significant digits, as typed: the same amount after a restart.
    b->SnipeBid = 0.1234567890123456;
    b->SnipeState = OR2BidCancelled;

    app.Categorys().Add(QStringLiteral("Watches"), true, 3);
    app.Categorys().Add(QStringLiteral("Books"), false, 7);
    app.Categorys().Current = QStringLiteral("Books");

    Columns& columns = app.Columns();
    columns.addMissingDefaults();
    columns.Item(QStringLiteral("Seller"))->setVisible(false);
    columns.Item(QStringLiteral("Item"))->TooltipText = QStringLiteral("The item number");
    columns.Item(QStringLiteral("Price"))->Width = 911;
    columns.Add(QStringLiteral("Extra"), 300, QStringLiteral("Extra caption"), QStringLiteral("Extra menu"),
                450, OR2ColumnCenter, QStringLiteral("ExtraSort"), QStringLiteral("tip"), false, true);
    columns.setSortColumn(QStringLiteral("Price"));
    columns.setSortColumn(QStringLiteral("Price"));

    app.BidManager().setPaused(true);
    VerManager& ver = app.VersionManager();
    ver.Major = 2;
    ver.Minor = 10;
    ver.Revision = 4;
}

void tst_StateFile::newStateWhenTheFileDoesNotLoad_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file

    QTest::newRow("no file") << QByteArray();
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("only Root") << QByteArray("<Root/>");
    QTest::newRow("malformed") << QByteArray("<Root><Auctions><Auction><Item>1</Item>");
    QTest::newRow("truncated") << fixture().left(fixture().size() / 2);
    QTest::newRow("other top element")
        << QByteArray("<State><Categorys><Category><Name>X</Name></Category></Categorys></State>");
    QTest::newRow("Columns without columns")
        << QByteArray("<Root><Columns><SortColumn>Item</SortColumn></Columns></Root>");
}

void tst_StateFile::newStateWhenTheFileDoesNotLoad()
{
    QFETCH(QByteArray, content);
    if (!content.isNull())
        m_folder->write(QStringLiteral("auctions.xml"), content);

    for (int round = 0; round < 2; ++round) {
        const std::unique_ptr<cApp> app = load();
        QCOMPARE(app->Auctions().Count(), 0);
        QCOMPARE(app->Categorys().Count(), 1);
        const CategoryPtr only = app->Categorys().Items().first();
        QCOMPARE(only->Name, QStringLiteral("Default"));
        QCOMPARE(only->MaxWins, 1);
        QVERIFY(!only->Limited);
        QCOMPARE(app->Categorys().Current, QStringLiteral("Default"));
        QCOMPARE(app->Columns().Count(), 22);
        QCOMPARE(app->Columns().SortColumn(), QStringLiteral("TimeLeft"));
        QCOMPARE(app->Columns().SortOrder, OR2Ascending);
        QCOMPARE(app->BidManager().State(), eBidderGreen);
        QCOMPARE(app->VersionManager().LastCheck(), now);
        // The second round reads what the first one's save wrote.
        app->Save();
    }
}

void tst_StateFile::roundTripAcrossLocales_data()
{
    QTest::addColumn<QLocale>("writer");
    QTest::addColumn<QLocale>("reader");

    const QLocale c = QLocale::c();
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::newRow("C to de_DE") << c << de;
    QTest::newRow("de_DE to en_US") << de << us;
    QTest::newRow("en_US to C") << us << c;
    QTest::newRow("de_DE to de_DE") << de << de;
}

void tst_StateFile::roundTripAcrossLocales()
{
    QFETCH(QLocale, writer);
    QFETCH(QLocale, reader);

    QLocale::setDefault(writer);
    QStringList written;
    {
        cApp app(m_host, m_boxes, m_engine.factories());
        populate(app);
        written = describe(app);
        app.Save();
    }
    const QByteArray first = m_folder->read(QStringLiteral("auctions.xml"));

    QLocale::setDefault(reader);
    const std::unique_ptr<cApp> app = load();
    QCOMPARE(describe(*app), written);
    // Everything this program writes, it reads: nothing to keep aside.
    QCOMPARE(app->Status(), QStringLiteral("Application Loaded."));
    app->Save();
    QCOMPARE(m_folder->read(QStringLiteral("auctions.xml")), first);
}

void tst_StateFile::writeOrder()
{
    {
        cApp app(m_host, m_boxes, m_engine.factories());
        populate(app);
        app.Save();
    }
    QDomDocument document;
    QVERIFY(document.setContent(m_folder->read(QStringLiteral("auctions.xml"))));
    const QDomElement root = document.documentElement();
    QCOMPARE(root.tagName(), QStringLiteral("Root"));
    QCOMPARE(childNames(root), (QStringList{"Clock", "Columns", "Settings", "Auctions", "Categorys",
                                            "BidManager", "VerManager"}));

    const QDomElement columns = root.firstChildElement(QStringLiteral("Columns"));
    QCOMPARE(childNames(columns).mid(0, 3), (QStringList{"SortColumn", "SortOrder", "Column"}));
    QCOMPARE(childNames(columns).count(QStringLiteral("Column")), 23);
    QCOMPARE(childNames(columns.firstChildElement(QStringLiteral("Column"))),
             (QStringList{"Name", "Menu", "Sort", "Caption", "Index", "Width", "Colored", "Default",
                          "Alignment", "TooltipText"}));

    const QDomElement auctions = root.firstChildElement(QStringLiteral("Auctions"));
    QCOMPARE(childNames(auctions), (QStringList{"Auction", "Auction"}));
    QCOMPARE(childNames(auctions.firstChildElement()),
             (QStringList{"Item", "Description", "EndTime", "StartTime", "Price", "Shipping", "Quantity",
                          "Bids", "HighBidder", "Seller", "LastUpdated", "Comments", "Category", "SnipeState",
                          "SnipeBid", "SnipeSeconds", "SnipeQuantity", "Currency", "SysComments"}));

    const QDomElement categorys = root.firstChildElement(QStringLiteral("Categorys"));
    QCOMPARE(childNames(categorys), (QStringList{"Category", "Category", "Current"}));
    QCOMPARE(childNames(categorys.firstChildElement()), (QStringList{"Name", "MaxWins", "Limited"}));
    QCOMPARE(childNames(root.firstChildElement(QStringLiteral("BidManager"))), QStringList{"Paused"});
    QCOMPARE(root.firstChildElement(QStringLiteral("BidManager")).text(), QStringLiteral("True"));
    QCOMPARE(childNames(root.firstChildElement(QStringLiteral("VerManager"))),
             (QStringList{"Major", "Minor", "Revision", "LastCheck"}));
}

void tst_StateFile::interruptedSendsFail_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("endTime"); // empty: not stored, so not known
    QTest::addColumn<AucSnipeStates>("loaded");
    QTest::addColumn<QString>("comment");

    const QString closed = QStringLiteral("Program closed during send.");
    const QString earlier = QStringLiteral("earlier note");
    const QString running = QStringLiteral("2026-03-08 12:00:00");
    const QString ended = QStringLiteral("2026-02-22 12:00:00");
    QTest::newRow("watching") << 0 << running << OR2Watching << earlier;
    QTest::newRow("set") << 1 << running << OR2BidSet << earlier;
    // Nothing reached the site: scheduled again while the auction runs.
    QTest::newRow("preparing, running") << 2 << running << OR2BidSet << earlier;
    QTest::newRow("prepared, running") << 3 << running << OR2BidSet << earlier;
    QTest::newRow("prepared, end not known") << 3 << QString() << OR2BidSet << earlier;
    QTest::newRow("preparing, ended") << 2 << ended << OR2BidFailed << closed;
    QTest::newRow("prepared, ended") << 3 << ended << OR2BidFailed << closed;
    // It may stand at the site: never sent again.
    QTest::newRow("sending, running") << 4 << running << OR2BidFailed << closed;
    QTest::newRow("sending, ended") << 4 << ended << OR2BidFailed << closed;
    QTest::newRow("failed") << 5 << running << OR2BidFailed << earlier;
    QTest::newRow("success") << 6 << running << OR2BidSuccess << earlier;
    QTest::newRow("cancelled") << 7 << running << OR2BidCancelled << earlier;
    QTest::newRow("unknown number") << 9 << running << AucSnipeStates(9) << earlier;
}

void tst_StateFile::interruptedSendsFail()
{
    QFETCH(int, stored);
    QFETCH(QString, endTime);
    const QString end = endTime.isEmpty() ? QString() : QStringLiteral("<EndTime>%1</EndTime>").arg(endTime);
    m_folder->write(QStringLiteral("auctions.xml"),
                    QStringLiteral("<Root><Auctions><Auction><Item>1</Item>%1<SnipeState>%2</SnipeState>"
                                   "<SnipeBid>10</SnipeBid><SysComments>earlier note</SysComments>"
                                   "</Auction></Auctions></Root>")
                        .arg(end)
                        .arg(stored)
                        .toUtf8());
    const std::unique_ptr<cApp> app = load();
    const AuctionPtr auction = app->Auctions().Item(QStringLiteral("1"));
    QTEST(auction->SnipeState, "loaded");
    QTEST(auction->SysComments, "comment");
}

void tst_StateFile::missingValuesTakeTheirDefaults()
{
    m_folder->write(QStringLiteral("auctions.xml"),
                    "<Root><Settings><DefaultSnipeTime>20</DefaultSnipeTime></Settings>"
                    "<Columns><Column><Name>Item</Name></Column></Columns>"
                    "<Auctions><Auction><Item>1</Item></Auction></Auctions>"
                    "<Categorys><Category><Name>Books</Name></Category></Categorys><BidManager/></Root>");
    const std::unique_ptr<cApp> app = load();

    const QStringList lines = describe(*app);
    const QStringList expected{
        "auction 1: Description=",
        "auction 1: EndTime=" + dateText(DateTimes::zero()),
        "auction 1: StartTime=" + dateText(DateTimes::zero()),
        "auction 1: Price=0",
        "auction 1: Quantity=0",
        "auction 1: LastUpdated=" + dateText(DateTimes::zero()),
        "auction 1: SnipeState=OR2Watching",
        "auction 1: SnipeBid=0",
        "auction 1: SnipeSeconds=0", // not the DefaultSnipeTime of a new record
        "auction 1: SnipeQuantity=1",
        "category Books: MaxWins=1",
        "category Books: Limited=0",
        "categorys: Current=Default",
        "column Item: Caption=",
        "column Item: Index=0",
        "column Item: Width=0",
        "column Item: Default=0",
        "column Item: Colored=0",
        "column Item: Alignment=OR2ColumnLeft",
        "columns: SortColumn=TimeLeft",
        "columns: SortOrder=OR2Ascending",
        "bidManager: State=eBidderGreen",
        "verManager: Major=0",
        "verManager: LastCheck=" + dateText(now),
    };
    for (const QString& line : expected)
        QVERIFY2(lines.contains(line), qPrintable(line));
    QCOMPARE(app->Categorys().Count(), 1); // no "Default" beside a stored category
}

void tst_StateFile::valueTexts_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("content"); // inside <Root>
    QTest::addColumn<QString>("expected");

    const QLocale c = QLocale::c();
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    auto auction = [](const QString& element, const QString& text) {
        return QStringLiteral("<Auctions><Auction><Item>1</Item><%1>%2</%1></Auction></Auctions>")
            .arg(element, text);
    };
    // Whole numbers in general: the leading number, halves to even; no number reads as 0.
    QTest::newRow("whole 12abc") << c << auction("SnipeSeconds", "12abc") << "auction 1: SnipeSeconds=12";
    QTest::newRow("whole abc") << c << auction("SnipeSeconds", "abc") << "auction 1: SnipeSeconds=0";
    QTest::newRow("whole empty") << c << auction("SnipeQuantity", "") << "auction 1: SnipeQuantity=0";
    QTest::newRow("whole 12.5") << c << auction("SnipeSeconds", "12.5") << "auction 1: SnipeSeconds=12";
    QTest::newRow("whole 13.5") << c << auction("SnipeSeconds", "13.5") << "auction 1: SnipeSeconds=14";
    QTest::newRow("whole leading blanks")
        << c << auction("SnipeSeconds", "  -7") << "auction 1: SnipeSeconds=-7";
    QTest::newRow("whole too large") << c << auction("SnipeSeconds", "99999999999")
                                     << "auction 1: SnipeSeconds=0";
    // Counts: the whole text; what does not read keeps the field.
    QTest::newRow("count 12.5") << c << auction("Quantity", "12.5") << "auction 1: Quantity=12";
    QTest::newRow("count 2.5") << c << auction("Bids", "2.5") << "auction 1: Bids=2";
    QTest::newRow("count abc") << c << auction("Quantity", "abc") << "auction 1: Quantity=0";
    QTest::newRow("count 4x") << c << auction("Bids", "4x") << "auction 1: Bids=0";
    QTest::newRow("count regional") << de << auction("Quantity", "7,5") << "auction 1: Quantity=8";
    // Decimals: the whole text, stored form first, regional second; what does not read is 0.
    QTest::newRow("decimal point") << de << auction("Price", "12.5") << "auction 1: Price=12.5";
    QTest::newRow("decimal comma") << de << auction("Price", "12,5") << "auction 1: Price=12.5";
    QTest::newRow("decimal abc") << c << auction("SnipeBid", "abc") << "auction 1: SnipeBid=0";
    QTest::newRow("decimal not finite") << c << auction("SnipeBid", "inf") << "auction 1: SnipeBid=0";
    // Dates: stored form first, regional second; what does not read keeps the zero date.
    QTest::newRow("date stored") << de << auction("EndTime", "2026-03-04 18:30:05")
                                 << "auction 1: EndTime=2026-03-04 18:30:05.000";
    QTest::newRow("date regional") << us << auction("EndTime", "3/4/2026 6:30:05 PM")
                                   << "auction 1: EndTime=2026-03-04 18:30:05.000";
    QTest::newRow("date garbage") << c << auction("EndTime", "soon")
                                  << "auction 1: EndTime=1899-12-30 00:00:00.000";
    QTest::newRow("item trimmed") << c << "<Auctions><Auction><Item>  77 </Item></Auction></Auctions>"
                                  << "auction 77: Price=0";
    // Flags: "True"/"False" in any case or a number; anything else keeps the field.
    auto category = [](const QString& limited) {
        return QStringLiteral(
                   "<Categorys><Category><Name>B</Name><Limited>%1</Limited></Category></Categorys>")
            .arg(limited);
    };
    QTest::newRow("flag TRUE") << c << category("TRUE") << "category B: Limited=1";
    QTest::newRow("flag false") << c << category("false") << "category B: Limited=0";
    QTest::newRow("flag 7") << c << category("7") << "category B: Limited=1";
    QTest::newRow("flag 0") << c << category("0") << "category B: Limited=0";
    QTest::newRow("flag yes") << c << category("yes") << "category B: Limited=0";
    QTest::newRow("paused True") << c << "<BidManager><Paused>True</Paused></BidManager>"
                                 << "bidManager: State=eBidderPaused";
    QTest::newRow("paused yes") << c << "<BidManager><Paused>yes</Paused></BidManager>"
                                << "bidManager: State=eBidderGreen";
    QTest::newRow("column width abc")
        << c << "<Columns><Column><Name>Item</Name><Width>abc</Width></Column></Columns>"
        << "column Item: Width=0";
    QTest::newRow("sort order") << c << "<Columns><SortOrder>1</SortOrder></Columns>"
                                << "columns: SortOrder=OR2Descending";
    QTest::newRow("version 3.5") << c << "<VerManager><Major>3.5</Major></VerManager>"
                                 << "verManager: Major=4";
    QTest::newRow("check date kept") << c << "<VerManager><LastCheck>never</LastCheck></VerManager>"
                                     << "verManager: LastCheck=1899-12-30 00:00:00.000";
}

void tst_StateFile::valueTexts()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, content);
    QFETCH(QString, expected);

    QLocale::setDefault(locale);
    m_folder->write(QStringLiteral("auctions.xml"),
                    (QStringLiteral("<Root>") + content + QStringLiteral("</Root>")).toUtf8());
    const std::unique_ptr<cApp> app = load();
    const QStringList lines = describe(*app);
    QVERIFY2(lines.contains(expected),
             qPrintable(lines.filter(expected.section(QLatin1Char('='), 0, 0)).join(QLatin1Char('\n'))));
}

void tst_StateFile::duplicateMembersAreDropped()
{
    m_folder->write(QStringLiteral("auctions.xml"),
                    "<Root><Auctions>"
                    "<Auction><Item>123</Item><Category>first</Category></Auction>"
                    "<Auction><Item> 123 </Item><Category>second</Category></Auction>"
                    "<Auction><Item>abc</Item><Category>first</Category></Auction>"
                    "<Auction><Item>ABC</Item><Category>second</Category></Auction>"
                    "<Auction><Item></Item><Category>no item</Category></Auction>"
                    "</Auctions><Categorys>"
                    "<Category><Name>Books</Name><MaxWins>2</MaxWins></Category>"
                    "<Category><Name>books</Name><MaxWins>5</MaxWins></Category>"
                    "<Category><Name></Name><MaxWins>5</MaxWins></Category>"
                    "<Category><Name>Old~</Name></Category>"
                    "</Categorys><Columns>"
                    "<Column><Name>Item</Name><Width>10</Width></Column>"
                    "<Column><Name>item</Name><Width>20</Width></Column>"
                    "</Columns></Root>");
    const std::unique_ptr<cApp> app = load();

    QStringList items;
    for (const AuctionPtr& auction : app->Auctions().Items())
        items << auction->Item + QLatin1Char(':') + auction->Category;
    QCOMPARE(items, (QStringList{"123:first", "abc:first"}));
    QStringList names;
    for (const CategoryPtr& category : app->Categorys().Items())
        names << category->Name + QLatin1Char(':') + QString::number(category->MaxWins);
    QCOMPARE(names, (QStringList{"Books:2", "Old~:1"}));
    QCOMPARE(app->Columns().Item(QStringLiteral("Item"))->Width, 10);
    QCOMPARE(app->Columns().Count(), 22);
}

void tst_StateFile::standardColumnsAfterLoading_data()
{
    QTest::addColumn<QString>("missing");

    QTest::newRow("none missing") << QString();
    QTest::newRow("Hot missing") << "Hot";
    QTest::newRow("Comments missing") << "Comments";
}

void tst_StateFile::standardColumnsAfterLoading()
{
    QFETCH(QString, missing);

    QDomDocument document;
    QVERIFY(document.setContent(fixture()));
    QDomElement columns = document.documentElement().firstChildElement(QStringLiteral("Columns"));
    for (QDomElement c = columns.firstChildElement(QStringLiteral("Column")); !c.isNull();
         c = c.nextSiblingElement(QStringLiteral("Column"))) {
        if (c.firstChildElement(QStringLiteral("Name")).text() == missing) {
            columns.removeChild(c);
            break;
        }
    }
    m_folder->write(QStringLiteral("auctions.xml"), document.toByteArray(-1));
    const std::unique_ptr<cApp> app = load();

    const QList<ColumnPtr> loaded = app->Columns().Items();
    QCOMPARE(loaded.size(), 22);
    // Stored columns keep their stored values and order: the fixture widens Description and hides
    // Local End, and sorts descending by TimeLeft.
    QCOMPARE(app->Columns().Item(QStringLiteral("Description"))->Width, 2600);
    QCOMPARE(app->Columns().Item(QStringLiteral("Local End"))->Width, 0);
    QCOMPARE(app->Columns().SortColumn(), QStringLiteral("TimeLeft"));
    QCOMPARE(app->Columns().SortOrder, OR2Descending);
    if (missing.isEmpty()) {
        QCOMPARE(loaded.last()->Name, QStringLiteral("Category"));
        return;
    }
    const ColumnPtr added = loaded.last();
    QCOMPARE(added->Name, missing);
    QCOMPARE(added->Index, 22); // 21 stored columns, plus one
    QCOMPARE(added->Sort, missing);
}

void tst_StateFile::pauseGoesThroughTheStateSetter()
{
    m_folder->write(QStringLiteral("auctions.xml"),
                    "<Root><BidManager><Paused>true</Paused></BidManager></Root>");
    cApp app(m_host, m_boxes, m_engine.factories());
    QSignalSpy stateChange(&app.BidManager(), &BidManager::StateChange);
    app.Load();
    QCOMPARE(stateChange.count(), 1);
    QCOMPARE(eBidderState(stateChange.at(0).at(0).toInt()), eBidderPaused);
    QVERIFY(app.BidManager().Paused());

    app.BidManager().setPaused(false);
    app.Save();
    QVERIFY(m_folder->read(QStringLiteral("auctions.xml"))
                .contains("<BidManager><Paused>False</Paused></BidManager>"));
}

void tst_StateFile::timesThatThePcsSummerTimeSkipsRead()
{
    // Stored times are naive site times; on a PC in New York 02:30 on 8 March 2026 does not exist locally.
    const bool zoneSet = qEnvironmentVariableIsSet("TZ");
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    const QDateTime skipped = DateTimes::naive(2026, 3, 8, 2, 30, 0);
    {
        cApp app(m_host, m_boxes, m_engine.factories());
        app.Auctions().Add(QStringLiteral("1"), QString())->EndTime = skipped;
        app.Save();
    }
    const std::unique_ptr<cApp> app = load();
    const QDateTime loaded = app->Auctions().Item(QStringLiteral("1"))->EndTime;
    if (zoneSet)
        qputenv("TZ", zone);
    else
        qunsetenv("TZ");
    tzset();
    QCOMPARE(loaded, skipped);
}

void tst_StateFile::charactersXmlCannotHoldAreDropped()
{
    {
        cApp app(m_host, m_boxes, m_engine.factories());
        const AuctionPtr auction = app.Auctions().Add(QStringLiteral("1"), QString());
        auction->Description =
            QStringLiteral("bell\x01 and \x1b[0m escape ") + QChar(0xFFFF) + QStringLiteral(" ok");
        auction->Comments = QStringLiteral("caf\u00e9 \U0001F600");
        app.Save();
    }
    const std::unique_ptr<cApp> app = load();
    QCOMPARE(app->Auctions().Count(), 1);
    const AuctionPtr auction = app->Auctions().Item(QStringLiteral("1"));
    QCOMPARE(auction->Description, QStringLiteral("bell and [0m escape  ok"));
    QCOMPARE(auction->Comments, QStringLiteral("caf\u00e9 \U0001F600"));
}

void tst_StateFile::damagedFilesNeverCrashAndResaveWhatLoaded()
{
    const QByteArray original = fixture();
    QVERIFY(!original.isEmpty());
    const QByteArrayList nasty{"",
                               " ",
                               "-1",
                               "99999999999999999999",
                               "1e308",
                               "-1e308",
                               "nan",
                               "inf",
                               "True",
                               "~",
                               "1899-12-29 23:59:59",
                               "12,5",
                               "0x10",
                               "&amp;",
                               "9999-12-31 23:59:59",
                               "\xc3\x28",
                               "<"};
    QRandomGenerator random(20260301);

    for (int round = 0; round < 160; ++round) {
        QByteArray damaged = original;
        QDomDocument document;
        QVERIFY(document.setContent(original));
        QList<QDomElement> elements;
        QList<QDomElement> pending{document.documentElement()};
        while (!pending.isEmpty()) {
            const QDomElement e = pending.takeLast();
            elements << e;
            for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
                pending << c;
        }
        switch (round % 4) {
        case 0: // characters of values changed, the markup left whole
            for (int i = 0, n = 1 + random.bounded(16); i < n; ++i) {
                const qsizetype at = random.bounded(damaged.size());
                const bool inText = damaged.lastIndexOf('>', at - 1) > damaged.lastIndexOf('<', at);
                const bool inEntity = damaged.lastIndexOf('&', at) > damaged.lastIndexOf(';', at - 1);
                if (inText && !inEntity && damaged.at(at) != '<')
                    damaged[at] = "0123456789 .,-:aZ~"[random.bounded(18)];
            }
            break;
        case 1: // cut short
            damaged.truncate(random.bounded(damaged.size()));
            break;
        case 2: // whole elements removed or repeated
            for (int i = 0, n = 1 + random.bounded(4); i < n; ++i) {
                QDomElement e = elements.at(1 + random.bounded(elements.size() - 1));
                if (random.bounded(2))
                    e.parentNode().removeChild(e);
                else
                    e.parentNode().insertAfter(e.cloneNode(), e);
            }
            damaged = document.toByteArray(-1);
            break;
        case 3: // values replaced by hostile texts
            for (int i = 0, n = 1 + random.bounded(12); i < n; ++i) {
                QDomElement leaf = elements.at(random.bounded(elements.size()));
                if (!leaf.firstChildElement().isNull())
                    continue;
                while (leaf.hasChildNodes())
                    leaf.removeChild(leaf.firstChild());
                leaf.appendChild(
                    document.createTextNode(QString::fromUtf8(nasty.at(random.bounded(nasty.size())))));
            }
            damaged = document.toByteArray(-1);
            break;
        }
        m_folder->write(QStringLiteral("auctions.xml"), damaged);

        QStringList loaded;
        {
            const std::unique_ptr<cApp> app = load();
            QVERIFY(app->Categorys().Count() >= 1);
            QVERIFY(app->Columns().Count() >= 22);
            QVERIFY(app->Auctions().Count() <= 6);
            loaded = describe(*app);
            app->Save();
        }
        // Whatever loaded survives a save and a second load unchanged, apart from fix-ups already made.
        const std::unique_ptr<cApp> again = load();
        QCOMPARE(describe(*again), loaded);
    }
}

void tst_StateFile::oddShapesKeepARecoverableCopy_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("loaded"); // auctions this program reads from it

    const QByteArray auction1 = "<Auction><Item>1</Item><SnipeBid>10</SnipeBid></Auction>";
    const QByteArray auction2 = "<Auction><Item>2</Item><SnipeBid>20</SnipeBid></Auction>";
    QTest::newRow("nested Root") << "<Root><Root><Auctions>" + auction1 + "</Auctions></Root></Root>" << 0;
    QTest::newRow("second Auctions block")
        << "<Root><Auctions>" + auction1 + "</Auctions><Auctions>" + auction2 + "</Auctions></Root>" << 1;
    QTest::newRow("unknown element") << "<Root><Auctions>" + auction1 + "</Auctions><Wishes>" + auction2 +
                                            "</Wishes></Root>"
                                     << 1;
}

// What this program does not read of a well-formed file is not in its next save: the session's first save
// keeps the file as it was loaded, owner-only, and later saves of that session leave that copy alone.
void tst_StateFile::oddShapesKeepARecoverableCopy()
{
    QFETCH(QByteArray, content);
    QFETCH(int, loaded);
    m_folder->write(QStringLiteral("auctions.xml"), content);
    const QString copy = m_folder->filePath(QStringLiteral("auctions.xml.bak"));
    {
        const std::unique_ptr<cApp> app = load();
        QCOMPARE(app->Auctions().Count(), loaded);
        QVERIFY(!QFile::exists(copy));
        QVERIFY(app->Save());
        QCOMPARE(m_folder->read(QStringLiteral("auctions.xml.bak")), content);
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(copy).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
        app->Auctions().Add(QStringLiteral("3"), QStringLiteral("Default"));
        QVERIFY(app->Save());
        QCOMPARE(m_folder->read(QStringLiteral("auctions.xml.bak")), content);
    }
    // The next session keeps what it loaded, which is this program's own file now.
    const QByteArray saved = m_folder->read(QStringLiteral("auctions.xml"));
    const std::unique_ptr<cApp> app = load();
    QVERIFY(app->Save());
    QCOMPARE(m_folder->read(QStringLiteral("auctions.xml.bak")), saved);
}

void tst_StateFile::whatALoadDropsIsKeptForGood_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("kept");

    const QByteArray auction1 = "<Auction><Item>ab1</Item><SnipeBid>10</SnipeBid></Auction>";
    const QByteArray auction2 = "<Auction><Item>2</Item><SnipeBid>20</SnipeBid></Auction>";
    QTest::newRow("nested Root") << "<Root><Root><Auctions>" + auction1 + "</Auctions></Root></Root>" << true;
    QTest::newRow("second Auctions block")
        << "<Root><Auctions>" + auction1 + "</Auctions><Auctions>" + auction2 + "</Auctions></Root>" << true;
    QTest::newRow("items differing in letter case only")
        << "<Root><Auctions>" + auction1 + "<Auction><Item>AB1</Item><SnipeBid>30</SnipeBid></Auction>" +
               "</Auctions></Root>"
        << true;
    QTest::newRow("auction without an item number")
        << "<Root><Auctions>" + auction1 + "<Auction><Comments>mine</Comments></Auction></Auctions></Root>"
        << true;
    QTest::newRow("value this program does not know")
        << QByteArray(
               "<Root><Auctions><Auction><Item>1</Item><Reserve>50</Reserve></Auction></Auctions></Root>")
        << true;
    QTest::newRow("category twice") << QByteArray(
                                           "<Root><Categorys><Category><Name>Books</Name></Category>"
                                           "<Category><Name>books</Name></Category></Categorys></Root>")
                                    << true;
    QTest::newRow("a file as this program writes it") << fixture() << false;
    QTest::newRow("only some of the elements")
        << "<Root><Auctions>" + auction1 + auction2 + "</Auctions></Root>" << false;
}

// A file that read but not wholly (it held what this program drops or does not know) is kept as it was
// under a name that no later save replaces, and the status line says where, at the start and when the
// window first shows. Starts after that find this program's own file and keep nothing more.
void tst_StateFile::whatALoadDropsIsKeptForGood()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, kept);
    m_folder->write(QStringLiteral("auctions.xml"), content);
    auto copies = [&] {
        return QDir(m_folder->path())
            .entryList({QStringLiteral("auctions.xml.original-*")}, QDir::AllEntries | QDir::System);
    };

    for (int start = 0; start < 3; ++start) {
        const std::unique_ptr<cApp> app = load();
        QCOMPARE(copies().size(), kept ? 1 : 0);
        if (kept && start == 0) {
            const QString copy = m_folder->filePath(copies().first());
            QVERIFY2(app->Status().contains(copy), qPrintable(app->Status()));
            app->setStatus(QStringLiteral("something else meanwhile"));
            app->show();
            QVERIFY2(app->Status().contains(copy), qPrintable(app->Status()));
            // Started again before any save (the first one was killed): the same copy, not a second.
            const std::unique_ptr<cApp> again = load();
            QCOMPARE(copies().size(), 1);
            QVERIFY2(again->Status().contains(copy), qPrintable(again->Status()));
        } else {
            QCOMPARE(app->Status(), QStringLiteral("Application Loaded."));
        }
        app->Auctions().Add(QStringLiteral("new%1").arg(start), QStringLiteral("Default"));
        QVERIFY(app->Save());
    }
    if (!kept)
        return;
    const QString copy = m_folder->filePath(copies().first());
    QCOMPARE(m_folder->read(copies().first()), content);
    struct stat info = {};
    QCOMPARE(::stat(QFile::encodeName(copy).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));
}

void tst_StateFile::deepOrNonRegularFilesAreKeptAside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("nested 200,000 deep") << QStringLiteral("deep");
    QTest::newRow("pipe") << QStringLiteral("pipe");
    QTest::newRow("link to a device") << QStringLiteral("device");
}

// A file that would hang the start (a pipe waits for a writer, a device never ends) or take it minutes
// (absurd nesting) is kept aside, owner-only, as an unreadable one is, and the start goes on.
void tst_StateFile::deepOrNonRegularFilesAreKeptAside()
{
    QFETCH(QString, kind);
    const QString path = m_folder->stateFile();
    if (kind == QLatin1String("deep")) {
        const int levels = 200000;
        m_folder->write(QStringLiteral("auctions.xml"), "<Root>" + QByteArray("<Root>").repeated(levels) +
                                                            QByteArray("</Root>").repeated(levels) +
                                                            "</Root>");
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    }

    QElapsedTimer started;
    started.start();
    const std::unique_ptr<cApp> app = load();
    QVERIFY2(started.elapsed() < 20000, "a generous guard only: the start normally takes milliseconds");
    QCOMPARE(app->State(), AppLoaded);
    QCOMPARE(app->Categorys().Count(), 1);

    const QStringList kept =
        QDir(m_folder->path())
            .entryList({QStringLiteral("auctions.xml.unreadable-*")}, QDir::AllEntries | QDir::System);
    QCOMPARE(kept.size(), 1);
    const QString aside = m_folder->filePath(kept.first());
    QVERIFY(app->Status().contains(aside));
    struct stat info = {};
    QCOMPARE(::lstat(QFile::encodeName(aside).constData(), &info), 0);
    if (kind != QLatin1String("device"))
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
    QVERIFY(app->Save());
    QDomDocument written;
    QVERIFY(written.setContent(m_folder->read(QStringLiteral("auctions.xml"))));
    QCOMPARE(childNames(written.documentElement()).size(), 7);
}

void tst_StateFile::linkAtTheStateFileIsNotFollowed_data()
{
    QTest::addColumn<QByteArray>("target"); // what the link points at
    QTest::addColumn<bool>("readable");
    QTest::newRow("a state file elsewhere")
        << QByteArray("<Root><Auctions><Auction><Item>7</Item></Auction></Auctions></Root>") << true;
    QTest::newRow("some other file") << QByteArray("export PATH=/usr/bin\n") << false;
}

// A link planted at "auctions.xml" never has the state file written through it, and what it points at is
// left as it is. A state file it leads to is read, but the saves refuse the link and say so; anything else
// is unreadable, and the link is kept aside.
void tst_StateFile::linkAtTheStateFileIsNotFollowed()
{
    QFETCH(QByteArray, target);
    QFETCH(bool, readable);
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(target);
    file.close();
    const QString path = m_folder->stateFile();
    QVERIFY(QFile::link(victim, path));

    const std::unique_ptr<cApp> app = load();
    QCOMPARE(app->Auctions().Exists(QStringLiteral("7")), readable);
    app->Auctions().Add(QStringLiteral("8"), QStringLiteral("Default"));
    QCOMPARE(app->Save(), !readable);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), target);
    if (readable) {
        QVERIFY(QFileInfo(path).isSymLink());
        QVERIFY2(
            app->Status().endsWith(QStringLiteral("it is a symbolic link, which is never written through")),
            qPrintable(app->Status()));
    } else {
        QVERIFY(!QFileInfo(path).isSymLink());
        const QStringList kept =
            QDir(m_folder->path()).entryList({QStringLiteral("auctions.xml.unreadable-*")}, QDir::AllEntries);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(QFileInfo(m_folder->filePath(kept.first())).symLinkTarget(), victim);
    }
}

QTEST_GUILESS_MAIN(tst_StateFile)
#include "tst_StateFile.moc"
