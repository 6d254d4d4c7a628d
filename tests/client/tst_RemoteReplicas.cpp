// The client's replicas of the main program's model and its link, on the in-process fake: what binding
// fills, how reports keep the replicas current (stale ones dropped), what a lost program leaves, and the
// link's state and status rules.
#include "EnumName.h"
#include "FakeBackend.h"
#include "RemoteApp.h"
#include "RemoteAuctions.h"
#include "RemoteBidManager.h"
#include "RemoteCategorys.h"
#include "RemoteClock.h"
#include "RemoteError.h"
#include "RemoteNetManager.h"
#include "RemoteSettings.h"
#include "RemoteUpdaters.h"
#include "RemotecApp.h"

#include <QSignalSpy>
#include <QTest>

using namespace Remote;

namespace {

AuctionRecord auction(const QString& item, const QString& category, const QString& description = {})
{
    AuctionRecord record;
    record.Item = item;
    record.Category = category;
    record.Description = description.isEmpty() ? QStringLiteral("Item ") + item : description;
    return record;
}

QStringList items(const Remote::Auctions& auctions)
{
    QStringList list;
    for (const AuctionRecord& record : auctions.Items())
        list << record.Item + QLatin1Char('/') + record.Category;
    return list;
}

// A link on a fake holding Default and Books, and auctions 100 (Default) and 200 (Books).
struct BoundLink
{
    FakeBackend* fake = new FakeBackend;
    std::unique_ptr<Remote::cApp> link;

    BoundLink()
    {
        fake->addCategory(QStringLiteral("Default"));
        fake->addCategory(QStringLiteral("Books"), true, 2);
        fake->putAuction(auction(QStringLiteral("100"), QStringLiteral("Default")));
        fake->putAuction(auction(QStringLiteral("200"), QStringLiteral("Books")));
        link = std::make_unique<Remote::cApp>(std::unique_ptr<Backend>(fake));
    }
    Remote::App& app() const { return link->App(); }
};

} // namespace

class tst_RemoteReplicas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bindingFillsTheReplicasAndHolds();
    void linkState_data();
    void linkState();
    void lookups_data();
    void lookups();
    void reportsKeepTheReplicaCurrent();
    void staleReportsAreDropped();
    void commandAnswersReachTheReplicaAtOnce();
    void wholeListIsFetchedAgainOnUpdated();
    void categoryChangesBringTheAuctionsTheyMoved_data();
    void categoryChangesBringTheAuctionsTheyMoved();
    void reportsReachTheirObjects_data();
    void reportsReachTheirObjects();
    void programEndingLeavesTheLinkSayingSo();
    void unreachableProgramLeavesTheReplicasEmpty();
    void commandsAreRecordedAndFailAsTold();
    void settingsWrittenReachTheProgram();
    void recordsTravelWhole();
    void siteTimeFollowsTheReportedOffset_data();
    void siteTimeFollowsTheReportedOffset();
};

void tst_RemoteReplicas::bindingFillsTheReplicasAndHolds()
{
    BoundLink bound;
    QVERIFY(bound.link->isBound());
    QCOMPARE(items(bound.app().Auctions()), QStringList({"100/Default", "200/Books"}));
    const QList<CategoryRecord> categories = bound.app().Categorys().Items();
    QCOMPARE(categories.size(), 2);
    QCOMPARE(categories.at(1), (CategoryRecord{QStringLiteral("Books"), 2, true}));
    QVERIFY(bound.app().Settings().ConfirmDel());
    QCOMPARE(bound.app().Settings().ColorComplete(), 8421504);
    QCOMPARE(bound.app().State(), AppHidden);
    QVERIFY(bound.fake->isHeld());
    QCOMPARE(bound.link->State(), AppCreated);
    QCOMPARE(bound.link->Status(), QStringLiteral("Application Created"));

    // Dropping the link ends the hold.
    FakeBackend* fake = bound.fake;
    QSignalSpy held(fake, &Backend::holdChanged);
    bound.link.reset();
    // The fake went with the link; what it said on the way is what counts.
    QCOMPARE(held.size(), 1);
    QCOMPARE(held.at(0).at(0).toBool(), false);
}

