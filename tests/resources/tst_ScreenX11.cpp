// The screen utilities on an X11 display with windows of another program: captured by their window id
// as they show, their caption and place read, clicked and dragged as the user would.
#include "Client.h"
#include "MemoryDC.h"
#include "Mouse.h"
#include "OrvError.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <xcb/xcb.h>

namespace {

qint32 errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const OrvError& e) {
        return e.number();
    }
    return 0;
}

// Another program's window: a plain X window of its own connection, filled with one colour, titled, and
// listening for the pointer buttons and exposures.
class ForeignWindow
{
public:
    ForeignWindow(const QRect& place, quint32 rgb, const QByteArray& title)
    {
        m_c = xcb_connect(nullptr, nullptr);
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_window = xcb_generate_id(m_c);
        const uint32_t values[] = {rgb, XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                            XCB_EVENT_MASK_EXPOSURE};
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, screen->root, int16_t(place.x()),
                          int16_t(place.y()), uint16_t(place.width()), uint16_t(place.height()), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            uint32_t(title.size()), title.constData());
        xcb_map_window(m_c, m_window);
        xcb_flush(m_c);
    }
    ~ForeignWindow() { xcb_disconnect(m_c); }

    quintptr id() const { return m_window; }
    bool viewable() const
    {
        xcb_get_window_attributes_reply_t* reply =
            xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, m_window), nullptr);
        const bool shown = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        free(reply);
        return shown;
    }
    // The events received so far: "press 1 10,20", "release 1 10,20", "expose".
    QStringList events()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
            switch (event->response_type & 0x7f) {
            case XCB_BUTTON_PRESS:
            case XCB_BUTTON_RELEASE: {
                const auto* button = reinterpret_cast<xcb_button_press_event_t*>(event);
                m_events << QStringLiteral("%1 %2 %3,%4")
                                .arg((event->response_type & 0x7f) == XCB_BUTTON_PRESS ? "press" : "release")
                                .arg(button->detail)
                                .arg(button->event_x)
                                .arg(button->event_y);
                break;
            }
            case XCB_EXPOSE:
                m_events << QStringLiteral("expose");
                break;
            default:
                break;
            }
            free(event);
        }
        return m_events;
    }
    void clear()
    {
        events();
        m_events.clear();
    }

private:
    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_window = 0;
    QStringList m_events;
};

} // namespace

class tst_ScreenX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("Needs an X11 display: CTest runs this test under xvfb-run when xvfb is installed.");
    }

    void anotherProgramsWindowIsCapturedByItsId()
    {
        ForeignWindow red(QRect(100, 120, 60, 40), 0xff0000, "Foreign target");
        QTRY_VERIFY(red.viewable());
        // A window of another program in front of part of it shows in the capture, as on the screen.
        ForeignWindow blue(QRect(140, 150, 40, 40), 0x0000ff, "In front");
        QTRY_VERIFY(blue.viewable());

        MemoryDC dc;
        dc.CaptureWindow(red.id());
        QCOMPARE(QRect(dc.WindowLeft(), dc.WindowTop(), dc.WindowWidth(), dc.WindowHeight()),
                 QRect(100, 120, 60, 40));
        QCOMPARE(QRect(dc.ClientLeft(), dc.ClientTop(), dc.ClientWidth(), dc.ClientHeight()),
                 QRect(100, 120, 60, 40));
        QCOMPARE(QSize(dc.Width(), dc.Height()), QSize(60, 40));
        QCOMPARE(dc.image().pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(dc.image().pixelColor(59, 39), QColor(Qt::blue));

        dc.CaptureClient(red.id(), 10, 5, -1, 20);
        QCOMPARE(QRect(dc.Left(), dc.Top(), dc.Width(), dc.Height()), QRect(110, 125, 50, 20));
        QCOMPARE(dc.image().pixelColor(49, 19), QColor(Qt::red));

        int x = 5, y = 7;
        MemoryDC::ClientPoint(red.id(), x, y);
        QCOMPARE(QPoint(x, y), QPoint(105, 127));

        Client client;
        client.Init(red.id());
        QCOMPARE(client.Caption, QStringLiteral("Foreign target"));
        QCOMPARE(client.ColorDepth(), 24);
        client.Capture(0, 0, 10, 10);
        QCOMPARE(client.MemDC().image().pixelColor(5, 5), QColor(Qt::red));

        // Refreshed, it is raised over the other and asked to paint.
        red.clear();
        client.Refresh();
        QTRY_VERIFY(red.events().contains(QStringLiteral("expose")));
        dc.CaptureWindow(red.id());
        QCOMPARE(dc.image().pixelColor(59, 39), QColor(Qt::red));
    }

    void anotherProgramsWindowIsClickedAsTheUserWould()
    {
        ForeignWindow target(QRect(200, 100, 80, 60), 0x00ff00, "Click target");
        QTRY_VERIFY(target.viewable());
        Mouse mouse;
        mouse.LeftClick(target.id(), 10, 20);
        mouse.RightClick(target.id(), 3, 4);
        mouse.Drag(target.id(), 1, 2, 70, 50);
        const QStringList expected{"press 1 10,20", "release 1 10,20", "press 3 3,4",
                                   "release 3 3,4", "press 1 1,2",     "release 1 70,50"};
        const auto buttons = [&target] {
            return target.events().filter(QRegularExpression(QStringLiteral("^(press|release) ")));
        };
        QTRY_COMPARE(buttons(), expected);
        QCOMPARE(QCursor::pos(), QPoint(270, 150));
    }

    void trapsAndUnknownWindows()
    {
        Mouse mouse;
        mouse.DisableTrap();
        ForeignWindow target(QRect(10, 10, 20, 20), 0x000000, "Trap");
        QTRY_VERIFY(target.viewable());
        QCOMPARE(errorOf([&] { mouse.EnableTrap(target.id()); }), Mouse::ErrNotSupported);
        QCOMPARE(errorOf([&] { mouse.SwapButtons(false); }), Mouse::ErrNotSupported);
        // An id that names no window.
        MemoryDC dc;
        QCOMPARE(errorOf([&] { dc.CaptureWindow(quintptr(0x7ffffff0)); }), OrvError::InvalidArgument);
        QCOMPARE(errorOf([&] { mouse.LeftClick(quintptr(0x7ffffff0)); }), OrvError::InvalidArgument);
        Client client;
        QCOMPARE(errorOf([&] { client.Init(quintptr(0x7ffffff0)); }), OrvError::InvalidArgument);
    }
};

QTEST_MAIN(tst_ScreenX11)
#include "tst_ScreenX11.moc"
