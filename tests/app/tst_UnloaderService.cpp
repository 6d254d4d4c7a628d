#include "FakeEngine.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "Unloader.h"
#include "UnloaderService.h"
#include "cApp.h"

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

const QString path = QStringLiteral("/Unloader");

// A client process holding the program open through its own bus connection.
class Holder
{
public:
    explicit Holder(const QString& service) { m_process.start(QStringLiteral(ORV_HOLD_HELPER), {service}); }
    ~Holder()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // Waits, with the event loop running, until the helper has written `line`.
    bool said(const QString& line)
    {
        return QTest::qWaitFor([&] {
            m_output += QString::fromUtf8(m_process.readAllStandardOutput());
            return m_output.split(QLatin1Char('\n')).contains(line);
        });
    }
    void tell(const QByteArray& line) { m_process.write(line + '\n'); }
    void crash()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
    QString m_output;
};

} // namespace

class tst_UnloaderService : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void noHolder();
    void oneHolder();
    void twoHoldersAndACrash();
    void crashedHolderNeverBlocksExit();

private:
    QDBusConnection bus = QDBusConnection::sessionBus();
    std::unique_ptr<Unloader> unloader;
    std::unique_ptr<UnloaderService> service;
};

void tst_UnloaderService::initTestCase()
{
    if (!bus.isConnected())
        QSKIP("No session bus: run the tests under dbus-run-session.");
}

void tst_UnloaderService::init()
{
    unloader = std::make_unique<Unloader>();
    service = std::make_unique<UnloaderService>(*unloader, bus);
    QVERIFY(bus.registerObject(path, service.get(),
                               QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
}

void tst_UnloaderService::cleanup()
{
    bus.unregisterObject(path);
    service.reset();
    unloader.reset();
}

void tst_UnloaderService::noHolder()
{
    QSignalSpy unloading(service.get(), &UnloaderService::Unloading);
    QVERIFY(unloader->Available());
    QCOMPARE(unloading.count(), 1);
}

void tst_UnloaderService::oneHolder()
{
    Holder holder(bus.baseService());
    QVERIFY(holder.said("held"));
    QCOMPARE(service->holdCount(), 1);

    QVERIFY(!unloader->Available());
    // The question reaches the client too.
    QVERIFY(holder.said("unloading 0"));
    unloader->UnloadingNow();
    QVERIFY(holder.said("unloading 1"));

    holder.tell("release");
    QVERIFY(holder.said("released"));
    QTRY_COMPARE(service->holdCount(), 0);
    QVERIFY(unloader->Available());
}

void tst_UnloaderService::twoHoldersAndACrash()
{
    Holder first(bus.baseService());
    Holder second(bus.baseService());
    QVERIFY(first.said("held"));
    QVERIFY(second.said("held"));
    QCOMPARE(service->holdCount(), 2);
    QVERIFY(!unloader->Available());

    first.crash();
    QTRY_COMPARE(service->holdCount(), 1);
    QVERIFY(!unloader->Available());

    second.tell("release");
    QTRY_COMPARE(service->holdCount(), 0);
    QVERIFY(unloader->Available());
}

void tst_UnloaderService::crashedHolderNeverBlocksExit()
{
    TestDataFolder folder;
    RecordingShellHost dialogs;
    FakeEngine engine;
    RecordingMessageBoxSink boxes;
    cApp app(dialogs, boxes, engine.factories());
    UnloaderService appService(app.Unloader(), bus);
    bus.unregisterObject(path);
    QVERIFY(bus.registerObject(path, &appService, QDBusConnection::ExportAllSlots));
    app.hide();
    QSignalSpy errors(&app, &cApp::ErrorMessage);

    Holder holder(bus.baseService());
    QVERIFY(holder.said("held"));
    app.Quit();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(app.State(), AppHidden);

    holder.crash();
    QTRY_COMPARE(appService.holdCount(), 0);
    app.Quit();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(app.State(), AppShuttingDown);
    bus.unregisterObject(path);
}

QTEST_GUILESS_MAIN(tst_UnloaderService)
#include "tst_UnloaderService.moc"
