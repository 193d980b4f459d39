// Keyboard and mouse: held keys and buttons, this frame's presses and releases taken from events
// (so a quick tap between two frames still counts once each way), and the mouse position,
// read relatively while the game re-centres the pointer every frame.
#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "internal.h"

namespace {

const int kButtons = 3;

struct InputState {
    bool down[QL_KEY_COUNT] = {};
    bool pressed[QL_KEY_COUNT] = {};
    bool released[QL_KEY_COUNT] = {};
    bool buttonDown[kButtons] = {};
    bool buttonPressed[kButtons] = {};
    bool buttonReleased[kButtons] = {};
    float mouseX = 0.0f, mouseY = 0.0f;
    bool relative = false; // SDL relative mode carries the position
    bool warpedThisFrame = false;
};

InputState s;

// A scripted event from the headless driver, applied at the next frame's start.
struct Injected {
    enum Kind { Key, Move, Button } kind;
    int key;
    bool down;
    float x, y;
};
std::vector<Injected> injected;

bool ValidKey(int key) {
    return key >= 0 && key < QL_KEY_COUNT;
}

// Letters and digits by upper-case character code, Escape, the arrows and F1 to F12 above 255.
int MapKey(SDL_Keycode k) {
    if (k >= 'a' && k <= 'z') return k - 'a' + 'A';
    if (k == SDLK_ESCAPE) return QL_KEY_ESCAPE;
    if (k == SDLK_UP) return QL_KEY_UP;
    if (k == SDLK_DOWN) return QL_KEY_DOWN;
    if (k == SDLK_LEFT) return QL_KEY_LEFT;
    if (k == SDLK_RIGHT) return QL_KEY_RIGHT;
    if (k >= SDLK_F1 && k <= SDLK_F12) return QL_KEY_F1 + (int)(k - SDLK_F1);
    if (k >= 0 && k < 256) return k;
    return -1;
}

void SetKey(int key, bool down) {
    if (!ValidKey(key)) return;
    if (down && !s.down[key]) s.pressed[key] = true;
    if (!down && s.down[key]) s.released[key] = true;
    s.down[key] = down;
}

void SetButton(int b, bool down) {
    if (b < 0 || b >= kButtons) return;
    if (down && !s.buttonDown[b]) s.buttonPressed[b] = true;
    if (!down && s.buttonDown[b]) s.buttonReleased[b] = true;
    s.buttonDown[b] = down;
}

int MapButton(Uint8 sdlButton) {
    if (sdlButton == SDL_BUTTON_LEFT) return 0;
    if (sdlButton == SDL_BUTTON_RIGHT) return 1;
    if (sdlButton == SDL_BUTTON_MIDDLE) return 2;
    return -1;
}

// Window points to drawable pixels (they differ on HiDPI displays), as of the last canvas made.
float PixelScale() {
    return g_ql.window ? g_ql.pointScale : 1.0f;
}

void LeaveRelative() {
    if (!s.relative) return;
    s.relative = false;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    if (g_ql.window && g_ql.focus) {
        float k = PixelScale();
        SDL_WarpMouseInWindow(g_ql.window, (int)(s.mouseX / k), (int)(s.mouseY / k));
    }
}

void ApplyInjected() {
    for (const Injected& e : injected) {
        if (e.kind == Injected::Key) SetKey(e.key, e.down);
        if (e.kind == Injected::Button) SetButton(0, e.down);
        if (e.kind == Injected::Move) {
            s.mouseX = e.x;
            s.mouseY = e.y;
        }
    }
    injected.clear();
}

} // namespace

void Ql_Input_BeginFrame() {
    for (int i = 0; i < QL_KEY_COUNT; i++)
        s.pressed[i] = s.released[i] = false;
    for (int b = 0; b < kButtons; b++)
        s.buttonPressed[b] = s.buttonReleased[b] = false;
    if (g_ql.headless) ApplyInjected();
}

