// The program's model on the session bus, against the real program started through the bus: every
// field read, a change and its report, the model's errors with their numbers and texts, bad clients,
// and the client library's binding (hidden start, the program ending, a client process killed).
#include "DataFolder.h"
#include "OrvBus.h"
#include "ProgramUnderTest.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemoteBackend.h"
#include "RemoteBusBackend.h"
#include "RemoteCategorys.h"
#include "RemoteClock.h"
#include "RemoteError.h"
#include "RemoteSettings.h"
#include "RemoteUpdaters.h"
#include "RemotecApp.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <memory>

using namespace Remote;

namespace {

const char stateFile[] = R"(<Root>
<Clock><Variance>0</Variance><LastUpdated>2025-01-01 00:00:00</LastUpdated></Clock>
<Settings><ColorActive>32768</ColorActive><ColorCaution>33023</ColorCaution><ColorComplete>8421504</ColorComplete><ColorWarning>255</ColorWarning><ConfirmBid>True</ConfirmBid><ConfirmDel>False</ConfirmDel><ViewedAuctionAdded>False</ViewedAuctionAdded><ViewedLookingAtAuction>True</ViewedLookingAtAuction><CheckForUpdates>0</CheckForUpdates><AutoSyncDays>0</AutoSyncDays></Settings>
<Auctions>
<Auction><Item>110023456789</Item><Description>Brass pocket watch, 1920s</Description><EndTime>2099-03-04 18:30:00</EndTime><StartTime>2099-02-25 18:30:05</StartTime><Price>41.5</Price><Shipping>6.95</Shipping><Quantity>3</Quantity><Bids>12</Bids><HighBidder>b***r</HighBidder><Seller>oldclocks</Seller><LastUpdated>2025-03-01 11:58:02</LastUpdated><Comments>keep under 60</Comments><Category>Watches</Category><SnipeState>1</SnipeState><SnipeBid>57.25</SnipeBid><SnipeSeconds>8</SnipeSeconds><SnipeQuantity>2</SnipeQuantity><Currency>US $</Currency><SysComments>Waiting.</SysComments></Auction>
<Auction><Item>330099887766</Item><Description>Mechanical keyboard</Description><EndTime>1899-12-30 00:00:00</EndTime><StartTime>1899-12-30 00:00:00</StartTime><Price>0</Price><Shipping>0</Shipping><Quantity>0</Quantity><Bids>0</Bids><HighBidder></HighBidder><Seller></Seller><LastUpdated>1899-12-30 00:00:00</LastUpdated><Comments></Comments><Category>Default</Category><SnipeState>0</SnipeState><SnipeBid>0</SnipeBid><SnipeSeconds>10</SnipeSeconds><SnipeQuantity>1</SnipeQuantity><Currency></Currency><SysComments></SysComments></Auction>
</Auctions>
<Categorys><Category><Name>Default</Name><MaxWins>1</MaxWins><Limited>False</Limited></Category><Category><Name>Books</Name><MaxWins>2</MaxWins><Limited>True</Limited></Category><Category><Name>Watches</Name><MaxWins>1</MaxWins><Limited>False</Limited></Category></Categorys>
</Root>
)";

QDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

AuctionRecord watch()
{
    AuctionRecord record;
    record.Item = QStringLiteral("110023456789");
    record.Description = QStringLiteral("Brass pocket watch, 1920s");
    record.EndTime = at(2099, 3, 4, 18, 30);
    record.StartTime = at(2099, 2, 25, 18, 30, 5);
    record.Price = 41.5;
    record.Shipping = 6.95;
    record.Quantity = 3;
    record.Bids = 12;
    record.HighBidder = QStringLiteral("b***r");
    record.Seller = QStringLiteral("oldclocks");
    record.LastUpdated = at(2025, 3, 1, 11, 58, 2);
    record.Comments = QStringLiteral("keep under 60");
    record.Category = QStringLiteral("Watches");
    record.CurrencyTxt = QStringLiteral("US $");
    record.SysComments = QStringLiteral("Waiting.");
    record.SnipeBid = 57.25;
    record.SnipeSeconds = 8;
    record.SnipeQuantity = 2;
    record.SnipeState = OR2BidSet;
    record.LastTimeLeftLevel = OR2Active;
    record.TimeLeftLevel = OR2Active;
    return record;
}

