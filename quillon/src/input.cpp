// Keyboard and mouse: held keys and buttons, this frame's presses and releases taken from events
// (so a quick tap between two frames still counts once each way), and the mouse position,
// read relatively while the game re-centres the pointer every frame.
#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "internal.h"
#include "pad.h"

namespace {

const int kButtons = QL_MOUSE_BUTTON_COUNT;

// Held keys and this frame's edges, in one of the keyboard's two views.
struct KeyView {
    bool down[QL_KEY_COUNT] = {};
    bool pressed[QL_KEY_COUNT] = {};
    bool released[QL_KEY_COUNT] = {};
};

struct InputState {
    KeyView letters; // by what the layout types
    KeyView places;  // by where the key sits, named as on a US layout
    bool buttonDown[kButtons] = {};
    bool buttonPressed[kButtons] = {};
    bool buttonReleased[kButtons] = {};
    float mouseX = 0.0f, mouseY = 0.0f;
    bool relative = false; // SDL relative mode carries the position
    bool warpedThisFrame = false;
    bool recentred = false;           // the game put the pointer back this frame (play)
    bool pointerFree = true;          // it did not last frame: the pad may drive the pointer
    bool padClicking = false;         // A holds the left button down
    float padHeld = 0.0f;             // seconds the pad has been moving the pointer
    int padWarpX = -1, padWarpY = -1; // where the pad last put the real cursor, in points
};

InputState s;

// The window's centre, as the game measures it (whole pixels of the canvas).
float CentreX() {
    return (float)(g_ql.width / 2);
}
float CentreY() {
    return (float)(g_ql.height / 2);
}

// A scripted event from the headless driver, applied at the next frame's start.
struct Injected {
    enum Kind { Key, Move, Button, Wheel } kind;
    int key; // the place of a key, a button, the wheel's steps
    int letter;
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

// A place by the key a US layout has there: letters, digits, Escape, Space, Enter, the arrows and
// F1 to F12 (those the game or its screens use).
int MapPlace(SDL_Scancode c) {
    if (c >= SDL_SCANCODE_A && c <= SDL_SCANCODE_Z) return 'A' + (c - SDL_SCANCODE_A);
    if (c >= SDL_SCANCODE_1 && c <= SDL_SCANCODE_9) return '1' + (c - SDL_SCANCODE_1);
    if (c >= SDL_SCANCODE_F1 && c <= SDL_SCANCODE_F12) return QL_KEY_F1 + (c - SDL_SCANCODE_F1);
    switch (c) {
    case SDL_SCANCODE_0:
        return '0';
    case SDL_SCANCODE_ESCAPE:
        return QL_KEY_ESCAPE;
    case SDL_SCANCODE_SPACE:
        return ' ';
    case SDL_SCANCODE_RETURN:
        return '\r';
    case SDL_SCANCODE_UP:
        return QL_KEY_UP;
    case SDL_SCANCODE_DOWN:
        return QL_KEY_DOWN;
    case SDL_SCANCODE_LEFT:
        return QL_KEY_LEFT;
    case SDL_SCANCODE_RIGHT:
        return QL_KEY_RIGHT;
    default:
        return c > SDL_SCANCODE_UNKNOWN && c < SDL_NUM_SCANCODES ? QL_KEY_OTHER + (int)c : -1;
    }
}

// The scancode of a place: MapPlace's inverse.
SDL_Scancode PlaceScancode(int key) {
    if (key >= QL_KEY_OTHER && key < QL_KEY_COUNT) return (SDL_Scancode)(key - QL_KEY_OTHER);
    for (int c = SDL_SCANCODE_A; c < SDL_SCANCODE_F12 + 1; c++)
        if (MapPlace((SDL_Scancode)c) == key) return (SDL_Scancode)c;
    for (SDL_Scancode c :
         {SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT})
        if (MapPlace(c) == key) return c;
    return SDL_SCANCODE_UNKNOWN;
}

void SetKey(KeyView* v, int key, bool down) {
    if (!ValidKey(key)) return;
    if (down && !v->down[key]) v->pressed[key] = true;
    if (!down && v->down[key]) v->released[key] = true;
    v->down[key] = down;
}

void ClearEdges(KeyView* v) {
    for (int i = 0; i < QL_KEY_COUNT; i++)
        v->pressed[i] = v->released[i] = false;
}

void SetButton(int b, bool down) {
    if (b < 0 || b >= kButtons) return;
    if (down && !s.buttonDown[b]) s.buttonPressed[b] = true;
    if (!down && s.buttonDown[b]) s.buttonReleased[b] = true;
    s.buttonDown[b] = down;
}

// The wheel turned by steps (+: away from the player): its way's button goes down and up at once.
void Wheel(int steps) {
    if (steps == 0) return;
    int b = steps > 0 ? QL_MOUSE_WHEEL_UP : QL_MOUSE_WHEEL_DOWN;
    s.buttonPressed[b] = s.buttonReleased[b] = true;
}

int MapButton(Uint8 sdlButton) {
    if (sdlButton == SDL_BUTTON_LEFT) return 0;
    if (sdlButton == SDL_BUTTON_RIGHT) return 1;
    if (sdlButton == SDL_BUTTON_MIDDLE) return 2;
    if (sdlButton == SDL_BUTTON_X1) return 3;
    if (sdlButton == SDL_BUTTON_X2) return 4;
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
        if (e.kind == Injected::Key) {
            SetKey(&s.letters, e.letter, e.down);
            SetKey(&s.places, e.key, e.down);
        }
        if (e.kind == Injected::Button) SetButton(e.key, e.down);
        if (e.kind == Injected::Wheel) Wheel(e.key);
        if (e.kind == Injected::Move) {
            s.mouseX = e.x;
            s.mouseY = e.y;
        }
    }
    injected.clear();
}

} // namespace

