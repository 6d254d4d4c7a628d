#include "Dialog.h"
#include "FakeDialer.h"
#include "FakeEngine.h"
#include "NetworkManagerDialer.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "ScriptedBrowser.h"
#include "ScriptedDialogBackend.h"
#include "Settings.h"
#include "WidgetDialogHost.h"
#include "XMLManager.h"
#include "XmlDocument.h"
#include "cApp.h"
#include "frmSettings.h"
#include "mMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

namespace {

const QString signInUrl = QStringLiteral("http://127.0.0.1:7001/ws/eBayISAPI.dll?SignIn");

// The settings as the state file holds them (the "Settings" element).
QByteArray stored(Settings& settings)
{
    XMLManager manager;
    manager.Save(settings, manager.Node());
    return manager.toBytes();
}

// Settings with every default, but for the given elements of the state file's "Settings" element.
void load(Settings& settings, const QString& elements = QString())
{
    XmlDocument document;
    QVERIFY(document.setContent(QStringLiteral("<Settings>%1</Settings>").arg(elements).toUtf8()));
    XMLManager manager;
    manager.Restore(settings, document.documentElement());
}

// The settings dialog on its own settings, dialer, account-test windows, message boxes and colour
// dialog; `events` records the settings' Updated and each save of the state file, in order.
struct Window
{
    explicit Window(Dialer* useDialer = nullptr)
    {
        load(settings);
        QObject::connect(&settings, &Settings::Updated, &settings,
                         [this] { events << QStringLiteral("updated"); });
        window = new frmSettings(
            useDialer ? useDialer : &dialer, browsers.factory(), [this] { events << QStringLiteral("save"); },
            boxes, std::unique_ptr<DialogBackend>(colours));
    }
    ~Window() { delete window; }

    template <typename T> T* child(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        if (!found)
            qWarning("no control %s", qPrintable(name));
        return found;
    }
    QString caption(const QString& slider) const
    {
        return child<QLabel>(QStringLiteral("lbl") + slider.mid(3))->text();
    }
    QString status() const { return child<QLabel>(QStringLiteral("status"))->text(); }
    // Moves a slider as the user does, by one action.
    void move(const QString& slider, QAbstractSlider::SliderAction action) const
    {
        child<QSlider>(slider)->triggerAction(action);
    }
    void clickColor(int index) const
    {
        child<QTabWidget>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        QTest::mouseClick(child<QLabel>(QStringLiteral("lblColor_%1").arg(index)), Qt::LeftButton);
    }
    QColor shownColor(int index) const
    {
        return child<QLabel>(QStringLiteral("lblColor_%1").arg(index))->palette().color(QPalette::Window);
    }
    void save() const { child<QPushButton>(QStringLiteral("cmdSave"))->click(); }

    Settings settings;
    FakeDialer dialer;
    ScriptedBrowsers browsers;
    RecordingMessageBoxSink boxes;
    ScriptedDialogBackend* colours = new ScriptedDialogBackend;
    QStringList events;
    QPointer<frmSettings> window;
};

} // namespace

class tst_frmSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        qDBusRegisterMetaType<QMap<QString, QVariantMap>>();
        qputenv("AUCTIONORV_SIGNIN_URL", "http://127.0.0.1:7001");
    }

    void showsEverySetting();
    void sliders_data();
    void sliders();
    void savingUnchangedChangesNothing_data();
    void savingUnchangedChangesNothing();
    void saveStoresEveryControl();
    void valueOutsideItsSliderIsKeptUntilMoved();
    void colourChoice();
    void checkButtonNeedsNameAndPassword();
    void accountTestShowsItsStatusAndStoresNothing();
    void dialUpValidation_data();
    void dialUpValidation();
    void createNewListsTheNewEntry();
    void neitherSaveNorCloseTouchesADial();
    void phoneEntriesFromNetworkManager();
    void hostShowsOneSharedWindow();
};

