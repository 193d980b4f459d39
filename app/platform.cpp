// The desktop calls on the engine, for systems other than Windows (where the real ones are used).
#include "app/platform.h"

#include "quillon/quillon.h"

#ifndef _WIN32
HWND GetFocus() {
    return QL_System_HasFocus() ? (HWND)QL_System_GetWindowHandle() : nullptr;
}

bool GetWindowRect(HWND window, RECT* rect) {
    if (!window || !rect) return false;
    int x, y, w, h;
    QL_System_GetWindowRect(&x, &y, &w, &h);
    *rect = RECT{x, y, (long)x + w, (long)y + h};
    return true;
}

bool SetCursorPos(int x, int y) {
    int wx, wy;
    QL_System_GetWindowRect(&wx, &wy, nullptr, nullptr);
    QL_Input_WarpMouse((float)(x - wx), (float)(y - wy));
    return true;
}
#endif