void Ql_Input_BeginFrame() {
    Pad_BeginFrame();
    ClearEdges(&s.letters);
    ClearEdges(&s.places);
    for (int b = 0; b < kButtons; b++)
        s.buttonPressed[b] = s.buttonReleased[b] = false;
    ApplyInjected(); // the headless driver's scripted input, if any
}

// On the screens A is the left mouse button; its release always lets go of a click it began.
static void PadClick(const SDL_Event& e) {
    if (e.type != SDL_CONTROLLERBUTTONDOWN && e.type != SDL_CONTROLLERBUTTONUP) return;
    if (e.cbutton.button != SDL_CONTROLLER_BUTTON_A) return;
    bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
    if (down && !s.pointerFree) return;
    if (!down && !s.padClicking) return;
    s.padClicking = down;
    SetButton(0, down);
}

// A motion that only follows the cursor the pad moved is not the mouse's.
static bool PadsOwnMotion(const SDL_MouseMotionEvent& m) {
    return m.x == s.padWarpX && m.y == s.padWarpY;
}

void Ql_Input_HandleEvent(const SDL_Event& e) {
    float k = 1.0f;
    if (Pad_HandleEvent(e)) {
        PadClick(e);
        return;
    }
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (e.key.repeat) return;
        if (e.type == SDL_KEYDOWN) Pad_SetInUse(false);
        SetKey(&s.letters, MapKey(e.key.keysym.sym), e.type == SDL_KEYDOWN);
        SetKey(&s.places, MapPlace(e.key.keysym.scancode), e.type == SDL_KEYDOWN);
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        SetButton(MapButton(e.button.button), e.type == SDL_MOUSEBUTTONDOWN);
        return;
    case SDL_MOUSEWHEEL:
        Wheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y);
        return;
    case SDL_MOUSEMOTION:
        if (!PadsOwnMotion(e.motion)) Pad_SetInUse(false);
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
    s.pointerFree = !s.recentred;
    s.recentred = false;
}

// On the screens the left stick and the D-pad move the pointer: half the window's height a
// second at full deflection, speeding up to three times that over a second held, so that a small
// push places it finely and a held one crosses the screen quickly.
static void DrivePointer(float dt) {
    float x = QL_Pad_Axis(QL_PAD_LEFTX), y = QL_Pad_Axis(QL_PAD_LEFTY);
    x += (float)QL_Pad_Down(QL_PAD_DPRIGHT) - (float)QL_Pad_Down(QL_PAD_DPLEFT);
    y += (float)QL_Pad_Down(QL_PAD_DPDOWN) - (float)QL_Pad_Down(QL_PAD_DPUP);
    x = std::fmax(-1.0f, std::fmin(1.0f, x));
    y = std::fmax(-1.0f, std::fmin(1.0f, y));
    if (!s.pointerFree || (x == 0.0f && y == 0.0f)) {
        s.padHeld = 0.0f;
        return;
    }
    s.padHeld += dt;
    float speed = 0.5f * (float)g_ql.height * (1.0f + 2.0f * std::fmin(1.0f, s.padHeld));
    s.mouseX = std::fmax(0.0f, std::fmin((float)g_ql.width - 1.0f, s.mouseX + x * speed * dt));
    s.mouseY = std::fmax(0.0f, std::fmin((float)g_ql.height - 1.0f, s.mouseY + y * speed * dt));
    if (!g_ql.window || !g_ql.focus) return;
    float k = PixelScale();
    s.padWarpX = (int)(s.mouseX / k);
    s.padWarpY = (int)(s.mouseY / k);
    SDL_WarpMouseInWindow(g_ql.window, s.padWarpX, s.padWarpY);
}

void Ql_Input_AfterEvents() {
    Pad_Refresh();
    DrivePointer(g_ql.dt);
}

