#include "ScreenWindow.h"

#include "OrvError.h"
#include "X11Desktop.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

ScreenWindow ScreenWindow::find(quintptr id)
{
    ScreenWindow found;
    found.m_id = id;
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() && window->winId() == id) {
            found.m_own = window;
            found.m_frame = window->frameGeometry();
            found.m_client = QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
            QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
            found.m_depth = screen ? screen->depth() : 0;
            return found;
        }
    }
    if (X11Desktop::available()) {
        if (const auto window = X11Desktop::window(id)) {
            found.m_frame = window->frame;
            found.m_client = window->client;
            found.m_depth = window->depth;
            return found;
        }
        throw OrvError(OrvError::InvalidArgument, QStringLiteral("MemoryDC"),
                       QStringLiteral("No window has the id %1.").arg(id));
    }
    throw OrvError(OrvError::InvalidArgument, QStringLiteral("MemoryDC"),
                   QStringLiteral("No window of this program has the id %1.").arg(id));
}

QString ScreenWindow::caption() const
{
    return m_own ? m_own->title() : X11Desktop::caption(m_id);
}

QPoint ScreenWindow::toScreen(const QPoint& local) const
{
    return m_own ? m_own->mapToGlobal(local) : m_client.topLeft() + local;
}

void ScreenWindow::bringToFront() const
{
    if (!m_own) {
        X11Desktop::bringToFront(m_id);
        return;
    }
    if (m_own->windowStates().testFlag(Qt::WindowMinimized))
        m_own->showNormal();
    m_own->raise();
    m_own->requestActivate();
}

void ScreenWindow::repaint() const
{
    if (!m_own) {
        X11Desktop::repaint(m_id);
        return;
    }
    if (QWidget* widget = QWidget::find(m_id)) {
        widget->repaint();
        return;
    }
    m_own->requestUpdate();
}
