#include "CaughtError.h"
#include "EnumName.h"
#include "FakeSite.h"
#include "OrvError.h"
#include "Settings.h"
#include "Updater.h"
#include "Updaters.h"

#include <QRegularExpression>
#include <QTest>

// The download queue against the fake site: how many run at once, in which order, and what a cancel
// or a failure leaves.
class tst_Updaters : public QObject
{
    Q_OBJECT

private:
    FakeSite m_site;
    QByteArray m_lamp;
    QStringList m_log;

    static QList<AuctionPtr> auctions(int count)
    {
        QList<AuctionPtr> list;
        for (int i = 1; i <= count; ++i) {
            auto a = AuctionPtr::create();
            a->Item = QString::number(i);
            a->Description = QStringLiteral("old");
            list << a;
        }
        return list;
    }
    void listen(Updaters& queue)
    {
        m_log.clear();
        connect(&queue, &Updaters::StatusChange, this,
                [this](const QString& s) { m_log << QStringLiteral("status ") + s; });
        connect(&queue, &Updaters::StateChanged, this,
                [this](int s) { m_log << QStringLiteral("state ") + enumName<sfBusyState>(s); });
        connect(&queue, &Updaters::UpdaterChanged, this, [this](int s, Updater* u) {
            m_log << QStringLiteral("updater %1 %2").arg(enumName<sfRunState>(s), u->Auction->Item);
        });
    }
    QStringList logged(const QString& prefix) const
    {
        return m_log.filter(QRegularExpression(QLatin1Char('^') + prefix));
    }
    void hangEveryPage()
    {
        m_site.setDefaultHandler(SiteEndpoints::ItemPage,
                                 [](const FakeSite::Request&) { return FakeSite::Response::hang(); });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_site.listen({SiteEndpoints::ItemPage}));
        m_site.exportEnvironment();
        m_lamp = FakeSite::fixture(QStringLiteral("item-lamp.html"));
    }
    void init()
    {
        m_site.clearRequests();
        m_site.setDefaultHandler(SiteEndpoints::ItemPage, {});
        for (int i = 1; i <= 10; ++i)
            m_site.setItemPage(QString::number(i), FakeSite::Response::page(m_lamp));
    }
    void cleanup()
    {
        while (m_site.release(FakeSite::Response::drop())) {
        }
    }

    void runsAtMostTheLimit_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("atOnce");
        QTest::newRow("3 of 10") << 3 << 10 << 3;
        QTest::newRow("1 of 4") << 1 << 4 << 1;
        QTest::newRow("10 of 4") << 10 << 4 << 4;
        QTest::newRow("a limit of 0 runs one") << 0 << 3 << 1;
    }

    void runsAtMostTheLimit()
    {
        QFETCH(int, limit);
        QFETCH(int, count);
        QFETCH(int, atOnce);

        hangEveryPage();
        Settings settings;
        settings.MaxAucUpdates = limit;
        Updaters queue(settings);
        listen(queue);
        int mostAtOnce = 0;
        connect(&m_site, &FakeSite::requestReceived, &queue,
                [&] { mostAtOnce = qMax(mostAtOnce, m_site.pendingCount()); });
        const QList<AuctionPtr> batch = auctions(count);
        queue.DownloadItems(batch);
        settings.MaxAucUpdates = 100; // read once per request

        for (int done = 0; done < count; ++done) {
            const int running = qMin(atOnce, count - done);
            QTRY_COMPARE(m_site.hangingCount(), running);
            QCOMPARE(queue.Count2(sfRunning), running);
            QCOMPARE(queue.Count2(sfNotRunning), count - done - running);
            QCOMPARE(queue.State(), sfBusy);
            QVERIFY(m_site.release(FakeSite::Response::page(m_lamp)));
            QTRY_COMPARE(logged(QStringLiteral("updater sfComplete")).size(), done + 1);
        }
        QCOMPARE(mostAtOnce, atOnce);

        // Started in queue order, each as one ended.
        QStringList order;
        for (int i = 1; i <= count; ++i)
            order << QStringLiteral("updater sfRunning %1").arg(i);
        QCOMPARE(logged(QStringLiteral("updater sfRunning")), order);
        QCOMPARE(queue.State(), sfNotBusy);
        QCOMPARE(queue.Count(), 0);
        QCOMPARE(m_log.filter(QStringLiteral("status")).last(),
                 QStringLiteral("status Auction updates complete."));
        for (const AuctionPtr& a : batch)
            QCOMPARE(a->Description, QStringLiteral("Brass Lamp"));
    }

    void cancelDropsWaitingAndCancelsRunning()
    {
        hangEveryPage();
        Settings settings;
        settings.MaxAucUpdates = 3;
        Updaters queue(settings);
        listen(queue);
        const QList<AuctionPtr> batch = auctions(10);
        queue.DownloadItems(batch);
        QTRY_COMPARE(m_site.hangingCount(), 3);
        m_log.clear();

        queue.Cancel();
        QCOMPARE(m_log,
                 QStringList({"status Auction 1 error: Update Cancelled", "updater sfFailed 1",
                              "status Auction 2 error: Update Cancelled", "updater sfFailed 2",
                              "status Auction 3 error: Update Cancelled", "status Auction updates complete.",
                              "state sfNotBusy", "updater sfFailed 3"}));
        QCOMPARE(queue.Count(), 0);
        QCOMPARE(queue.State(), sfNotBusy);

        // The requests in flight are given up, and nothing reaches the auctions.
        QTRY_COMPARE(m_site.hangingCount(), 0);
        QCOMPARE(m_site.requests().size(), 3);
        for (const AuctionPtr& a : batch)
            QCOMPARE(a->Description, QStringLiteral("old"));
    }

    void aNewRequestCancelsTheBatch()
    {
        hangEveryPage();
        Settings settings;
        settings.MaxAucUpdates = 2;
        Updaters queue(settings);
        listen(queue);
        queue.DownloadItems(auctions(5));
        QTRY_COMPARE(m_site.hangingCount(), 2);
        m_log.clear();

        auto single = AuctionPtr::create();
        single->Item = QStringLiteral("9");
        queue.DownloadItem(single);
        QCOMPARE(m_log,
                 QStringList({"status Auction 1 error: Update Cancelled", "updater sfFailed 1",
                              "status Auction 2 error: Update Cancelled", "status Auction updates complete.",
                              "state sfNotBusy", "updater sfFailed 2", "status Updating Auction(s)...",
                              "state sfBusy", "updater sfRunning 9"}));
        QCOMPARE(queue.Count(), 1);
        QCOMPARE(queue.Item(QStringLiteral("9"))->Auction, single);
        QTRY_COMPARE(m_site.hangingCount(), 1);
        QVERIFY(m_site.release(FakeSite::Response::page(m_lamp)));
        QTRY_COMPARE(queue.State(), sfNotBusy);
        QCOMPARE(single->Description, QStringLiteral("Brass Lamp"));
    }

    void aFailureIsShownAndTheBatchGoesOn()
    {
        m_site.setItemPage(QStringLiteral("2"),
                           FakeSite::Response::page("<html><title>Sorry</title></html>"));
        m_site.setItemPage(QStringLiteral("3"), FakeSite::Response::error(404));
        Settings settings;
        settings.MaxAucUpdates = 1;
        Updaters queue(settings);
        listen(queue);
        const QList<AuctionPtr> batch = auctions(4);
        queue.DownloadItems(batch);
        QTRY_COMPARE(queue.State(), sfNotBusy);

        const QStringList statuses = logged(QStringLiteral("status"));
        QCOMPARE(statuses.size(), 4);
        QCOMPARE(statuses.at(0), QStringLiteral("status Updating Auction(s)..."));
        QCOMPARE(statuses.at(1),
                 QStringLiteral("status Auction 2 error: The Auction was not Found or is not Available."));
        QVERIFY2(statuses.at(2).startsWith(QLatin1String("status Auction 3 error: ")) &&
                     statuses.at(2).contains("Not Found"),
                 qPrintable(statuses.at(2)));
        QCOMPARE(statuses.at(3), QStringLiteral("status Auction updates complete."));
        QCOMPARE(logged(QStringLiteral("updater (sfComplete|sfFailed)")),
                 QStringList({"updater sfComplete 1", "updater sfFailed 2", "updater sfFailed 3",
                              "updater sfComplete 4"}));
        QCOMPARE(batch.at(0)->Description, QStringLiteral("Brass Lamp"));
        QCOMPARE(batch.at(1)->Description, QStringLiteral("old"));
        QCOMPARE(batch.at(3)->Description, QStringLiteral("Brass Lamp"));
    }

    // The last end reports "complete" and not busy before its own UpdaterChanged, and an updater started
    // by an end reports its start before the end is reported.
    void reportsInOrder()
    {
        Settings settings;
        settings.MaxAucUpdates = 1;
        Updaters queue(settings);
        listen(queue);
        queue.DownloadItems(auctions(2));
        QTRY_COMPARE(queue.State(), sfNotBusy);
        QCOMPARE(m_log, QStringList({"status Updating Auction(s)...", "state sfBusy", "updater sfRunning 1",
                                     "updater sfRunning 2", "updater sfComplete 1",
                                     "status Auction updates complete.", "state sfNotBusy",
                                     "updater sfComplete 2"}));
    }

    void anEmptyBatchEndsAtOnce()
    {
        Settings settings;
        settings.MaxAucUpdates = 3;
        Updaters queue(settings);
        listen(queue);
        queue.DownloadItems({});
        QCOMPARE(m_log, QStringList({"status Updating Auction(s)...", "state sfBusy",
                                     "status Auction updates complete.", "state sfNotBusy"}));
    }

    void aRepeatedItemIsQueuedOnce()
    {
        Settings settings;
        settings.MaxAucUpdates = 3;
        Updaters queue(settings);
        listen(queue);
        QList<AuctionPtr> batch = auctions(2);
        auto again = AuctionPtr::create();
        again->Item = QStringLiteral("1");
        batch.insert(1, again);
        batch << AuctionPtr();
        queue.DownloadItems(batch);
        QCOMPARE(queue.Count(), 2);
        QCOMPARE(queue.Item(QStringLiteral("1"))->Auction, batch.first());
        QTRY_COMPARE(queue.State(), sfNotBusy);
        QCOMPARE(again->Description, QString());
        QCOMPARE(batch.first()->Description, QStringLiteral("Brass Lamp"));
    }

    void itemLookupAndRemove()
    {
        hangEveryPage();
        Settings settings;
        settings.MaxAucUpdates = 1;
        Updaters queue(settings);
        listen(queue);
        queue.DownloadItems(auctions(3));
        QCOMPARE(queue.Item(QStringLiteral("2"))->State(), sfNotRunning);
        const auto error = caughtError([&] { queue.Item(QStringLiteral("7")); });
        QVERIFY2(error, "an absent item was found");
        QCOMPARE(error->number(), OrvError::InvalidArgument);
        m_log.clear();
        queue.Remove(QStringLiteral("7"));
        queue.Remove(QStringLiteral("3"));
        queue.Remove(QStringLiteral("2"));
        QCOMPARE(queue.Count(), 1);
        QVERIFY(m_log.isEmpty());
        queue.Remove(QStringLiteral("1"));
        QCOMPARE(m_log, QStringList({"status Auction updates complete.", "state sfNotBusy"}));
    }
};

QTEST_GUILESS_MAIN(tst_Updaters)
#include "tst_Updaters.moc"