void tst_RemoteReplicas::linkState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("statusChanges");
    QTest::addColumn<int>("stateChanges");

    // From AppCreated with "Application Created".
    QTest::newRow("same state") << int(AppCreated) << "Application Created" << 0 << 0;
    QTest::newRow("loaded") << int(AppLoaded) << "Application Loaded." << 1 << 1;
    QTest::newRow("started") << int(AppStarted) << "Application Started." << 1 << 1;
    QTest::newRow("shutting down") << int(AppShuttingDown) << "Application Shutting Down..." << 1 << 1;
    QTest::newRow("hidden keeps the status") << int(AppHidden) << "Application Created" << 0 << 1;
    QTest::newRow("5 keeps the status") << 5 << "Application Created" << 0 << 1;
}

void tst_RemoteReplicas::linkState()
{
    QFETCH(int, state);
    QFETCH(QString, status);
    QFETCH(int, statusChanges);
    QFETCH(int, stateChanges);

    BoundLink bound;
    QStringList events;
    connect(bound.link.get(), &Remote::cApp::StatusChange, this,
            [&](const QString& text) { events << QStringLiteral("status ") + text; });
    connect(bound.link.get(), &Remote::cApp::StateChange, this, [&](int value) {
        events << QStringLiteral("state ") + enumName<AppState>(value) + QStringLiteral(" status ") +
                      bound.link->Status();
    });
    bound.link->setState(AppState(state));

    QCOMPARE(int(bound.link->State()), state);
    QCOMPARE(bound.link->Status(), status);
    QCOMPARE(events.filter(QStringLiteral("status ")).size() - stateChanges, statusChanges);
    // The status is written before the state is announced.
    if (stateChanges)
        QCOMPARE(events.last(),
                 QStringLiteral("state ") + enumName<AppState>(state) + QStringLiteral(" status ") + status);
    else
        QVERIFY(events.isEmpty());

    // The status is announced every time, also unchanged.
    QSignalSpy statusSpy(bound.link.get(), &Remote::cApp::StatusChange);
    bound.link->setStatus(bound.link->Status());
    QCOMPARE(statusSpy.size(), 1);
}

void tst_RemoteReplicas::lookups_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("exists");

    QTest::newRow("exact") << "ab12" << true << true;
    QTest::newRow("other letter case") << "AB12" << true << false;
    QTest::newRow("blank around") << " ab12" << false << false;
    QTest::newRow("unknown") << "999" << false << false;
}

void tst_RemoteReplicas::lookups()
{
    QFETCH(QString, asked);
    QFETCH(bool, found);
    QFETCH(bool, exists);

    BoundLink bound;
    bound.fake->putAuction(auction(QStringLiteral("ab12"), QStringLiteral("Books")));
    const std::optional<AuctionRecord> record = bound.app().Auctions().Item(asked);
    QCOMPARE(record.has_value(), found);
    if (found)
        QCOMPARE(record->Item, QStringLiteral("ab12"));
    QCOMPARE(bound.app().Auctions().Exists(asked), exists);
    // Categories are found by name whatever its letter case, as the program's collection does.
    QCOMPARE(bound.app().Categorys().Item(QStringLiteral("BOOKS"))->Name, QStringLiteral("Books"));
    QVERIFY(!bound.app().Categorys().Item(QStringLiteral("Book")).has_value());
}

