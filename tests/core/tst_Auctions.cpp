#include "Auctions.h"
#include "AuctionsEvents.h"
#include "Categorys.h"
#include "CaughtError.h"
#include "Clock.h"
#include "DateTimes.h"
#include "FakeTimeSource.h"
#include "OrvError.h"
#include "RecordingDialogHost.h"
#include "Settings.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString usernameText = QStringLiteral(
    "You must first have an eBay username and password set before you can create a bid for an auction.  "
    "Please open the configurations and enter this information.");

} // namespace

class tst_Auctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void timeLeft_data();
    void timeLeft();
    void timeLeftWithoutClock();
    void isBidding();

    void add_data();
    void add();
    void addRefusesDuplicates();
    void keysIgnoreCaseButExistsDoesNot();
    void pausedSilencesAddAndRemoveOnly();
    void removeDetachesButKeepsTheRecordAlive();
    void removeOfMissingItemFails();
    void clearDoesNotDetach();
    void updatedStampsLastUpdatedFirst();
    void listenerMayRemoveTheAuctionItIsTold();
    void viewOperations();
    void bidWindowsNeedUsername();

private:
    std::unique_ptr<FakeTimeSource> m_time;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Categorys> m_categorys;
    std::unique_ptr<Auctions> m_auctions;
    RecordingDialogHost m_host;
};

void tst_Auctions::init()
{
    // A PC in the site's zone: the site clock reads what the PC clock does.
    m_time = std::make_unique<FakeTimeSource>(DateTimes::naive(2026, 3, 1, 12, 0, 0), 480);
    m_clock = std::make_unique<Clock>();
    m_settings = std::make_unique<Settings>();
    m_settings->DefaultSnipeTime = 20;
    m_categorys = std::make_unique<Categorys>();
    m_auctions = std::make_unique<Auctions>();
    m_auctions->Init(*m_clock);
    m_auctions->link(*m_settings, *m_categorys, m_host);
    m_host.calls.clear();
}

void tst_Auctions::cleanup()
{
    m_auctions.reset();
    m_categorys.reset();
    m_settings.reset();
    m_clock.reset();
    m_time.reset();
}

void tst_Auctions::timeLeft_data()
{
    QTest::addColumn<qint64>("nowMs");      // after 12:00:00
    QTest::addColumn<qint64>("endSeconds"); // after 12:00:00; -1000000 stands for the zero date
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("text");

    QTest::newRow("a day and a minute") << 0LL << 1441LL * 60 << int(OR2Active) << "1 Days +";
    QTest::newRow("exactly a day") << 0LL << 86400LL << int(OR2Caution) << "1 Days +";
    QTest::newRow("a second under a day") << 0LL << 86399LL << int(OR2Caution) << "00:23:59:59";
    QTest::newRow("three days") << 0LL << 3LL * 86400 + 5 << int(OR2Active) << "3 Days +";
    QTest::newRow("3725 seconds") << 0LL << 3725LL << int(OR2Caution) << "00:01:02:05";
    QTest::newRow("6 minutes") << 0LL << 360LL << int(OR2Caution) << "00:00:06:00";
    QTest::newRow("5 minutes") << 0LL << 300LL << int(OR2Warning) << "00:00:05:00";
    QTest::newRow("1 minute") << 0LL << 60LL << int(OR2Warning) << "00:00:01:00";
    QTest::newRow("59 seconds, same minute") << 0LL << 59LL << int(OR2Complete) << "00:00:00:59";
    QTest::newRow("one second, next minute") << 59000LL << 60LL << int(OR2Warning) << "00:00:00:01";
    QTest::newRow("fractions truncated first") << 900LL << 1LL << int(OR2Complete) << "00:00:00:01";
    QTest::newRow("at the end") << 0LL << 0LL << int(OR2Complete) << "00:00:00:00";
    QTest::newRow("a second after the end") << 0LL << -1LL << int(OR2Complete) << "OVER";
    QTest::newRow("end not read") << 0LL << -1000000LL << int(OR2Complete) << "N/A";
}