// The fields in which two records differ, as "field: actual != expected" lines.
QString differences(const AuctionRecord& actual, const AuctionRecord& expected)
{
    QStringList lines;
    const QVariantMap a = actual.toMap();
    const QVariantMap e = expected.toMap();
    for (auto field = e.cbegin(); field != e.cend(); ++field) {
        if (a.value(field.key()) != field.value())
            lines << field.key() + QStringLiteral(": ") + a.value(field.key()).toString() +
                         QStringLiteral(" != ") + field.value().toString();
    }
    return lines.join(QStringLiteral("; "));
}

uint programPid()
{
    return QDBusConnection::sessionBus().interface()->servicePid(OrvBus::serviceName).value();
}

// A link of its own connection to the bus, as a second client process would have.
std::unique_ptr<Remote::cApp> linkOn(const QString& connectionName)
{
    const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
    return std::make_unique<Remote::cApp>(std::make_unique<BusBackend>(bus, OrvBus::serviceName));
}

} // namespace

class tst_BusModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void bindingStartsTheProgramHidden();
    void everyFieldIsRead();
    void aChangeReachesEveryClient();
    void modelErrorsComeBackWithNumberAndText_data();
    void modelErrorsComeBackWithNumberAndText();
    void errorRepliesCarryTheNumber();
    void aPageIsParsedIntoItsAuction();
    void siteTimeAgreesWithTheProgram();
    void aFloodingClientHurtsNoOther();
    void clientsLeavingMidCallHurtNothing();
    void aProgramThatDoesNotAnswerIsNotCalledEnded();
    void programEndingLeavesTheClientUnboundUntilTheNextCommand();
    void holdEndsWithAKilledClientProcess();

Q_SIGNALS:
    void errorMessage(const QString& sMessage);

private:
    void killProgram();

    std::unique_ptr<Remote::cApp> m_link;
};