void tst_frmSettings::showsEverySetting()
{
    Window w;
    load(w.settings, QStringLiteral("<Username>bob</Username><Password>s3cret</Password>"
                                    "<ConnectOnRed>True</ConnectOnRed><ConfirmBid>False</ConfirmBid>"
                                    "<ForceIE>True</ForceIE><MinOnClose>False</MinOnClose>"
                                    "<ColorActive>16711680</ColorActive>"));
    w.window->View(w.settings);
    QVERIFY(w.window->isVisible());
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Configurations"));

    auto* tabs = w.child<QTabWidget>(QStringLiteral("SSTab1"));
    QStringList pages;
    for (int i = 0; i < tabs->count(); ++i)
        pages << tabs->tabText(i);
    QCOMPARE(pages, QStringList({"General", "Display", "Options", "Red Mode"}));

    const QList<std::tuple<QString, QString, bool>> boxes{
        {"chkMinOnClose", "Minimize to Tray when Auction Window Closes", false},
        {"chkForceIE", "View Auctions only with Internet Explorer", true},
        {"chkConfirmMoving", "Confirm Auction Moving", true},
        {"chkConfirmBidding", "Confirm Manual Bidding", false},
        {"chkConfirmDelete", "Confirm Delete Requests", true},
        {"chkAutoDial", "Connect to Internet during \"Red Alert Mode\"", true},
        {"chkSynchClockRed", "Synchronize Clock when \"Red Mode\" begins.", true}};
    for (const auto& [name, caption, checked] : boxes) {
        QCOMPARE(w.child<QCheckBox>(name)->text(), caption);
        QCOMPARE(w.child<QCheckBox>(name)->isChecked(), checked);
    }
    QCOMPARE(w.child<QLineEdit>(QStringLiteral("txtUserName"))->text(), QStringLiteral("bob"));
    auto* password = w.child<QLineEdit>(QStringLiteral("txtPassword"));
    QCOMPARE(password->text(), QStringLiteral("s3cret"));
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QVERIFY(!password->displayText().contains(QLatin1String("s3cret")));
    QCOMPARE(w.child<QPushButton>(QStringLiteral("cmdCheck"))->text(), QStringLiteral("Check eBay Account"));
    QCOMPARE(w.child<QPushButton>(QStringLiteral("cmdSave"))->text(), QStringLiteral("Save Configurations"));
    QCOMPARE(w.child<QPushButton>(QStringLiteral("cmdCreateDialup"))->text(),
             QStringLiteral("Create New..."));

    // The colour labels show the settings' blue-green-red numbers.
    QCOMPARE(w.shownColor(0), QColor(128, 128, 128));
    QCOMPARE(w.shownColor(1), QColor(255, 0, 0));
    QCOMPARE(w.shownColor(2), QColor(128, 0, 0));
    QCOMPARE(w.shownColor(3), QColor(0, 0, 255));
    QCOMPARE(w.shownColor(4), QColor(255, 255, 255));
    QStringList titles;
    for (int i = 0; i < 5; ++i)
        titles << w.child<QLabel>(QStringLiteral("lblColorTitle_%1").arg(i))->text();
    QCOMPARE(titles, QStringList({"Auction Completed Color", "Auction Nearly Completed Color",
                                  "Auction Completed Today Color", "Standard Auction Color",
                                  "Auction List Background Color"}));
    QCOMPARE(w.status(), QString());
}

