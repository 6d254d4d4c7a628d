#include "cSubClass.h"
#include "iSubclass.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTest>

namespace {

const qint32 Ping = QEvent::User + 1;
const qint32 Pong = QEvent::User + 2;

// A window that logs what reaches its own handler.
class LogWindow : public QObject
{
public:
    explicit LogWindow(QStringList& log) : m_log(log) {}
    bool event(QEvent* event) override
    {
        m_log << QStringLiteral("window %1").arg(event->type());
        return true;
    }

private:
    QStringList& m_log;
};

class LogOwner : public QObject, public iSubclass
{
    Q_OBJECT
    Q_INTERFACES(iSubclass)
public:
    explicit LogOwner(QStringList& log) : m_log(log) {}

    void After(qint32& lReturn, QObject* hWnd, qint32 uMsg, QEvent*) override
    {
        m_log << QStringLiteral("after %1 %2 %3").arg(uMsg).arg(lReturn).arg(hWnd == window);
        if (dropInAfter)
            delete dropInAfter;
    }
    void Before(bool& bHandled, qint32&, QObject* hWnd, qint32 uMsg, QEvent*) override
    {
        m_log << QStringLiteral("before %1 %2").arg(uMsg).arg(hWnd == window);
        bHandled = handle;
    }

    QObject* window = nullptr;
    bool handle = false;
    QPointer<cSubClass> dropInAfter;

private:
    QStringList& m_log;
};

bool send(QObject* window, qint32 type)
{
    QEvent event{QEvent::Type(type)};
    return QCoreApplication::sendEvent(window, &event);
}

} // namespace

class tst_cSubClass : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void tables_data();
    void tables();
    void beforeWindowAfterInOrder();
    void handledInBeforeStopsTheEvent();
    void unlistedEventsPassUntouched();
    void everyMessage();
    void ownerGoneUnhooks();
    void callOrigWndProc();
    void destructionUnhooks();
    void droppedInsideItsOwnCallback();

private:
    QStringList log;
};

void tst_cSubClass::init()
{
    log.clear();
}

void tst_cSubClass::tables_data()
{
    // Each step is "+n" (AddMsg) or "-n" (DelMsg) on the table chosen by When; "all" stands for -1.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("when");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<qint32>>("table");

    QTest::newRow("added twice is listed once") << QStringList{"+5", "+5"} << 1 << 1 << QList<qint32>{5};
    QTest::newRow("one message after every message")
        << QStringList{"+all", "+7"} << 1 << 1 << QList<qint32>{7};
    QTest::newRow("every message") << QStringList{"+5", "+all"} << 0 << -1 << QList<qint32>{};
    QTest::newRow("freed slot is reused")
        << QStringList{"+5", "+6", "-5", "+9"} << 0 << 2 << QList<qint32>{9, 6};
    QTest::newRow("delete frees the slot, keeps the count")
        << QStringList{"+5", "+6", "-6"} << 0 << 2 << QList<qint32>{5, -1};
    QTest::newRow("delete of an unlisted message") << QStringList{"+5", "-8"} << 0 << 1 << QList<qint32>{5};
    QTest::newRow("delete all means none") << QStringList{"+5", "+6", "-all"} << 1 << 0 << QList<qint32>{};
    QTest::newRow("add after delete all")
        << QStringList{"+5", "+6", "-all", "+3"} << 1 << 1 << QList<qint32>{3};
    QTest::newRow("any When but 1 is the after-table") << QStringList{"+5"} << 7 << 1 << QList<qint32>{5};
}

void tst_cSubClass::tables()
{
    QFETCH(QStringList, steps);
    QFETCH(int, when);
    QFETCH(int, count);
    QFETCH(QList<qint32>, table);

    cSubClass hook;
    for (const QString& step : steps) {
        const qint32 uMsg =
            step.mid(1) == QLatin1String("all") ? cSubClass::AllMessages : step.mid(1).toInt();
        if (step.startsWith(QLatin1Char('+')))
            hook.AddMsg(uMsg, when);
        else
            hook.DelMsg(uMsg, when);
    }
    QCOMPARE(hook.MsgCount(when), count);
    QCOMPARE(hook.MsgTable(when), table);
    const qint32 other = when == cSubClass::Before ? cSubClass::After : cSubClass::Before;
    QCOMPARE(hook.MsgCount(other), 0);
}

