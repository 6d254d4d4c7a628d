#include "Client.h"

#include "TimeSource.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

void Client::Init(quintptr lhWnd)
{
    QWindow* window = MemoryDC::windowOf(lhWnd);
    hWnd = lhWnd;
    Caption = window->title();
}

int Client::ColorDepth() const
{
    QWindow* window = MemoryDC::windowOf(hWnd);
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 0;
}

void Client::Capture(int Left, int Top, int Width, int Height)
{
    m_memDC.CaptureClient(hWnd, Left, Top, Width, Height);
    m_lastCapture = TimeSource::current().localNow();
}

void Client::Refresh()
{
    QWindow* window = MemoryDC::windowOf(hWnd);
    if (window->windowStates().testFlag(Qt::WindowMinimized))
        window->showNormal();
    window->raise();
    window->requestActivate();
    MemoryDC::RefreshWindow(hWnd);
}