void tst_RemoteReplicas::reportsKeepTheReplicaCurrent()
{
    BoundLink bound;
    Remote::Auctions& auctions = bound.app().Auctions();
    QList<AuctionRecord> changes;
    connect(&auctions, &Remote::Auctions::AuctionChanged, this,
            [&](const AuctionRecord& record) { changes << record; });

    AuctionRecord changed = auction(QStringLiteral("100"), QStringLiteral("Books"), QStringLiteral("Lamp"));
    changed.SnipeState = OR2BidSet;
    changed.SnipeBid = 12.5;
    bound.fake->putAuction(changed);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0), changed);
    QCOMPARE(*auctions.Item(QStringLiteral("100")), changed);
    QCOMPARE(items(auctions), QStringList({"100/Books", "200/Books"}));

    // The same record again changes nothing and says nothing.
    bound.fake->putAuction(changed);
    QCOMPARE(changes.size(), 1);

    bound.fake->putAuction(auction(QStringLiteral("300"), QStringLiteral("Default")));
    QCOMPARE(items(auctions), QStringList({"100/Books", "200/Books", "300/Default"}));

    // A removed auction is reported with its last state and Deleted set, and leaves the replica.
    bound.fake->removeAuction(QStringLiteral("100"));
    QCOMPARE(changes.size(), 3);
    QVERIFY(changes.last().Deleted);
    QCOMPARE(changes.last().Description, QStringLiteral("Lamp"));
    QCOMPARE(items(auctions), QStringList({"200/Books", "300/Default"}));
    QVERIFY(!auctions.Item(QStringLiteral("100")));
    QCOMPARE(auctions.Item(QStringLiteral("300"))->Item, QStringLiteral("300"));
}

void tst_RemoteReplicas::staleReportsAreDropped()
{
    BoundLink bound;
    Remote::Auctions& auctions = bound.app().Auctions();
    const QString changed = QStringLiteral("AuctionChanged");
    const QString object = QStringLiteral("Auctions");
    AuctionRecord newer = auction(QStringLiteral("200"), QStringLiteral("Books"), QStringLiteral("newer"));
    AuctionRecord older = auction(QStringLiteral("200"), QStringLiteral("Books"), QStringLiteral("older"));
    QSignalSpy spy(&auctions, &Remote::Auctions::AuctionChanged);

    bound.fake->report(object, changed, {newer.toMap(), 50ull});
    bound.fake->report(object, changed, {older.toMap(), 40ull});
    QCOMPARE(auctions.Item(QStringLiteral("200"))->Description, QStringLiteral("newer"));

    // A removal, then a late report of the record before it: the auction stays removed.
    AuctionRecord removed = newer;
    removed.Deleted = true;
    bound.fake->report(object, changed, {removed.toMap(), 60ull});
    bound.fake->report(object, changed, {older.toMap(), 55ull});
    QVERIFY(!auctions.Item(QStringLiteral("200")));
    QCOMPARE(spy.size(), 2);

    // Reports older than the snapshot that the replica was filled from are dropped too.
    bound.fake->replaceAuctions({auction(QStringLiteral("700"), QStringLiteral("Default"))});
    bound.fake->report(object, changed,
                       {auction(QStringLiteral("100"), QStringLiteral("Default")).toMap(), 1ull});
    QCOMPARE(items(auctions), QStringList({"700/Default"}));
}

void tst_RemoteReplicas::commandAnswersReachTheReplicaAtOnce()
{
    BoundLink bound;
    Remote::Auctions& auctions = bound.app().Auctions();
    const AuctionRecord added = auctions.Add(QStringLiteral("  555 "), QStringLiteral("Books"));
    QCOMPARE(added.Item, QStringLiteral("555"));
    QVERIFY(auctions.Exists(QStringLiteral("555")));

    // On the bus the report of an earlier removal of the same item can arrive after the answer; it is
    // older than the answer and dropped.
    AuctionRecord earlier = auction(QStringLiteral("555"), QStringLiteral("Default"));
    earlier.Deleted = true;
    bound.fake->report(QStringLiteral("Auctions"), QStringLiteral("AuctionChanged"), {earlier.toMap(), 1ull});
    QVERIFY(auctions.Exists(QStringLiteral("555")));

    try {
        auctions.Add(QStringLiteral("555"), QStringLiteral("Default"));
        QFAIL("a duplicate was added");
    } catch (const Remote::Error& error) {
        QCOMPARE(error.number(), 11);
        QCOMPARE(error.description(),
                 QStringLiteral("Cannot add auction.  Item 555 already exists in Category Books."));
    }
    auctions.SetCategory(QStringLiteral("555"), QStringLiteral("Default"));
    QCOMPARE(auctions.Item(QStringLiteral("555"))->Category, QStringLiteral("Default"));
    auctions.Remove(QStringLiteral("555"));
    QVERIFY(!auctions.Exists(QStringLiteral("555")));
}