void tst_BusModel::initTestCase()
{
    // The program started by the bus inherits the bus daemon's environment, hence this test's data folder.
    QVERIFY(!ProgramUnderTest::ownsBusName());
    QDir().mkpath(DataFolder::path());
    QFile file(DataFolder::stateFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(stateFile);
    file.close();
}

void tst_BusModel::cleanupTestCase()
{
    m_link.reset();
    killProgram();
}

void tst_BusModel::killProgram()
{
    const uint pid = programPid();
    if (pid > 0)
        ::kill(pid_t(pid), SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(!ProgramUnderTest::ownsBusName(), 10000);
}

void tst_BusModel::bindingStartsTheProgramHidden()
{
    m_link = std::make_unique<Remote::cApp>();
    QSignalSpy held(&m_link->backend(), &Backend::holdChanged);
    QCOMPARE(m_link->bindState(), Binding);
    QTRY_VERIFY_WITH_TIMEOUT(m_link->isBound(), 30000);
    QVERIFY(ProgramUnderTest::ownsBusName());
    QCOMPARE(m_link->App().State(), AppHidden);
    QCOMPARE(ProgramUnderTest::remoteState(), int(AppHidden));
    QTRY_COMPARE_WITH_TIMEOUT(held.size(), 1, 10000);
    QCOMPARE(held.at(0).at(0).toBool(), true);
}

void tst_BusModel::everyFieldIsRead()
{
    QVERIFY(m_link && m_link->isBound());
    const Remote::App& app = m_link->App();
    const QList<AuctionRecord> auctions = app.Auctions().Items();
    QCOMPARE(auctions.size(), 2);
    QVERIFY2(auctions.at(0) == watch(), qPrintable(differences(auctions.at(0), watch())));
    AuctionRecord keyboard;
    keyboard.Item = QStringLiteral("330099887766");
    keyboard.Description = QStringLiteral("Mechanical keyboard");
    keyboard.Category = QStringLiteral("Default");
    keyboard.SnipeSeconds = 10;
    QVERIFY2(auctions.at(1) == keyboard, qPrintable(differences(auctions.at(1), keyboard)));

    const QList<CategoryRecord> categories = app.Categorys().Items();
    QCOMPARE(categories, (QList<CategoryRecord>{{QStringLiteral("Default"), 1, false},
                                                {QStringLiteral("Books"), 2, true},
                                                {QStringLiteral("Watches"), 1, false}}));
    const Remote::Settings& settings = app.Settings();
    QCOMPARE(settings.ConfirmBid(), true);
    QCOMPARE(settings.ConfirmDel(), false);
    QCOMPARE(settings.ViewedAuctionAdded(), false);
    QCOMPARE(settings.ViewedLookingAtAuction(), true);
    QCOMPARE(settings.ColorActive(), 32768);
    QCOMPARE(settings.ColorCaution(), 33023);
    QCOMPARE(settings.ColorComplete(), 8421504);
    QCOMPARE(settings.ColorWarning(), 255);
}

void tst_BusModel::aChangeReachesEveryClient()
{
    QVERIFY(m_link && m_link->isBound());
    std::unique_ptr<Remote::cApp> second = linkOn(QStringLiteral("second"));
    QTRY_VERIFY_WITH_TIMEOUT(second->isBound(), 10000);
    QList<AuctionRecord> heard;
    connect(&second->App().Auctions(), &Remote::Auctions::AuctionChanged, this,
            [&heard](const AuctionRecord& record) { heard << record; });
    QSignalSpy settingsHeard(&second->App().Settings(), &Remote::Settings::Updated);

    m_link->App().Auctions().SetCategory(QStringLiteral("110023456789"), QStringLiteral("Books"));
    // The one who changed it holds the change at once; the other hears it.
    QCOMPARE(m_link->App().Auctions().Item(QStringLiteral("110023456789"))->Category,
             QStringLiteral("Books"));
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 1, 5000);
    AuctionRecord expected = watch();
    expected.Category = QStringLiteral("Books");
    QVERIFY2(heard.at(0) == expected, qPrintable(differences(heard.at(0), expected)));
    QCOMPARE(*second->App().Auctions().Item(QStringLiteral("110023456789")), expected);

    m_link->App().Settings().setViewedAuctionAdded(true);
    QTRY_VERIFY_WITH_TIMEOUT(second->App().Settings().ViewedAuctionAdded(), 5000);
    QCOMPARE(settingsHeard.size(), 1);

    // An auction added by one and removed by the other.
    m_link->App().Auctions().Add(QStringLiteral("445566"), QStringLiteral("Default"));
    QTRY_VERIFY_WITH_TIMEOUT(second->App().Auctions().Exists(QStringLiteral("445566")), 5000);
    second->App().Auctions().Remove(QStringLiteral("445566"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_link->App().Auctions().Exists(QStringLiteral("445566")), 5000);
    QVERIFY(heard.last().Deleted);
    QCOMPARE(heard.last().Item, QStringLiteral("445566"));
}

void tst_BusModel::modelErrorsComeBackWithNumberAndText_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");

    const QString noAuction = QStringLiteral("There is no auction with item number 999.");
    QTest::newRow("duplicate auction")
        << "Auctions"
        << "Add" << QVariantList{"330099887766", "Books"} << 11
        << "Cannot add auction.  Item 330099887766 already exists in Category Default.";
    QTest::newRow("remove an unknown auction") << "Auctions"
                                               << "Remove" << QVariantList{"999"} << 5 << noAuction;
    QTest::newRow("edit an unknown auction") << "Auctions"
                                             << "ViewEdit" << QVariantList{"999"} << 5 << noAuction;
    QTest::newRow("move an unknown auction")
        << "Auctions"
        << "SetCategory" << QVariantList{"999", "Books"} << 5 << noAuction;
    QTest::newRow("bid without a user name")
        << "Auctions"
        << "ViewNewBid" << QVariantList{"330099887766"} << 11
        << "You must first have an eBay username and password set before you can create a bid for an "
           "auction.  Please open the configurations and enter this information.";
    QTest::newRow("send an unknown auction's bid") << "BidManager"
                                                   << "SendBid" << QVariantList{"999"} << 5 << noAuction;
    QTest::newRow("download with one unknown")
        << "Updaters"
        << "DownloadItems" << QVariantList{QStringList{"330099887766", "999"}} << 5 << noAuction;
    QTest::newRow("edit an unknown category")
        << "Categorys"
        << "ViewEdit" << QVariantList{"Toys"} << 5 << "There is no category named Toys.";
    QTest::newRow("remove an unknown category")
        << "Categorys"
        << "Remove" << QVariantList{"Toys"} << 5 << "There is no category named Toys.";
    QTest::newRow("no item page") << "Updater"
                                  << "Parse"
                                  << QVariantList{"330099887766", "<TITLE>Hello</TITLE><BODY>x</BODY>"} << 11
                                  << "The Auction was not Found or is not Available.";
    QTest::newRow("a setting clients do not write") << "Settings"
                                                    << "SetFlag" << QVariantList{"ConfirmDel", true} << 5
                                                    << "The setting ConfirmDel cannot be written here.";
    QTest::newRow("no such information page")
        << "App"
        << "ShowInfo" << QVariantList{9} << 5 << "There is no information page 9.";
}

void tst_BusModel::modelErrorsComeBackWithNumberAndText()
{
    QFETCH(QString, object);
    QFETCH(QString, method);
    QFETCH(QVariantList, args);
    QFETCH(int, number);
    QFETCH(QString, text);

    QVERIFY(m_link && m_link->isBound());
    const QList<AuctionRecord> before = m_link->App().Auctions().Items();
    try {
        m_link->backend().call(object, method, args);
        QFAIL("the call was not refused");
    } catch (const Remote::Error& error) {
        QCOMPARE(error.number(), number);
        QCOMPARE(error.description(), text);
    }
    QVERIFY(m_link->isBound());
    QCOMPARE(m_link->App().Auctions().Items(), before);
}

void tst_BusModel::errorRepliesCarryTheNumber()
{
    QVERIFY(m_link && m_link->isBound());
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::auctionsPath,
                                       OrvBus::interfaceOf(QStringLiteral("Auctions")), QStringLiteral("Add"))
        << QStringLiteral("330099887766") << QString());
    QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(reply.errorName(), OrvBus::errorRefused);
    QCOMPARE(reply.arguments(),
             QVariantList({QStringLiteral("Cannot add auction.  Item 330099887766 already exists in Category "
                                          "Default."),
                           11}));
}

