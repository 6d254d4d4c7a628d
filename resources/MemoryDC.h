#pragma once

#include <QRect>
#include <QtGlobal>
#include <memory>

class QImage;
class QPaintDevice;

class ScreenWindow;

// An off-screen image that captures a window, a part of its client area or a control, and paints it
// elsewhere. Windows are named by their native id: a window of this program (QWindow::winId), or on an
// X11 display any window by its X window id, captured as it shows on the screen. A Wayland session
// refuses every capture (an OrvError says so).
class MemoryDC
{
public:
    static constexpr qint32 SourceCopy = 13369376;

    MemoryDC();
    ~MemoryDC();

    // Only while nothing is held: takes the image as the capture, at 0,0 in its own size.
    void setImage(const QImage& image);
    const QImage& image() const;
    int BitsPerPixel() const;
    int WidthBytes() const;
    int Left() const { return m_area.left(); }
    int Top() const { return m_area.top(); }
    int Width() const { return m_area.width(); }
    int Height() const { return m_area.height(); }
    int WindowTop() const { return m_window.top(); }
    int WindowLeft() const { return m_window.left(); }
    int WindowWidth() const { return m_window.width(); }
    int WindowHeight() const { return m_window.height(); }
    int ClientTop() const { return m_client.top(); }
    int ClientLeft() const { return m_client.left(); }
    int ClientWidth() const { return m_client.width(); }
    int ClientHeight() const { return m_client.height(); }

    // Copies the capture one to one; a negative width or height means the captured size. Only the
    // source-copy operation exists.
    void PaintPicture(QPaintDevice* lHDC, int lDestLeft = 0, int lDestTop = 0, int lDestWidth = -1,
                      int lDestHeight = -1, int lSrcLeft = 0, int lSrcTop = 0,
                      qint32 eRop = SourceCopy) const;
    // The same, stretched to the destination size.
    void StretchPicture(QPaintDevice* lHDC, int lDestLeft = 0, int lDestTop = 0, int lDestWidth = -1,
                        int lDestHeight = -1, int lSrcLeft = 0, int lSrcTop = 0,
                        qint32 eRop = SourceCopy) const;
    // Makes the window repaint its whole area.
    static void RefreshWindow(quintptr hWndSrc);
    // The whole window, frame included.
    void CaptureWindow(quintptr hWndSrc);
    // A part of the client area in client coordinates; -1 reaches the client area's edge.
    void CaptureClient(quintptr hWndSrc, int Left = 0, int Top = 0, int Width = -1, int Height = -1);
    // Client coordinates of the window to screen coordinates, in place.
    static void ClientPoint(quintptr hWndSrc, int& Left, int& Top);
    void CaptureControl(quintptr hCmpSrc, int Left = 0, int Top = 0, int Width = -1, int Height = -1);
    // The capture's pixels as 32-bit ARGB rows; also saved as a picture file when a name is given
    // (its suffix picks the format). Throws OrvError when nothing is captured or the file fails.
    void GetPixels(QByteArray& Pixels, const QString& OutFileName = QString()) const;

private:
    void paint(QPaintDevice* target, int left, int top, int width, int height, int srcLeft, int srcTop,
               qint32 rop, bool stretch) const;
    void grab(const ScreenWindow& window, const QRect& screenArea);

    std::unique_ptr<QImage> m_image;
    QRect m_area;
    QRect m_window;
    QRect m_client;
};