void tst_frmSettings::sliders_data()
{
    QTest::addColumn<QString>("slider");
    QTest::addColumn<QList<int>>("range"); // minimum, maximum, tick interval, page step
    QTest::addColumn<int>("defaultValue");
    QTest::addColumn<QString>("defaultCaption");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("caption");

    QTest::newRow("snipe time") << "sldDefaultSnipeTime" << QList<int>{1, 120, 5, 5} << 20
                                << "Default Snipe Time: (20 Seconds)" << 1
                                << "Default Snipe Time: (1 Seconds)";
    QTest::newRow("hot bids") << "sldHotBids" << QList<int>{1, 100, 5, 5} << 10 << "Hot auctions have 10 bids"
                              << 100 << "Hot auctions have 100 bids";
    QTest::newRow("time zone 0") << "sldLocalTimeZone" << QList<int>{-12, 12, 1, 5} << 0
                                 << "Local Time Zone (GMT 00:00)" << -12 << "Local Time Zone (GMT -12:00)";
    QTest::newRow("time zone one digit")
        << "sldLocalTimeZone" << QList<int>{-12, 12, 1, 5} << 0 << "Local Time Zone (GMT 00:00)" << -5
        << "Local Time Zone (GMT -05:00)";
    QTest::newRow("time zone east") << "sldLocalTimeZone" << QList<int>{-12, 12, 1, 5} << 0
                                    << "Local Time Zone (GMT 00:00)" << 9 << "Local Time Zone (GMT 09:00)";
    QTest::newRow("updates") << "sldMaxUpdates" << QList<int>{1, 15, 1, 1} << 3
                             << "Max Simultaneous Updates: 3 Auctions" << 15
                             << "Max Simultaneous Updates: 15 Auctions";
    QTest::newRow("net check") << "sldNetCheckSecs" << QList<int>{5, 30, 1, 5} << 10
                               << "During \"Red Alert Mode\", check internet every 10 seconds." << 5
                               << "During \"Red Alert Mode\", check internet every 5 seconds.";
    QTest::newRow("red mode") << "sldRedModeMins" << QList<int>{1, 30, 1, 5} << 5
                              << "\"Red Alert Mode\" begins 5 minutes before Snipes are to be sent" << 30
                              << "\"Red Alert Mode\" begins 30 minutes before Snipes are to be sent";
    QTest::newRow("prepare") << "sldPrepareSecs" << QList<int>{30, 300, 15, 15} << 90
                             << "Prepare Auctions 90 Seconds Before Bid" << 300
                             << "Prepare Auctions 300 Seconds Before Bid";
    QTest::newRow("refresh") << "sldTimeLeftRefresh" << QList<int>{1, 30, 1, 5} << 5
                             << "Refresh TimeLeft Column every 5 seconds" << 1
                             << "Refresh TimeLeft Column every 1 seconds";
    QTest::newRow("clock days off") << "sldSynchClockDays" << QList<int>{0, 15, 1, 1} << 3
                                    << "Clock should be updated every 3 days" << 0
                                    << "Do not remind me to update clock";
    QTest::newRow("update days off") << "sldCheckUpdates" << QList<int>{0, 15, 1, 1} << 7
                                     << "Check for updates every 7 days" << 0 << "Do not check for updates";
    QTest::newRow("update days") << "sldCheckUpdates" << QList<int>{0, 15, 1, 1} << 7
                                 << "Check for updates every 7 days" << 1 << "Check for updates every 1 days";
}

void tst_frmSettings::sliders()
{
    QFETCH(QString, slider);
    QFETCH(QList<int>, range);
    QFETCH(int, defaultValue);
    QFETCH(QString, defaultCaption);
    QFETCH(int, value);
    QFETCH(QString, caption);

    Window w;
    w.window->View(w.settings);
    auto* control = w.child<QSlider>(slider);
    QCOMPARE(
        (QList<int>{control->minimum(), control->maximum(), control->tickInterval(), control->pageStep()}),
        range);
    QCOMPARE(control->singleStep(), 1);
    QCOMPARE(control->value(), defaultValue);
    QCOMPARE(w.caption(slider), defaultCaption);
    QCOMPARE(frmSettings::sliderCaption(slider, defaultValue), defaultCaption);

    // Every change of the value rewrites the caption.
    control->setValue(value);
    QCOMPARE(w.caption(slider), caption);
}