void tst_BusModel::aPageIsParsedIntoItsAuction()
{
    QVERIFY(m_link && m_link->isBound());
    QFile page(QStringLiteral(ORV_FIXTURES "/item-lamp.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    const qsizetype titleStart = html.indexOf(QStringLiteral("<title>"), 0, Qt::CaseInsensitive);
    QVERIFY(titleStart >= 0);
    const QString title = html.mid(
        titleStart + 7, html.indexOf(QStringLiteral("</title>"), 0, Qt::CaseInsensitive) - titleStart - 7);
    Remote::Auctions& auctions = m_link->App().Auctions();
    auctions.Add(QStringLiteral("556677"), QStringLiteral("Default"));
    m_link->App().Updaters().Parse(QStringLiteral("556677"), QStringLiteral("<TITLE>") + title +
                                                                 QStringLiteral("</TITLE><BODY>") + html +
                                                                 QStringLiteral("</BODY>"));
    QTRY_COMPARE_WITH_TIMEOUT(auctions.Item(QStringLiteral("556677"))->Description,
                              QStringLiteral("Brass Lamp"), 5000);
    QVERIFY(auctions.Item(QStringLiteral("556677"))->Price > 0);

    // A page larger than the program reads is refused before it is read.
    try {
        m_link->App().Updaters().Parse(QStringLiteral("556677"), QString(9 * 1024 * 1024, QLatin1Char('a')));
        QFAIL("a page of 9 MB was read");
    } catch (const Remote::Error& error) {
        QCOMPARE(error.number(), 11);
        QCOMPARE(error.description(), QStringLiteral("The page is too large to read."));
    }
    auctions.Remove(QStringLiteral("556677"));
}

void tst_BusModel::siteTimeAgreesWithTheProgram()
{
    QVERIFY(m_link && m_link->isBound());
    const Remote::Clock& clock = m_link->App().Clock();
    // The site time is the PC's local time plus Variance, by the program's own account.
    const QDateTime local = QDateTime::currentDateTime();
    const QDateTime fromVariance = QDateTime(local.date(), local.time(), Qt::UTC).addSecs(clock.Variance());
    QVERIFY2(qAbs(clock.Time().secsTo(fromVariance)) <= 2,
             qPrintable(clock.Time().toString(Qt::ISODate) + QStringLiteral(" vs ") +
                        fromVariance.toString(Qt::ISODate)));
}

void tst_BusModel::aFloodingClientHurtsNoOther()
{
    QVERIFY(m_link && m_link->isBound());
    QDBusConnection flood =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("flood"));
    const QDBusMessage snapshot = QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::appPath,
                                                                 OrvBus::interfaceOf(QStringLiteral("App")),
                                                                 QStringLiteral("Snapshot"));
    QList<QDBusPendingCall> pending;
    for (int i = 0; i < 3000; ++i)
        pending << flood.asyncCall(snapshot);
    // The other client's command goes through while the flood is still being answered.
    m_link->App().Auctions().SetDescription(QStringLiteral("330099887766"),
                                            QStringLiteral("Keyboard, flooded"));
    QCOMPARE(m_link->App().Auctions().Item(QStringLiteral("330099887766"))->Description,
             QStringLiteral("Keyboard, flooded"));
    // The bus lets one client have only so many calls open; the program answered all it was given.
    int answered = 0;
    for (QDBusPendingCall& call : pending) {
        call.waitForFinished();
        if (!call.isError())
            ++answered;
        else
            QCOMPARE(call.error().type(), QDBusError::LimitsExceeded);
    }
    QVERIFY2(answered >= 100, qPrintable(QString::number(answered)));
    QVERIFY(m_link->isBound());
    QCOMPARE(ProgramUnderTest::remoteState(), int(AppHidden));
    QDBusConnection::disconnectFromBus(QStringLiteral("flood"));
}

