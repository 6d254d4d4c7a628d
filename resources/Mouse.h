#pragma once

#include <QtGlobal>

// Pointer and keyboard input: clicks and drags at client points of a window named by its id (one of
// this program's, or on an X11 display any window, which gets them as the user's own input), cursor
// visibility and key presses to this program's focused window. Confining the pointer and swapping the
// buttons are not offered by the desktop to a program: EnableTrap and SwapButtons raise an OrvError
// saying so, and DisableTrap, with no trap to end, does nothing. A Wayland session refuses moving the
// pointer.
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
