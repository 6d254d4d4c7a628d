// The band bound to the real main program on a private bus: showing it starts the program hidden and
// fills the tree; "Add Current Auction" has the program read the page shown and save; a deletion in the
// band saves; the hold keeps the program from quitting until the band is hidden; the program killed
// while the band is shown leaves the band saying so, and the next command binds again.
#include "BandTree.h"
#include "DataFolder.h"
#include "FakeBrowserHost.h"
#include "OrvBus.h"
#include "ProgramUnderTest.h"
#include "RecordingMessageBoxSink.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemoteError.h"
#include "RemotecApp.h"
#include "cBand.h"
#include "cBrowser.h"
#include "ctlAuctionsBand.h"
#include "frmBand.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <csignal>

namespace {

const char stateFile[] = R"(<Root>
<Settings><ConfirmBid>True</ConfirmBid><ConfirmDel>False</ConfirmDel><ViewedAuctionAdded>True</ViewedAuctionAdded><ViewedLookingAtAuction>True</ViewedLookingAtAuction><CheckForUpdates>0</CheckForUpdates><AutoSyncDays>0</AutoSyncDays></Settings>
<Auctions>
<Auction><Item>110023456789</Item><Description>Brass pocket watch</Description><EndTime>2099-03-04 18:30:00</EndTime><Category>Watches</Category><SnipeState>0</SnipeState></Auction>
<Auction><Item>330099887766</Item><Description>Mechanical keyboard</Description><Category>Default</Category><SnipeState>0</SnipeState></Auction>
</Auctions>
<Categorys><Category><Name>Default</Name><MaxWins>1</MaxWins><Limited>False</Limited></Category><Category><Name>Watches</Name><MaxWins>1</MaxWins><Limited>False</Limited></Category></Categorys>
</Root>
)";

QString stateText()
{
    QFile file(DataFolder::stateFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

uint programPid()
{
    return QDBusConnection::sessionBus().interface()->servicePid(OrvBus::serviceName).value();
}

} // namespace

class tst_BandOnTheBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The program started by the bus inherits the bus daemon's environment, hence this data folder.
        QVERIFY(!ProgramUnderTest::ownsBusName());
        QDir().mkpath(DataFolder::path());
        QFile file(DataFolder::stateFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(stateFile);
        file.close();
        qputenv("AUCTIONORV_SITE_URL", "http://auction.test");
    }

    void cleanupTestCase()
    {
        const uint pid = programPid();
        if (pid > 0)
            ::kill(pid_t(pid), SIGKILL);
    }

    void theBandOnTheRealProgram()
    {
        RecordingMessageBoxSink boxes;
        FakeBrowserHost host;
        cBand band({}, &boxes);
        band.setSite(&host);
        band.show(true);
        ctlAuctionsBand& tree = band.form()->AuctionsBand();
        QTRY_VERIFY_WITH_TIMEOUT(band.link()->isBound(), 30000);
        QVERIFY(ProgramUnderTest::ownsBusName());
        QCOMPARE(ProgramUnderTest::remoteState(), int(Remote::AppHidden));
        QTRY_VERIFY(tree.node(QStringLiteral("110023456789~")));
        QCOMPARE(tree.node(QStringLiteral("Watches:CAT"))->text(0), QStringLiteral("Watches (1)"));
        QCOMPARE(tree.node(QStringLiteral("330099887766~"))->text(0), QStringLiteral("Mechanical keyboard"));

        // The page shown, read by the program, into the selected category; the state file saved.
        QFile fixture(QStringLiteral(ORV_FIXTURES "/item-lamp.html"));
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(fixture.readAll());
        host.title = QStringLiteral("eBay: Brass Lamp (item 123 end time Mar-15-06 10:00:00 PST)");
        host.body = html.section(QStringLiteral("<body>"), 1).section(QStringLiteral("</body>"), 0, 0);
        host.show(QUrl(QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=123")));
        tree.TreeView()->setCurrentItem(tree.node(QStringLiteral("Watches:CAT")));
        tree.buttonClick(QStringLiteral("addcurrent"));
        QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.boxes.value(0).text));
        QTRY_COMPARE(tree.node(QStringLiteral("123~"))->text(0), QStringLiteral("Brass Lamp"));
        QCOMPARE(tree.node(QStringLiteral("123~"))->parent(), tree.node(QStringLiteral("Watches:CAT")));
        QTRY_VERIFY(stateText().contains(QLatin1String("<Item>123</Item>")));

        // A page the program refuses to read: the auction added for it is taken back, the band says the
        // page is no auction's, and the program goes on answering.
        host.title = QStringLiteral("Nothing here");
        host.body = QStringLiteral("<p>gone</p>");
        host.show(QUrl(QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=124")));
        tree.buttonClick(QStringLiteral("addcurrent"));
        QTRY_COMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.at(0).title, QStringLiteral("Execution Error"));
        QCOMPARE(boxes.boxes.at(0).text, cBrowser::notFoundText());
        boxes.boxes.clear();
        QVERIFY(!tree.node(QStringLiteral("124~")));
        QVERIFY(ProgramUnderTest::ownsBusName());
        QVERIFY(tree.node(QStringLiteral("123~")));

        // Deleted in the band: saved.
        tree.TreeView()->setCurrentItem(tree.node(QStringLiteral("330099887766~")));
        boxes.answer = MessageBoxSink::AnswerYes;
        QTest::keyClick(tree.TreeView(), Qt::Key_Delete);
        QTRY_VERIFY(!tree.node(QStringLiteral("330099887766~")));
        QTRY_VERIFY(!stateText().contains(QLatin1String("330099887766")));
        QVERIFY(!stateText().contains(QLatin1String("<Item>124</Item>")));
        QVERIFY(!tree.node(QStringLiteral("124~")));
        QCOMPARE(boxes.boxes.size(), 1); // the question
        boxes.boxes.clear();

        // Shown, the band holds the program: Quit is refused.
        QVERIFY(ProgramUnderTest::ownsBusName());
        QDBusMessage quit = QDBusMessage::createMethodCall(OrvBus::serviceName, OrvBus::appPath,
                                                           OrvBus::appInterface, QStringLiteral("Quit"));
        quit.setAutoStartService(false);
        QDBusConnection::sessionBus().call(quit);
        QTest::qWait(300);
        QVERIFY(ProgramUnderTest::ownsBusName());

        // The program killed: the band says so, its tree empties; the next command binds again.
        ::kill(pid_t(programPid()), SIGKILL);
        QTRY_COMPARE_WITH_TIMEOUT(tree.Status(), Remote::cApp::endedText(), 10000);
        QCOMPARE(tree.TreeView()->topLevelItemCount(), 0);
        tree.buttonClick(QStringLiteral("updateall"));
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.at(0).title, QStringLiteral("Execution Error"));
        QCOMPARE(boxes.boxes.at(0).text, Remote::Error::notRunningText());
        QTRY_VERIFY_WITH_TIMEOUT(tree.node(QStringLiteral("123~")), 30000);

        // Hidden, the band lets the program go.
        band.show(false);
        QTRY_VERIFY_WITH_TIMEOUT(
            (QDBusConnection::sessionBus().call(quit), QTest::qWait(100), !ProgramUnderTest::ownsBusName()),
            10000);
    }
};

QTEST_MAIN(tst_BandOnTheBus)
#include "tst_BandOnTheBus.moc"
