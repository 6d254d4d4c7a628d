#include "FakeEngine.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "TrayIcon.h"
#include "Unloader.h"
#include "cApp.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString refusal =
    QStringLiteral("Other applications are using this program.  Please close all Internet "
                   "Explorer plugins or applications before closing.");

// Listeners that answer a question: "keep" vetoes, "go" stays silent.
void listen(Unloader& unloader, QObject& context, const QStringList& answers, QList<bool>& seen)
{
    for (const QString& answer : answers) {
        QObject::connect(&unloader, &Unloader::Unloading, &context, [&unloader, &seen, answer](bool bValue) {
            seen << bValue;
            if (answer == QLatin1String("keep"))
                unloader.setAvailable(false);
        });
    }
}

} // namespace

class tst_Unloader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void question_data();
    void question();
    void eachQuestionStartsAfresh();
    void unloadingNow();
    void quitRefusedThenAllowed();
};

void tst_Unloader::question_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("available");

    QTest::newRow("no listener") << QStringList{} << true;
    QTest::newRow("one silent listener") << QStringList{"go"} << true;
    QTest::newRow("one veto") << QStringList{"keep"} << false;
    QTest::newRow("veto, then silence") << QStringList{"keep", "go"} << false;
    QTest::newRow("silence, then veto") << QStringList{"go", "keep"} << false;
}

void tst_Unloader::question()
{
    QFETCH(QStringList, answers);
    QFETCH(bool, available);

    Unloader unloader;
    QObject context;
    QList<bool> seen;
    listen(unloader, context, answers, seen);

    QCOMPARE(unloader.Available(), available);
    // Every listener is asked, with false: the program only asks.
    QCOMPARE(seen, QList<bool>(answers.size(), false));
}

void tst_Unloader::eachQuestionStartsAfresh()
{
    Unloader unloader;
    QList<bool> seen;
    {
        QObject vetoing;
        listen(unloader, vetoing, {QStringLiteral("keep")}, seen);
        QVERIFY(!unloader.Available());
    }
    QVERIFY(unloader.Available());

    // A value set outside a question is overwritten by the next one.
    unloader.setAvailable(false);
    QVERIFY(unloader.Available());
}

void tst_Unloader::unloadingNow()
{
    Unloader unloader;
    QSignalSpy unloading(&unloader, &Unloader::Unloading);
    unloader.UnloadingNow();
    QCOMPARE(unloading.count(), 1);
    QCOMPARE(unloading.at(0).at(0).toBool(), true);
}

void tst_Unloader::quitRefusedThenAllowed()
{
    TestDataFolder folder;
    RecordingShellHost dialogs;
    FakeEngine engine;
    RecordingMessageBoxSink boxes;
    cApp app(dialogs, boxes, engine.factories());
    app.hide();
    QSignalSpy errors(&app, &cApp::ErrorMessage);

    QList<bool> seen;
    auto* client = new QObject;
    listen(app.Unloader(), *client, {QStringLiteral("keep")}, seen);
    app.Quit();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), refusal);
    QCOMPARE(app.State(), AppHidden);
    QVERIFY(app.TrayIcon().Visible());
    QVERIFY(!QFile::exists(folder.stateFile()));

    delete client;
    app.Quit();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(app.State(), AppShuttingDown);
    QVERIFY(!app.TrayIcon().Visible());
    QVERIFY(QFile::exists(folder.stateFile()));
    QCOMPARE(dialogs.calls.last(), QStringLiteral("closeAll"));
}

QTEST_GUILESS_MAIN(tst_Unloader)
#include "tst_Unloader.moc"
