#include "DateTimes.h"
#include "FakeTimeSource.h"
#include "RecordingDialogHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "XMLManager.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Loads `settings` from a state file holding `content` inside "Root", as the application does.
void loadFrom(Settings& settings, const QByteArray& content)
{
    TestDataFolder folder;
    folder.write(QStringLiteral("auctions.xml"), "<Root>" + content + "</Root>");
    XMLManager loader;
    loader.LoadFile(folder.stateFile());
    loader.Restore(settings, loader.SubNode(QStringLiteral("Settings")));
}

QByteArray saved(Settings& settings)
{
    XMLManager saver;
    saver.Save(settings, saver.NewNode(QStringLiteral("Settings")));
    return saver.toBytes();
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFileWithoutSettingsGivesTheDefaults()
    {
        FakeTimeSource pc(DateTimes::naive(2026, 7, 1, 12, 0), -60, 60);
        Settings s;
        loadFrom(s, QByteArray());

        QCOMPARE(s.AlwaysOnTop, false);
        QCOMPARE(s.HotBids, 10);
        QCOMPARE(s.ColorActive, 0);
        QCOMPARE(s.ColorCaution, 128);
        QCOMPARE(s.ColorComplete, 8421504);
        QCOMPARE(s.ColorWarning, 255);
        QCOMPARE(s.TimeLeftRefresh, 5);
        QCOMPARE(s.DefaultSnipeTime, 20);
        QCOMPARE(s.WindowTop, -1);
        QCOMPARE(s.WindowLeft, -1);
        QCOMPARE(s.WindowWidth, -1);
        QCOMPARE(s.WindowHeight, -1);
        QCOMPARE(s.ForceIE, false);
        QCOMPARE(s.RedMinutes, 5);
        QCOMPARE(s.MaxAucUpdates, 3);
        QCOMPARE(s.Username, QString());
        QCOMPARE(s.Password, QString());
        QCOMPARE(s.LocalTimeZone, 1); // the standard offset: summer time left out
        QCOMPARE(s.SyncClockRed, true);
        QCOMPARE(s.ConnectOnRed, false);
        QCOMPARE(s.PhoneEntry, QString());
        QCOMPARE(s.CheckNetSeconds, 10);
        QCOMPARE(s.PrepareSeconds, 90);
        QCOMPARE(s.AutoSyncDays, 3);
        QCOMPARE(s.CheckForUpdates, 7);
        QCOMPARE(s.ConfirmMove, true);
        QCOMPARE(s.ConfirmBid, true);
        QCOMPARE(s.ConfirmDel, true);
        QCOMPARE(s.MinOnClose, true);
        QCOMPARE(s.ViewedWelcome, false);
        QCOMPARE(s.ViewedBidCreated, false);
        QCOMPARE(s.ViewedAuctionAdded, false);
        QCOMPARE(s.ViewedLookingAtAuction, false);
        QCOMPARE(s.AuctionListBackColor, 16777215);
    }

    void defaultTimeZoneIsTheStandardOffset_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<int>("bias");
        QTest::addColumn<int>("localTimeZone");
        QTest::newRow("Kolkata, half to even") << QByteArray("Asia/Kolkata") << -330 << 6;
        QTest::newRow("Berlin") << QByteArray("Europe/Berlin") << -60 << 1;
        QTest::newRow("New York") << QByteArray("America/New_York") << 300 << -5;
        QTest::newRow("Dublin") << QByteArray("Europe/Dublin") << 0 << 0;
        QTest::newRow("St. John's, half to even") << QByteArray("America/St_Johns") << 210 << -4;
        QTest::newRow("Adelaide, half to even") << QByteArray("Australia/Adelaide") << -570 << 10;
    }
    void defaultTimeZoneIsTheStandardOffset()
    {
        QFETCH(QByteArray, zone);
        QFETCH(int, bias);
        QFETCH(int, localTimeZone);
        const QTimeZone timeZone(zone);
        QVERIFY(timeZone.isValid());
        QCOMPARE(SystemTimeSource::standardBiasMinutes(timeZone, 2026), bias);

        // In the zone's summer, so that a summer-time offset would show.
        FakeTimeSource pc(DateTimes::naive(2026, 7, 1, 12, 0));
        pc.setBias(bias);
        pc.setSummer(60);
        Settings s;
        loadFrom(s, "<Settings/>");
        QCOMPARE(s.LocalTimeZone, localTimeZone);
    }

    void everyFieldRoundTripsUnderItsOwnName()
    {
        FakeTimeSource pc;
        Settings s;
        s.AlwaysOnTop = true;
        s.HotBids = 25;
        s.ColorActive = 1;
        s.ColorCaution = 2;
        s.ColorComplete = 3;
        s.ColorWarning = 4;
        s.TimeLeftRefresh = 6;
        s.DefaultSnipeTime = 8;
        s.WindowTop = 150;
        s.WindowLeft = 300;
        s.WindowWidth = 9000;
        s.WindowHeight = 6000;
        s.ForceIE = true;
        s.RedMinutes = 7;
        s.MaxAucUpdates = 5;
        s.Username = QStringLiteral("sniper <1> & co");
        s.Password = QStringLiteral("p\"w'd");
        s.LocalTimeZone = -9;
        s.SyncClockRed = false;
        s.ConnectOnRed = true;
        s.PhoneEntry = QStringLiteral("Provider");
        s.CheckNetSeconds = 30;
        s.PrepareSeconds = 120;
        s.AutoSyncDays = 0;
        s.CheckForUpdates = 0;
        s.ConfirmMove = false;
        s.ConfirmBid = false;
        s.ConfirmDel = false;
        s.MinOnClose = false;
        s.ViewedWelcome = true;
        s.ViewedBidCreated = true;
        s.ViewedAuctionAdded = true;
        s.ViewedLookingAtAuction = true;
        s.AuctionListBackColor = 12632256;

        const QByteArray bytes = saved(s);
        QCOMPARE(
            bytes,
            QByteArray(
                "<Root><Settings><AlwaysOnTop>True</AlwaysOnTop><HotBids>25</HotBids>"
                "<ColorActive>1</ColorActive><ColorCaution>2</ColorCaution><ColorComplete>3</ColorComplete>"
                "<ColorWarning>4</ColorWarning><TimeLeftRefresh>6</TimeLeftRefresh>"
                "<DefaultSnipeTime>8</DefaultSnipeTime><WindowTop>150</WindowTop><WindowLeft>300</WindowLeft>"
                "<WindowWidth>9000</WindowWidth><WindowHeight>6000</WindowHeight>"
                "<MaxAucUpdates>5</MaxAucUpdates><LocalTimeZone>-9</LocalTimeZone>"
                "<Username>sniper &lt;1> &amp; co</Username><Password>p\"w'd</Password>"
                "<AutoSyncDays>0</AutoSyncDays><CheckForUpdates>0</CheckForUpdates>"
                "<RedMinutes>7</RedMinutes><CheckNetSeconds>30</CheckNetSeconds>"
                "<SyncClockRed>False</SyncClockRed><ConnectOnRed>True</ConnectOnRed>"
                "<PhoneEntry>Provider</PhoneEntry><PrepareSeconds>120</PrepareSeconds>"
                "<ConfirmBid>False</ConfirmBid><ConfirmDel>False</ConfirmDel><ConfirmMove>False</ConfirmMove>"
                "<ViewedWelcome>True</ViewedWelcome><ViewedBidCreated>True</ViewedBidCreated>"
                "<ViewedAuctionAdded>True</ViewedAuctionAdded>"
                "<ViewedLookingAtAuction>True</ViewedLookingAtAuction><MinOnClose>False</MinOnClose>"
                "<ForceIE>True</ForceIE><AuctionListBackColor>12632256</AuctionListBackColor>"
                "</Settings></Root>"));

        // Every value differs from its default, so a field that did not load would change the copy.
        Settings copy;
        loadFrom(copy, bytes.mid(6, bytes.size() - 13));
        QCOMPARE(saved(copy), bytes);
    }

    void storedTextsReadByTheirKind_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("hotBids");
        QTest::addColumn<bool>("syncClockRed");
        QTest::addColumn<QString>("username");
        QTest::newRow("stored values") << QByteArray("<HotBids>12</HotBids><SyncClockRed>False</SyncClockRed>"
                                                     "<Username>bob</Username>")
                                       << 12 << false << QStringLiteral("bob");
        QTest::newRow("flag in another case")
            << QByteArray("<SyncClockRed>fALSE</SyncClockRed>") << 10 << false << QString();
        QTest::newRow("flag as a number")
            << QByteArray("<SyncClockRed>0</SyncClockRed>") << 10 << false << QString();
        QTest::newRow("leading number, half to even")
            << QByteArray("<HotBids> 12.5 bids</HotBids>") << 12 << true << QString();
        QTest::newRow("no number reads 0") << QByteArray("<HotBids>many</HotBids>") << 0 << true << QString();
        // An element that is there but empty is not missing: no default, and a flag keeps its value.
        QTest::newRow("empty elements")
            << QByteArray("<HotBids/><SyncClockRed/><Username/>") << 0 << false << QString();
        QTest::newRow("text as it stands")
            << QByteArray("<Username>  a b  </Username>") << 10 << true << QStringLiteral("  a b  ");
    }
    void storedTextsReadByTheirKind()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, hotBids);
        QFETCH(bool, syncClockRed);
        QFETCH(QString, username);
        FakeTimeSource pc;
        Settings s;
        loadFrom(s, "<Settings>" + content + "</Settings>");
        QCOMPARE(s.HotBids, hotBids);
        QCOMPARE(s.SyncClockRed, syncClockRed);
        QCOMPARE(s.Username, username);
    }

    // A value that is there but does not read leaves the field as it was: neither the default (10, true)
    // nor a zero or false takes its place.
    void unreadableValuesKeepTheField()
    {
        FakeTimeSource pc;
        Settings number;
        number.HotBids = 42;
        loadFrom(number, "<Settings><HotBids>99999999999</HotBids></Settings>");
        QCOMPARE(number.HotBids, 42);
        for (const bool before : {false, true}) {
            Settings flag;
            flag.SyncClockRed = before;
            loadFrom(flag, "<Settings><SyncClockRed>yes</SyncClockRed></Settings>");
            QCOMPARE(flag.SyncClockRed, before);
        }
    }

    void updatedIsRaisedOnRequestAndViewOpensTheDialog()
    {
        RecordingDialogHost dialogs;
        Settings s;
        QSignalSpy updated(&s, &Settings::Updated);
        s.View(); // not wired yet: nothing to open
        s.Init(dialogs);
        s.raiseUpdated();
        s.raiseUpdated();
        QCOMPARE(updated.size(), 2);
        s.View();
        QCOMPARE(dialogs.calls, QStringList{QStringLiteral("settings")});
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_Settings.moc"
