#include "DateTimes.h"
#include "EnumName.h"
#include "FakeEngine.h"
#include "FakeSite.h"
#include "FakeTimeSource.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "TestDataFolder.h"
#include "VerManager.h"
#include "XMLManager.h"
#include "cApp.h"
#include "cAppStarter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

namespace {

const QString versionPath = QStringLiteral("/version/info.php");
const QString checking = QStringLiteral("Checking for latest version...");
const QString newVersion = QStringLiteral("New version found and available for download");
const QString noUpdate = QStringLiteral("No update needed");
const QString notAVersionFile = QStringLiteral("Error checking version: The reply is not a version file.");

QByteArray versionFile(qint64 major, qint64 minor, qint64 revision, const QString& extra = QString())
{
    return QStringLiteral("<Root><Major>%1</Major><Minor>%2</Minor><Revision>%3</Revision>%4</Root>")
        .arg(major)
        .arg(minor)
        .arg(revision)
        .arg(extra)
        .toUtf8();
}

// A version check against the fake maker's site, recording its status lines, its states and the moment
// its window opens, in one list.
struct Check
{
    Check()
    {
        QObject::connect(&ver, &VerManager::StatusChange, &ver,
                         [this](const QString& status) { events << QStringLiteral("status: ") + status; });
        QObject::connect(&ver, &VerManager::StateChange, &ver, [this](int state) {
            events << QStringLiteral("state: ") + enumName<eVerState>(state);
        });
        ver.setShowWindow([this](VerManager& shown) {
            events << QStringLiteral("show %1.%2.%3").arg(shown.Major).arg(shown.Minor).arg(shown.Revision);
        });
    }
    bool started()
    {
        if (!site.listen({SiteEndpoints::Maker}))
            return false;
        site.exportEnvironment();
        return true;
    }
    void serve(const FakeSite::Response& response)
    {
        site.setHandler(SiteEndpoints::Maker, versionPath,
                        [response](const FakeSite::Request&) { return response; });
    }
    bool finished() const { return ver.State() != eVerChecking && ver.State() != eVerCheckIdle; }
    QStringList statuses() const { return events.filter(QStringLiteral("status: ")); }

    FakeSite site;
    VerManager ver;
    QStringList events;
};

} // namespace

class tst_VerManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void versionNumbers_data();
    void versionNumbers();
    void randKeepsTheFraction_data();
    void randKeepsTheFraction();
    void checkAgainstTheSite_data();
    void checkAgainstTheSite();
    void newVersionOpensTheWindowBeforeTheStatus();
    void failedFetchKeepsTheLastCheck();
    void secondCheckDropsTheFirst();
    void startupCheckAsksWhenDue();
};

void tst_VerManager::versionNumbers_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<bool>("valid");
    QTest::newRow("1.6") << 1 << 6 << qint64(106) << true;
    QTest::newRow("1.10") << 1 << 10 << qint64(110) << true;
    QTest::newRow("2.10") << 2 << 10 << qint64(210) << true;
    QTest::newRow("0.0") << 0 << 0 << qint64(0) << true;
    // Written out, not multiplied: a three-digit minor makes a longer number.
    QTest::newRow("1.100") << 1 << 100 << qint64(1100) << true;
    QTest::newRow("negative minor") << 1 << -5 << qint64(0) << false;
}

void tst_VerManager::versionNumbers()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(qint64, number);
    QFETCH(bool, valid);
    const std::optional<qint64> result = VerManager::versionNumber(major, minor);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, number);
}

void tst_VerManager::randKeepsTheFraction_data()
{
    QTest::addColumn<QTime>("at");
    QTest::addColumn<QString>("rand");
    QTest::newRow("noon") << QTime(12, 0) << "43200";
    QTest::newRow("a quarter second after noon") << QTime(12, 0, 0, 250) << "43200.25";
    QTest::newRow("half a second after midnight") << QTime(0, 0, 0, 500) << "0.5";
    QTest::newRow("late evening") << QTime(21, 15, 30, 750) << "76530.75";
}

void tst_VerManager::randKeepsTheFraction()
{
    QFETCH(QTime, at);
    QFETCH(QString, rand);
    QCOMPARE(QUrlQuery(VerManager::checkUrl(at)).queryItemValue(QStringLiteral("rand")), rand);
}