void Ql_Input_FocusLost() {
    LeaveRelative();
    for (int i = 0; i < QL_KEY_COUNT; i++) {
        SetKey(&s.letters, i, false);
        SetKey(&s.places, i, false);
    }
    for (int b = 0; b < kButtons; b++)
        SetButton(b, false);
}

void Ql_Input_Reset() {
    s = InputState();
    injected.clear();
}

void Ql_Input_InjectKey(int place, int letter, bool down) {
    injected.push_back({Injected::Key, place, letter, down, 0.0f, 0.0f});
}
// Positions that are not numbers are dropped; far-off ones are held to a bound, so no input can
// carry an infinity or a NaN into the game.
static bool Sane(float* x, float* y) {
    if (!std::isfinite(*x) || !std::isfinite(*y)) return false;
    *x = std::fmax(-QL_POINTER_BOUND, std::fmin(QL_POINTER_BOUND, *x));
    *y = std::fmax(-QL_POINTER_BOUND, std::fmin(QL_POINTER_BOUND, *y));
    return true;
}

void Ql_Input_InjectMouseMove(float x, float y) {
    if (Sane(&x, &y)) injected.push_back({Injected::Move, 0, 0, false, x, y});
}
void Ql_Input_InjectButton(int button, bool down) {
    injected.push_back({Injected::Button, button, 0, down, 0.0f, 0.0f});
}
void Ql_Input_InjectWheel(int steps) {
    injected.push_back({Injected::Wheel, steps, 0, false, 0.0f, 0.0f});
}

void QL_Input_HoldPointer() {
    s.recentred = true;
}

void QL_Input_WarpMouse(float x, float y) {
    if (!Sane(&x, &y)) return;
    QL_Input_HoldPointer();
    s.mouseX = x;
    s.mouseY = y;
    if (!g_ql.window || !g_ql.focus) return;
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
static bool Held(const KeyView& v, int key) {
    return ValidKey(key) && (v.down[key] || v.pressed[key]);
}
static bool Pressed(const KeyView& v, int key) {
    return ValidKey(key) && v.pressed[key];
}
static bool Released(const KeyView& v, int key) {
    return ValidKey(key) && v.released[key];
}

bool QL_Input_KeyDown(int key) {
    return Held(s.letters, key);
}
bool QL_Input_KeyTriggered(int key) {
    return Pressed(s.letters, key);
}
bool QL_Input_KeyReleased(int key) {
    return Released(s.letters, key);
}
bool QL_Input_PlaceDown(int key) {
    return Held(s.places, key);
}
bool QL_Input_PlaceTriggered(int key) {
    return Pressed(s.places, key);
}
bool QL_Input_PlaceReleased(int key) {
    return Released(s.places, key);
}
int QL_Input_PlaceTriggeredAny() {
    for (int key = 0; key < QL_KEY_COUNT; key++)
        if (s.places.pressed[key]) return key;
    return -1;
}

const char* QL_Input_PlaceName(int key) {
    static char name[32];
    SDL_Scancode place = PlaceScancode(key);
    SDL_Keycode typed =
        place != SDL_SCANCODE_UNKNOWN && g_ql.window ? SDL_GetKeyFromScancode(place) : SDLK_UNKNOWN;
    const char* layout = typed != SDLK_UNKNOWN ? SDL_GetKeyName(typed) : "";
    if (layout[0] == '\0') layout = place != SDL_SCANCODE_UNKNOWN ? SDL_GetScancodeName(place) : "";
    SDL_strlcpy(name, layout, sizeof name);
    for (char* p = name; *p; p++)
        if (*p >= 'a' && *p <= 'z') *p = (char)(*p - 'a' + 'A');
    return name;
}
int QL_Input_PlaceFromScancodeName(const char* name) {
    SDL_Scancode c = name && *name ? SDL_GetScancodeFromName(name) : SDL_SCANCODE_UNKNOWN;
    return c == SDL_SCANCODE_UNKNOWN ? -1 : MapPlace(c);
}
const char* QL_Input_PlaceScancodeName(int key) {
    SDL_Scancode c = PlaceScancode(key);
    return c == SDL_SCANCODE_UNKNOWN ? "" : SDL_GetScancodeName(c);
}
int QL_Input_MouseTriggeredAny() {
    for (int b = 0; b < kButtons; b++)
        if (s.buttonPressed[b]) return b;
    return -1;
}
bool QL_Input_MouseTriggered(int button) {
    return button >= 0 && button < kButtons && s.buttonPressed[button];
}
bool QL_Input_MouseDown(int button) {
    const InputState& v = s;
    return button >= 0 && button < kButtons && (v.buttonDown[button] || v.buttonPressed[button]);
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
float QL_Input_GetMouseFromCentreX() {
    return s.mouseX - CentreX();
}
float QL_Input_GetMouseFromCentreY() {
    return s.mouseY - CentreY();
}