void tst_Auctions::timeLeft()
{
    QFETCH(qint64, nowMs);
    QFETCH(qint64, endSeconds);
    QFETCH(int, level);
    QFETCH(QString, text);

    const QDateTime base = DateTimes::naive(2026, 3, 1, 12, 0, 0);
    m_time->setLocalNow(base.addMSecs(nowMs));
    const AuctionPtr auction = m_auctions->Add(QStringLiteral("1"), QString());
    auction->EndTime = endSeconds == -1000000 ? DateTimes::zero() : base.addSecs(endSeconds);
    auction->LastTimeLeftLevel = static_cast<AucTimeLeftLevel>((level + 1) % 4);

    QCOMPARE(auction->TimeLeftText(), text);
    QCOMPARE(int(auction->TimeLeftLevel()), level);
    QCOMPARE(int(auction->LastTimeLeftLevel), level);
}

void tst_Auctions::timeLeftWithoutClock()
{
    Auction loose;
    loose.EndTime = DateTimes::naive(2030, 1, 1);
    QCOMPARE(loose.TimeLeftLevel(), OR2Complete);
    QCOMPARE(loose.TimeLeftText(), QStringLiteral("00:00:00:00"));
    loose.EndTime = DateTimes::zero();
    QCOMPARE(loose.TimeLeftText(), QStringLiteral("N/A"));
}

void tst_Auctions::isBidding()
{
    Auction auction;
    QList<AucSnipeStates> bidding;
    for (int state = OR2Watching; state <= OR2BidCancelled; ++state) {
        auction.SnipeState = static_cast<AucSnipeStates>(state);
        if (auction.IsBidding())
            bidding << auction.SnipeState;
    }
    QCOMPARE(bidding, (QList<AucSnipeStates>{OR2BidSet, OR2BidPreparing, OR2BidPrepared, OR2BidSending}));
}

void tst_Auctions::add_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("stored"); // empty: refused with `refusalText`
    QTest::addColumn<QString>("refusalText");

    const QString empty = QStringLiteral("Cannot add auction.  The item number is empty.");
    auto badChars = [](const QString& item) {
        return QStringLiteral("Cannot add auction.  The item number \"%1\" may hold only letters and digits.")
            .arg(item);
    };
    QTest::newRow("spaces around") << "  123  "
                                   << "123" << QString();
    QTest::newRow("tab and line feed around") << "\t123\n"
                                              << "123" << QString();
    QTest::newRow("letters and digits") << "ab12CD"
                                        << "ab12CD" << QString();
    QTest::newRow("empty") << "" << QString() << empty;
    QTest::newRow("blanks only") << "   " << QString() << empty;
    QTest::newRow("inner blank") << "12 34" << QString() << badChars("12 34");
    QTest::newRow("path") << "../1" << QString() << badChars("../1");
    QTest::newRow("query") << "1&x=2" << QString() << badChars("1&x=2");
    QTest::newRow("full-width digits")
        << QStringLiteral("１２３") << QString() << badChars(QStringLiteral("１２３"));
}

void tst_Auctions::add()
{
    QFETCH(QString, item);
    QFETCH(QString, stored);
    QFETCH(QString, refusalText);

    QSignalSpy changed(m_auctions.get(), &Auctions::AuctionChanged);
    if (stored.isEmpty()) {
        QCOMPARE(refusal([&] { m_auctions->Add(item, QStringLiteral("Books")); }), refusalText);
        QCOMPARE(m_auctions->Count(), 0);
        QCOMPARE(changed.count(), 0);
        return;
    }
    const AuctionPtr auction = m_auctions->Add(item, QStringLiteral("Books"));
    QCOMPARE(auction->Item, stored);
    QCOMPARE(auction->Category, QStringLiteral("Books"));
    QCOMPARE(auction->SnipeSeconds, 20);
    QCOMPARE(auction->SnipeQuantity, 1);
    QCOMPARE(auction->Clock.data(), m_clock.get());
    QVERIFY(m_auctions->Exists(stored));
    QCOMPARE(m_auctions->Item(stored), auction);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<Auction*>(), auction.data());
}