void tst_frmSettings::savingUnchangedChangesNothing_data()
{
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("defaults") << QString() << QStringList();
    QTest::newRow("entry selected") << QStringLiteral("<PhoneEntry>Modem</PhoneEntry>"
                                                      "<ConnectOnRed>True</ConnectOnRed>")
                                    << QStringList{"Modem", "Office"};
    // Values that the controls cannot show, from an edited state file: all are kept.
    QTest::newRow("values out of range")
        << QStringLiteral("<LocalTimeZone>14</LocalTimeZone><PrepareSeconds>17</PrepareSeconds>"
                          "<HotBids>0</HotBids><DefaultSnipeTime>500</DefaultSnipeTime>"
                          "<CheckForUpdates>99</CheckForUpdates><AutoSyncDays>-3</AutoSyncDays>"
                          "<MaxAucUpdates>40</MaxAucUpdates><RedMinutes>0</RedMinutes>"
                          "<CheckNetSeconds>2</CheckNetSeconds><TimeLeftRefresh>31</TimeLeftRefresh>"
                          "<ColorComplete>-1</ColorComplete><ColorWarning>2147483647</ColorWarning>"
                          "<ColorCaution>-2147483643</ColorCaution><PhoneEntry>Gone</PhoneEntry>"
                          "<Username>  ann </Username><Password>p&amp;ss word</Password>")
        << QStringList{"Modem"};
    QTest::newRow("time zone -13") << QStringLiteral("<LocalTimeZone>-13</LocalTimeZone>") << QStringList();
}

void tst_frmSettings::savingUnchangedChangesNothing()
{
    QFETCH(QString, elements);
    QFETCH(QStringList, entries);
    Window w;
    w.dialer.entryList = entries;
    load(w.settings, elements);
    const QByteArray before = stored(w.settings);
    w.window->View(w.settings);
    w.save();
    QCOMPARE(stored(w.settings), before);
    QCOMPARE(w.events, QStringList({"updated", "save"}));
    QVERIFY(w.boxes.boxes.isEmpty());
    QTRY_VERIFY(!w.window);
}

void tst_frmSettings::saveStoresEveryControl()
{
    Window w;
    w.dialer.entryList = {QStringLiteral("Modem"), QStringLiteral("Office")};
    load(w.settings, QStringLiteral("<AlwaysOnTop>True</AlwaysOnTop><WindowTop>7</WindowTop>"
                                    "<ViewedWelcome>True</ViewedWelcome><LocalTimeZone>0</LocalTimeZone>"));
    w.window->View(w.settings);
    const QByteArray before = stored(w.settings);

    w.child<QLineEdit>(QStringLiteral("txtUserName"))->setText(QStringLiteral("carol"));
    w.child<QLineEdit>(QStringLiteral("txtPassword"))->setText(QStringLiteral("n3w pass"));
    for (const char* name : {"chkMinOnClose", "chkForceIE", "chkConfirmMoving", "chkConfirmBidding",
                             "chkConfirmDelete", "chkAutoDial", "chkSynchClockRed"})
        w.child<QCheckBox>(QString::fromLatin1(name))->click();
    w.move(QStringLiteral("sldDefaultSnipeTime"), QAbstractSlider::SliderPageStepAdd);
    w.move(QStringLiteral("sldHotBids"), QAbstractSlider::SliderPageStepAdd);
    w.move(QStringLiteral("sldLocalTimeZone"), QAbstractSlider::SliderSingleStepSub);
    w.move(QStringLiteral("sldMaxUpdates"), QAbstractSlider::SliderSingleStepAdd);
    w.move(QStringLiteral("sldPrepareSecs"), QAbstractSlider::SliderPageStepAdd);
    w.move(QStringLiteral("sldNetCheckSecs"), QAbstractSlider::SliderPageStepAdd);
    w.move(QStringLiteral("sldRedModeMins"), QAbstractSlider::SliderSingleStepAdd);
    w.move(QStringLiteral("sldTimeLeftRefresh"), QAbstractSlider::SliderSingleStepAdd);
    w.move(QStringLiteral("sldSynchClockDays"), QAbstractSlider::SliderToMinimum);
    w.move(QStringLiteral("sldCheckUpdates"), QAbstractSlider::SliderToMaximum);
    auto* phone = w.child<QComboBox>(QStringLiteral("cboPhoneEntry"));
    phone->setCurrentIndex(2);
    Q_EMIT phone->activated(2);
    w.colours->colorAnswer = [](DialogBackend::ColorDialog& d) {
        d.color = 0x0A0B0C;
        return true;
    };
    for (int i = 0; i < 5; ++i)
        w.clickColor(i);
    // Nothing reaches the settings before Save.
    QCOMPARE(stored(w.settings), before);

    w.save();
    const Settings& s = w.settings;
    QCOMPARE(s.Username, QStringLiteral("carol"));
    QCOMPARE(s.Password, QStringLiteral("n3w pass"));
    QCOMPARE((QList<bool>{s.MinOnClose, s.ForceIE, s.ConfirmMove, s.ConfirmBid, s.ConfirmDel, s.ConnectOnRed,
                          s.SyncClockRed}),
             (QList<bool>{false, true, false, false, false, true, false}));
    QCOMPARE(
        (QList<int>{s.DefaultSnipeTime, s.HotBids, s.LocalTimeZone, s.MaxAucUpdates, s.PrepareSeconds,
                    s.CheckNetSeconds, s.RedMinutes, s.TimeLeftRefresh, s.AutoSyncDays, s.CheckForUpdates}),
        (QList<int>{25, 15, -1, 4, 105, 15, 6, 6, 0, 15}));
    QCOMPARE(s.PhoneEntry, QStringLiteral("Office"));
    QCOMPARE(
        (QList<int>{s.ColorComplete, s.ColorWarning, s.ColorCaution, s.ColorActive, s.AuctionListBackColor}),
        QList<int>(5, 0x0A0B0C));
    // What the dialog does not edit stays.
    QVERIFY(s.AlwaysOnTop);
    QCOMPARE(s.WindowTop, 7);
    QVERIFY(s.ViewedWelcome);
    QCOMPARE(w.events, QStringList({"updated", "save"}));
    QTRY_VERIFY(!w.window);
}

