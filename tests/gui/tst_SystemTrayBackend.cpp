#include "OrvPictures.h"
#include "SystemTrayBackend.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

namespace {

// Stands for the hidden tray window: keeps the mouse events of the icon's callback message.
class CallbackWindow : public QObject
{
public:
    bool event(QEvent* event) override
    {
        if (const auto* callback = dynamic_cast<const TrayBackend::CallbackEvent*>(event)) {
            received << QStringLiteral("%1:%2").arg(int(event->type())).arg(callback->lParam());
            return true;
        }
        return QObject::event(event);
    }
    QStringList received;
};

QMenu* shownMenu()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isVisible())
            return menu;
    }
    return nullptr;
}

} // namespace

class tst_SystemTrayBackend : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lightsAreDistinct();
    void clicksReachTheWindow_data();
    void clicksReachTheWindow();
    void iconFollowsTheRecord();
    void popupMenu();
};

void tst_SystemTrayBackend::lightsAreDistinct()
{
    QList<QImage> pictures;
    for (const char* key : {"GREEN", "YELLOW", "RED", "FLAG", "GREY"}) {
        const QIcon icon = OrvPictures::light(QString::fromLatin1(key));
        QVERIFY2(!icon.isNull(), key);
        const QImage picture = icon.pixmap(32, 32).toImage();
        QVERIFY2(!pictures.contains(picture), key);
        pictures << picture;
    }
    QVERIFY(OrvPictures::light(QStringLiteral("BLUE")).isNull());
}

void tst_SystemTrayBackend::clicksReachTheWindow_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<TrayBackend::MouseMessage>("mouseMessage");

    QTest::newRow("single click") << QSystemTrayIcon::Trigger << TrayBackend::LeftButtonUp;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << TrayBackend::LeftDoubleClick;
    QTest::newRow("right button") << QSystemTrayIcon::Context << TrayBackend::RightButtonUp;
    QTest::newRow("middle button") << QSystemTrayIcon::MiddleClick << TrayBackend::MiddleButtonUp;
}

void tst_SystemTrayBackend::clicksReachTheWindow()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(TrayBackend::MouseMessage, mouseMessage);
    CallbackWindow window;
    SystemTrayBackend backend;
    backend.Add({&window, 1025, QStringLiteral("GREEN"), QStringLiteral("Auction Orv")});
    auto* icon = backend.findChild<QSystemTrayIcon*>();
    QVERIFY(icon);

    Q_EMIT icon->activated(reason);
    QCOMPARE(window.received, QStringList{QStringLiteral("1025:%1").arg(mouseMessage)});

    // Once the icon is deleted its clicks go nowhere.
    backend.Delete({});
    Q_EMIT icon->activated(reason);
    QCOMPARE(window.received.size(), 1);
}

void tst_SystemTrayBackend::iconFollowsTheRecord()
{
    CallbackWindow window;
    SystemTrayBackend backend;
    backend.Add({&window, 1025, QStringLiteral("GREEN"), QStringLiteral("Auction Orv")});
    auto* icon = backend.findChild<QSystemTrayIcon*>();
    QVERIFY(icon->isVisible());
    QCOMPARE(icon->toolTip(), QStringLiteral("Auction Orv"));
    QCOMPARE(icon->icon().pixmap(32, 32).toImage(),
             OrvPictures::light(QStringLiteral("GREEN")).pixmap(32, 32).toImage());

    backend.Modify({&window, 1025, QStringLiteral("FLAG"), QStringLiteral("Auction Orv")});
    QCOMPARE(icon->icon().pixmap(32, 32).toImage(),
             OrvPictures::light(QStringLiteral("FLAG")).pixmap(32, 32).toImage());

    backend.Delete({});
    QVERIFY(!icon->isVisible());
    QCOMPARE(backend.findChild<QSystemTrayIcon*>(), icon);
}

void tst_SystemTrayBackend::popupMenu()
{
    SystemTrayBackend backend;
    QStringList chosen;
    backend.PopupMenu(
        {{"first", "&First"}, {"dash", "-"}, {"ticked", "&Ticked", true}, {"hidden", "Hidden", false, false}},
        [&chosen](const QString& name) { chosen << name; });
    QMenu* menu = shownMenu();
    QVERIFY(menu);
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 4);
    QCOMPARE(actions[0]->text(), QStringLiteral("&First"));
    QVERIFY(actions[1]->isSeparator());
    QVERIFY(actions[2]->isChecked());
    QVERIFY(!actions[0]->isChecked());
    QVERIFY(!actions[3]->isVisible());

    actions[2]->trigger();
    QCOMPARE(chosen, QStringList{"ticked"});
}

QTEST_MAIN(tst_SystemTrayBackend)
#include "tst_SystemTrayBackend.moc"