void tst_VerManager::checkAgainstTheSite_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("offered"); // Major.Minor.Revision after the check
    QTest::addColumn<QDateTime>("lastCheck");

    const QVersionNumber running = VerManager::runningVersion();
    const int major = running.majorVersion();
    const int minor = running.minorVersion();
    const int patch = running.microVersion();
    const QDateTime now = DateTimes::naive(2026, 3, 1, 12, 0);
    const QDateTime untouched = DateTimes::naive(2025, 7, 4, 9, 30);
    const QString before = QStringLiteral("3.4.5");
    const auto offered = [](qint64 a, qint64 b, qint64 c) {
        return QStringLiteral("%1.%2.%3").arg(a).arg(b).arg(c);
    };

    QTest::newRow("newer minor") << versionFile(major, minor + 4, 0) << newVersion
                                 << offered(major, minor + 4, 0) << now;
    QTest::newRow("newer major") << versionFile(major + 1, 0, 0) << newVersion << offered(major + 1, 0, 0)
                                 << now;
    QTest::newRow("fixture file") << FakeSite::fixture(QStringLiteral("version.xml")) << newVersion
                                  << offered(99, 1, 7) << now;
    // Revisions are not compared.
    QTest::newRow("same, higher revision")
        << versionFile(major, minor, patch + 5) << noUpdate << offered(major, minor, patch + 5) << now;
    QTest::newRow("older") << versionFile(major - 1, 99, 0) << noUpdate << offered(major - 1, 99, 0) << now;
    QTest::newRow("dated file") << versionFile(major, minor, patch,
                                               QStringLiteral("<LastCheck>2026-02-14 08:00:00</LastCheck>"))
                                << noUpdate << offered(major, minor, patch)
                                << DateTimes::naive(2026, 2, 14, 8, 0);
    QTest::newRow("numbers with text") << QByteArray("<Root><Major> 1e1x</Major><Minor>2.5</Minor></Root>")
                                       << (major < 10 ? newVersion : noUpdate) << offered(10, 2, 0) << now;

    // What is no version file leaves everything as it was.
    QTest::newRow("html page")
        << QByteArray("<html><head><title>Welcome</title></head><body><p>Hotel login</p></body></html>")
        << notAVersionFile << before << untouched;
    QTest::newRow("junk") << QByteArray("\x01\x02 not xml at all") << notAVersionFile << before << untouched;
    QTest::newRow("truncated") << versionFile(major + 1, 0, 0).left(30) << notAVersionFile << before
                               << untouched;
    QTest::newRow("no Major") << QByteArray("<Root><Minor>99</Minor></Root>") << notAVersionFile << before
                              << untouched;
    QTest::newRow("other root") << QByteArray("<Version><Major>99</Major></Version>") << notAVersionFile
                                << before << untouched;
    QTest::newRow("empty") << QByteArray() << notAVersionFile << before << untouched;
    QTest::newRow("huge") << versionFile(major + 1, 0, 0,
                                         QStringLiteral("<!--%1-->").arg(QString(70000, QLatin1Char('x'))))
                          << QStringLiteral(
                                 "Error checking version: The reply is too large for a version file.")
                          << before << untouched;
    QTest::newRow("minor that does not compare")
        << QByteArray("<Root><Major>2</Major><Minor>-5</Minor></Root>")
        << QStringLiteral("Error checking version: The version number is out of range.") << before
        << untouched;
}

void tst_VerManager::checkAgainstTheSite()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, status);
    QFETCH(QString, offered);
    QFETCH(QDateTime, lastCheck);

    // Nothing of the reply may land in a temporary file.
    QTemporaryDir temp;
    const QByteArray previousTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toUtf8());
    FakeTimeSource clock(DateTimes::naive(2026, 3, 1, 12, 0));
    Check check;
    QVERIFY(check.started());
    XMLManager state;
    state.WriteProperty(QStringLiteral("Major"), QStringLiteral("3"));
    state.WriteProperty(QStringLiteral("Minor"), QStringLiteral("4"));
    state.WriteProperty(QStringLiteral("Revision"), QStringLiteral("5"));
    state.WriteProperty(QStringLiteral("LastCheck"), QStringLiteral("2025-07-04 09:30:00"));
    state.Restore(check.ver, state.Node());
    check.serve(FakeSite::Response::page(reply, 200));

    check.ver.Check();
    QTRY_VERIFY(check.finished());
    qputenv("TMPDIR", previousTemp);

    QCOMPARE(check.statuses(),
             QStringList({QStringLiteral("status: ") + checking, QStringLiteral("status: ") + status}));
    QCOMPARE(QStringLiteral("%1.%2.%3").arg(check.ver.Major).arg(check.ver.Minor).arg(check.ver.Revision),
             offered);
    QCOMPARE(check.ver.LastCheck(), lastCheck);
    QCOMPARE(check.events.filter(QStringLiteral("show")).size(), status == newVersion ? 1 : 0);
    if (status.startsWith(QLatin1String("Error")))
        QCOMPARE(check.ver.ErrMessage, status.mid(QStringLiteral("Error checking version: ").size()));
    QCOMPARE(QDir(temp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

    // The request: the version file, with a number that no cache has seen.
    const QList<FakeSite::Request> requests = check.site.requests(SiteEndpoints::Maker);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.constFirst().method, QByteArray("GET"));
    QCOMPARE(requests.constFirst().path, versionPath);
    QCOMPARE(requests.constFirst().query.queryItemValue(QStringLiteral("file")),
             QStringLiteral("version.xml"));
    bool isNumber = false;
    const double rand =
        requests.constFirst().query.queryItemValue(QStringLiteral("rand")).toDouble(&isNumber);
    QVERIFY(isNumber);
    // Noon by the clock source, and the PC clock's fraction of its second.
    QVERIFY2(rand >= 43200.0 && rand < 43201.0, qPrintable(QString::number(rand)));
}

