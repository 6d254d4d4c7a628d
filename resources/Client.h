#pragma once

#include "MemoryDC.h"

#include <QDateTime>
#include <QString>

// One target window (of this program, or on an X11 display of any program) with its caption and its
// last capture.
class Client
{
public:
    quintptr hWnd = 0;
    QString Caption;

    // Throws OrvError when there is no such window.
    void Init(quintptr lhWnd);
    int ColorDepth() const;
    MemoryDC& MemDC() { return m_memDC; }
    QDateTime LastCapture() const { return m_lastCapture; }
    void Capture(int Left = 0, int Top = 0, int Width = -1, int Height = -1);
    // Restores the window when minimised, brings it to the front and repaints it.
    void Refresh();

private:
    MemoryDC m_memDC;
    QDateTime m_lastCapture;
};
