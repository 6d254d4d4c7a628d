#include "Client.h"

#include "ScreenWindow.h"
#include "TimeSource.h"

void Client::Init(quintptr lhWnd)
{
    const ScreenWindow window = ScreenWindow::find(lhWnd);
    hWnd = lhWnd;
    Caption = window.caption();
}

int Client::ColorDepth() const
{
    return ScreenWindow::find(hWnd).depth();
}

void Client::Capture(int Left, int Top, int Width, int Height)
{
    m_memDC.CaptureClient(hWnd, Left, Top, Width, Height);
    m_lastCapture = TimeSource::current().localNow();
}

void Client::Refresh()
{
    const ScreenWindow window = ScreenWindow::find(hWnd);
    window.bringToFront();
    window.repaint();
}
