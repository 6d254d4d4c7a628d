#include "Auctions.h"
#include "BidManager.h"
#include "Clock.h"
#include "FileSizeLimit.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "TestDataFolder.h"
#include "TrayIcon.h"
#include "XMLManager.h"
#include "cApp.h"

#include <QDir>
#include <QDomDocument>
#include <QSignalSpy>
#include <QTest>
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
    explicit EventLog(cApp& app, RecordingDialogHost& host) : host(host)
    {
        QObject::connect(&app, &cApp::StatusChange, &app, [this](const QString& s) {
            flush();
            log << "status:" + s;
        });
        QObject::connect(&app, &cApp::StateChange, &app, [this](int s) {
            flush();
            log << QStringLiteral("state:%1").arg(s);
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
    RecordingDialogHost& host;
    QStringList log;
    qsizetype seen = 0;
};

} // namespace

class tst_cApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void creationShowsSplashThenStatus()
    {
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
        QCOMPARE(host.calls, QStringList{QStringLiteral("splash")});
        QCOMPARE(app.State(), AppCreated);
        QCOMPARE(app.Status(), QStringLiteral("Application Created"));
        QVERIFY(!app.isHeartbeatRunning());
    }

    void stateChangesInOrder()
    {
        TestDataFolder data;
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
        EventLog events(app, host);
        events.take();

        app.Load();
        QCOMPARE(events.take(), (QStringList{"status:Application Loaded.", "state:2"}));
        QVERIFY(app.isHeartbeatRunning());

        // show: the window first, then the tray goes, then the status comes before the state change.
        app.show();
        QCOMPARE(events.take(), (QStringList{"window:main", "status:Application Started.", "state:3"}));
        QVERIFY(!app.TrayIcon().Visible());

        // Showing again runs the window's View again but repeats no status or state.
        app.show();
        QCOMPARE(events.take(), (QStringList{"window:main"}));

        // hide: tray, state (no status text), then the window closes.
        app.hide();
        QCOMPARE(events.take(), (QStringList{"state:4", "window:closeMain"}));
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
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
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
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
        app.Load();
        QCOMPARE(app.State(), AppLoaded);
        app.Save();

        const QStringList kept = QDir(data.path()).entryList({QStringLiteral("auctions.xml.unreadable-*")});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(data.read(kept.first()), content);
        QCOMPARE(childNames(data.read(QStringLiteral("auctions.xml"))).size(), 7);
    }

    void failedSaveKeepsOldFileAndSaysSo()
    {
        TestDataFolder data;
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
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

    void quitSavesOnceAndEndsTheHeartbeat()
    {
        TestDataFolder data;
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
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
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
        app.Load();
        app.sessionEnd();
        QVERIFY(QFile::exists(data.stateFile()));
        QCOMPARE(app.State(), AppShuttingDown);
    }

    // The heartbeat belongs to the application, not to a window: with no window open, its tick still
    // reaches the bid manager, which finds the stored bid and turns yellow.
    void heartbeatTicksWhileHidden()
    {
        TestDataFolder data;
        RecordingDialogHost host;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
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