void tst_BusModel::clientsLeavingMidCallHurtNothing()
{
    QVERIFY(m_link && m_link->isBound());
    const QString bigPage(7 * 1024 * 1024, QLatin1Char('x'));
    for (int i = 0; i < 10; ++i) {
        const QString name = QStringLiteral("leaver%1").arg(i);
        QDBusConnection leaver = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        leaver.asyncCall(QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::updaterPath,
                                                        OrvBus::interfaceOf(QStringLiteral("Updater")),
                                                        QStringLiteral("Parse"))
                         << QStringLiteral("330099887766") << bigPage);
        leaver.asyncCall(QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::appPath,
                                                        OrvBus::interfaceOf(QStringLiteral("App")),
                                                        QStringLiteral("Snapshot")));
        QDBusConnection::disconnectFromBus(name);
    }
    // The program still answers, and the refused pages changed nothing.
    m_link->App().Auctions().SetDescription(QStringLiteral("330099887766"),
                                            QStringLiteral("Mechanical keyboard"));
    QCOMPARE(m_link->App().Auctions().Item(QStringLiteral("330099887766"))->Description,
             QStringLiteral("Mechanical keyboard"));
    QCOMPARE(ProgramUnderTest::remoteState(), int(AppHidden));
}

// A program that is there but hangs: the command fails after its time-out with a text that says so (not
// that the program is being started), and the client stays bound.
void tst_BusModel::aProgramThatDoesNotAnswerIsNotCalledEnded()
{
    QVERIFY(m_link && m_link->isBound());
    const uint pid = programPid();
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid_t(pid), SIGSTOP), 0);
    QString description;
    try {
        m_link->App().Save();
    } catch (const Remote::Error& error) {
        description = error.description();
    }
    ::kill(pid_t(pid), SIGCONT);
    QCOMPARE(description, Remote::Error::noAnswerText());
    QVERIFY(m_link->isBound());
    m_link->App().Save();
}

