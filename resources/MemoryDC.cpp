#include "MemoryDC.h"

#include "OrvError.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
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

QWindow* MemoryDC::windowOf(quintptr id)
{
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() && window->winId() == id)
            return window;
    }
    raise(QStringLiteral("No window of this program has the id %1.").arg(id));
}

void MemoryDC::grab(QWindow* window, const QRect& screenArea)
{
    refuseOnWayland("capture the screen");
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        raise(QStringLiteral("There is no screen to capture."));
    // Client-area captures read the window itself, so that windows in front of it do not show.
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    const QRect inWindow = screenArea.translated(-origin);
    const bool inside = QRect(QPoint(0, 0), window->size()).contains(inWindow);
    const QPixmap pixmap = inside ? screen->grabWindow(window->winId(), inWindow.x(), inWindow.y(),
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
    QWindow* window = windowOf(hWndSrc);
    m_image = std::make_unique<QImage>();
    m_window = window->frameGeometry();
    m_client = window->geometry();
    grab(window, m_window);
}

void MemoryDC::CaptureClient(quintptr hWndSrc, int Left, int Top, int Width, int Height)
{
    QWindow* window = windowOf(hWndSrc);
    m_image = std::make_unique<QImage>();
    m_window = window->frameGeometry();
    m_client = window->geometry();
    const int width = Width < 0 ? window->width() - Left : Width;
    const int height = Height < 0 ? window->height() - Top : Height;
    if (width <= 0 || height <= 0)
        raise(QStringLiteral("The area to capture is empty."));
    grab(window, QRect(window->mapToGlobal(QPoint(Left, Top)), QSize(width, height)));
}

void MemoryDC::ClientPoint(quintptr hWndSrc, int& Left, int& Top)
{
    const QPoint global = windowOf(hWndSrc)->mapToGlobal(QPoint(Left, Top));
    Left = global.x();
    Top = global.y();
}

void MemoryDC::CaptureControl(quintptr hCmpSrc, int Left, int Top, int Width, int Height)
{
    CaptureClient(hCmpSrc, Left, Top, Width, Height);
}

void MemoryDC::RefreshWindow(quintptr hWndSrc)
{
    if (QWidget* widget = QWidget::find(hWndSrc)) {
        widget->repaint();
        return;
    }
    windowOf(hWndSrc)->requestUpdate();
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
