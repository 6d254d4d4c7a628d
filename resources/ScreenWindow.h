#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QtGlobal>

class QWindow;

// A window named by its native id, as the screen utilities take it: a window of this program, or on
// an X11 display any window of any program. Rectangles are in screen pixels.
class ScreenWindow
{
public:
    // The window of that id; throws OrvError when there is none (off X11: no window of this program).
    static ScreenWindow find(quintptr id);

    quintptr id() const { return m_id; }
    // This program's window; none for another program's.
    QWindow* own() const { return m_own; }
    // The outer rectangle, frame included, and the window's own (client) area.
    QRect frame() const { return m_frame; }
    QRect client() const { return m_client; }
    // Bits per pixel of the window's screen.
    int depth() const { return m_depth; }
    QString caption() const;
    // A point of the client area on the screen.
    QPoint toScreen(const QPoint& local) const;
    // Restores the window when minimised, brings it to the front and asks for the focus.
    void bringToFront() const;
    // Makes the window repaint its whole area.
    void repaint() const;

private:
    quintptr m_id = 0;
    QWindow* m_own = nullptr;
    QRect m_frame;
    QRect m_client;
    int m_depth = 0;
};