void tst_RemoteReplicas::wholeListIsFetchedAgainOnUpdated()
{
    BoundLink bound;
    QSignalSpy updated(&bound.app().Auctions(), &Remote::Auctions::Updated);
    bound.fake->replaceAuctions({auction(QStringLiteral("900"), QStringLiteral("Books")),
                                 auction(QStringLiteral("901"), QStringLiteral("Default"))});
    QCOMPARE(updated.size(), 1);
    QCOMPARE(items(bound.app().Auctions()), QStringList({"900/Books", "901/Default"}));
}

// The program renames a category or removes one with its auctions moved without a report of each
// auction: when the new categories are heard, the auctions are already where the program has them.
void tst_RemoteReplicas::categoryChangesBringTheAuctionsTheyMoved_data()
{
    QTest::addColumn<bool>("rename");
    QTest::addColumn<bool>("fetchFails");
    QTest::addColumn<QStringList>("heard");
    QTest::newRow("rename") << true << false
                            << QStringList{"Default Books Novels: 100/Default 200/Books",
                                           "Default Novels: 100/Default 200/Novels"};
    QTest::newRow("removed, its auctions moved")
        << false << false << QStringList{"Default: 100/Default 200/Default"};
    // The categories are not held back for good: the auctions stay as they were last heard.
    QTest::newRow("rename, the list cannot be fetched")
        << true << true
        << QStringList{"Default Books Novels: 100/Default 200/Books",
                       "Default Novels: 100/Default 200/Books"};
}

void tst_RemoteReplicas::categoryChangesBringTheAuctionsTheyMoved()
{
    QFETCH(bool, rename);
    QFETCH(bool, fetchFails);
    BoundLink bound;
    Remote::App& app = bound.app();
    QStringList heard;
    connect(&app.Categorys(), &Remote::Categorys::Updated, this, [&] {
        QStringList names;
        for (const CategoryRecord& category : app.Categorys().Items())
            names << category.Name;
        heard << names.join(QLatin1Char(' ')) + QStringLiteral(": ") +
                     items(app.Auctions()).join(QLatin1Char(' '));
    });
    bound.fake->setFetchFails(fetchFails);
    const CategoryRecord defaults{QStringLiteral("Default"), 1, false};
    if (rename) {
        // As the category editor renames: the new name added, the auctions moved, the old name removed.
        bound.fake->addCategory(QStringLiteral("Novels"), true, 2);
        bound.fake->moveQuietly(QStringLiteral("Books"), QStringLiteral("Novels"));
        bound.fake->setCategories({defaults, {QStringLiteral("Novels"), 2, true}});
    } else {
        bound.fake->moveQuietly(QStringLiteral("Books"), QStringLiteral("Default"));
        bound.fake->setCategories({defaults});
    }
    QTEST(heard, "heard");
    // Reports after the change still count.
    bound.fake->putAuction(auction(QStringLiteral("300"), app.Categorys().Items().last().Name));
    QVERIFY(app.Auctions().Exists(QStringLiteral("300")));
}

