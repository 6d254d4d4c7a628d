#include "DateTimes.h"
#include "Downloader.h"
#include "EnumName.h"
#include "FakeSite.h"
#include "Updater.h"
#include "UpdatersEvents.h"

#include <QSignalSpy>
#include <QTest>

// One item-page request from start to end, against the fake site.
class tst_Updater : public QObject
{
    Q_OBJECT

private:
    FakeSite m_site;
    QByteArray m_lamp;

    static AuctionPtr auction(const QString& item)
    {
        auto a = AuctionPtr::create();
        a->Item = item;
        a->Description = QStringLiteral("old description");
        return a;
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
    }

    void downloadsAndReadsThePage()
    {
        m_site.setItemPage(QStringLiteral("123"), FakeSite::Response::page(m_lamp));
        Updater updater;
        UpdatersEvents events;
        updater.Events = &events;
        updater.Auction = auction(QStringLiteral("123"));
        QStringList heard;
        connect(&updater, &Updater::StateChanged, this,
                [&](int s) { heard << QStringLiteral("own ") + enumName<sfRunState>(s); });
        connect(&events, &UpdatersEvents::StateChanged, this, [&](int s, Updater* u) {
            QCOMPARE(u, &updater);
            heard << QStringLiteral("relay ") + enumName<sfRunState>(s);
        });

        updater.Download();
        QCOMPARE(updater.State(), sfRunning);
        QCOMPARE(heard, QStringList({"own sfRunning", "relay sfRunning"}));
        QTRY_COMPARE(updater.State(), sfComplete);
        QCOMPARE(heard,
                 QStringList({"own sfRunning", "relay sfRunning", "own sfComplete", "relay sfComplete"}));
        QCOMPARE(updater.Auction->Description, QStringLiteral("Brass Lamp"));
        QCOMPARE(updater.Auction->EndTime, DateTimes::naive(2006, 3, 15, 10, 0));
        QCOMPARE(updater.Auction->Seller, QStringLiteral("LAMPSELLER"));
        QCOMPARE(updater.ErrMessage(), QString());
        QCOMPARE(updater.downloader(), nullptr);

        QCOMPARE(m_site.requests().size(), 1);
        QCOMPARE(m_site.requests().first().target, QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=123"));
    }

    void failsWithAMessage_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<FakeSite::Response>("response");
        QTest::addColumn<QString>("message"); // part of the error text
        QTest::addColumn<int>("requests");

        QTest::newRow("no such item") << "999" << FakeSite::Response::error(404) << "Not Found" << 1;
        QTest::newRow("no item page") << "5" << FakeSite::Response::page("<html><title>Sorry</title></html>")
                                      << "The Auction was not Found or is not Available." << 1;
        QTest::newRow("dropped") << "6" << FakeSite::Response::drop() << "closed" << -1;
        QTest::newRow("invalid item number")
            << "1&item=2" << FakeSite::Response::page(m_lamp) << "Invalid item number." << 0;
        QTest::newRow("empty item number")
            << "" << FakeSite::Response::page(m_lamp) << "Invalid item number." << 0;
    }

    void failsWithAMessage()
    {
        QFETCH(QString, item);
        QFETCH(FakeSite::Response, response);
        QFETCH(QString, message);
        QFETCH(int, requests);

        m_site.setDefaultHandler(SiteEndpoints::ItemPage,
                                 [response](const FakeSite::Request&) { return response; });
        Updater updater;
        updater.Auction = auction(item);
        QString textWhenFailed;
        connect(&updater, &Updater::StateChanged, this, [&](int s) {
            if (s == sfFailed)
                textWhenFailed = updater.ErrMessage();
        });
        updater.Download();
        QCOMPARE(updater.State(), sfRunning); // even a refused item number fails later, never inside Download
        QTRY_COMPARE(updater.State(), sfFailed);
        QVERIFY2(textWhenFailed.contains(message, Qt::CaseInsensitive), qPrintable(textWhenFailed));
        QCOMPARE(updater.ErrMessage(), textWhenFailed);
        QCOMPARE(updater.Auction->Description, QStringLiteral("old description"));
        QCOMPARE(updater.downloader(), nullptr);
        if (requests >= 0)
            QCOMPARE(m_site.requests().size(), requests);
    }

    // A cancelled update ignores the page that still arrives; a failure that still arrives only
    // replaces the error text.
    void cancelIgnoresWhatArrivesLater_data()
    {
        QTest::addColumn<FakeSite::Response>("late");
        QTest::addColumn<QString>("message");
        QTest::newRow("page") << FakeSite::Response::page(m_lamp) << "Update Cancelled";
        QTest::newRow("error") << FakeSite::Response::error(500) << "Internal Server Error";
    }

    void cancelIgnoresWhatArrivesLater()
    {
        QFETCH(FakeSite::Response, late);
        QFETCH(QString, message);

        m_site.setDefaultHandler(SiteEndpoints::ItemPage,
                                 [](const FakeSite::Request&) { return FakeSite::Response::hang(); });
        Updater updater;
        updater.Auction = auction(QStringLiteral("123"));
        QSignalSpy states(&updater, &Updater::StateChanged);
        updater.Download();
        QTRY_COMPARE(m_site.hangingCount(), 1);

        updater.Cancel();
        QCOMPARE(updater.State(), sfFailed);
        QCOMPARE(updater.ErrMessage(), QStringLiteral("Update Cancelled"));
        QCOMPARE(states.size(), 2);

        QVERIFY(updater.downloader());
        QSignalSpy complete(updater.downloader(), &Downloader::Complete);
        QSignalSpy failed(updater.downloader(), &Downloader::ErrOccured);
        QVERIFY(m_site.release(late));
        QTRY_COMPARE(complete.size() + failed.size(), 1);

        QCOMPARE(updater.State(), sfFailed);
        QVERIFY2(updater.ErrMessage().contains(message), qPrintable(updater.ErrMessage()));
        QCOMPARE(states.size(), 2);
        QCOMPARE(updater.Auction->Description, QStringLiteral("old description"));
    }
};

QTEST_GUILESS_MAIN(tst_Updater)
#include "tst_Updater.moc"
