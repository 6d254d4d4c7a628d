#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QtGlobal>
#include <optional>

// The windows of any program on an X11 desktop, named by their window id: where they are, their
// caption and depth, bringing one to the front and having it repaint; and pointer input as the user's
// own (the X server's XTEST extension), so that it reaches whatever window is under the pointer.
// Everything here needs the program to run on the X11 platform (available()).
class X11Desktop
{
public:
    struct Window
    {
        // The outer rectangle (the window manager's frame and the border included) and the window's own
        // area, both in screen pixels.
        QRect frame;
        QRect client;
        int depth = 0;
    };

    // Whether this program runs on an X11 display.
    static bool available();
    // The window of that id; none when the display has no such window.
    static std::optional<Window> window(quintptr id);
    // The window's title (_NET_WM_NAME, else WM_NAME); empty without one.
    static QString caption(quintptr id);
    // Maps the window when it is iconified, raises it and asks the window manager to activate it.
    static void bringToFront(quintptr id);
    // Clears the whole window to its background, which has it repaint.
    static void repaint(quintptr id);
    // Moves the pointer to the screen point. False when the display offers no synthetic input.
    static bool movePointer(const QPoint& screen);
    // Presses or releases a pointer button (1 left, 3 right) where the pointer is.
    static bool button(int number, bool press);
};