void tst_RemoteReplicas::reportsReachTheirObjects_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QString>("heard");

    QTest::newRow("bid manager state") << "BidManager"
                                       << "StateChange" << QVariantList{4} << "BidManager.StateChange 4";
    QTest::newRow("bid manager status")
        << "BidManager"
        << "StatusChange" << QVariantList{"red"} << "BidManager.StatusChange red";
    QTest::newRow("updater") << "Updaters"
                             << "UpdaterChanged" << QVariantList{1, "123"} << "Updaters.UpdaterChanged 1 123";
    QTest::newRow("queue state") << "Updaters"
                                 << "StateChanged" << QVariantList{1} << "Updaters.StateChanged 1";
    QTest::newRow("queue status") << "Updaters"
                                  << "StatusChange" << QVariantList{"done"} << "Updaters.StatusChange done";
    QTest::newRow("clock status") << "Clock"
                                  << "StatusChange" << QVariantList{"sync"} << "Clock.StatusChange sync";
    QTest::newRow("clock state") << "Clock"
                                 << "StateChanged" << QVariantList{2} << "Clock.StateChanged 2";
    QTest::newRow("net status") << "NetManager"
                                << "StatusChange" << QVariantList{"dial"} << "NetManager.StatusChange dial";
    QTest::newRow("app status") << "App"
                                << "StatusChange" << QVariantList{"up"} << "App.StatusChange up";
    QTest::newRow("app error") << "App"
                               << "ErrorMessage" << QVariantList{"no"} << "App.ErrorMessage no";
    QTest::newRow("categories") << "Categorys"
                                << "Updated"
                                << QVariantList{QVariantList{CategoryRecord{"Toys", 1, false}.toMap()}}
                                << "Categorys.Updated Toys";
}

void tst_RemoteReplicas::reportsReachTheirObjects()
{
    QFETCH(QString, object);
    QFETCH(QString, name);
    QFETCH(QVariantList, args);
    QFETCH(QString, heard);

    BoundLink bound;
    Remote::App& app = bound.app();
    QStringList log;
    const auto text = [&log](const QString& what) {
        return [&log, what](auto... values) {
            QStringList parts{what};
            (parts << ... << QVariant(values).toString());
            log << parts.join(QLatin1Char(' '));
        };
    };
    connect(&app.BidManager(), &Remote::BidManager::StateChange, this, text("BidManager.StateChange"));
    connect(&app.BidManager(), &Remote::BidManager::StatusChange, this, text("BidManager.StatusChange"));
    connect(&app.Updaters(), &Remote::Updaters::UpdaterChanged, this, text("Updaters.UpdaterChanged"));
    connect(&app.Updaters(), &Remote::Updaters::StateChanged, this, text("Updaters.StateChanged"));
    connect(&app.Updaters(), &Remote::Updaters::StatusChange, this, text("Updaters.StatusChange"));
    connect(&app.Clock(), &Remote::Clock::StatusChange, this, text("Clock.StatusChange"));
    connect(&app.Clock(), &Remote::Clock::StateChanged, this, text("Clock.StateChanged"));
    connect(&app.NetManager(), &Remote::NetManager::StatusChange, this, text("NetManager.StatusChange"));
    connect(&app, &Remote::App::StatusChange, this, text("App.StatusChange"));
    connect(&app, &Remote::App::ErrorMessage, this, text("App.ErrorMessage"));
    connect(&app.Categorys(), &Remote::Categorys::Updated, this,
            [&] { log << QStringLiteral("Categorys.Updated ") + app.Categorys().Items().value(0).Name; });

    bound.fake->report(object, name, args);
    QCOMPARE(log, QStringList{heard});
    QCOMPARE(int(app.BidManager().State()),
             object == QLatin1String("BidManager") && name == QLatin1String("StateChange") ? 4 : 0);
}

void tst_RemoteReplicas::programEndingLeavesTheLinkSayingSo()
{
    BoundLink bound;
    QSignalSpy lost(bound.link.get(), &Remote::cApp::Lost);
    QSignalSpy updated(&bound.app().Auctions(), &Remote::Auctions::Updated);
    bound.fake->endProgram();

    QCOMPARE(lost.size(), 1);
    QCOMPARE(lost.at(0).at(0).toString(), Remote::cApp::endedText());
    QVERIFY(!bound.link->isBound());
    QCOMPARE(bound.app().Auctions().Count(), 0);
    QCOMPARE(bound.app().Categorys().Count(), 0);
    QCOMPARE(updated.size(), 1);

    // The next command binds again; it fails itself, saying why.
    QSignalSpy rebound(bound.link.get(), &Remote::cApp::Bound);
    try {
        bound.app().Auctions().Remove(QStringLiteral("100"));
        QFAIL("a command went through while unbound");
    } catch (const Remote::Error& error) {
        QCOMPARE(error.number(), Remote::Error::NotRunning);
        QCOMPARE(error.description(), Remote::Error::notRunningText());
    }
    QCOMPARE(bound.fake->bindCount(), 2);
    QCOMPARE(rebound.size(), 1);
    QVERIFY(bound.link->isBound());
    QCOMPARE(items(bound.app().Auctions()), QStringList({"100/Default", "200/Books"}));
    QVERIFY(bound.fake->isHeld());
    bound.app().Auctions().Remove(QStringLiteral("100"));
    QCOMPARE(items(bound.app().Auctions()), QStringList({"200/Books"}));
}

