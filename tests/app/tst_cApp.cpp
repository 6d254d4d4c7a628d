#include "Auctions.h"
#include "BidManager.h"
#include "Clock.h"
#include "DateTimes.h"
#include "EnumName.h"
#include "FakeEngine.h"
#include "FakeTimeSource.h"
#include "FileSizeLimit.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "TrayIcon.h"
#include "UnwritableDataFolder.h"
#include "XMLManager.h"
#include "cApp.h"

#include <QDir>
#include <QDomDocument>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <optional>
#include <sys/stat.h>

namespace {

QStringList childNames(const QByteArray& xml)
{
    QDomDocument doc;
    doc.setContent(xml);
    QStringList names;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        names << e.tagName();
    return names;
}

// Records the application's events in the order they come, mixed with the windows it opened.
struct EventLog
{
    explicit EventLog(cApp& app, RecordingShellHost& host) : host(host)
    {
        QObject::connect(&app, &cApp::StatusChange, &app, [this](const QString& s) {
            flush();
            log << "status:" + s;
        });
        QObject::connect(&app, &cApp::StateChange, &app, [this](int s) {
            flush();
            log << QStringLiteral("state:") + enumName<AppState>(s);
        });
    }
    void flush()
    {
        for (; seen < host.calls.size(); ++seen)
            log << "window:" + host.calls.at(seen);
    }
    QStringList take()
    {
        flush();
        return std::exchange(log, {});
    }
    RecordingShellHost& host;
    QStringList log;
    qsizetype seen = 0;
};

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

// The heartbeat's next moment lies just after a whole second of the PC clock.
bool onTheSecond(const cApp& app)
{
    const qint64 phase = app.nextHeartbeatMs() % 1000;
    return phase >= cApp::HeartbeatAlignMs - 2 && phase <= cApp::HeartbeatAlignMs + cApp::HeartbeatDriftMs;
}

} // namespace

class tst_cApp : public QObject
{
    Q_OBJECT

private:
    FakeEngine m_engine; // outlives every application a test makes

private Q_SLOTS:
    void creationShowsSplashThenStatus()
    {
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        QCOMPARE(host.calls, QStringList{QStringLiteral("splash")});
        QCOMPARE(app.State(), AppCreated);
        QCOMPARE(app.Status(), QStringLiteral("Application Created"));
        QVERIFY(!app.isHeartbeatRunning());
    }

    void stateChangesInOrder()
    {
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        EventLog events(app, host);
        events.take();

        app.Load();
        QCOMPARE(events.take(), (QStringList{"status:Application Loaded.", "state:AppLoaded"}));
        QVERIFY(app.isHeartbeatRunning());

        // show: the window first, then the tray goes, then the status comes before the state change.
        app.show();
        QCOMPARE(events.take(),
                 (QStringList{"window:main", "status:Application Started.", "state:AppStarted"}));
        QVERIFY(!app.TrayIcon().Visible());

        // Showing again runs the window's View again but repeats no status or state.
        app.show();
        QCOMPARE(events.take(), (QStringList{"window:main"}));

        // hide: tray, state (no status text), then the window closes.
        app.hide();
        QCOMPARE(events.take(), (QStringList{"state:AppHidden", "window:closeMain"}));
        QVERIFY(app.TrayIcon().Visible());

        // Setting the current state again raises nothing.
        app.setState(AppHidden);
        QVERIFY(events.take().isEmpty());

        // A status is announced every time, also unchanged.
        app.setStatus(QStringLiteral("same"));
        app.setStatus(QStringLiteral("same"));
        QCOMPARE(events.take(), (QStringList{"status:same", "status:same"}));
    }

    void firstStartWritesStateFileInOrder()
    {
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        QVERIFY(!QFile::exists(data.stateFile()));
        app.Save();
        QCOMPARE(childNames(data.read(QStringLiteral("auctions.xml"))),
                 (QStringList{"Clock", "Columns", "Settings", "Auctions", "Categorys", "BidManager",
                              "VerManager"}));
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(data.stateFile()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
    }

    void unreadableStateFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << QByteArray("<Root><Auctions><Auction><Item>12");
        QTest::newRow("foreign") << QByteArray("<html><body>not mine</body></html>");
    }
    void unreadableStateFileIsKeptAside()
    {
        QFETCH(QByteArray, content);
        TestDataFolder data;
        data.write(QStringLiteral("auctions.xml"), content);
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        QCOMPARE(app.State(), AppLoaded);
        app.Save();

        const QStringList kept = QDir(data.path()).entryList({QStringLiteral("auctions.xml.unreadable-*")});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(data.read(kept.first()), content);
        // It may hold the password; and the user is told where it went, once the window shows.
        QCOMPARE(modeOf(data.filePath(kept.first())), mode_t(0600));
        QCOMPARE(childNames(data.read(QStringLiteral("auctions.xml"))).size(), 7);
        app.show();
        QCOMPARE(app.Status(),
                 QStringLiteral("The auction list could not be read.  It was kept aside as \"%1\".")
                     .arg(data.filePath(kept.first())));
    }

