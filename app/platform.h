// The three desktop calls the game makes: which window has the keyboard focus, where the game's
// window lies on the desktop, and putting the mouse cursor at a desktop point. The real calls on
// Windows; equivalents on the engine elsewhere, with the same names and meaning.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
typedef void* HWND;
struct RECT {
    long left, top, right, bottom;
};
// The window that has the keyboard focus: the engine's window, or null when none of ours has it.
HWND GetFocus();
bool GetWindowRect(HWND window, RECT* rect);
// Moves the cursor to a desktop point. Called every frame of play to re-centre the mouse; the
// engine then reports the motion since as an offset from that point.
bool SetCursorPos(int x, int y);
#endif
