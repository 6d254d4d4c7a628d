#include "Auctions.h"
#include "AuctionsService.h"
#include "BusFace.h"
#include "BusGate.h"
#include "BusService.h"
#include "Category.h"
#include "Categorys.h"
#include "Clock.h"
#include "DateTimes.h"
#include "FakeEngine.h"
#include "FakeTimeSource.h"
#include "OrvBus.h"
#include "ProgramOnTheBus.h"
#include "RecordPack.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "TrayIcon.h"
#include "Unloader.h"
#include "cApp.h"
#include "frmTrayIcon.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <functional>

namespace {

QDBusMessage callOf(const QString& path, const QString& interface, const QString& method,
                    const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(OrvBus::serviceName, path, interface, method);
    call.setArguments(arguments);
    return call;
}

// The reply to a call of one of the program's objects by its name ("Auctions"), from `client`; the
// program's objects live on this thread, so the answer comes while the test waits in the event loop.
QDBusMessage replyTo(QDBusConnection& client, const QString& object, const QString& method,
                     const QVariantList& arguments)
{
    const QString path =
        object == QLatin1String("HandOver") ? OrvBus::handOverPath : QLatin1Char('/') + object;
    const QString interface =
        object == QLatin1String("HandOver") ? OrvBus::handOverInterface : OrvBus::interfaceOf(object);
    QDBusPendingCall call = client.asyncCall(callOf(path, interface, method, arguments));
    if (!QTest::qWaitFor([&] { return call.isFinished(); }, 20000))
        return QDBusMessage();
    return call.reply();
}

// What a refused call must leave as it was: every auction's item, category and description, and the
// categories.
QString modelText(cApp& app)
{
    QStringList lines;
    for (const AuctionPtr& auction : app.Auctions().Items())
        lines << auction->Item + QLatin1Char('|') + auction->Category + QLatin1Char('|') +
                     QString::number(auction->Description.size());
    for (const CategoryPtr& category : app.Categorys().Items())
        lines << category->Name;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

// Takes a bus signal's map argument (the bus library connects signals to named slots only).
class SettingsListener : public QObject
{
    Q_OBJECT
public:
    explicit SettingsListener(std::function<void(const QVariantMap&)> take) : m_take(std::move(take)) {}

public Q_SLOTS:
    void take(const QVariantMap& fields) { m_take(fields); }

private:
    std::function<void(const QVariantMap&)> m_take;
};

// The program's face on the bus while it starts: its objects are there from the moment its name is
// claimed, and what they are asked before the state file is loaded is answered once it is, in order.
class tst_BusFace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void callsDuringTheStartAreAnsweredOnceLoaded()
    {
        TestDataFolder data;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        // A second start and a client, each on a connection of its own.
        QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "client");
        QVERIFY(client.isConnected());

        auto face = std::make_unique<BusFace>(bus);
        QVERIFY(face->claim());
        QVERIFY(BusFace::isStarting(client));
        QDBusPendingCall handOver = client.asyncCall(
            callOf(OrvBus::handOverPath, OrvBus::handOverInterface, QStringLiteral("SetText"), {"Show"}));
        QDBusPendingCall hold = client.asyncCall(
            callOf(OrvBus::unloaderPath, OrvBus::unloaderInterface, QStringLiteral("RegisterHold")));
        QTest::qWait(300);
        QVERIFY(!handOver.isFinished());
        QVERIFY(!hold.isFinished());

        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        cApp app(host, boxes, engine.factories());
        face->attach(app);
        app.Load();
        app.hide();
        face->open();
        QVERIFY(!BusFace::isStarting(client));

        // Answered on turns of this thread's event loop, where the objects live.
        QTRY_VERIFY(handOver.isFinished() && hold.isFinished());
        QVERIFY2(!handOver.isError(), qPrintable(handOver.error().message()));
        QCOMPARE(handOver.reply().arguments().value(0).toBool(), true);
        QVERIFY2(!hold.isError(), qPrintable(hold.error().message()));
        // The "Show" reached the mailbox of the program as it now is, and the hold holds it.
        QTRY_COMPARE(app.State(), AppStarted);
        QVERIFY(!app.Unloader().Available());

        // A second instance cannot claim the name; the first gives it back when it goes.
        BusFace second(client);
        QVERIFY(!second.claim());
        face.reset();
        QTRY_VERIFY(!client.interface()->isServiceRegistered(OrvBus::serviceName).value());
        QDBusConnection::disconnectFromBus("client");
    }