void Ql_Input_HandleEvent(const SDL_Event& e) {
    float k = 1.0f;
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (e.key.repeat) return;
        SetKey(MapKey(e.key.keysym.sym), e.type == SDL_KEYDOWN);
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        SetButton(MapButton(e.button.button), e.type == SDL_MOUSEBUTTONDOWN);
        return;
    case SDL_MOUSEMOTION:
        k = PixelScale();
        if (s.relative) {
            s.mouseX += (float)e.motion.xrel * k;
            s.mouseY += (float)e.motion.yrel * k;
        } else {
            s.mouseX = (float)e.motion.x * k;
            s.mouseY = (float)e.motion.y * k;
        }
        return;
    default:
        return;
    }
}

// Menus and overlays that do not re-centre get the ordinary cursor back.
void Ql_Input_EndFrame() {
    if (s.relative && !s.warpedThisFrame) LeaveRelative();
    s.warpedThisFrame = false;
}

void Ql_Input_FocusLost() {
    LeaveRelative();
    for (int i = 0; i < QL_KEY_COUNT; i++)
        SetKey(i, false);
    for (int b = 0; b < kButtons; b++)
        SetButton(b, false);
}

void Ql_Input_Reset() {
    s = InputState();
    injected.clear();
}

void Ql_Input_InjectKey(int key, bool down) {
    injected.push_back({Injected::Key, key, down, 0.0f, 0.0f});
}
// Positions that are not numbers are dropped; far-off ones are held to a bound, so no input can
// carry an infinity or a NaN into the game.
static bool Sane(float* x, float* y) {
    const float kFar = 1e5f;
    if (!std::isfinite(*x) || !std::isfinite(*y)) return false;
    *x = std::fmax(-kFar, std::fmin(kFar, *x));
    *y = std::fmax(-kFar, std::fmin(kFar, *y));
    return true;
}

void Ql_Input_InjectMouseMove(float x, float y) {
    if (Sane(&x, &y)) injected.push_back({Injected::Move, 0, false, x, y});
}
void Ql_Input_InjectButton(bool down) {
    injected.push_back({Injected::Button, 0, down, 0.0f, 0.0f});
}

void QL_Input_WarpMouse(float x, float y) {
    if (!Sane(&x, &y)) return;
    s.mouseX = x;
    s.mouseY = y;
    if (g_ql.headless || !g_ql.window || !g_ql.focus) return;
    s.warpedThisFrame = true;
    // Absolute pointing devices (tablets, some virtual machines) warp the real cursor instead.
    static const bool realWarp = std::getenv("QUILLON_REAL_WARP") != nullptr;
    if (realWarp) {
        float k = PixelScale();
        SDL_WarpMouseInWindow(g_ql.window, (int)(x / k), (int)(y / k));
        return;
    }
    if (!s.relative) {
        SDL_SetRelativeMouseMode(SDL_TRUE);
        s.relative = true;
        SDL_FlushEvent(SDL_MOUSEMOTION);
    }
}

// A press that began during the frame counts as held for it, even if the key is already up again:
// a tap shorter than a frame is never lost.
bool QL_Input_KeyDown(int key) {
    return ValidKey(key) && (s.down[key] || s.pressed[key]);
}
bool QL_Input_KeyTriggered(int key) {
    return ValidKey(key) && s.pressed[key];
}
bool QL_Input_KeyReleased(int key) {
    return ValidKey(key) && s.released[key];
}
bool QL_Input_MouseDown(int button) {
    return button >= 0 && button < kButtons && (s.buttonDown[button] || s.buttonPressed[button]);
}
bool QL_Input_MouseClicked() {
    return s.buttonPressed[0];
}
bool QL_Input_MouseReleased(int button) {
    return button >= 0 && button < kButtons && s.buttonReleased[button];
}
float QL_Input_GetMouseX() {
    return s.mouseX;
}
float QL_Input_GetMouseY() {
    return s.mouseY;
}
float QL_Input_GetMouseWorldX() {
    return s.mouseX;
}
float QL_Input_GetMouseWorldY() {
    return s.mouseY;
}
