// The debug tool against the real main program, started hidden through the bus: the tree read from
// the program's model, a package of the ticked auction, and the hold that ends with the window.
#include "DataFolder.h"
#include "OrvBus.h"
#include "PackageContents.h"
#include "ProgramUnderTest.h"
#include "RecordingMessageBoxSink.h"
#include "RemotecApp.h"
#include "ScriptedDialogBackend.h"
#include "ctlAuctionsBand.h"
#include "frmAuctions.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <csignal>

namespace {

const char stateFile[] = R"(<Root>
<Clock><Variance>0</Variance><LastUpdated>2025-01-01 00:00:00</LastUpdated></Clock>
<Settings><Username>demo-buyer</Username><Password>s3cret-pw</Password><ColorActive>32768</ColorActive><ColorCaution>33023</ColorCaution><ColorComplete>8421504</ColorComplete><ColorWarning>255</ColorWarning><CheckForUpdates>0</CheckForUpdates><AutoSyncDays>0</AutoSyncDays></Settings>
<Auctions>
<Auction><Item>110023456789</Item><Description>Brass pocket watch</Description><EndTime>2099-03-04 18:30:00</EndTime><Price>41.5</Price><Quantity>1</Quantity><Bids>12</Bids><Category>Watches</Category><SnipeState>1</SnipeState><SnipeBid>57.25</SnipeBid><SnipeSeconds>8</SnipeSeconds><SnipeQuantity>1</SnipeQuantity></Auction>
<Auction><Item>330099887766</Item><Description>Mechanical keyboard</Description><EndTime>2099-03-05 10:00:00</EndTime><Category>Default</Category><SnipeState>0</SnipeState></Auction>
</Auctions>
<Categorys><Category><Name>Default</Name><MaxWins>1</MaxWins><Limited>False</Limited></Category><Category><Name>Watches</Name><MaxWins>1</MaxWins><Limited>False</Limited></Category></Categorys>
</Root>
)";

uint programPid()
{
    return QDBusConnection::sessionBus().interface()->servicePid(OrvBus::serviceName).value();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class tst_DebugToolOnBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The program started by the bus inherits the bus daemon's environment, hence this data folder.
        QVERIFY(!ProgramUnderTest::ownsBusName());
        writeFile(DataFolder::stateFile(), stateFile);
        writeFile(QDir(DataFolder::sentSnipesFolder()).filePath("110023456789.html"), "<html>watch</html>");
        writeFile(QDir(DataFolder::sentSnipesFolder()).filePath("330099887766.html"),
                  "<html>keyboard</html>");
    }

    // A test that failed half-way must not leave the started program running: CTest would wait for it.
    void cleanupTestCase()
    {
        const uint pid = programPid();
        if (pid > 0)
            ::kill(pid_t(pid), SIGKILL);
    }

    void packsFromTheRunningProgram()
    {
        DebugTool::frmAuctions window;
        auto* dialogs = new ScriptedDialogBackend;
        RecordingMessageBoxSink boxes;
        window.AuctionsBand()->setDialogBackend(std::unique_ptr<DialogBackend>(dialogs));
        window.AuctionsBand()->setMessageBoxSink(&boxes);
        window.View(std::make_unique<Remote::cApp>());

        // The program starts hidden; the tree is read once it answers.
        QTRY_COMPARE_WITH_TIMEOUT(window.statusText(),
                                  QStringLiteral("Select the auctions you want to package."), 30000);
        QCOMPARE(ProgramUnderTest::remoteState(), 4 /* AppHidden */);
        QTreeWidget* tree = window.AuctionsBand()->TreeView();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Default (1)"));
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("Watches (1)"));
        QTreeWidgetItem* watch = window.AuctionsBand()->node("110023456789~");
        QVERIFY(watch);
        QCOMPARE(watch->text(0), QStringLiteral("Brass pocket watch"));
        QCOMPARE(watch->parent(), window.AuctionsBand()->node("Watches:CAT"));

        // Held: the program refuses to quit while the window is open.
        QSignalSpy refused(this, SIGNAL(errorMessage(QString)));
        QVERIFY(QDBusConnection::sessionBus().connect(OrvBus::serviceName, OrvBus::appPath,
                                                      OrvBus::appInterface, "ErrorMessage", this,
                                                      SIGNAL(errorMessage(QString))));
        QDBusInterface app(OrvBus::serviceName, OrvBus::appPath, OrvBus::appInterface);
        QVERIFY(app.call("Quit").type() == QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(refused.count(), 1, 10000);
        QVERIFY(ProgramUnderTest::ownsBusName());

        window.AuctionsBand()->node("Watches:CAT")->setCheckState(0, Qt::Checked);
        // This tool's own environment now names another folder, with files of its own: the package still
        // holds the files of the program the tree was read from.
        const QString programState = DataFolder::stateFile();
        const QByteArray programHome = qgetenv("AUCTIONORV_HOME");
        QTemporaryDir toolHome;
        writeFile(
            toolHome.filePath("auctions.xml"),
            "<Root><Settings><Username>other</Username><Password>other-pw</Password></Settings></Root>");
        writeFile(toolHome.filePath("Sent Snipes/110023456789.html"), "<html>another folder's page</html>");
        qputenv("AUCTIONORV_HOME", QFile::encodeName(toolHome.path()));
        const auto restoreHome = qScopeGuard([&] { qputenv("AUCTIONORV_HOME", programHome); });
        QTemporaryDir out;
        const QString target = out.filePath("support.zip");
        dialogs->fileAnswer = [&](DialogBackend::FileDialog& d) {
            d.chosen = {target};
            return true;
        };
        QTest::mouseClick(window.AuctionsBand()->findChild<QPushButton*>("cmdCreate"), Qt::LeftButton);
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.first().title, QStringLiteral("Debug Package Created"));

        // The state file as it stands now, password emptied; only the ticked auction's page.
        QFile state(programState);
        QVERIFY(state.open(QIODevice::ReadOnly));
        QByteArray expected = state.readAll();
        QVERIFY(expected.contains("<Password>s3cret-pw</Password>"));
        expected.replace("<Password>s3cret-pw</Password>", "<Password></Password>");
        const PackageContents package(target);
        QCOMPARE(package.names(), QStringList({"auctions.xml", "Sent Snipes/110023456789.html"}));
        QCOMPARE(package.entry("auctions.xml"), expected);
        QCOMPARE(package.entry("Sent Snipes/110023456789.html"), QByteArray("<html>watch</html>"));

        // Closing the window ends the hold: the same request now ends the program. (Asked once: a call to
        // a program that has ended would start it again.)
        window.close();
        QVERIFY(app.call("Quit").type() == QDBusMessage::ReplyMessage);
        QTRY_VERIFY_WITH_TIMEOUT(!ProgramUnderTest::ownsBusName(), 10000);
        QCOMPARE(refused.count(), 1);
    }

Q_SIGNALS:
    void errorMessage(const QString& sMessage);
};

QTEST_MAIN(tst_DebugToolOnBus)
#include "tst_DebugToolOnBus.moc"
