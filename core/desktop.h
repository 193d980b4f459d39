// The three desktop calls the game makes: which window has the keyboard focus, where the game's
// window lies on the desktop, and putting the mouse cursor at a desktop point. On Windows they
// are the system's own (GetFocus, GetWindowRect, SetCursorPos); elsewhere the engine's
// equivalents. This header includes no system header: the Windows types stay in desktop.cpp.
#pragma once

struct DesktopRect {
    long left, top, right, bottom;
};

// The window that has the keyboard focus, or null when none of ours has it. Compare it with
// QL_System_GetWindowHandle().
void* Desktop_GetFocus();
bool Desktop_GetWindowRect(void* window, DesktopRect* rect);
// Moves the cursor to a desktop point. Called every frame of play to re-centre the mouse; the
// engine then reports the motion since as an offset from that point.
bool Desktop_SetCursorPos(int x, int y);
// Tells the player why the game cannot start: on stderr, and on Windows also in a message box,
// since a windowed program's stderr is seen by nobody.
void Desktop_ReportFatal(const char* message);
// This process's id.
long Desktop_ProcessId();
// Whether a process with this id still runs (one we may not look into counts as running).
bool Desktop_ProcessRunning(long pid);