void tst_Auctions::addRefusesDuplicates()
{
    m_auctions->Add(QStringLiteral("123"), QStringLiteral("Books"));
    const QString text = QStringLiteral("Cannot add auction.  Item 123 already exists in Category Books.");
    QCOMPARE(refusal([&] { m_auctions->Add(QStringLiteral("123"), QStringLiteral("Music")); }), text);
    QCOMPARE(refusal([&] { m_auctions->Add(QStringLiteral(" 123 "), QStringLiteral("Music")); }), text);
    QCOMPARE(m_auctions->Count(), 1);
    QCOMPARE(m_auctions->Item(QStringLiteral("123"))->Category, QStringLiteral("Books"));
}

void tst_Auctions::keysIgnoreCaseButExistsDoesNot()
{
    const AuctionPtr first = m_auctions->Add(QStringLiteral("abc1"), QStringLiteral("Books"));
    QVERIFY(!m_auctions->Exists(QStringLiteral("ABC1")));
    QCOMPARE(m_auctions->Item(QStringLiteral("ABC1")), first);
    QCOMPARE(refusal([&] { m_auctions->Add(QStringLiteral("ABC1"), QStringLiteral("Music")); }),
             QStringLiteral("Cannot add auction.  Item ABC1 already exists in Category Books."));
    QCOMPARE(m_auctions->Count(), 1);

    m_auctions->Add(QStringLiteral("2"), QString());
    m_auctions->Add(QStringLiteral("1"), QString());
    QStringList order;
    for (const AuctionPtr& auction : m_auctions->Items())
        order << auction->Item;
    QCOMPARE(order, (QStringList{"abc1", "2", "1"}));
}

void tst_Auctions::pausedSilencesAddAndRemoveOnly()
{
    QSignalSpy changed(m_auctions.get(), &Auctions::AuctionChanged);
    QSignalSpy updated(m_auctions.get(), &Auctions::Updated);
    m_auctions->Paused = true;
    const AuctionPtr kept = m_auctions->Add(QStringLiteral("1"), QString());
    m_auctions->Add(QStringLiteral("2"), QString());
    m_auctions->Remove(QStringLiteral("2"));
    QCOMPARE(changed.count(), 0);

    kept->Changed();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<Auction*>(), kept.data());

    m_auctions->Clear();
    QCOMPARE(updated.count(), 1);
}