void tst_VerManager::newVersionOpensTheWindowBeforeTheStatus()
{
    Check check;
    QVERIFY(check.started());
    check.serve(FakeSite::Response::page(versionFile(VerManager::runningVersion().majorVersion() + 1, 2, 3)));
    check.ver.Check();
    QTRY_VERIFY(check.finished());
    const QString next = QString::number(VerManager::runningVersion().majorVersion() + 1);
    QCOMPARE(check.events,
             QStringList({QStringLiteral("status: ") + checking, QStringLiteral("state: eVerChecking"),
                          QStringLiteral("show %1.2.3").arg(next), QStringLiteral("status: ") + newVersion,
                          QStringLiteral("state: eVerNeedsUpdate")}));
}

void tst_VerManager::failedFetchKeepsTheLastCheck()
{
    Check check;
    QVERIFY(check.started());
    check.serve(FakeSite::Response::error(404));
    const QDateTime before = check.ver.LastCheck();
    check.ver.Check();
    QTRY_VERIFY(check.finished());
    QCOMPARE(check.ver.State(), eVerCheckErr);
    QVERIFY(!check.ver.ErrMessage.isEmpty());
    QCOMPARE(check.statuses().constLast(),
             QStringLiteral("status: Error checking version: ") + check.ver.ErrMessage);
    QCOMPARE(check.ver.LastCheck(), before);
    QVERIFY(check.events.filter(QStringLiteral("show")).isEmpty());
}

void tst_VerManager::secondCheckDropsTheFirst()
{
    Check check;
    QVERIFY(check.started());
    const int major = VerManager::runningVersion().majorVersion();
    int served = 0;
    check.site.setHandler(SiteEndpoints::Maker, versionPath, [&](const FakeSite::Request&) {
        // The first check's answer comes late and offers a newer version; the second's does not.
        return ++served == 1 ? FakeSite::Response::page(versionFile(major + 1, 0, 0)).delayed(300)
                             : FakeSite::Response::page(versionFile(major, 0, 0));
    });
    check.ver.Check();
    QTRY_COMPARE(check.site.requests(SiteEndpoints::Maker).size(), 1);
    check.ver.Check();
    QTRY_VERIFY(check.finished());
    QTest::qWait(500);
    // One "Checking" line for both: the state did not change. The first answer counts for nothing.
    QCOMPARE(check.statuses(),
             QStringList({QStringLiteral("status: ") + checking, QStringLiteral("status: ") + noUpdate}));
    QCOMPARE(check.ver.Major, major);
    QCOMPARE(check.site.requests(SiteEndpoints::Maker).size(), 2);
}

void tst_VerManager::startupCheckAsksWhenDue()
{
    for (const int days : {1, 0}) {
        FakeTimeSource clock(DateTimes::naive(2026, 3, 1, 12, 0));
        TestDataFolder data;
        data.write(
            QStringLiteral("auctions.xml"),
            QStringLiteral(
                "<Root><Settings><AutoSyncDays>0</AutoSyncDays><CheckForUpdates>%1</CheckForUpdates>"
                "</Settings><VerManager><LastCheck>2026-02-20 12:00:00</LastCheck></VerManager></Root>")
                .arg(days)
                .toUtf8());
        FakeSite site;
        QVERIFY(site.listen({SiteEndpoints::Maker}));
        site.exportEnvironment();
        site.setHandler(SiteEndpoints::Maker, versionPath, [](const FakeSite::Request&) {
            return FakeSite::Response::page(
                versionFile(VerManager::runningVersion().majorVersion() + 1, 0, 0));
        });
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        cApp app(host, boxes, engine.factories());
        app.Load();
        host.calls.clear();
        cAppStarter::StartupChecks(app);
        if (days == 0) {
            QTest::qWait(200);
            QVERIFY(site.requests().isEmpty());
            continue;
        }
        // Due: the check runs and the newer version opens the window through the application's host.
        QTRY_COMPARE(app.VersionManager().State(), eVerNeedsUpdate);
        QCOMPARE(host.calls, QStringList{QStringLiteral("version")});
        QCOMPARE(app.VersionManager().LastCheck(), DateTimes::naive(2026, 3, 1, 12, 0));
    }
}

QTEST_GUILESS_MAIN(tst_VerManager)
#include "tst_VerManager.moc"
