// The band as the browser window drives it: one link per showing, the hold on the program while shown,
// the tree filled and released with it, the title and least size, focus, and a program that cannot be
// reached or ends.
#include "BandTree.h"
#include "FakeBackend.h"
#include "FakeBrowserHost.h"
#include "RecordingMessageBoxSink.h"
#include "RemotecApp.h"
#include "cBand.h"
#include "cBrowser.h"
#include "ctlAuctionsBand.h"
#include "frmBand.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

namespace {

// Makes links on fakes holding Default with auction 100, and keeps account of them.
struct Links
{
    int made = 0;
    bool reachable = true;
    // Whether the program has shown the user its page on looking at an auction.
    bool seen = false;
    QList<QPointer<FakeBackend>> fakes;
    // The hold as each fake last reported it.
    QList<bool> held;

    cBand::LinkFactory factory()
    {
        return [this] {
            auto* fake = new FakeBackend;
            fake->addCategory(QStringLiteral("Default"));
            Remote::AuctionRecord lamp;
            lamp.Item = QStringLiteral("100");
            lamp.Category = QStringLiteral("Default");
            lamp.Description = QStringLiteral("Lamp");
            fake->putAuction(lamp);
            fake->setReachable(reachable);
            fake->setSetting(QStringLiteral("ViewedLookingAtAuction"), seen);
            const int index = int(held.size());
            held.append(false);
            QObject::connect(fake, &Remote::Backend::holdChanged,
                             [this, index](bool on) { held[index] = on; });
            fakes.append(fake);
            ++made;
            return std::make_unique<Remote::cApp>(std::unique_ptr<Remote::Backend>(fake));
        };
    }
};

} // namespace

class tst_cBand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titleAndLeastSize()
    {
        cBand band;
        QCOMPARE(band.title(), QStringLiteral("Auction Orv"));
        QCOMPARE(band.minimumSize(), QSize(10, 50));
    }

    void oneLinkPerShowing()
    {
        Links links;
        RecordingMessageBoxSink boxes;
        FakeBrowserHost host;
        cBand band(links.factory(), &boxes);
        band.setSite(&host);
        QWidget* window = band.window();
        QCOMPARE(band.window(), window);
        QTreeWidget* tree = band.form()->AuctionsBand().TreeView();

        band.show(true);
        band.show(true);
        QCOMPARE(links.made, 1);
        QVERIFY(links.held.at(0));
        QCOMPARE(tree->topLevelItemCount(), 1);
        QVERIFY(band.link() && band.browser());
        QCOMPARE(band.browser()->IE(), &host);

        // Hidden: the link goes, and with it the hold; the tree is released.
        band.show(false);
        band.show(false);
        QVERIFY(!band.link());
        QVERIFY(!links.fakes.at(0));
        QVERIFY(!links.held.at(0));
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(!band.form()->isViewing());

        // Shown again: a new link, the tree filled again.
        band.show(true);
        QCOMPARE(links.made, 2);
        QVERIFY(links.held.at(1));
        QCOMPARE(tree->topLevelItemCount(), 1);

        // Closed while shown: everything let go.
        band.close();
        QVERIFY(!band.link());
        QVERIFY(!links.fakes.at(1));
        QVERIFY(!links.held.at(1));
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(boxes.boxes.isEmpty());
    }

    // The page already shown when the band is shown counts at once.
    void thePageShownWhenShowingCounts()
    {
        Links links;
        RecordingMessageBoxSink boxes;
        FakeBrowserHost host;
        host.shown = QUrl(QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=5"));
        cBand band(links.factory(), &boxes);
        band.setSite(&host);
        band.show(true);
        QVERIFY(band.browser()->ViewingAuction());
        QVERIFY(band.form()->AuctionsBand().button(QStringLiteral("addcurrent"))->isEnabled());
        band.show(false);
        host.shown = QUrl(QStringLiteral("http://www.other.example/"));
        band.show(true);
        QVERIFY(!band.form()->AuctionsBand().button(QStringLiteral("addcurrent"))->isEnabled());
    }

    // A band opened on an item page takes its first look there: the program's information page, once,
    // also when the program answers only after the band is shown.
    void theFirstLookAtThePageShownAtShowing_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<bool>("seen");
        QTest::addColumn<QStringList>("calls");
        const QStringList firstLook{"Settings.SetFlag(\"ViewedLookingAtAuction\", true)", "App.ShowInfo(3)"};
        QTest::newRow("program answers at once") << true << false << firstLook;
        QTest::newRow("program answers later") << false << false << firstLook;
        QTest::newRow("seen before") << true << true << QStringList();
        QTest::newRow("seen before, program answers later") << false << true << QStringList();
    }
    void theFirstLookAtThePageShownAtShowing()
    {
        QFETCH(bool, reachable);
        QFETCH(bool, seen);
        QFETCH(QStringList, calls);
        Links links;
        links.reachable = reachable;
        links.seen = seen;
        RecordingMessageBoxSink boxes;
        FakeBrowserHost host;
        host.shown = QUrl(QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=5"));
        cBand band(links.factory(), &boxes);
        band.setSite(&host);
        band.show(true);
        FakeBackend* fake = links.fakes.at(0);
        if (!reachable) {
            fake->clearCalls();
            fake->setReachable(true);
            band.link()->rebind();
            QVERIFY(band.link()->isBound());
        }
        QCOMPARE(fake->calls(), calls);
        QVERIFY(fake->settings().value(QStringLiteral("ViewedLookingAtAuction")).toBool());
        // Taken once: another item page, or the program's settings changing, asks nothing more.
        fake->clearCalls();
        host.show(QUrl(QStringLiteral("http://www.other.example/")));
        host.show(QUrl(QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem&item=6")));
        fake->setSetting(QStringLiteral("ConfirmBid"), false);
        QCOMPARE(fake->calls(), QStringList());
        QVERIFY(boxes.boxes.isEmpty());
    }

    void focusOnlyWhenActivated()
    {
        Links links;
        RecordingMessageBoxSink boxes;
        cBand band(links.factory(), &boxes);
        QWidget outside;
        auto* other = new QLineEdit(&outside);
        outside.show();
        QVERIFY(QTest::qWaitForWindowActive(&outside));
        other->setFocus();
        band.window()->setParent(&outside);
        band.show(true);
        band.activate(false);
        QVERIFY(other->hasFocus());
        band.activate(true);
        QTRY_VERIFY(band.form()->AuctionsBand().isAncestorOf(QApplication::focusWidget()) ||
                    QApplication::focusWidget() == &band.form()->AuctionsBand());
        band.show(false);
        band.window()->setParent(nullptr);
    }

    // A program that cannot be reached leaves the tree empty and says so in the status line; one that
    // ends while shown says that.
    void aProgramOutOfReach()
    {
        Links links;
        links.reachable = false;
        RecordingMessageBoxSink boxes;
        cBand band(links.factory(), &boxes);
        band.show(true);
        ctlAuctionsBand& tree = band.form()->AuctionsBand();
        QCOMPARE(tree.TreeView()->topLevelItemCount(), 0);
        QCOMPARE(tree.Status(), Remote::cApp::notReachedText());
        QVERIFY(boxes.boxes.isEmpty());
        band.show(false);

        links.reachable = true;
        band.show(true);
        QCOMPARE(tree.TreeView()->topLevelItemCount(), 1);
        links.fakes.last()->endProgram();
        QCOMPARE(tree.Status(), Remote::cApp::endedText());
        QCOMPARE(tree.TreeView()->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(tst_cBand)
#include "tst_cBand.moc"