void tst_frmSettings::valueOutsideItsSliderIsKeptUntilMoved()
{
    {
        Window w;
        load(w.settings, QStringLiteral("<LocalTimeZone>14</LocalTimeZone>"));
        w.window->View(w.settings);
        QCOMPARE(w.caption(QStringLiteral("sldLocalTimeZone")),
                 QStringLiteral("Local Time Zone (GMT 14:00)"));
        QCOMPARE(w.child<QSlider>(QStringLiteral("sldLocalTimeZone"))->value(), 12);
        w.save();
        QCOMPARE(w.settings.LocalTimeZone, 14);
    }
    {
        // Moved by the user: the slider's value counts from then on.
        Window w;
        load(w.settings, QStringLiteral("<LocalTimeZone>14</LocalTimeZone>"));
        w.window->View(w.settings);
        w.move(QStringLiteral("sldLocalTimeZone"), QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(w.caption(QStringLiteral("sldLocalTimeZone")),
                 QStringLiteral("Local Time Zone (GMT 11:00)"));
        w.save();
        QCOMPARE(w.settings.LocalTimeZone, 11);
    }
    {
        // Pushed against its end, which does not change the value, still counts as a move.
        Window w;
        load(w.settings, QStringLiteral("<LocalTimeZone>13</LocalTimeZone>"));
        w.window->View(w.settings);
        w.move(QStringLiteral("sldLocalTimeZone"), QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(w.caption(QStringLiteral("sldLocalTimeZone")),
                 QStringLiteral("Local Time Zone (GMT 12:00)"));
        w.save();
        QCOMPARE(w.settings.LocalTimeZone, 12);
    }
}

void tst_frmSettings::colourChoice()
{
    Window w;
    w.window->View(w.settings);
    w.colours->colorAnswer = [](DialogBackend::ColorDialog& d) {
        d.color = 0x00FF00;
        return true;
    };
    w.clickColor(0);
    // The dialog starts from black, any colour allowed, owned by the window.
    QCOMPARE(w.colours->colorRuns.size(), 1);
    QCOMPARE(w.colours->colorRuns.constFirst().color, 0);
    QVERIFY(w.colours->colorRuns.constFirst().flags & Dialog::CC_ANYCOLOR);
    QCOMPARE(w.colours->colorRuns.constFirst().owner, w.window.data());
    QCOMPARE(w.shownColor(0), QColor(0, 255, 0));
    QCOMPARE(w.settings.ColorComplete, 8421504);

    // Cancelled: the label keeps its colour.
    w.colours->colorAnswer = {};
    w.clickColor(1);
    QCOMPARE(w.shownColor(1), QColor(255, 0, 0));
    w.save();
    QCOMPARE(w.settings.ColorComplete, 0x00FF00);
    QCOMPARE(w.settings.ColorWarning, 255);
}

void tst_frmSettings::checkButtonNeedsNameAndPassword()
{
    Window w;
    load(w.settings, QStringLiteral("<Username>bob</Username><Password>pw</Password>"));
    w.window->View(w.settings);
    auto* check = w.child<QPushButton>(QStringLiteral("cmdCheck"));
    auto* user = w.child<QLineEdit>(QStringLiteral("txtUserName"));
    auto* password = w.child<QLineEdit>(QStringLiteral("txtPassword"));
    QVERIFY(check->isEnabled());
    user->clear();
    QVERIFY(!check->isEnabled());
    user->setText(QStringLiteral("b"));
    QVERIFY(check->isEnabled());
    password->clear();
    QVERIFY(!check->isEnabled());

    // A window opened on settings without a password starts disabled.
    Window empty;
    empty.window->View(empty.settings);
    QVERIFY(!empty.child<QPushButton>(QStringLiteral("cmdCheck"))->isEnabled());
}

void tst_frmSettings::accountTestShowsItsStatusAndStoresNothing()
{
    Window w;
    load(w.settings, QStringLiteral("<Username>bob</Username><Password>old</Password>"));
    w.window->View(w.settings);
    // The test runs with the names as typed, not the stored ones.
    w.child<QLineEdit>(QStringLiteral("txtUserName"))->setText(QStringLiteral("ann"));
    w.child<QLineEdit>(QStringLiteral("txtPassword"))->setText(QStringLiteral("typed pw"));
    QStringList shown;
    auto* check = w.child<QPushButton>(QStringLiteral("cmdCheck"));
    check->click();
    shown << w.status();
    ScriptedBrowser* first = w.browsers.last();
    QVERIFY(first);
    QCOMPARE(first->navigations, QList<QUrl>{QUrl(signInUrl)});
    first->complete(
        signInUrl, QStringLiteral("Sign In"), QStringLiteral("eBay User ID"),
        {{QStringLiteral("SignInForm"),
          {QStringLiteral("userid"), QStringLiteral("pass"), QStringLiteral("keepMeSignInOption")}}});
    shown << w.status();
    QVERIFY(first->log.contains(QStringLiteral("set SignInForm.pass=typed pw")));
    first->complete(signInUrl, QStringLiteral("My eBay"), QStringLiteral("Hello"));
    shown << w.status();
    QCOMPARE(shown, QStringList({"Logging out current user...", "Logging in user ann...",
                                 "ann successfully logged in."}));

    // A second test replaces the first, whose window goes.
    const QPointer<ScriptedBrowser> firstWindow = first;
    check->click();
    QCOMPARE(w.status(), QStringLiteral("Logging out current user..."));
    QTRY_VERIFY(!firstWindow);
    QCOMPARE(w.browsers.windows.size(), 2);

    // The test stored nothing; closing the window ends the test and its hidden window at once.
    QCOMPARE(w.settings.Username, QStringLiteral("bob"));
    QCOMPARE(w.settings.Password, QStringLiteral("old"));
    QVERIFY(w.events.isEmpty());
    const QPointer<ScriptedBrowser> second = w.browsers.last();
    w.window->close();
    QTRY_VERIFY(!w.window);
    QVERIFY(!second);
    QCOMPARE(w.settings.Username, QStringLiteral("bob"));
}

void tst_frmSettings::dialUpValidation_data()
{
    QTest::addColumn<QString>("phoneEntry");
    QTest::addColumn<int>("pick"); // the item the user picks; -1 for none
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("stored");
    QTest::newRow("nothing selected") << "" << -1 << true << "";
    QTest::newRow("entry gone") << "Gone" << -1 << true << "Gone";
    QTest::newRow("dedicated internet") << "" << 0 << false << "none";
    QTest::newRow("an entry") << "" << 1 << false << "Modem";
}

void tst_frmSettings::dialUpValidation()
{
    QFETCH(QString, phoneEntry);
    QFETCH(int, pick);
    QFETCH(bool, refused);
    QFETCH(QString, stored);

    Window w;
    w.dialer.entryList = {QStringLiteral("Modem")};
    w.settings.PhoneEntry = phoneEntry;
    w.window->View(w.settings);
    auto* phone = w.child<QComboBox>(QStringLiteral("cboPhoneEntry"));
    QCOMPARE(phone->currentIndex(), -1);
    if (pick >= 0) {
        phone->setCurrentIndex(pick);
        Q_EMIT phone->activated(pick);
    }
    w.child<QCheckBox>(QStringLiteral("chkAutoDial"))->setChecked(true);
    w.child<QLineEdit>(QStringLiteral("txtUserName"))->setText(QStringLiteral("changed"));
    w.save();

    if (refused) {
        QCOMPARE(w.boxes.boxes.size(), 1);
        const RecordingMessageBoxSink::Box& box = w.boxes.boxes.constFirst();
        QCOMPARE(box.title, QStringLiteral("Validation Failed"));
        QCOMPARE(box.text,
                 QStringLiteral("You must select a dialup account if you want to connect to the internet "
                                "during Red Mode"));
        QCOMPARE(box.icon, MessageBoxSink::Information);
        QCOMPARE(box.buttons, MessageBoxSink::Ok);
        // Nothing stored, the window stays open.
        QVERIFY(!w.settings.ConnectOnRed);
        QCOMPARE(w.settings.Username, QString());
        QVERIFY(w.events.isEmpty());
        QVERIFY(w.window && w.window->isVisible());
    } else {
        QVERIFY(w.boxes.boxes.isEmpty());
        QVERIFY(w.settings.ConnectOnRed);
        QCOMPARE(w.events, QStringList({"updated", "save"}));
    }
    QCOMPARE(w.settings.PhoneEntry, stored);
}

void tst_frmSettings::createNewListsTheNewEntry()
{
    Window w;
    w.dialer.entryList = {QStringLiteral("Modem")};
    w.settings.PhoneEntry = QStringLiteral("Modem");
    w.window->View(w.settings);
    auto* phone = w.child<QComboBox>(QStringLiteral("cboPhoneEntry"));
    w.child<QPushButton>(QStringLiteral("cmdCreateDialup"))->click();
    QCOMPARE(w.dialer.createRequests, 1);
    // The user saves a new entry in the system's editor; the list follows and keeps the selection.
    w.dialer.listEntries({QStringLiteral("Modem"), QStringLiteral("Mobile")});
    QCOMPARE(phone->count(), 3);
    QCOMPARE(phone->itemText(2), QStringLiteral("Mobile"));
    QCOMPARE(phone->currentData().toString(), QStringLiteral("Modem"));

    // Without an editor the status says so.
    Window none;
    auto* noDialer = new frmSettings(nullptr, none.browsers.factory(), {}, none.boxes);
    noDialer->View(none.settings);
    noDialer->findChild<QPushButton*>(QStringLiteral("cmdCreateDialup"))->click();
    QCOMPARE(noDialer->findChild<QLabel*>(QStringLiteral("status"))->text(),
             QStringLiteral("No editor for dial-up connections is installed."));
    QCOMPARE(noDialer->findChild<QComboBox*>(QStringLiteral("cboPhoneEntry"))->count(), 1);
    delete noDialer;
}

void tst_frmSettings::neitherSaveNorCloseTouchesADial()
{
    // The connection watch is dialling when the user saves the settings, and again when he closes them.
    for (const bool saving : {true, false}) {
        Window w;
        w.dialer.entryList = {QStringLiteral("Modem"), QStringLiteral("Office")};
        w.settings.PhoneEntry = QStringLiteral("Modem");
        w.settings.ConnectOnRed = true;
        w.dialer.setEntryName(QStringLiteral("Modem"));
        w.dialer.Dial();
        QSignalSpy ended(&w.dialer, &Dialer::OnDisconnect);
        w.window->View(w.settings);
        auto* phone = w.child<QComboBox>(QStringLiteral("cboPhoneEntry"));
        phone->setCurrentIndex(2);
        Q_EMIT phone->activated(2);
        if (saving)
            w.save();
        else
            w.window->close();
        QTRY_VERIFY(!w.window);
        QCOMPARE(w.dialer.ConnectionState(), Dialer::Dialling);
        QCOMPARE(w.dialer.dialled, QStringList{"Modem"});
        QCOMPARE(w.dialer.entryName, QStringLiteral("Modem"));
        QCOMPARE(ended.size(), 0);
        QCOMPARE(w.settings.PhoneEntry, saving ? QStringLiteral("Office") : QStringLiteral("Modem"));
        // The dial still reports to whoever listens.
        w.dialer.reportConnected();
        QCOMPARE(w.dialer.ConnectionState(), Dialer::Connected);
    }
}

void tst_frmSettings::phoneEntriesFromNetworkManager()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QStringLiteral("org.freedesktop.NetworkManager");
    QProcess mock;
    mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--session"),
                QStringLiteral("--template"), QStringLiteral("networkmanager")});
    QVERIFY2(mock.waitForStarted(), "python3-dbusmock is needed");
    QTRY_VERIFY_WITH_TIMEOUT(bus.interface()->isServiceRegistered(service), 15000);
    const auto addProfile = [&](const QString& name) {
        const QMap<QString, QVariantMap> settings{
            {QStringLiteral("connection"),
             QVariantMap{{QStringLiteral("id"), name}, {QStringLiteral("type"), QStringLiteral("ppp")}}}};
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
            QStringLiteral("org.freedesktop.NetworkManager.Settings"), QStringLiteral("AddConnection"));
        call << QVariant::fromValue(settings);
        return bus.call(call).type() == QDBusMessage::ReplyMessage;
    };
    QVERIFY(addProfile(QStringLiteral("Modem")));
    QVERIFY(addProfile(QStringLiteral("Office VPN")));

    NetworkManagerDialer dialer(bus);
    Window w(&dialer);
    w.settings.PhoneEntry = QStringLiteral("Office VPN");
    QTRY_COMPARE(dialer.entries().size(), 2);
    w.window->View(w.settings);
    auto* phone = w.child<QComboBox>(QStringLiteral("cboPhoneEntry"));
    const auto items = [phone] {
        QStringList listed;
        for (int i = 0; i < phone->count(); ++i)
            listed << phone->itemText(i) + QLatin1Char('=') + phone->itemData(i).toString();
        return listed;
    };
    QCOMPARE(items(), QStringList({"Dedicated Internet=none", "Modem=Modem", "Office VPN=Office VPN"}));
    QCOMPARE(phone->currentText(), QStringLiteral("Office VPN"));
    QVERIFY(!phone->itemIcon(0).isNull());
    QVERIFY(!phone->itemIcon(1).isNull());

    // A profile made while the window is open joins the list.
    QVERIFY(addProfile(QStringLiteral("Mobile")));
    QTRY_COMPARE(phone->count(), 4);
    QCOMPARE(items().constLast(), QStringLiteral("Mobile=Mobile"));
    QCOMPARE(phone->currentText(), QStringLiteral("Office VPN"));

    delete w.window;
    mock.kill();
    mock.waitForFinished();
}

void tst_frmSettings::hostShowsOneSharedWindow()
{
    RecordingShellHost recording;
    RecordingMessageBoxSink boxes;
    FakeEngine engine;
    cApp app(recording, boxes, engine.factories());
    mMain::setApp(&app);
    {
        WidgetDialogHost host;
        app.Settings().Username = QStringLiteral("first");
        host.viewSettings(app.Settings());
        app.Settings().Username = QStringLiteral("second");
        host.viewSettings(app.Settings());
        QList<frmSettings*> open;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<frmSettings*>(widget); window && window->isVisible())
                open << window;
        }
        QCOMPARE(open.size(), 1);
        // View fills the one window afresh.
        QCOMPARE(open.constFirst()->findChild<QLineEdit*>(QStringLiteral("txtUserName"))->text(),
                 QStringLiteral("second"));
    }
    mMain::setApp(nullptr);
}

QTEST_MAIN(tst_frmSettings)
#include "tst_frmSettings.moc"
