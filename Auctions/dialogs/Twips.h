#pragma once

#include <QRect>

class QWidget;

// Window positions, sizes and column widths are stored in twips (1440 to the inch); the screen counts
// pixels. One conversion serves the main window's bounds and the list's column widths.
class Twips
{
public:
    // Twips per pixel at the primary screen's logical resolution (15 at 96 dpi).
    static int perPixel();
    static int toPixels(int twips);
    static int fromPixels(int pixels);

    // Applies the stored bounds to `window`: each value above -1 replaces the window's own (in the order
    // height, left, top, width); the result never shrinks below a usable size and is moved onto the
    // screen that shows most of it, or the primary screen when none does.
    static void applyBounds(QWidget& window, int height, int left, int top, int width);
    // The bounds that the window would store: its position and its client size.
    static QRect boundsOf(const QWidget& window);
    // `rect` moved (and shrunk where it must be) to lie within the available area of a screen.
    static QRect onScreen(const QRect& rect);

    static constexpr int MinimumWidth = 320;
    static constexpr int MinimumHeight = 200;
};
