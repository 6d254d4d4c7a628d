#include "X11Desktop.h"

#include "ResourcesLog.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

// The answer to a request; an error answer is dropped here, so that it never reaches the platform's
// event queue as an error of its own.
template <typename Cookie, typename T>
Reply<T> answer(xcb_connection_t* c, Cookie cookie,
                T* (*read)(xcb_connection_t*, Cookie, xcb_generic_error_t**))
{
    xcb_generic_error_t* error = nullptr;
    T* reply = read(c, cookie, &error);
    std::free(error);
    return Reply<T>(reply, &std::free);
}

xcb_connection_t* connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootOf(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const auto reply = answer(c, xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name), xcb_intern_atom_reply);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window's text property, or nothing.
std::optional<QByteArray> textProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                                       xcb_atom_t type)
{
    const auto reply =
        answer(c, xcb_get_property(c, 0, window, property, type, 0, 1024), xcb_get_property_reply);
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return std::nullopt;
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

bool fakeInput(uint8_t type, uint8_t detail, const QPoint& at)
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(c, &xcb_test_id);
    if (!xtest || !xtest->present)
        return false;
    xcb_test_fake_input(c, type, detail, XCB_CURRENT_TIME, type == XCB_MOTION_NOTIFY ? rootOf(c) : XCB_NONE,
                        int16_t(at.x()), int16_t(at.y()), 0);
    xcb_flush(c);
    return true;
}

} // namespace

bool X11Desktop::available()
{
    return connection() != nullptr;
}

std::optional<X11Desktop::Window> X11Desktop::window(quintptr id)
{
    xcb_connection_t* c = connection();
    if (!c || id == 0 || id > 0xffffffffu)
        return std::nullopt;
    const auto xid = xcb_window_t(id);
    const auto geometry = answer(c, xcb_get_geometry(c, xid), xcb_get_geometry_reply);
    // A pixmap has a geometry too; only a window has attributes.
    const auto attributes = answer(c, xcb_get_window_attributes(c, xid), xcb_get_window_attributes_reply);
    if (!geometry || !attributes)
        return std::nullopt;
    const xcb_window_t root = geometry->root;
    const auto origin =
        answer(c, xcb_translate_coordinates(c, xid, root, 0, 0), xcb_translate_coordinates_reply);
    if (!origin)
        return std::nullopt;
    Window found;
    found.depth = geometry->depth;
    found.client = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);

    // The frame is the ancestor that is a child of the root (the window itself without a manager).
    xcb_window_t top = xid;
    for (int depth = 0; depth < 64; ++depth) {
        const auto tree = answer(c, xcb_query_tree(c, top), xcb_query_tree_reply);
        if (!tree || tree->parent == root || tree->parent == XCB_NONE)
            break;
        top = tree->parent;
    }
    const auto frame = answer(c, xcb_get_geometry(c, top), xcb_get_geometry_reply);
    const auto frameOrigin =
        answer(c, xcb_translate_coordinates(c, top, root, 0, 0), xcb_translate_coordinates_reply);
    if (frame && frameOrigin) {
        const int border = frame->border_width;
        found.frame = QRect(frameOrigin->dst_x - border, frameOrigin->dst_y - border,
                            frame->width + 2 * border, frame->height + 2 * border);
    } else {
        found.frame = found.client;
    }
    return found;
}

QString X11Desktop::caption(quintptr id)
{
    xcb_connection_t* c = connection();
    if (!c)
        return QString();
    const auto xid = xcb_window_t(id);
    if (const auto name = textProperty(c, xid, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING")))
        return QString::fromUtf8(*name);
    if (const auto name = textProperty(c, xid, XCB_ATOM_WM_NAME, XCB_ATOM_STRING))
        return QString::fromLatin1(*name);
    return QString();
}

void X11Desktop::bringToFront(quintptr id)
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    const auto xid = xcb_window_t(id);
    xcb_map_window(c, xid);
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, xid, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    // The window manager decides about the focus; this asks it as a pager would.
    xcb_client_message_event_t activate{};
    activate.response_type = XCB_CLIENT_MESSAGE;
    activate.format = 32;
    activate.window = xid;
    activate.type = atom(c, "_NET_ACTIVE_WINDOW");
    activate.data.data32[0] = 2;
    activate.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&activate));
    xcb_flush(c);
}

void X11Desktop::repaint(quintptr id)
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    // Width and height 0 reach the window's edges; the exposure makes its owner paint.
    xcb_clear_area(c, 1, xcb_window_t(id), 0, 0, 0, 0);
    xcb_flush(c);
}

bool X11Desktop::movePointer(const QPoint& screen)
{
    return fakeInput(XCB_MOTION_NOTIFY, 0, screen);
}

bool X11Desktop::button(int number, bool press)
{
    if (number < 1 || number > 5) {
        qCWarning(lcResources) << "no pointer button" << number;
        return false;
    }
    return fakeInput(press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, uint8_t(number), QPoint());
}
