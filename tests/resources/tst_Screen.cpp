#include "Client.h"
#include "FakeTimeSource.h"
#include "MemoryDC.h"
#include "Mouse.h"
#include "OrvError.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

// Red on the left half, blue on the right; logs the input it receives.
class Target : public QWidget
{
public:
    Target()
    {
        setWindowTitle("Capture target");
        setFixedSize(100, 80);
        setFocusPolicy(Qt::StrongFocus);
    }

    QStringList log;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(0, 0, 50, 80, Qt::red);
        painter.fillRect(50, 0, 50, 80, Qt::blue);
    }
    void mousePressEvent(QMouseEvent* e) override { record("press", e); }
    void mouseReleaseEvent(QMouseEvent* e) override { record("release", e); }
    void keyPressEvent(QKeyEvent* e) override { log << QString("key %1").arg(e->key()); }

private:
    void record(const char* what, QMouseEvent* e)
    {
        log << QString("%1 %2 %3,%4")
                   .arg(what, e->button() == Qt::LeftButton ? "left" : "right")
                   .arg(e->position().toPoint().x())
                   .arg(e->position().toPoint().y());
    }
};

qint32 errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const OrvError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

class tst_Screen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_target.reset(new Target);
        m_target->move(30, 40);
        m_target->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
    }

    void captureClient_data()
    {
        QTest::addColumn<QRect>("request");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("first");
        QTest::addColumn<QColor>("last");
        QTest::newRow("whole client area")
            << QRect(0, 0, -1, -1) << QSize(100, 80) << QColor(Qt::red) << QColor(Qt::blue);
        QTest::newRow("left half") << QRect(0, 0, 50, 80) << QSize(50, 80) << QColor(Qt::red)
                                   << QColor(Qt::red);
        QTest::newRow("to the edge from inside")
            << QRect(60, 10, -1, -1) << QSize(40, 70) << QColor(Qt::blue) << QColor(Qt::blue);
    }

    void captureClient()
    {
        QFETCH(QRect, request);
        QFETCH(QSize, size);
        MemoryDC dc;
        dc.CaptureClient(m_target->winId(), request.x(), request.y(), request.width(), request.height());
        QCOMPARE(QSize(dc.Width(), dc.Height()), size);
        QCOMPARE(QPoint(dc.Left(), dc.Top()), m_target->mapToGlobal(request.topLeft()));
        QCOMPARE(QSize(dc.ClientWidth(), dc.ClientHeight()), QSize(100, 80));
        QTEST(dc.image().pixelColor(0, 0), "first");
        QTEST(dc.image().pixelColor(size.width() - 1, size.height() - 1), "last");

        QByteArray pixels;
        QTemporaryDir dir;
        dc.GetPixels(pixels, dir.filePath("shot.png"));
        QCOMPARE(pixels.size(), qsizetype(size.width()) * size.height() * 4);
        QCOMPARE(QImage(dir.filePath("shot.png")).size(), size);
    }

    void paintAndStretch()
    {
        MemoryDC dc;
        dc.CaptureClient(m_target->winId());
        QImage copy(100, 80, QImage::Format_ARGB32);
        copy.fill(Qt::green);
        dc.PaintPicture(&copy, 10, 0, 20, -1, 40, 0);
        QCOMPARE(copy.pixelColor(5, 5), QColor(Qt::green));
        QCOMPARE(copy.pixelColor(15, 5), QColor(Qt::red));
        QCOMPARE(copy.pixelColor(25, 5), QColor(Qt::blue));
        QCOMPARE(copy.pixelColor(35, 5), QColor(Qt::green));

        QImage big(200, 160, QImage::Format_ARGB32);
        big.fill(Qt::green);
        dc.StretchPicture(&big, 0, 0, 200, 160);
        QCOMPARE(big.pixelColor(90, 150), QColor(Qt::red));
        QCOMPARE(big.pixelColor(110, 150), QColor(Qt::blue));
        QCOMPARE(errorOf([&] { dc.PaintPicture(&big, 0, 0, -1, -1, 0, 0, 0x00EE0086); }),
                 OrvError::InvalidArgument);
    }

    void clientPointAndUnknownWindow()
    {
        int x = 5, y = 7;
        MemoryDC::ClientPoint(m_target->winId(), x, y);
        QCOMPARE(QPoint(x, y), m_target->mapToGlobal(QPoint(5, 7)));
        MemoryDC dc;
        QCOMPARE(errorOf([&] { dc.CaptureWindow(WId(0xdead)); }), OrvError::InvalidArgument);
    }

    void clientCapture()
    {
        FakeTimeSource clock;
        Client client;
        client.Init(m_target->winId());
        QCOMPARE(client.Caption, QString("Capture target"));
        QVERIFY(client.ColorDepth() > 0);
        QVERIFY(client.LastCapture().isNull());
        client.Capture(50, 0);
        QCOMPARE(client.MemDC().Width(), 50);
        QCOMPARE(client.MemDC().image().pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(client.LastCapture(), clock.localNow());
        client.Refresh();
    }

    void mouseInput()
    {
        Mouse mouse;
        mouse.LeftClick(m_target->winId(), 10, 20);
        mouse.RightClick(m_target->winId(), 3, 4);
        mouse.Drag(m_target->winId(), 1, 2, 60, 70);
        QCOMPARE(m_target->log, (QStringList{"press left 10,20", "release left 10,20", "press right 3,4",
                                             "release right 3,4", "press left 1,2", "release left 60,70"}));
        QCOMPARE(errorOf([&] { mouse.EnableTrap(m_target->winId()); }), Mouse::ErrNotSupported);
        // No trap can be set, so ending one succeeds and changes nothing.
        QCOMPARE(errorOf([&] { mouse.DisableTrap(); }), 0);
        QCOMPARE(errorOf([&] { mouse.SwapButtons(false); }), Mouse::ErrNotSupported);
    }

    void cursorAndKeys()
    {
        Mouse mouse;
        mouse.CursorVisible(false);
        mouse.CursorVisible(false);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
        mouse.CursorVisible(true);
        QVERIFY(!QGuiApplication::overrideCursor());

        m_target->activateWindow();
        m_target->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(m_target.get()));
        mouse.SendKey('A');
        mouse.SendKey(13);
        QCOMPARE(m_target->log,
                 (QStringList{QString("key %1").arg(Qt::Key_A), QString("key %1").arg(Qt::Key_Return)}));
        QCOMPARE(errorOf([&] { mouse.SendKey(0x70); }), Mouse::ErrNotSupported);
    }

private:
    std::unique_ptr<Target> m_target;
};

QTEST_MAIN(tst_Screen)
#include "tst_Screen.moc"