    void failedSaveKeepsOldFileAndSaysSo()
    {
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        app.Save();
        const QByteArray good = data.read(QStringLiteral("auctions.xml"));
        data.write(QStringLiteral("auctions.xml"),
                   good + QByteArray(200, ' ')); // bigger than the limit below
        const QByteArray before = data.read(QStringLiteral("auctions.xml"));

        QSignalSpy status(&app, &cApp::StatusChange);
        {
            FileSizeLimit limit(16);
            app.Save();
        }
        QCOMPARE(data.read(QStringLiteral("auctions.xml")), before);
        QCOMPARE(status.size(), 1);
        QVERIFY(
            status.at(0).at(0).toString().startsWith(QStringLiteral("Could not save the auction list: ")));
    }

    // Quit whose save fails asks whether to end without saving: Yes ends, No keeps the program as it was.
    void quitWithAFailingSave_data()
    {
        QTest::addColumn<bool>("sizeLimit"); // else: a data folder where nothing can be written
        QTest::addColumn<bool>("endAnyway");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unwritable folder, end") << false << true << "Not a directory";
        QTest::newRow("unwritable folder, keep running") << false << false << "Not a directory";
        QTest::newRow("file size limit, end") << true << true << "File too large";
        QTest::newRow("file size limit, keep running") << true << false << "File too large";
    }
    void quitWithAFailingSave()
    {
        QFETCH(bool, sizeLimit);
        QFETCH(bool, endAnyway);
        QFETCH(QString, reason);
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        boxes.answer = endAnyway ? MessageBoxSink::AnswerYes : MessageBoxSink::AnswerNo;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        app.hide();
        host.calls.clear();
        {
            std::optional<UnwritableDataFolder> unwritable;
            std::optional<FileSizeLimit> limit;
            if (sizeLimit)
                limit.emplace(16);
            else
                unwritable.emplace(data.filePath(QStringLiteral("plain")));
            app.Quit();
        }
        QCOMPARE(boxes.boxes.size(), 1);
        const RecordingMessageBoxSink::Box& box = boxes.boxes.first();
        QCOMPARE(box.icon, MessageBoxSink::Question);
        QCOMPARE(box.buttons, MessageBoxSink::YesNo);
        QCOMPARE(box.title, QStringLiteral("Save Error"));
        QVERIFY2(box.text.startsWith(QStringLiteral("Could not save the auction list: ")),
                 qPrintable(box.text));
        QVERIFY2(box.text.contains(reason), qPrintable(box.text));
        QVERIFY(box.text.endsWith(QStringLiteral("\n\nEnd the program without saving?")));
        QVERIFY(!QFile::exists(data.stateFile()));
        if (endAnyway) {
            QCOMPARE(app.State(), AppShuttingDown);
            QCOMPARE(host.calls.last(), QStringLiteral("closeAll"));
            QVERIFY(!app.isHeartbeatRunning());
            return;
        }
        // Still running, hidden as before, and saying why; the next Quit that can save ends.
        QCOMPARE(app.State(), AppHidden);
        QVERIFY(app.TrayIcon().Visible());
        QVERIFY(app.isHeartbeatRunning());
        QVERIFY(!host.calls.contains(QStringLiteral("closeAll")));
        QCOMPARE(app.Status(), box.text.section(QLatin1Char('\n'), 0, 0));
        app.Quit();
        QCOMPARE(app.State(), AppShuttingDown);
        QVERIFY(QFile::exists(data.stateFile()));
        QCOMPARE(boxes.boxes.size(), 1);
    }