void tst_Auctions::removeDetachesButKeepsTheRecordAlive()
{
    const AuctionPtr holder = m_auctions->Add(QStringLiteral("7"), QStringLiteral("Books"));
    m_auctions->Add(QStringLiteral("8"), QString());
    QSignalSpy changed(m_auctions.get(), &Auctions::AuctionChanged);
    bool deletedWhenTold = false;
    connect(m_auctions.get(), &Auctions::AuctionChanged, this,
            [&](Auction* auction) { deletedWhenTold = auction->Deleted; });

    m_auctions->Remove(QStringLiteral("7"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<Auction*>(), holder.data());
    QVERIFY(deletedWhenTold);
    QVERIFY(holder->Deleted);
    QVERIFY(holder->Events.isNull());
    QCOMPARE(holder->Item, QStringLiteral("7"));
    QCOMPARE(m_auctions->Count(), 1);
    QVERIFY(!m_auctions->Exists(QStringLiteral("7")));

    holder->Changed();
    holder->Updated();
    QCOMPARE(changed.count(), 1);
    // The item number is free again.
    m_auctions->Add(QStringLiteral("7"), QString());
    QCOMPARE(m_auctions->Count(), 2);
}

void tst_Auctions::removeOfMissingItemFails()
{
    m_auctions->Add(QStringLiteral("1"), QString());
    QSignalSpy changed(m_auctions.get(), &Auctions::AuctionChanged);
    for (const QString& item : {QStringLiteral("2"), QString()}) {
        const auto error = caughtError([&] { m_auctions->Remove(item); });
        QVERIFY2(error, "Remove of a missing item number went through");
        QCOMPARE(error->number(), OrvError::InvalidArgument);
        QVERIFY_THROWS_EXCEPTION(OrvError, m_auctions->Item(item));
    }
    QCOMPARE(m_auctions->Count(), 1);
    QCOMPARE(changed.count(), 0);
}

void tst_Auctions::clearDoesNotDetach()
{
    const AuctionPtr former = m_auctions->Add(QStringLiteral("1"), QString());
    QSignalSpy updated(m_auctions.get(), &Auctions::Updated);
    QSignalSpy changed(m_auctions.get(), &Auctions::AuctionChanged);
    m_auctions->Clear();
    QCOMPARE(updated.count(), 1);
    QCOMPARE(m_auctions->Count(), 0);
    QVERIFY(!former->Deleted);

    former->Changed();
    QCOMPARE(changed.count(), 1);
}

void tst_Auctions::updatedStampsLastUpdatedFirst()
{
    const AuctionPtr auction = m_auctions->Add(QStringLiteral("1"), QString());
    m_time->setLocalNow(DateTimes::naive(2026, 3, 2, 8, 30, 15));
    QDateTime seen;
    connect(m_auctions.get(), &Auctions::AuctionUpdated, this, [&](Auction* a) { seen = a->LastUpdated; });
    QSignalSpy changed(m_auctions.get(), &Auctions::AuctionChanged);

    auction->Updated();
    QCOMPARE(seen, DateTimes::naive(2026, 3, 2, 8, 30, 15));
    QCOMPARE(changed.count(), 0);
}

void tst_Auctions::listenerMayRemoveTheAuctionItIsTold()
{
    Auction* raw = m_auctions->Add(QStringLiteral("1"), QString()).data();
    QWeakPointer<Auction> watch = raw->sharedFromThis();
    connect(m_auctions.get(), &Auctions::AuctionChanged, this, [&](Auction* auction) {
        if (!auction->Deleted)
            m_auctions->Remove(auction->Item);
    });
    bool aliveForLaterListener = false;
    connect(m_auctions.get(), &Auctions::AuctionChanged, this,
            [&](Auction*) { aliveForLaterListener = !watch.toStrongRef().isNull(); });

    raw->Changed();
    QVERIFY(aliveForLaterListener);
    QVERIFY(watch.toStrongRef().isNull()); // no holder is left afterwards
    QCOMPARE(m_auctions->Count(), 0);
}

void tst_Auctions::viewOperations()
{
    const AuctionPtr auction = m_auctions->Add(QStringLiteral("123"), QStringLiteral("Books"));

    QCOMPARE(refusal([&] { m_auctions->ViewAdd(QStringLiteral("123"), QStringLiteral("Music")); }),
             QStringLiteral("Cannot add auction.  Item 123 already exists in Category Books."));
    m_auctions->ViewAdd(QString(), QStringLiteral("Books"));
    m_auctions->ViewAdd(QStringLiteral("555"), QStringLiteral("Music"));
    // The untrimmed text is what ViewAdd looks for; the editor trims it later.
    m_auctions->ViewAdd(QStringLiteral(" 123"), QString());
    m_auctions->ViewEdit(auction);
    QCOMPARE(m_host.calls,
             (QStringList{"auction:", "auctionNewItem:555:Music", "auctionNewItem: 123:", "auction:123"}));
}

void tst_Auctions::bidWindowsNeedUsername()
{
    const AuctionPtr auction = m_auctions->Add(QStringLiteral("123"), QString());
    m_settings->Password = QStringLiteral("secret");
    QCOMPARE(refusal([&] { m_auctions->ViewEditBid(auction); }), usernameText);
    QCOMPARE(refusal([&] { m_auctions->ViewNewBid(auction); }), usernameText);
    QVERIFY(m_host.calls.isEmpty());

    m_settings->Username = QStringLiteral("someone");
    m_settings->Password.clear();
    m_auctions->ViewEditBid(auction);
    m_auctions->ViewNewBid(auction);
    QCOMPARE(m_host.calls, (QStringList{"bid:123", "newBid:123"}));
}

QTEST_GUILESS_MAIN(tst_Auctions)
#include "tst_Auctions.moc"
