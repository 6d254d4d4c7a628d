// The message boxes of every window: the answer for each button, the cautious answer for a box closed
// without one, and a box whose window goes away while it waits — the program closes windows of its own
// accord, and the splash closes itself — which must neither crash nor lose the answer's caution.
#include "WidgetMessageBoxSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

Q_DECLARE_METATYPE(MessageBoxSink::Buttons)
Q_DECLARE_METATYPE(MessageBoxSink::Answer)

namespace {

// Runs `step` on the box once it is open (polled, as the box runs an event loop of its own).
void whenBoxOpens(std::function<void(QMessageBox&)> step)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, step] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            step(*box);
        }
    });
    poll->start();
}

// A window shown and made the active one, deleted when closed, as the program's own windows are.
QWidget* activeWindow(Qt::WindowType type = Qt::Window)
{
    auto* window = new QWidget(nullptr, type);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(200, 100);
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return window;
}

} // namespace

class tst_WidgetMessageBoxSink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theButtonPressedIsTheAnswer_data()
    {
        QTest::addColumn<MessageBoxSink::Buttons>("buttons");
        QTest::addColumn<int>("press"); // a QMessageBox::StandardButton; 0: closed without a button
        QTest::addColumn<MessageBoxSink::Answer>("answer");
        QTest::newRow("ok") << MessageBoxSink::Ok << int(QMessageBox::Ok) << MessageBoxSink::AnswerOk;
        QTest::newRow("ok of ok-cancel")
            << MessageBoxSink::OkCancel << int(QMessageBox::Ok) << MessageBoxSink::AnswerOk;
        QTest::newRow("cancel") << MessageBoxSink::OkCancel << int(QMessageBox::Cancel)
                                << MessageBoxSink::AnswerCancel;
        QTest::newRow("yes") << MessageBoxSink::YesNo << int(QMessageBox::Yes) << MessageBoxSink::AnswerYes;
        QTest::newRow("no") << MessageBoxSink::YesNo << int(QMessageBox::No) << MessageBoxSink::AnswerNo;
        QTest::newRow("yes-no closed") << MessageBoxSink::YesNo << 0 << MessageBoxSink::AnswerNo;
        QTest::newRow("ok-cancel closed") << MessageBoxSink::OkCancel << 0 << MessageBoxSink::AnswerCancel;
    }

    void theButtonPressedIsTheAnswer()
    {
        QFETCH(MessageBoxSink::Buttons, buttons);
        QFETCH(int, press);
        QFETCH(MessageBoxSink::Answer, answer);
        QString shownText;
        whenBoxOpens([&](QMessageBox& box) {
            shownText = box.windowTitle() + QLatin1Char('|') + box.text();
            if (press)
                box.button(QMessageBox::StandardButton(press))->click();
            else
                box.reject();
        });
        WidgetMessageBoxSink sink;
        QCOMPARE(
            sink.show(MessageBoxSink::Question, QStringLiteral("Delete"), QStringLiteral("Sure?"), buttons),
            answer);
        QCOMPARE(shownText, QStringLiteral("Delete|Sure?"));
    }

    // The box goes over the active window; when that window is deleted while the box waits, the box goes
    // with it and the answer is the cautious one.
    void aBoxWhoseWindowIsDeletedGivesTheCautiousAnswer()
    {
        QPointer<QWidget> window = activeWindow();
        QPointer<QMessageBox> shown;
        whenBoxOpens([&](QMessageBox& box) {
            shown = &box;
            QCOMPARE(box.parentWidget(), window.data());
            window->close();
        });
        WidgetMessageBoxSink sink;
        QCOMPARE(sink.show(MessageBoxSink::Question, QStringLiteral("Save Error"), QStringLiteral("End?"),
                           MessageBoxSink::YesNo),
                 MessageBoxSink::AnswerNo);
        QTRY_VERIFY(window.isNull());
        QVERIFY(shown.isNull());
    }

    // A splash closes itself: a box shown while it is the active window does not go over it, and stays
    // open for its answer after the splash has gone.
    void aBoxOutlivesTheSplash()
    {
        QPointer<QWidget> splash = activeWindow(Qt::SplashScreen);
        whenBoxOpens([&](QMessageBox& box) {
            QVERIFY(box.parentWidget() != splash.data());
            splash->close();
            QTimer::singleShot(50, &box, [&box] { box.button(QMessageBox::Yes)->click(); });
        });
        WidgetMessageBoxSink sink;
        QCOMPARE(sink.show(MessageBoxSink::Question, QStringLiteral("Quit"), QStringLiteral("Really?"),
                           MessageBoxSink::YesNo),
                 MessageBoxSink::AnswerYes);
        QVERIFY(splash.isNull());
    }
};

QTEST_MAIN(tst_WidgetMessageBoxSink)
#include "tst_WidgetMessageBoxSink.moc"
