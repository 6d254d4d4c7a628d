#include "Mouse.h"

#include "MemoryDC.h"
#include "OrvError.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace {

[[noreturn]] void refuse(const QString& what)
{
    throw OrvError(Mouse::ErrNotSupported, QStringLiteral("Mouse"), what);
}

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QWindow* frontWindow(quintptr id)
{
    QWindow* window = MemoryDC::windowOf(id);
    if (window->windowStates().testFlag(Qt::WindowMinimized))
        window->showNormal();
    window->raise();
    window->requestActivate();
    return window;
}

void moveTo(QWindow* window, QPoint local)
{
    if (onWayland())
        refuse(QStringLiteral("A Wayland session does not let a program move the pointer."));
    QCursor::setPos(window->screen(), window->mapToGlobal(local));
}

void send(QWindow* window, QEvent::Type type, QPoint local, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, local, window->mapToGlobal(local), button, held, Qt::NoModifier);
    QGuiApplication::sendEvent(window, &event);
}

void click(quintptr id, int x, int y, Qt::MouseButton button)
{
    QWindow* window = frontWindow(id);
    const QPoint at(x, y);
    moveTo(window, at);
    send(window, QEvent::MouseButtonPress, at, button);
    send(window, QEvent::MouseButtonRelease, at, button);
}

} // namespace

void Mouse::DisableTrap()
{
    refuse(QStringLiteral("The desktop does not let a program confine the pointer."));
}

void Mouse::EnableTrap(quintptr)
{
    refuse(QStringLiteral("The desktop does not let a program confine the pointer."));
}

void Mouse::Drag(quintptr lhWnd, int X1, int Y1, int X2, int Y2)
{
    QWindow* window = frontWindow(lhWnd);
    moveTo(window, QPoint(X1, Y1));
    send(window, QEvent::MouseButtonPress, QPoint(X1, Y1), Qt::LeftButton);
    moveTo(window, QPoint(X2, Y2));
    send(window, QEvent::MouseButtonRelease, QPoint(X2, Y2), Qt::LeftButton);
}

void Mouse::LeftClick(quintptr lhWnd, int x, int y)
{
    click(lhWnd, x, y, Qt::LeftButton);
}

void Mouse::RightClick(quintptr lhWnd, int x, int y)
{
    click(lhWnd, x, y, Qt::RightButton);
}

void Mouse::CursorVisible(bool TrueFalse)
{
    // One blank override at most, so repeated calls never stack up.
    const QCursor* current = QGuiApplication::overrideCursor();
    const bool hidden = current && current->shape() == Qt::BlankCursor;
    if (!TrueFalse && !hidden)
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    else if (TrueFalse && hidden)
        QGuiApplication::restoreOverrideCursor();
}

void Mouse::SwapButtons(bool)
{
    refuse(
        QStringLiteral("The desktop does not let a program swap the mouse buttons; its mouse settings do."));
}

void Mouse::SendKey(quint8 Key)
{
    int key = 0;
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        key = Key;
    else if (Key == 13)
        key = Qt::Key_Return;
    else if (Key == 27)
        key = Qt::Key_Escape;
    else if (Key == 32)
        key = Qt::Key_Space;
    else if (Key == 9)
        key = Qt::Key_Tab;
    else if (Key == 8)
        key = Qt::Key_Backspace;
    else
        refuse(QStringLiteral("The virtual key %1 has no equivalent here.").arg(Key));
    QWindow* window = QGuiApplication::focusWindow();
    if (!window)
        refuse(QStringLiteral("No window of this program has the keyboard focus."));
    const QString text = key < 128 && Key >= 32 ? QString(QChar(key)) : QString();
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QGuiApplication::sendEvent(window, &event);
}
