#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "Settings.h"
#include "TestDataFolder.h"
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
        QTest::addColumn<int>("state");
        QTest::newRow("to the tray") << true << true << int(AppHidden);
        QTest::newRow("no tray on this desktop") << true << false << int(AppShuttingDown);
        QTest::newRow("settings say end") << false << true << int(AppShuttingDown);
    }
    void userCloseHidesOrEnds()
    {
        QFETCH(bool, minOnClose);
        QFETCH(bool, trayAvailable);
        QFETCH(int, state);
        TestDataFolder data;
        RecordingDialogHost host;
        host.tray.available = trayAvailable;
        RecordingMessageBoxSink boxes;
        cApp app(host, boxes);
        app.Load();
        app.Settings().MinOnClose = minOnClose;
        app.show();

        frmAuctions window;
        window.View(app);
        QVERIFY(window.isVisible());
        window.close();
        QCOMPARE(int(app.State()), state);
    }
};

QTEST_MAIN(tst_frmAuctions)
#include "tst_frmAuctions.moc"
