#include "FakeEngine.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "Unloader.h"
#include "cApp.h"
#include "frmAuctions.h"

#include <QTest>

// The user's close of the main window: to the notification area when the settings ask for it and the
// desktop has one; otherwise the program ends, so it is never left running unseen and unreachable.
class tst_frmAuctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void userCloseHidesOrEnds_data()
    {
        QTest::addColumn<bool>("minOnClose");
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<bool>("clientHolds");
        QTest::addColumn<AppState>("state");
        QTest::newRow("to the tray") << true << true << false << AppHidden;
        QTest::newRow("no tray on this desktop") << true << false << false << AppShuttingDown;
        QTest::newRow("settings say end") << false << true << false << AppShuttingDown;
        QTest::newRow("end refused by a client") << false << true << true << AppStarted;
    }
    void userCloseHidesOrEnds()
    {
        QFETCH(bool, minOnClose);
        QFETCH(bool, trayAvailable);
        QFETCH(bool, clientHolds);
        QFETCH(AppState, state);
        TestDataFolder data;
        RecordingShellHost host;
        FakeEngine engine;
        host.tray.available = trayAvailable;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes, engine.factories());
        app.Load();
        app.Settings().MinOnClose = minOnClose;
        app.show();
        if (clientHolds)
            connect(&app.Unloader(), &Unloader::Unloading, &app,
                    [&app] { app.Unloader().setAvailable(false); });

        frmAuctions window;
        window.View(app);
        QVERIFY(window.isVisible());
        window.close();
        QCOMPARE(app.State(), state);
        // The window goes with the close, unless the program stays open on a refused Exit.
        QCOMPARE(window.isVisible(), state == AppStarted);
    }
};

QTEST_MAIN(tst_frmAuctions)
#include "tst_frmAuctions.moc"
