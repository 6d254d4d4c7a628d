#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

int Twips::perPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return qMax(1, qRound(1440.0 / (dpi > 0 ? dpi : 96.0)));
}

int Twips::toPixels(int twips)
{
    return qRound(static_cast<double>(twips) / perPixel());
}

int Twips::fromPixels(int pixels)
{
    return pixels * perPixel();
}

void Twips::applyBounds(QWidget& window, int height, int left, int top, int width)
{
    QRect bounds(window.pos(), window.size());
    if (height > -1)
        bounds.setHeight(toPixels(height));
    if (left > -1)
        bounds.moveLeft(toPixels(left));
    if (top > -1)
        bounds.moveTop(toPixels(top));
    if (width > -1)
        bounds.setWidth(toPixels(width));
    bounds.setWidth(qMax(bounds.width(), MinimumWidth));
    bounds.setHeight(qMax(bounds.height(), MinimumHeight));
    bounds = onScreen(bounds);
    window.resize(bounds.size());
    window.move(bounds.topLeft());
}

QRect Twips::boundsOf(const QWidget& window)
{
    return QRect(window.pos(), window.size());
}

QRect Twips::onScreen(const QRect& rect)
{
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(rect);
        const qint64 area = qint64(shared.width()) * shared.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    if (!best)
        return rect;
    const QRect area = best->availableGeometry();
    QRect placed(rect.topLeft(), rect.size().boundedTo(area.size()));
    placed.moveLeft(qBound(area.left(), placed.left(), area.right() - placed.width() + 1));
    placed.moveTop(qBound(area.top(), placed.top(), area.bottom() - placed.height() + 1));
    return placed;
}
