#include "Mouse.h"

#include "OrvError.h"
#include "ScreenWindow.h"
#include "X11Desktop.h"

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

ScreenWindow frontWindow(quintptr id)
{
    const ScreenWindow window = ScreenWindow::find(id);
    window.bringToFront();
    return window;
}

void moveTo(const ScreenWindow& window, QPoint local)
{
    if (onWayland())
        refuse(QStringLiteral("A Wayland session does not let a program move the pointer."));
    if (QWindow* own = window.own()) {
        QCursor::setPos(own->screen(), own->mapToGlobal(local));
        return;
    }
    if (!X11Desktop::movePointer(window.toScreen(local)))
        refuse(QStringLiteral("The X display offers no synthetic input (XTEST)."));
}

// This program's windows take the button directly; any other window gets it as the user's own press
// where the pointer is.
void send(const ScreenWindow& window, QEvent::Type type, QPoint local, Qt::MouseButton button)
{
    QWindow* own = window.own();
    if (!own) {
        if (!X11Desktop::button(button == Qt::RightButton ? 3 : 1, type == QEvent::MouseButtonPress))
            refuse(QStringLiteral("The X display offers no synthetic input (XTEST)."));
        return;
    }
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, local, own->mapToGlobal(local), button, held, Qt::NoModifier);
    QGuiApplication::sendEvent(own, &event);
}

void click(quintptr id, int x, int y, Qt::MouseButton button)
{
    const ScreenWindow window = frontWindow(id);
    const QPoint at(x, y);
    moveTo(window, at);
    send(window, QEvent::MouseButtonPress, at, button);
    send(window, QEvent::MouseButtonRelease, at, button);
}

} // namespace

void Mouse::DisableTrap()
{
    // No trap can be set here, so there is none to end.
}

void Mouse::EnableTrap(quintptr)
{
    refuse(QStringLiteral("The desktop does not let a program confine the pointer."));
}

void Mouse::Drag(quintptr lhWnd, int X1, int Y1, int X2, int Y2)
{
    const ScreenWindow window = frontWindow(lhWnd);
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