    // Texts longer than anything the program keeps, and names of categories that do not exist, are
    // refused with their number and a sentence, and the model stays as it was.
    void refusedCallsChangeNothing_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");

        const QString watch = QStringLiteral("110023456789");
        const QString longItem(BusService::MaxItemLength + 1, QLatin1Char('7'));
        const QString longName(BusService::MaxNameLength + 1, QLatin1Char('n'));
        const QString itemText = QStringLiteral("The item number is longer than 32 characters.");
        const QString nameText = QStringLiteral("The category name is longer than 255 characters.");
        const QString noToys = QStringLiteral("There is no category named Toys.");
        const struct
        {
            const char* row;
            const char* object;
            const char* method;
            QVariantList args;
            int number;
            QString text;
        } rows[] = {
            {"Exists, long item", "Auctions", "Exists", {longItem}, 11, itemText},
            {"Add, long item", "Auctions", "Add", {longItem, "Default"}, 11, itemText},
            {"Add, long category", "Auctions", "Add", {"445566", longName}, 11, nameText},
            {"Add, unknown category", "Auctions", "Add", {"445566", "Toys"}, 5, noToys},
            {"Remove, long item", "Auctions", "Remove", {longItem}, 11, itemText},
            {"SetCategory, long item", "Auctions", "SetCategory", {longItem, "Default"}, 11, itemText},
            {"SetCategory, long category", "Auctions", "SetCategory", {watch, longName}, 11, nameText},
            {"SetCategory, unknown category", "Auctions", "SetCategory", {watch, "Toys"}, 5, noToys},
            {"SetDescription, long item", "Auctions", "SetDescription", {longItem, "x"}, 11, itemText},
            {"SetDescription, long description",
             "Auctions",
             "SetDescription",
             {watch, QString(BusService::MaxTextLength + 1, QLatin1Char('d'))},
             11,
             QStringLiteral("The description is longer than 65536 characters.")},
            {"ViewAdd, long category", "Auctions", "ViewAdd", {"445566", longName}, 11, nameText},
            {"ViewEdit, long item", "Auctions", "ViewEdit", {longItem}, 11, itemText},
            {"ViewEditBid, long item", "Auctions", "ViewEditBid", {longItem}, 11, itemText},
            {"ViewNewBid, long item", "Auctions", "ViewNewBid", {longItem}, 11, itemText},
            {"Remove, long category", "Categorys", "Remove", {longName}, 11, nameText},
            {"Remove, unknown category, the last one left", "Categorys", "Remove", {"Toys"}, 5, noToys},
            {"ViewEdit, long category", "Categorys", "ViewEdit", {longName}, 11, nameText},
            {"ViewRemove, long category", "Categorys", "ViewRemove", {longName}, 11, nameText},
            {"SendBid, long item", "BidManager", "SendBid", {longItem}, 11, itemText},
            {"DownloadItem, long item", "Updaters", "DownloadItem", {longItem}, 11, itemText},
            {"DownloadItems, one long item",
             "Updaters",
             "DownloadItems",
             {QStringList{watch, longItem}},
             11,
             itemText},
            {"Parse, long item", "Updater", "Parse", {longItem, "<TITLE>t</TITLE>"}, 11, itemText},
            {"Parse, page over 8 MB",
             "Updater",
             "Parse",
             {watch, QString(8 * 1024 * 1024 + 1, QLatin1Char('p'))},
             11,
             QStringLiteral("The page is too large to read.")},
            {"SetFlag, long name",
             "Settings",
             "SetFlag",
             {longName, true},
             11,
             QStringLiteral("The setting's name is longer than 255 characters.")},
            {"SetText, long text",
             "HandOver",
             "SetText",
             {longName},
             11,
             QStringLiteral("The text is longer than 255 characters.")},
        };
        for (const auto& row : rows)
            QTest::newRow(row.row) << QString::fromLatin1(row.object) << QString::fromLatin1(row.method)
                                   << row.args << row.number << row.text;
    }

    void refusedCallsChangeNothing()
    {
        QFETCH(QString, object);
        QFETCH(QString, method);
        QFETCH(QVariantList, args);
        QFETCH(int, number);
        QFETCH(QString, text);

        QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "refused");
        QVERIFY(client.isConnected());
        ProgramOnTheBus program;
        QVERIFY(program.start());
        cApp& app = program.app;
        app.Auctions().Add(QStringLiteral("110023456789"), QStringLiteral("Default"));
        QCOMPARE(app.Categorys().Count(), 1);
        const QString before = modelText(app);

        const QDBusMessage reply = replyTo(client, object, method, args);
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.arguments(), (QVariantList{text, number}));
        QCOMPARE(modelText(app), before);
        QVERIFY(client.interface()->isServiceRegistered(OrvBus::serviceName).value());
        QDBusConnection::disconnectFromBus("refused");
    }

    // At the limits the texts are taken; a category is found whatever its letter case, and an auction
    // moved or added there takes the category's own name.
    void textsAtTheirLimitsAreTaken()
    {
        QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "limits");
        ProgramOnTheBus program;
        QVERIFY(program.start());
        cApp& app = program.app;
        app.Categorys().Add(QStringLiteral("Books"), false, 1);

        const QString item(BusService::MaxItemLength, QLatin1Char('4'));
        QCOMPARE(replyTo(client, "Auctions", "Add", {item, "bOOKS"}).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(app.Auctions().Item(item)->Category, QStringLiteral("Books"));
        const QString description(BusService::MaxTextLength, QLatin1Char('d'));
        QCOMPARE(replyTo(client, "Auctions", "SetDescription", {item, description}).type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(app.Auctions().Item(item)->Description, description);
        QCOMPARE(replyTo(client, "Auctions", "SetCategory", {item, "default"}).type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(app.Auctions().Item(item)->Category, QStringLiteral("Default"));
        // A name at its limit is looked up: not there.
        const QDBusMessage unknown =
            replyTo(client, "Categorys", "Remove", {QString(BusService::MaxNameLength, QLatin1Char('n'))});
        QCOMPARE(unknown.arguments().value(1).toInt(), 5);
        QDBusConnection::disconnectFromBus("limits");
    }

    // The whole list, packed once per change, is always the list as the model holds it now: each record
    // as a report of it would carry it, after changes, removals, additions and a level that moved on with
    // the site clock.
    void theWholeListFollowsEveryChange()
    {
        FakeTimeSource pc;
        QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "reader");
        ProgramOnTheBus program;
        QVERIFY(program.start());
        cApp& app = program.app;
        const QDateTime siteNow = app.Clock().Time();
        for (int i = 0; i < 3; ++i) {
            const AuctionPtr auction =
                app.Auctions().Add(QString::number(5000 + i), QStringLiteral("Default"));
            auction->Description = QStringLiteral("Lot %1, \u00e9t\u00e9").arg(i);
            auction->EndTime = siteNow.addSecs(600 + 86400 * i);
            auction->Price = 1.25 * i;
            auction->Changed();
        }
        const auto read = [&] {
            const QDBusMessage reply = replyTo(client, "Auctions", "Items", {});
            const QDBusArgument argument = reply.arguments().value(0).value<QDBusArgument>();
            QVariantMap answer;
            argument >> answer;
            return RecordPack::unpackList(answer.value(QStringLiteral("Items")).toByteArray());
        };
        const auto expected = [&] {
            QVariantList records;
            for (const AuctionPtr& auction : app.Auctions().Items())
                records << AuctionsService::record(*auction);
            return records;
        };
        QCOMPARE(read(), expected());

        const AuctionPtr first = app.Auctions().Item(QStringLiteral("5000"));
        first->SysComments = QStringLiteral("Bid failed.");
        first->SnipeState = OR2BidFailed;
        first->Changed();
        app.Auctions().Remove(QStringLiteral("5001"));
        app.Auctions().Add(QStringLiteral("6000"), QStringLiteral("Default"));
        QCOMPARE(read(), expected());
        QCOMPARE(read().size(), 3);

        // Ten minutes from the end the first is in caution; six minutes on, in warning.
        QCOMPARE(read().value(0).toMap().value(QStringLiteral("TimeLeftLevel")).toInt(), int(OR2Caution));
        pc.advanceSeconds(360);
        QCOMPARE(read().value(0).toMap().value(QStringLiteral("TimeLeftLevel")).toInt(), int(OR2Warning));
        QCOMPARE(read(), expected());
        QDBusConnection::disconnectFromBus("reader");
    }

    // Ten clients ask for the list while a state file of 10,000 auctions loads, and one of them leaves
    // before it is answered: the others each get the whole list once it has loaded.
    void clientsAskingDuringALargeLoadGetTheWholeList()
    {
        TestDataFolder data;
        {
            QString xml = QStringLiteral("<Root><Auctions>");
            for (int i = 0; i < 10000; ++i)
                xml += QStringLiteral("<Auction><Item>%1</Item><Description>Lot %1</Description><EndTime>"
                                      "2099-03-04 18:30:00</EndTime><Category>Default</Category></Auction>")
                           .arg(110000000000LL + i);
            xml += QStringLiteral("</Auctions></Root>");
            QFile file(cApp::stateFilePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(xml.toUtf8());
        }
        BusFace face(QDBusConnection::sessionBus());
        QVERIFY(face.claim());
        QList<QDBusPendingCall> calls;
        for (int i = 0; i < 10; ++i) {
            QDBusConnection client =
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("during%1").arg(i));
            calls << client.asyncCall(
                callOf(OrvBus::auctionsPath, OrvBus::interfaceOf("Auctions"), QStringLiteral("Items")));
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("during9"));
        calls.removeLast();
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        cApp app(host, boxes, engine.factories());
        face.attach(app);
        app.Load();
        QCOMPARE(app.Auctions().Count(), 10000);
        app.hide();
        face.open();
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(calls.cbegin(), calls.cend(),
                                             [](const QDBusPendingCall& call) { return call.isFinished(); }),
                                 30000);
        for (const QDBusPendingCall& call : std::as_const(calls)) {
            QVERIFY2(!call.isError(), qPrintable(call.error().message()));
            QVariantMap answer;
            call.reply().arguments().value(0).value<QDBusArgument>() >> answer;
            const QVariantList records =
                RecordPack::unpackList(answer.value(QStringLiteral("Items")).toByteArray());
            QCOMPARE(records.size(), 10000);
            QCOMPARE(records.last().toMap().value(QStringLiteral("Item")).toString(),
                     QStringLiteral("110000009999"));
        }
        for (int i = 0; i < 9; ++i)
            QDBusConnection::disconnectFromBus(QStringLiteral("during%1").arg(i));
    }

    // The heartbeat reports the settings only when they differ from what the clients were told, the
    // snapshot included: a client that has just bound hears no report of what it already holds, and one
    // bound before hears of a change that a later client's snapshot carries.
    void settingsAreReportedAtTheHeartbeatOnlyWhenChanged()
    {
        TestDataFolder data;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
        QVERIFY(client.isConnected());
        BusFace face(bus);
        QVERIFY(face.claim());
        RecordingShellHost host;
        RecordingMessageBoxSink boxes;
        FakeEngine engine;
        cApp app(host, boxes, engine.factories());
        face.attach(app);
        app.Load();
        app.hide();
        face.open();

        QList<QVariantMap> reports;
        SettingsListener listener([&reports](const QVariantMap& fields) { reports << fields; });
        QVERIFY(client.connect(OrvBus::serviceName, OrvBus::settingsPath, OrvBus::interfaceOf("Settings"),
                               QStringLiteral("Updated"), &listener, SLOT(take(QVariantMap))));
        // A round trip: what the program sent before its answer has arrived with it.
        const auto snapshot = [&] {
            QDBusPendingCall call = client.asyncCall(
                callOf(OrvBus::appPath, OrvBus::interfaceOf("App"), QStringLiteral("Snapshot")));
            QTRY_VERIFY(call.isFinished());
            QVERIFY2(!call.isError(), qPrintable(call.error().message()));
        };
        snapshot();
        const auto beat = [&] {
            Q_EMIT app.Ticked();
            snapshot();
        };
        beat();
        QVERIFY2(reports.isEmpty(), "a report of settings that had not changed");

        // A window that writes a setting without telling: the next beat reports it, once.
        app.Settings().ConfirmDel = !app.Settings().ConfirmDel;
        beat();
        QTRY_COMPARE(reports.size(), 1);
        QCOMPARE(reports.at(0).value(QStringLiteral("ConfirmDel")).toBool(), app.Settings().ConfirmDel);
        beat();
        QCOMPARE(reports.size(), 1);

        // Written without telling, then a client binds before the next beat: the clients already bound
        // still hear of it.
        app.Settings().ConfirmDel = !app.Settings().ConfirmDel;
        snapshot();
        QTRY_COMPARE(reports.size(), 2);
        QCOMPARE(reports.at(1).value(QStringLiteral("ConfirmDel")).toBool(), app.Settings().ConfirmDel);
        beat();
        QCOMPARE(reports.size(), 2);
        client.disconnect(OrvBus::serviceName, OrvBus::settingsPath, OrvBus::interfaceOf("Settings"),
                          QStringLiteral("Updated"), &listener, SLOT(take(QVariantMap)));
        QDBusConnection::disconnectFromBus("listener");
    }
};

QTEST_GUILESS_MAIN(tst_BusFace)
#include "tst_BusFace.moc"