void tst_RemoteReplicas::unreachableProgramLeavesTheReplicasEmpty()
{
    auto* fake = new FakeBackend;
    fake->addCategory(QStringLiteral("Default"));
    fake->setReachable(false);
    Remote::cApp link{std::unique_ptr<Backend>(fake)};

    QVERIFY(!link.isBound());
    QCOMPARE(link.App().Categorys().Count(), 0);
    QCOMPARE(link.State(), AppCreated);
    QVERIFY_THROWS_EXCEPTION(Remote::Error, link.App().show());
}

void tst_RemoteReplicas::commandsAreRecordedAndFailAsTold()
{
    BoundLink bound;
    Remote::App& app = bound.app();
    app.show();
    app.ShowInfo(eViewInfoAuctionAdd);
    app.Save();
    app.Auctions().ViewAdd(QString(), QString());
    app.Auctions().ViewEditBid(QStringLiteral("200"));
    app.Categorys().ViewRemove(QStringLiteral("Books"));
    app.Updaters().DownloadItems({QStringLiteral("100"), QStringLiteral("200")});
    app.Updaters().Parse(QStringLiteral("200"), QStringLiteral("<TITLE>x</TITLE>"));
    app.BidManager().SendBid(QStringLiteral("200"));
    app.Clock().Download();
    QCOMPARE(bound.fake->calls(),
             QStringList({R"(App.show())", R"(App.ShowInfo(1))", R"(App.Save())",
                          R"(Auctions.ViewAdd("", ""))", R"(Auctions.ViewEditBid("200"))",
                          R"(Categorys.ViewRemove("Books"))", R"(Updaters.DownloadItems(["100", "200"]))",
                          R"(Updater.Parse("200", "<TITLE>x</TITLE>"))", R"(BidManager.SendBid("200"))",
                          R"(Clock.Download())"}));

    bound.fake->failCommand(QStringLiteral("Updater.Parse"), 11, QStringLiteral("Not an item page."));
    try {
        app.Updaters().Parse(QStringLiteral("200"), QString());
        QFAIL("the failure was not raised");
    } catch (const Remote::Error& error) {
        QCOMPARE(error.number(), 11);
        QCOMPARE(error.description(), QStringLiteral("Not an item page."));
    }
    // The last category stays.
    app.Categorys().Remove(QStringLiteral("books"));
    QCOMPARE(app.Categorys().Count(), 1);
    QVERIFY_THROWS_EXCEPTION(Remote::Error, app.Categorys().Remove(QStringLiteral("Default")));
    QCOMPARE(app.Categorys().Count(), 1);
}

void tst_RemoteReplicas::settingsWrittenReachTheProgram()
{
    BoundLink bound;
    Remote::Settings& settings = bound.app().Settings();
    QVERIFY(!settings.ViewedAuctionAdded());
    settings.setViewedAuctionAdded(true);
    settings.setViewedLookingAtAuction(true);
    QVERIFY(settings.ViewedAuctionAdded());
    QVERIFY(settings.ViewedLookingAtAuction());
    QCOMPARE(bound.fake->settings().value(QStringLiteral("ViewedAuctionAdded")).toBool(), true);
    QCOMPARE(bound.fake->calls(), QStringList({R"(Settings.SetFlag("ViewedAuctionAdded", true))",
                                               R"(Settings.SetFlag("ViewedLookingAtAuction", true))"}));

    // A change made in the program reaches the replica.
    bound.fake->setSetting(QStringLiteral("ConfirmBid"), false);
    QVERIFY(!settings.ConfirmBid());
}

