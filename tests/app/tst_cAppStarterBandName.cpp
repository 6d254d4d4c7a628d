#include "FakeEngine.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "Registry.h"
#include "TestDataFolder.h"
#include "cApp.h"
#include "cAppStarter.h"
#include "mMain.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString bandKey = QStringLiteral("CLSID\\{C53E0366-5A1C-11D9-BAFB-000102735E90}");

} // namespace

// The first instance names the browser band in the registry before anything else; a registry that
// cannot be written ends the start with a message and no application object.
class tst_cAppStarterBandName : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8()); }

    void aRegistryThatCannotBeWrittenEndsTheStart()
    {
        // A file stands where the registry's folder belongs.
        QFile blocker(m_config.filePath(QStringLiteral("auction-orv")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        TestDataFolder data;
        RecordingShellHost dialogs;
        FakeEngine engine;
        RecordingMessageBoxSink boxes;
        cAppStarter(dialogs, boxes, engine.factories(), {QStringLiteral("orvauctions2")}).Start(false);

        QVERIFY(!mMain::App());
        QVERIFY(dialogs.calls.isEmpty()); // not even the splash
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.constFirst().icon, MessageBoxSink::Exclamation);
        QCOMPARE(boxes.boxes.constFirst().title, QStringLiteral("Application Error"));
        QCOMPARE(boxes.boxes.constFirst().text,
                 QStringLiteral("Failed to set registry value Key: '-2147483648',Section: '") + bandKey +
                     QStringLiteral("',Key: '' to value: 'Auction Orv'"));
        QVERIFY(blocker.remove());
    }

    void theFirstInstanceWritesTheBandsDisplayName()
    {
        TestDataFolder data;
        RecordingShellHost dialogs;
        FakeEngine engine;
        RecordingMessageBoxSink boxes;
        cAppStarter(dialogs, boxes, engine.factories(), {QStringLiteral("orvauctions2")}).Start(false);

        QVERIFY(mMain::App());
        QVERIFY(boxes.boxes.isEmpty());
        Registry registry;
        registry.ClassKey = HKEY_CLASSES_ROOT;
        registry.SectionKey = bandKey;
        QCOMPARE(registry.Value(), QVariant(QStringLiteral("Auction Orv")));
        QCOMPARE(registry.ValueType, REG_SZ);

        delete mMain::App();
        mMain::setApp(nullptr);
    }

private:
    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(tst_cAppStarterBandName)
#include "tst_cAppStarterBandName.moc"
