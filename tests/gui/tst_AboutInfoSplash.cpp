#include "FakeEngine.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "WidgetDialogHost.h"
#include "cApp.h"
#include "frmAbout.h"
#include "frmInfo.h"
#include "frmSplash.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

template <typename Window> QList<Window*> openWindows()
{
    QList<Window*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            found << window;
    }
    return found;
}

QStringList shownLines(const QWidget& window)
{
    QStringList lines;
    for (const QFrame* frame :
         window.findChildren<QFrame*>(QRegularExpression(QStringLiteral("^Frame_\\d$")))) {
        if (!frame->isVisibleTo(&window))
            continue;
        for (const QLabel* lbl : frame->findChildren<QLabel*>(QStringLiteral("lbl")))
            lines << lbl->text();
    }
    return lines;
}

} // namespace

// Receives the addresses that the program asks the desktop to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

// Swallows every sign of activation on the window it watches.
class ActivationEater : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::WindowActivate:
        case QEvent::ActivationChange:
        case QEvent::FocusIn:
            return true;
        default:
            return false;
        }
    }
};

class tst_AboutInfoSplash : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void infoPages_data();
    void infoPages();
    void infoViewAgainShowsTheSameWindow();
    void aboutShowsTheVersion();
    void logoOpensTheHomePage();
    void splashClosesByItself();

private:
    std::unique_ptr<RecordingShellHost> recording;
    FakeEngine engine;
    std::unique_ptr<RecordingMessageBoxSink> boxes;
    std::unique_ptr<cApp> app;
};

void tst_AboutInfoSplash::init()
{
    recording = std::make_unique<RecordingShellHost>();
    boxes = std::make_unique<RecordingMessageBoxSink>();
    app = std::make_unique<cApp>(*recording, *boxes, engine.factories());
}

void tst_AboutInfoSplash::cleanup()
{
    app.reset();
    boxes.reset();
    recording.reset();
}

void tst_AboutInfoSplash::infoPages_data()
{
    QTest::addColumn<ViewInfoType>("eInfo");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("welcome") << eViewInfoWelcome
                             << QStringList{"Easily track and watch auctions!", "Create and schedule bids!",
                                            "Integrates with Internet Explorer!"};
    QTest::newRow("auction added") << eViewInfoAuctionAdd
                                   << QStringList{"To create a bid for this auction, ",
                                                  "edit the bid properties and set the state",
                                                  "to BIDDING.",
                                                  "Once a bid is created, you may send it",
                                                  "right away, or you can schedule it to be",
                                                  "sent later."};
    QTest::newRow("bid created") << eViewInfoBidCreated
                                 << QStringList{"If you want the bid sent automatically,",
                                                "keep the program open or running", "in the system tray.",
                                                "Be sure to synchronize the clock."};
    QTest::newRow("looking at an auction")
        << eViewInfoLookingAtAuction
        << QStringList{"To add this auction, just press", "the button to the left in", "Internet Explorer!",
                       "Be sure to synchronize the clock."};
    QTest::newRow("no such page") << ViewInfoType(4) << QStringList{};
}

void tst_AboutInfoSplash::infoPages()
{
    QFETCH(ViewInfoType, eInfo);
    QFETCH(QStringList, lines);

    frmInfo info(*app);
    info.View(eInfo);
    QVERIFY(info.isVisible());
    QCOMPARE(info.windowTitle(), QStringLiteral("Information"));
    QCOMPARE(shownLines(info), lines);
}

void tst_AboutInfoSplash::infoViewAgainShowsTheSameWindow()
{
    WidgetDialogHost host;
    host.viewInfo(*app, eViewInfoBidCreated);
    QCOMPARE(openWindows<frmInfo>().size(), 1);
    frmInfo* first = openWindows<frmInfo>().constFirst();
    host.viewInfo(*app, eViewInfoWelcome);
    QCOMPARE(openWindows<frmInfo>(), QList<frmInfo*>{first});
    QCOMPARE(shownLines(*first).constFirst(), QStringLiteral("Easily track and watch auctions!"));

    // OK unloads the window; the next View makes it afresh.
    const QPointer<frmInfo> closing = first;
    first->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    QTRY_VERIFY(!closing);
    host.viewInfo(*app, eViewInfoAuctionAdd);
    QCOMPARE(openWindows<frmInfo>().size(), 1);
}

void tst_AboutInfoSplash::aboutShowsTheVersion()
{
    const QString previous = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.5"));
    WidgetDialogHost host;
    host.viewAbout(*app);
    QCoreApplication::setApplicationVersion(previous);

    QCOMPARE(openWindows<frmAbout>().size(), 1);
    frmAbout* about = openWindows<frmAbout>().constFirst();
    QCOMPARE(about->windowTitle(), QStringLiteral("About Auction Orv"));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("version"))->text(), QStringLiteral("Version 2.1.5"));

    const QPointer<frmAbout> closing = about;
    auto* close = about->findChild<QPushButton*>(QStringLiteral("cmdClose"));
    QCOMPARE(close->text(), QStringLiteral("Close Window"));
    close->click();
    QTRY_VERIFY(!closing);
}

void tst_AboutInfoSplash::logoOpensTheHomePage()
{
    qputenv("AUCTIONORV_MAKER_URL", "http://127.0.0.1:9/home");
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
    frmAbout about(*app);
    about.View();
    about.findChild<QToolButton*>(QStringLiteral("imgLogo"))->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    qunsetenv("AUCTIONORV_MAKER_URL");

    QCOMPARE(recorder.opened, QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1:9/home"))});
}

void tst_AboutInfoSplash::splashClosesByItself()
{
    // A window manager that never activates the splash: it sees no activation at all.
    auto* splash = new frmSplash;
    ActivationEater eater;
    splash->installEventFilter(&eater);
    const QPointer<frmSplash> watched = splash;
    splash->View(*app);
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->windowTitle(), QStringLiteral("Form1"));
    QTRY_VERIFY(!watched);
}

QTEST_MAIN(tst_AboutInfoSplash)
#include "tst_AboutInfoSplash.moc"
