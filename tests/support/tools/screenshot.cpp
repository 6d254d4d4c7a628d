// Builds the real main window on a state file at a fixed moment and writes a picture of it.
//   orv_screenshot <state file> <picture.png>
// Run it under the offscreen platform (scripts/screenshot.sh does).

#include "BidManager.h"
#include "FakeTimeSource.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "TestDataFolder.h"
#include "cApp.h"
#include "frmAuctions.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        QTextStream(stderr) << "usage: orv_screenshot <state file> <picture.png>\n";
        return 2;
    }
    // The moment the picture shows, so the time-left column reads the same on every run.
    FakeTimeSource now(QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC));
    TestDataFolder data;
    if (!QFile::copy(arguments.at(1), data.stateFile())) {
        QTextStream(stderr) << "cannot read " << arguments.at(1) << "\n";
        return 1;
    }
    RecordingDialogHost dialogs;
    RecordingMessageBoxSink boxes;
    cApp app(dialogs, boxes);
    app.Load();
    // The lights as the first heartbeat would set them.
    app.BidManager().RefreshState();
    frmAuctions window;
    window.View(app);
    QApplication::processEvents();
    if (!window.grab().save(arguments.at(2))) {
        QTextStream(stderr) << "cannot write " << arguments.at(2) << "\n";
        return 1;
    }
    return 0;
}