void tst_RemoteReplicas::recordsTravelWhole()
{
    AuctionRecord record =
        auction(QStringLiteral("123"), QStringLiteral("Books"), QStringLiteral("Lamp & shade"));
    record.EndTime = QDateTime(QDate(2099, 3, 4), QTime(18, 30, 5), Qt::UTC);
    record.StartTime = QDateTime(QDate(1950, 1, 2), QTime(0, 0, 1), Qt::UTC);
    record.Price = 41.5;
    record.Shipping = 6.95;
    record.Quantity = 3;
    record.Bids = 12;
    record.HighBidder = QStringLiteral("b***r");
    record.Seller = QStringLiteral("seller");
    record.Comments = QStringLiteral("note");
    record.CurrencyTxt = QStringLiteral("US $");
    record.SysComments = QStringLiteral("Waiting.");
    record.Deleted = true;
    record.SnipeBid = 57.25;
    record.SnipeSeconds = 8;
    record.SnipeQuantity = 2;
    record.SnipeState = OR2BidCancelled;
    record.LastTimeLeftLevel = OR2Caution;
    record.TimeLeftLevel = OR2Warning;
    QCOMPARE(AuctionRecord::fromMap(record.toMap()), record);

    // Missing or unreadable fields keep a new record's values; states outside their list too.
    const AuctionRecord fresh;
    QCOMPARE(AuctionRecord::fromMap({}), fresh);
    const AuctionRecord odd = AuctionRecord::fromMap({{QStringLiteral("Price"), QStringLiteral("cheap")},
                                                      {QStringLiteral("SnipeState"), 42},
                                                      {QStringLiteral("TimeLeftLevel"), -1},
                                                      {QStringLiteral("EndTime"), QStringLiteral("soon")}});
    QCOMPARE(odd, fresh);
}

void tst_RemoteReplicas::siteTimeFollowsTheReportedOffset_data()
{
    QTest::addColumn<QDateTime>("utcNow");
    QTest::addColumn<QDateTime>("siteTime");

    // Reported: site time is UTC - 7 h until 2024-11-03 09:00 UTC, UTC - 8 h from then on.
    QTest::newRow("summer") << QDateTime(QDate(2024, 11, 3), QTime(8, 59, 59), Qt::UTC)
                            << QDateTime(QDate(2024, 11, 3), QTime(1, 59, 59), Qt::UTC);
    QTest::newRow("at the change") << QDateTime(QDate(2024, 11, 3), QTime(9, 0), Qt::UTC)
                                   << QDateTime(QDate(2024, 11, 3), QTime(1, 0), Qt::UTC);
    QTest::newRow("winter") << QDateTime(QDate(2024, 12, 1), QTime(20, 0), Qt::UTC)
                            << QDateTime(QDate(2024, 12, 1), QTime(12, 0), Qt::UTC);
}

void tst_RemoteReplicas::siteTimeFollowsTheReportedOffset()
{
    QFETCH(QDateTime, utcNow);
    QFETCH(QDateTime, siteTime);

    FakeBackend backend;
    Remote::Clock clock(backend);
    clock.reset({{QStringLiteral("UtcOffset"), -7 * 3600},
                 {QStringLiteral("NextChange"), QStringLiteral("2024-11-03T09:00:00Z")},
                 {QStringLiteral("NextUtcOffset"), -8 * 3600},
                 {QStringLiteral("State"), 2},
                 {QStringLiteral("Status"), QStringLiteral("synchronized")}});
    clock.setUtcSource([utcNow] { return utcNow; });
    QCOMPARE(clock.Time(), siteTime);
    QCOMPARE(clock.Time().timeSpec(), Qt::UTC);
    QCOMPARE(clock.State(), sfComplete);
    QCOMPARE(clock.Status(), QStringLiteral("synchronized"));
}

QTEST_GUILESS_MAIN(tst_RemoteReplicas)
#include "tst_RemoteReplicas.moc"