    void quitSavesOnceAndEndsTheHeartbeat()
    {
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        app.show();
        QSignalSpy errors(&app, &cApp::ErrorMessage);

        app.Quit();
        QCOMPARE(app.State(), AppShuttingDown);
        QCOMPARE(app.Status(), QStringLiteral("Application Shutting Down..."));
        QVERIFY(QFile::exists(data.stateFile()));
        QVERIFY(!app.TrayIcon().Visible());
        QCOMPARE(host.calls.last(), QStringLiteral("closeAll"));
        QVERIFY(!app.isHeartbeatRunning());

        QFile::remove(data.stateFile());
        app.Quit();
        QVERIFY(!QFile::exists(data.stateFile()));
        QCOMPARE(errors.size(), 0);
    }

    void sessionEndSaves()
    {
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        app.sessionEnd();
        QVERIFY(QFile::exists(data.stateFile()));
        QCOMPARE(app.State(), AppShuttingDown);
    }

    // A send moment is a whole second: the heartbeat fires just after each one, and a heartbeat made
    // late (a long save holds the thread) fires on the second again afterwards.
    void heartbeatFiresJustAfterEachSecond()
    {
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        QVERIFY(onTheSecond(app));
        QTest::qWait(2100);
        QVERIFY(onTheSecond(app));
        QThread::msleep(1400);
        QTest::qWait(100);
        QVERIFY(onTheSecond(app));
    }

    // A save the bid engine asks for (here: a missed bid expired) never holds the thread while a bid
    // is due within the time a save takes; a later heartbeat saves once none is.
    void engineSaveWaitsWhileABidIsDue_data()
    {
        QTest::addColumn<int>("secondsToSend"); // of a second auction with a bid; 0: none
        QTest::newRow("no bid due") << 0;
        // A save of two auctions is quick: only a send moment within a second or two is in its way.
        QTest::newRow("a bid due in 1 s") << 1;
    }
    void engineSaveWaitsWhileABidIsDue()
    {
        QFETCH(int, secondsToSend);
        FakeTimeSource pc;
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        // No attempt starts here: a paused bid manager sends nothing, but its bids stay scheduled.
        app.BidManager().setPaused(true);
        const QDateTime siteNow = app.Clock().Time();
        const AuctionPtr missed = app.Auctions().Add(QStringLiteral("1"), QStringLiteral("Default"));
        missed->EndTime = siteNow.addSecs(-10);
        missed->SnipeBid = 10;
        missed->SnipeState = OR2BidSet;
        if (secondsToSend > 0) {
            const AuctionPtr due = app.Auctions().Add(QStringLiteral("2"), QStringLiteral("Default"));
            due->SnipeSeconds = 5;
            due->EndTime = siteNow.addSecs(secondsToSend + due->SnipeSeconds);
            due->SnipeBid = 10;
            due->SnipeState = OR2BidSet;
        }

        Q_EMIT app.Clock().Updated();
        QCOMPARE(missed->SnipeState, OR2BidFailed);
        if (secondsToSend > 0) {
            QVERIFY(!QFile::exists(data.stateFile()));
            QTest::qWait(1500);
            QVERIFY(!QFile::exists(data.stateFile()));
            pc.advanceSeconds(secondsToSend + 6);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(data.stateFile()), 3000);
        }
        XMLManager saved;
        saved.LoadFile(data.stateFile());
        const XmlElement first =
            saved.Node().firstChildElement(QStringLiteral("Auctions")).firstChildElement();
        QCOMPARE(first.firstChildElement(QStringLiteral("SnipeState")).text(), QStringLiteral("5"));
    }

    // The heartbeat belongs to the application, not to a window: with no window open, its tick still
    // reaches the bid manager, which finds the stored bid and turns yellow.
    void heartbeatTicksWhileHidden()
    {
        TestDataFolder data;
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, m_engine.factories());
        app.Load();
        const AuctionPtr auction = app.Auctions().Add(QStringLiteral("123"), QStringLiteral("Default"));
        auction->EndTime = app.Clock().Time().addSecs(10 * 3600);
        auction->SnipeBid = 10;
        auction->SnipeState = OR2BidSet;
        app.hide();
        QVERIFY(!host.mainOpen);
        QCOMPARE(app.BidManager().State(), eBidderGreen);
        QTRY_COMPARE_WITH_TIMEOUT(app.BidManager().State(), eBidderYellow, 5000);
    }
};

QTEST_GUILESS_MAIN(tst_cApp)
#include "tst_cApp.moc"