void tst_BusModel::programEndingLeavesTheClientUnboundUntilTheNextCommand()
{
    QVERIFY(m_link && m_link->isBound());
    QSignalSpy lost(m_link.get(), &Remote::cApp::Lost);
    QSignalSpy updated(&m_link->App().Auctions(), &Remote::Auctions::Updated);
    killProgram();
    QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 10000);
    QCOMPARE(lost.at(0).at(0).toString(), Remote::cApp::endedText());
    QVERIFY(!m_link->isBound());
    QCOMPARE(m_link->App().Auctions().Count(), 0);
    QVERIFY(updated.size() >= 1);
    // Nothing starts the program again by itself.
    QTest::qWait(300);
    QVERIFY(!ProgramUnderTest::ownsBusName());

    // The next command says so and binds again, which starts the program.
    QVERIFY_THROWS_EXCEPTION(Remote::Error, m_link->App().Save());
    QTRY_VERIFY_WITH_TIMEOUT(m_link->isBound(), 30000);
    QCOMPARE(m_link->App().Auctions().Count(), 2);
    m_link->App().Save();
}

void tst_BusModel::holdEndsWithAKilledClientProcess()
{
    QVERIFY(m_link && m_link->isBound());
    m_link.reset();
    QProcess helper;
    helper.start(QStringLiteral(ORV_LINK_HELPER), QStringList());
    QVERIFY(helper.waitForStarted());
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += helper.readAllStandardOutput()).contains("held"), 10000);
    QVERIFY2(said.contains("bound"), said.constData());

    // Held: Quit is refused.
    QDBusConnection bus = QDBusConnection::sessionBus();
    QSignalSpy refused(this, SIGNAL(errorMessage(QString)));
    QVERIFY(bus.connect(OrvBus::serviceName, OrvBus::appPath, OrvBus::appInterface,
                        QStringLiteral("ErrorMessage"), this, SIGNAL(errorMessage(QString))));
    const QDBusMessage quit = QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::appPath,
                                                             OrvBus::appInterface, QStringLiteral("Quit"));
    QCOMPARE(bus.call(quit).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(refused.size(), 1, 10000);
    QVERIFY(ProgramUnderTest::ownsBusName());

    // The client process killed: its hold goes with it, and the next Quit ends the program.
    helper.kill();
    QVERIFY(helper.waitForFinished());
    QDBusMessage quitIfRunning = quit;
    quitIfRunning.setAutoStartService(false);
    QTRY_VERIFY_WITH_TIMEOUT((bus.call(quitIfRunning), QTest::qWait(100), !ProgramUnderTest::ownsBusName()),
                             10000);
    QTest::qWait(300);
    QVERIFY(!ProgramUnderTest::ownsBusName());
    QCOMPARE(refused.size(), 1);
}

QTEST_GUILESS_MAIN(tst_BusModel)
#include "tst_BusModel.moc"
