// The displays: listed by name and bounds, one chosen by its description, the window moved.
// Headless there is one display the canvas's size, or as many as a test asks for, side by side.
#include "displays.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "internal.h"

namespace {

QL_Display wanted{};
int headlessCount = 1, headlessWindow = 0;

bool Same(const QL_Display& a, const QL_Display& b, bool place) {
    return std::strcmp(a.name, b.name) == 0 && a.w == b.w && a.h == b.h &&
           (!place || (a.x == b.x && a.y == b.y));
}

std::vector<QL_Display> List() {
    std::vector<QL_Display> list((size_t)QL_System_GetDisplayCount());
    for (size_t i = 0; i < list.size(); i++)
        QL_System_GetDisplay((int)i, &list[i]);
    return list;
}

} // namespace

int Displays_Match(const QL_Display* list, int count, const QL_Display& want) {
    if (!want.name[0]) return 0;
    for (bool place : {true, false})
        for (int i = 0; i < count; i++)
            if (Same(list[i], want, place)) return i;
    return 0;
}

int Displays_Chosen() {
    std::vector<QL_Display> list = List();
    return Displays_Match(list.data(), (int)list.size(), wanted);
}

bool Displays_Read(int index, int* w, int* h, int* x, int* y) {
    SDL_DisplayMode mode;
    SDL_Rect bounds;
    if (SDL_GetDesktopDisplayMode(index, &mode) != 0 || SDL_GetDisplayBounds(index, &bounds) != 0)
        return false;
    *w = mode.w, *h = mode.h, *x = bounds.x, *y = bounds.y;
    return true;
}

int QL_System_GetDisplayCount() {
    if (g_ql.headless) return headlessCount;
    int n = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetNumVideoDisplays() : 0;
    return n > 0 ? n : 0;
}

bool QL_System_GetDisplay(int index, QL_Display* out) {
    *out = QL_Display{};
    if (index < 0 || index >= QL_System_GetDisplayCount()) return false;
    if (g_ql.headless) {
        *out = {{}, index * g_ql.displayW, 0, g_ql.displayW, g_ql.displayH};
        std::snprintf(out->name, sizeof out->name, "HEADLESS %d", index + 1);
        return true;
    }
    SDL_Rect r;
    const char* name = SDL_GetDisplayName(index);
    if (SDL_GetDisplayBounds(index, &r) != 0) return false;
    std::snprintf(out->name, sizeof out->name, "%s", name ? name : "");
    out->x = r.x, out->y = r.y, out->w = r.w, out->h = r.h;
    return true;
}

int QL_System_GetWindowDisplay() {
    if (g_ql.headless) return headlessWindow;
    int index = g_ql.window ? SDL_GetWindowDisplayIndex(g_ql.window) : Displays_Chosen();
    return index >= 0 ? index : 0;
}

void QL_System_ChooseDisplay(const QL_Display& want) {
    wanted = want;
    wanted.name[sizeof wanted.name - 1] = '\0';
    if (g_ql.headless || g_ql.window) QL_System_MoveToDisplay(Displays_Chosen());
}

void QL_System_MoveToDisplay(int index) {
    if (index < 0 || index >= QL_System_GetDisplayCount()) return;
    if (g_ql.headless)
        headlessWindow = index;
    else if (g_ql.window)
        Ql_Video_MoveToDisplay(index);
}

void Displays_Reset() {
    wanted = QL_Display{};
    Displays_SetHeadlessCount(1);
}

void Displays_SetHeadlessCount(int count) {
    headlessCount = count > 0 ? count : 1;
    headlessWindow = 0;
}
