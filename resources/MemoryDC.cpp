#include "MemoryDC.h"

#include "OrvError.h"
#include "ScreenWindow.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

namespace {

const QString kSource = QStringLiteral("MemoryDC");

[[noreturn]] void raise(const QString& description)
{
    throw OrvError(OrvError::InvalidArgument, kSource, description);
}

void refuseOnWayland(const char* what)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        raise(QStringLiteral("A Wayland session does not let a program %1.").arg(QLatin1String(what)));
}

} // namespace

MemoryDC::MemoryDC() : m_image(std::make_unique<QImage>()) {}

MemoryDC::~MemoryDC() = default;

void MemoryDC::setImage(const QImage& image)
{
    if (!m_image->isNull())
        return;
    *m_image = image.convertToFormat(QImage::Format_ARGB32);
    m_area = QRect(QPoint(0, 0), image.size());
}

const QImage& MemoryDC::image() const
{
    return *m_image;
}

int MemoryDC::BitsPerPixel() const
{
    return m_image->depth();
}

int MemoryDC::WidthBytes() const
{
    return int(m_image->bytesPerLine());
}

void MemoryDC::grab(const ScreenWindow& window, const QRect& screenArea)
{
    refuseOnWayland("capture the screen");
    QWindow* own = window.own();
    QScreen* screen = own && own->screen() ? own->screen() : QGuiApplication::screenAt(screenArea.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        raise(QStringLiteral("There is no screen to capture."));
    // Client-area captures of this program's windows read the window itself, so that windows in front
    // of it do not show; any other area is read from the screen.
    const QPoint origin = window.toScreen(QPoint(0, 0));
    const QRect inWindow = screenArea.translated(-origin);
    const bool inside = own && QRect(QPoint(0, 0), own->size()).contains(inWindow);
    const QPixmap pixmap = inside ? screen->grabWindow(own->winId(), inWindow.x(), inWindow.y(),
                                                       inWindow.width(), inWindow.height())
                                  : screen->grabWindow(0, screenArea.x() - screen->geometry().x(),
                                                       screenArea.y() - screen->geometry().y(),
                                                       screenArea.width(), screenArea.height());
    if (pixmap.isNull())
        raise(QStringLiteral("The screen could not be captured."));
    *m_image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    m_area = QRect(screenArea.topLeft(), m_image->size());
}

void MemoryDC::CaptureWindow(quintptr hWndSrc)
{
    const ScreenWindow window = ScreenWindow::find(hWndSrc);
    m_image = std::make_unique<QImage>();
    m_window = window.frame();
    m_client = window.client();
    grab(window, m_window);
}

void MemoryDC::CaptureClient(quintptr hWndSrc, int Left, int Top, int Width, int Height)
{
    const ScreenWindow window = ScreenWindow::find(hWndSrc);
    m_image = std::make_unique<QImage>();
    m_window = window.frame();
    m_client = window.client();
    const int width = Width < 0 ? m_client.width() - Left : Width;
    const int height = Height < 0 ? m_client.height() - Top : Height;
    if (width <= 0 || height <= 0)
        raise(QStringLiteral("The area to capture is empty."));
    grab(window, QRect(window.toScreen(QPoint(Left, Top)), QSize(width, height)));
}

void MemoryDC::ClientPoint(quintptr hWndSrc, int& Left, int& Top)
{
    const QPoint global = ScreenWindow::find(hWndSrc).toScreen(QPoint(Left, Top));
    Left = global.x();
    Top = global.y();
}

void MemoryDC::CaptureControl(quintptr hCmpSrc, int Left, int Top, int Width, int Height)
{
    CaptureClient(hCmpSrc, Left, Top, Width, Height);
}

void MemoryDC::RefreshWindow(quintptr hWndSrc)
{
    ScreenWindow::find(hWndSrc).repaint();
}

void MemoryDC::PaintPicture(QPaintDevice* lHDC, int lDestLeft, int lDestTop, int lDestWidth, int lDestHeight,
                            int lSrcLeft, int lSrcTop, qint32 eRop) const
{
    paint(lHDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, lSrcLeft, lSrcTop, eRop, false);
}

void MemoryDC::StretchPicture(QPaintDevice* lHDC, int lDestLeft, int lDestTop, int lDestWidth,
                              int lDestHeight, int lSrcLeft, int lSrcTop, qint32 eRop) const
{
    paint(lHDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, lSrcLeft, lSrcTop, eRop, true);
}

void MemoryDC::paint(QPaintDevice* target, int left, int top, int width, int height, int srcLeft, int srcTop,
                     qint32 rop, bool stretch) const
{
    if (rop != SourceCopy)
        raise(QStringLiteral("Only the source-copy operation is available."));
    if (!target || m_image->isNull())
        raise(QStringLiteral("There is nothing to paint or no place to paint it."));
    const int w = width < 0 ? m_image->width() : width;
    const int h = height < 0 ? m_image->height() : height;
    QPainter painter(target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect source = stretch
                             ? QRect(srcLeft, srcTop, m_image->width() - srcLeft, m_image->height() - srcTop)
                             : QRect(srcLeft, srcTop, w, h);
    painter.drawImage(QRect(left, top, w, h), *m_image, source);
}

void MemoryDC::GetPixels(QByteArray& Pixels, const QString& OutFileName) const
{
    if (m_image->isNull())
        raise(QStringLiteral("Nothing has been captured."));
    Pixels = QByteArray(reinterpret_cast<const char*>(m_image->constBits()), m_image->sizeInBytes());
    if (!OutFileName.isEmpty() && !m_image->save(OutFileName))
        raise(QStringLiteral("The picture could not be written to %1.").arg(OutFileName));
}
