// The desktop calls. A real window on Windows asks the system (GetFocus, GetWindowRect,
// SetCursorPos); the engine answers everywhere else, and always when it runs headless, so that a
// headless run neither fails its focus gate nor moves the desktop's pointer.
#include "core/desktop.h"

#include <cstdio>

#include "quillon/quillon.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace {

void* EngineFocus() {
    return QL_System_HasFocus() ? QL_System_GetWindowHandle() : nullptr;
}

bool EngineWindowRect(void* window, DesktopRect* rect) {
    if (!window || !rect) return false;
    int x, y, w, h;
    QL_System_GetWindowRect(&x, &y, &w, &h);
    *rect = DesktopRect{x, y, (long)x + w, (long)y + h};
    return true;
}

bool EngineSetCursorPos(int x, int y) {
    int wx, wy;
    QL_System_GetWindowRect(&wx, &wy, nullptr, nullptr);
    QL_Input_WarpMouse((float)(x - wx), (float)(y - wy));
    return true;
}

} // namespace

#ifdef _WIN32
static bool AskSystem() {
    return !QL_System_IsHeadless();
}

void* Desktop_GetFocus() {
    return AskSystem() ? (void*)GetFocus() : EngineFocus();
}

bool Desktop_GetWindowRect(void* window, DesktopRect* rect) {
    if (!AskSystem()) return EngineWindowRect(window, rect);
    RECT r;
    if (!rect || !GetWindowRect((HWND)window, &r)) return false;
    *rect = DesktopRect{r.left, r.top, r.right, r.bottom};
    return true;
}

bool Desktop_SetCursorPos(int x, int y) {
    return AskSystem() ? SetCursorPos(x, y) != 0 : EngineSetCursorPos(x, y);
}

void Desktop_ReportFatal(const char* message) {
    std::fprintf(stderr, "ZORB: %s\n", message);
    if (AskSystem()) MessageBoxA(nullptr, message, "ZORB", MB_OK | MB_ICONERROR);
}

long Desktop_ProcessId() {
    return (long)GetCurrentProcessId();
}

bool Desktop_ProcessRunning(long pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, (DWORD)pid);
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}
#else
void* Desktop_GetFocus() {
    return EngineFocus();
}

bool Desktop_GetWindowRect(void* window, DesktopRect* rect) {
    return EngineWindowRect(window, rect);
}

bool Desktop_SetCursorPos(int x, int y) {
    return EngineSetCursorPos(x, y);
}

void Desktop_ReportFatal(const char* message) {
    std::fprintf(stderr, "ZORB: %s\n", message);
}

long Desktop_ProcessId() {
    return (long)getpid();
}

bool Desktop_ProcessRunning(long pid) {
    return pid > 0 && (kill((pid_t)pid, 0) == 0 || errno != ESRCH);
}
#endif
