#pragma once

#include <QtGlobal>

// Pointer and keyboard input aimed at the windows of this program: clicks and drags at client
// points, cursor visibility and key presses. Confining the pointer and swapping the buttons are
// not offered by the desktop to a program and raise an OrvError saying so, as does moving the
// pointer in a Wayland session.
class Mouse
{
public:
    static constexpr qint32 ErrNotSupported = 438;

    void DisableTrap();
    void EnableTrap(quintptr lhWnd);
    // Press at the first client point, release at the second.
    void Drag(quintptr lhWnd, int X1, int Y1, int X2, int Y2);
    void LeftClick(quintptr lhWnd, int x = 0, int y = 0);
    void RightClick(quintptr lhWnd, int x = 0, int y = 0);
    void CursorVisible(bool TrueFalse = true);
    void SwapButtons(bool Normal = true);
    // One key press of the virtual key (letters and digits by their capital character, Return 13,
    // Escape 27, Space 32, Tab 9, Backspace 8) to the window that has the keyboard focus.
    void SendKey(quint8 Key);
};