void tst_cSubClass::beforeWindowAfterInOrder()
{
    LogWindow window(log);
    LogOwner owner(log);
    owner.window = &window;
    cSubClass hook;
    hook.AddMsg(Ping, cSubClass::Before);
    hook.Subclass(&window, &owner);
    hook.AddMsg(Ping, cSubClass::After); // tables may change while hooked

    QVERIFY(send(&window, Ping));
    QCOMPARE(log, (QStringList{QStringLiteral("before %1 1").arg(Ping), QStringLiteral("window %1").arg(Ping),
                               QStringLiteral("after %1 1 1").arg(Ping)}));
}

void tst_cSubClass::handledInBeforeStopsTheEvent()
{
    LogWindow window(log);
    LogOwner owner(log);
    owner.window = &window;
    owner.handle = true;
    cSubClass hook;
    hook.Subclass(&window, &owner);
    hook.AddMsg(Ping, cSubClass::Before);
    hook.AddMsg(Ping, cSubClass::After);

    QVERIFY(send(&window, Ping));
    QCOMPARE(log, QStringList{QStringLiteral("before %1 1").arg(Ping)});
}

void tst_cSubClass::unlistedEventsPassUntouched()
{
    LogWindow window(log);
    LogOwner owner(log);
    cSubClass hook;
    hook.Subclass(&window, &owner);
    hook.AddMsg(Ping, cSubClass::After);
    hook.AddMsg(Pong, cSubClass::After);
    hook.DelMsg(Pong, cSubClass::After);

    send(&window, Pong);
    QCOMPARE(log, QStringList{QStringLiteral("window %1").arg(Pong)});
}

void tst_cSubClass::everyMessage()
{
    LogWindow window(log);
    LogOwner owner(log);
    owner.window = &window;
    cSubClass hook;
    hook.Subclass(&window, &owner);
    hook.AddMsg(cSubClass::AllMessages, cSubClass::After);

    send(&window, Pong);
    QCOMPARE(log,
             (QStringList{QStringLiteral("window %1").arg(Pong), QStringLiteral("after %1 1 1").arg(Pong)}));
}

void tst_cSubClass::ownerGoneUnhooks()
{
    LogWindow window(log);
    auto* owner = new LogOwner(log);
    cSubClass hook;
    hook.Subclass(&window, owner);
    hook.AddMsg(Ping, cSubClass::Before);
    delete owner;

    // The event that finds the owner gone is dropped and the window is given back.
    QVERIFY(send(&window, Ping));
    QVERIFY(log.isEmpty());
    QCOMPARE(hook.hookedWindow(), nullptr);
    send(&window, Ping);
    QCOMPARE(log, QStringList{QStringLiteral("window %1").arg(Ping)});
}

void tst_cSubClass::callOrigWndProc()
{
    LogWindow window(log);
    LogOwner owner(log);
    cSubClass hook;
    QEvent event{QEvent::Type(Ping)};
    QCOMPARE(hook.CallOrigWndProc(&event), 0);
    QVERIFY(log.isEmpty());

    hook.Subclass(&window, &owner);
    hook.AddMsg(cSubClass::AllMessages, cSubClass::Before);
    QCOMPARE(hook.CallOrigWndProc(&event), 1);
    QCOMPARE(log, QStringList{QStringLiteral("window %1").arg(Ping)});

    hook.UnSubclass();
    QCOMPARE(hook.CallOrigWndProc(&event), 0);
}

void tst_cSubClass::destructionUnhooks()
{
    LogWindow window(log);
    LogOwner owner(log);
    {
        cSubClass hook;
        hook.Subclass(&window, &owner);
        hook.AddMsg(Ping, cSubClass::Before);
    }
    send(&window, Ping);
    QCOMPARE(log, QStringList{QStringLiteral("window %1").arg(Ping)});
}

void tst_cSubClass::droppedInsideItsOwnCallback()
{
    LogWindow window(log);
    LogOwner owner(log);
    owner.window = &window;
    auto* hook = new cSubClass;
    hook->Subclass(&window, &owner);
    hook->AddMsg(Ping, cSubClass::After);
    owner.dropInAfter = hook;

    QVERIFY(send(&window, Ping));
    QVERIFY(!owner.dropInAfter);
    send(&window, Ping);
    QCOMPARE(log,
             (QStringList{QStringLiteral("window %1").arg(Ping), QStringLiteral("after %1 1 1").arg(Ping),
                          QStringLiteral("window %1").arg(Ping)}));
}

QTEST_GUILESS_MAIN(tst_cSubClass)
#include "tst_cSubClass.moc"
