// The program's own browser window: a band plug-in docked beside the page, shown and hidden from the
// View menu (binding on show, letting go on hide and on close), and the plug-in found beside the
// program.
#include "BandPlugins.h"
#include "BrowserMainWindow.h"
#include "DeskBand.h"
#include "IBrowserHost.h"
#include "WebEngineTest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QWebEngineProfile>

namespace {

// A band that writes down what the window asks of it.
class RecordingBand : public DeskBand
{
public:
    explicit RecordingBand(QStringList& log) : m_log(log) {}
    QString title() const override { return QStringLiteral("Auction Orv"); }
    QSize minimumSize() const override { return QSize(10, 50); }
    QWidget* window() override
    {
        if (!m_window)
            m_window = new QLabel(QStringLiteral("band"));
        return m_window;
    }
    void setSite(IBrowserHost* browser) override
    {
        site = browser;
        m_log << QStringLiteral("site");
    }
    void show(bool bShow) override { m_log << (bShow ? QStringLiteral("show") : QStringLiteral("hide")); }
    void close() override { m_log << QStringLiteral("close"); }
    void activate(bool bActivate) override
    {
        m_log << (bActivate ? QStringLiteral("activate") : QStringLiteral("deactivate"));
    }

    IBrowserHost* site = nullptr;

private:
    QStringList& m_log;
    QPointer<QWidget> m_window;
};

class RecordingFactory : public DeskBandFactory
{
public:
    std::unique_ptr<DeskBand> createBand() override
    {
        auto band = std::make_unique<RecordingBand>(log);
        last = band.get();
        return band;
    }
    QStringList log;
    RecordingBand* last = nullptr;
};

QAction* viewEntry(BrowserMainWindow& window, const QString& text)
{
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text() != QLatin1String("&View"))
            continue;
        for (QAction* entry : menu->menu()->actions()) {
            if (entry->text() == text)
                return entry;
        }
    }
    return nullptr;
}

} // namespace

class tst_BrowserMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theViewMenuShowsAndHidesTheBand()
    {
        QWebEngineProfile profile;
        RecordingFactory factory;
        {
            BrowserMainWindow window(&profile, {&factory});
            window.show();
            QCOMPARE(factory.log, QStringList({"site"}));
            QVERIFY(factory.last->site);
            QDockWidget* dock = window.bandDock(QStringLiteral("Auction Orv"));
            QVERIFY(dock);
            QVERIFY(!dock->isVisible());
            QCOMPARE(dock->minimumSize(), QSize(10, 50));
            QCOMPARE(dock->widget(), factory.last->window());

            QAction* entry = viewEntry(window, QStringLiteral("Auction Orv"));
            QVERIFY(entry);
            QVERIFY(entry->isCheckable() && !entry->isChecked());
            entry->trigger();
            QVERIFY(dock->isVisible());
            entry->trigger();
            QVERIFY(!dock->isVisible());
            entry->trigger();
            QCOMPARE(factory.log, QStringList({"site", "show", "activate", "hide", "show", "activate"}));
            window.close();
            QCOMPARE(factory.log.last(), QStringLiteral("close"));
        }
        // Closed once: the window going changes nothing more.
        QCOMPARE(factory.log.count(QStringLiteral("close")), 1);
        QCOMPARE(factory.log.count(QStringLiteral("hide")), 1);
    }

    // The seam follows the page: its address, a navigation the band asks for.
    void theBandsBrowserIsThePage()
    {
        QWebEngineProfile profile;
        RecordingFactory factory;
        BrowserMainWindow window(&profile, {&factory});
        IBrowserHost* site = factory.last->site;
        QList<QUrl> completed;
        connect(site, &IBrowserHost::documentComplete, this,
                [&completed](const QUrl& url, bool top) { completed << (top ? url : QUrl()); });
        const QUrl page(QStringLiteral("data:text/html,<title>T</title><p>hello</p>"));
        site->navigate(page);
        QVERIFY(waitForEngine([&] { return !completed.isEmpty(); }));
        QCOMPARE(site->url(), page);
        QCOMPARE(completed.first(), page);
        IBrowserHost::ShownPage shown;
        site->grabShownPage(this, [&shown](const IBrowserHost::ShownPage& read) { shown = read; });
        QVERIFY(waitForEngine([&] { return shown.ok; }));
        QCOMPARE(shown.title, QStringLiteral("T"));
        QCOMPARE(shown.body, QStringLiteral("<p>hello</p>"));
        QCOMPARE(shown.address, page);
    }

    // The band plug-in built beside the program is found and makes "Auction Orv" bands.
    void thePluginBesideTheProgramIsFound()
    {
        const QString folder =
            QDir(qEnvironmentVariable("ORV_BINARY_DIR")).filePath(QStringLiteral("Auctions"));
        const QList<DeskBandFactory*> factories = BandPlugins::load({folder, folder});
        QCOMPARE(factories.size(), 1);
        const std::unique_ptr<DeskBand> band = factories.first()->createBand();
        QCOMPARE(band->title(), QStringLiteral("Auction Orv"));
        QCOMPARE(band->minimumSize(), QSize(10, 50));
    }

    // A plug-in of bands that does not load is left out, and the user is told which and why.
    void aPluginThatDoesNotLoadIsReported()
    {
        const QDir build(qEnvironmentVariable("ORV_BINARY_DIR"));
        QStringList reasons;
        const QList<DeskBandFactory*> factories = BandPlugins::load(
            {build.filePath(QStringLiteral("brokenband")), build.filePath(QStringLiteral("Auctions"))},
            [&reasons](const QString& description) { reasons << description; });
        QCOMPARE(factories.size(), 1);
        QCOMPARE(factories.first()->createBand()->title(), QStringLiteral("Auction Orv"));
        QCOMPARE(reasons.size(), 1);
        QVERIFY2(reasons.first().contains(QStringLiteral("liborv_brokenband.so")),
                 qPrintable(reasons.first()));
        QVERIFY2(reasons.first().contains(QStringLiteral("orvValueNoLibraryDefines")),
                 qPrintable(reasons.first()));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_BrowserMainWindow tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_BrowserMainWindow.moc"
