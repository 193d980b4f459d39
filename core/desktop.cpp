// The desktop calls: the system's on Windows, the engine's elsewhere.
#include "core/desktop.h"

#include "quillon/quillon.h"

#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void* Desktop_GetFocus() {
    return GetFocus();
}

bool Desktop_GetWindowRect(void* window, DesktopRect* rect) {
    RECT r;
    if (!rect || !GetWindowRect((HWND)window, &r)) return false;
    *rect = DesktopRect{r.left, r.top, r.right, r.bottom};
    return true;
}

bool Desktop_SetCursorPos(int x, int y) {
    return SetCursorPos(x, y) != 0;
}
#else
void* Desktop_GetFocus() {
    return QL_System_HasFocus() ? QL_System_GetWindowHandle() : nullptr;
}

bool Desktop_GetWindowRect(void* window, DesktopRect* rect) {
    if (!window || !rect) return false;
    int x, y, w, h;
    QL_System_GetWindowRect(&x, &y, &w, &h);
    *rect = DesktopRect{x, y, (long)x + w, (long)y + h};
    return true;
}

bool Desktop_SetCursorPos(int x, int y) {
    int wx, wy;
    QL_System_GetWindowRect(&wx, &wy, nullptr, nullptr);
    QL_Input_WarpMouse((float)(x - wx), (float)(y - wy));
    return true;
}
#endif
