// The headless driver: a software canvas, a fixed time step, scripted input and virtual pads,
// frame stepping, canvas reads, and the engine's log read back.
#include "quillon/headless.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cmath>
#include <new>

#include "canvas.h"
#include "displays.h"
#include "engine_log.h"
#include "internal.h"
#include "pad.h"
#include "presenter.h"

// Virtual pads, made through SDL's own virtual joysticks, so that SDL's mapping and events run
// as they do for a real pad. Actions go to the last one connected.
static std::vector<SDL_Joystick*> virtualPads;

static SDL_Joystick* LastPad() {
    return virtualPads.empty() ? nullptr : virtualPads.back();
}

static bool statesStarted = false;

void QLH_SetTextLog(bool on) {
    EngineLog_SetTextOn(on);
}

const std::vector<std::string>& QLH_TextLog() {
    return EngineLog_Texts();
}

// ---- The headless backend: no window, no devices, a fixed time step --------------------------

static bool NoVideo() {
    return true;
}
static void Nothing() {}
static void KeepCanvas(const uint32_t*) {} // the canvas itself is the picture
static void PumpVirtualPads() {
    Pad_PumpHeadless(Ql_Input_HandleEvent);
    Ql_Sound_PumpEvents();
}
// Headless, time is the fixed step's, not the clock's: the work allows what this frame's step
// says, from this frame on.
static void FixedStep() {
    g_ql.dt = g_ql.fixedDt;
    g_ql.frameRate = g_ql.fixedDt > 0.0f ? 1.0f / g_ql.fixedDt : 0.0f;
    g_ql.workRate = g_ql.frameRate;
}
// The game compares the focused window with its own: a fixed non-null token stands in for both.
static void* Token() {
    static int token;
    return &token;
}

const QlBackend* Ql_HeadlessBackend() {
    static const QlBackend headless = {NoVideo,   Nothing,    Nothing, Nothing, PumpVirtualPads,
                                       FixedStep, KeepCanvas, Nothing, Nothing, Token};
    return &headless;
}

bool QLH_Start(int width, int height, float dt) {
    g_ql = QlEngine();
    g_ql.backend = Ql_HeadlessBackend();
    g_ql.headless = true;
    g_ql.width = g_ql.displayW = width > 0 ? width : 1280;
    g_ql.height = g_ql.displayH = height > 0 ? height : 720;
    g_ql.fixedDt = dt;
    Ql_Input_Reset();
    Displays_Reset();
    Ql_Draw_ResetState();
    EngineLog_SetOn(true);
    QLH_ClearLogs();
    QLH_ResetDrawStats();
    statesStarted = false;
    bool ready = Ql_Video_Open();
    Ql_Sound_Open(false);
    return ready;
}

// Leaves the current state through its exit callback, then frees what the engine holds.
void QLH_Shutdown() {
    if (statesStarted && g_ql.exit) g_ql.exit();
    Ql_Sound_Capture(nullptr, nullptr);
    Ql_Sound_Close();
    while (LastPad())
        QLH_PadDisconnect();
    Pad_Close();
    Ql_Text_Shutdown();
    Ql_Video_Close();
    g_ql = QlEngine();
    Ql_Input_Reset();
    EngineLog_SetOn(false);
    statesStarted = false;
}

void QLH_SetDisplayCount(int count) {
    Displays_SetHeadlessCount(count);
}

void QLH_SetDt(float dt) {
    g_ql.fixedDt = dt;
}
void QLH_SetFocus(bool focused) {
    g_ql.focus = focused;
    if (!focused) Ql_Input_FocusLost();
}

void QLH_SetHidden(bool hidden) {
    g_ql.hidden = hidden;
    if (hidden) QLH_SetFocus(false);
}

void QLH_KeyDown(int key) {
    Ql_Input_InjectKey(key, key, true);
}
void QLH_KeyUp(int key) {
    Ql_Input_InjectKey(key, key, false);
}
void QLH_KeyTap(int key) {
    Ql_Input_InjectKey(key, key, true);
    Ql_Input_InjectKey(key, key, false);
}
void QLH_KeyDownAs(int place, int letter) {
    Ql_Input_InjectKey(place, letter, true);
}
void QLH_KeyUpAs(int place, int letter) {
    Ql_Input_InjectKey(place, letter, false);
}
bool QLH_PadConnect() {
    if (!Pad_Open(true)) return false;
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = QL_PAD_AXIS_COUNT;
    desc.nbuttons = QL_PAD_BUTTON_COUNT;
    desc.axis_mask = (1u << QL_PAD_AXIS_COUNT) - 1;
    desc.button_mask = (1u << QL_PAD_BUTTON_COUNT) - 1;
    desc.name = "ZORB virtual pad";
    int index = SDL_JoystickAttachVirtualEx(&desc);
    SDL_Joystick* pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    if (pad) virtualPads.push_back(pad);
    return pad != nullptr;
}

void QLH_PadDisconnect() {
    SDL_Joystick* pad = LastPad();
    if (!pad) return;
    virtualPads.pop_back();
    SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    SDL_JoystickClose(pad);
    for (int i = 0; i < SDL_NumJoysticks(); i++)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
}

void QLH_PadButton(int button, bool down) {
    if (LastPad()) SDL_JoystickSetVirtualButton(LastPad(), button, down ? 1 : 0);
}

// Sticks -1 to 1; triggers 0 to 1, as SDL reads them from a full-range axis.
void QLH_PadAxis(int axis, float value) {
    if (!LastPad() || !std::isfinite(value)) return;
    value = std::fmax(-1.0f, std::fmin(1.0f, value));
    bool trigger = axis == QL_PAD_LEFTTRIGGER || axis == QL_PAD_RIGHTTRIGGER;
    float raw = trigger ? value * 65535.0f - 32768.0f : value * 32767.0f;
    SDL_JoystickSetVirtualAxis(LastPad(), axis, (Sint16)std::lround(std::fmax(-32768.0f, raw)));
}

void QLH_MouseMove(float x, float y) {
    Ql_Input_InjectMouseMove(x, y);
}
void QLH_MouseButton(bool down) {
    Ql_Input_InjectButton(QL_MOUSE_LEFT, down);
}
void QLH_MouseButtonOf(int button, bool down) {
    Ql_Input_InjectButton(button, down);
}
void QLH_Wheel(int steps) {
    Ql_Input_InjectWheel(steps);
}

bool QLH_Step(int n) {
    if (!statesStarted) {
        statesStarted = true;
        Ql_Engine_StartStates();
    }
    for (int i = 0; i < n && !g_ql.terminated; i++)
        Ql_Engine_Frame();
    return !g_ql.terminated;
}

bool QLH_Terminated() {
    return g_ql.terminated;
}
long QLH_FrameCount() {
    return g_ql.frame;
}

void QLH_ReadPixel(int x, int y, int* r, int* g, int* b, int* a) {
    uint32_t px = 0;
    const uint32_t* pixels = g_ql.videoReady ? Canvas_Pixels() : nullptr;
    if (pixels && x >= 0 && y >= 0 && x < Canvas_Width() && y < Canvas_Height())
        px = pixels[(long)y * Canvas_Width() + x];
    if (r) *r = (int)((px >> 16) & 255);
    if (g) *g = (int)((px >> 8) & 255);
    if (b) *b = (int)(px & 255);
    if (a) *a = (int)(px >> 24);
}

namespace {

// An SDL stream that appends whatever is written to a byte vector.
size_t SDLCALL AppendToVector(SDL_RWops* rw, const void* data, size_t size, size_t count) {
    auto* out = static_cast<std::vector<unsigned char>*>(rw->hidden.unknown.data1);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    try {
        out->insert(out->end(), bytes, bytes + size * count);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return count;
}

Sint64 SDLCALL VectorSeek(SDL_RWops* rw, Sint64 offset, int whence) {
    auto* out = static_cast<std::vector<unsigned char>*>(rw->hidden.unknown.data1);
    return offset == 0 && whence != RW_SEEK_SET ? (Sint64)out->size() : -1; // tell only
}

std::vector<float> captured;

void KeepCaptured(const float* samples, int frames, void*) {
    captured.insert(captured.end(), samples, samples + 2 * (size_t)frames);
}

} // namespace

bool QLH_EncodePng(std::vector<unsigned char>* png) {
    png->clear();
    const uint32_t* pixels = g_ql.videoReady ? Canvas_Pixels() : nullptr;
    if (!pixels) return false;
    SDL_Surface* shot =
        SDL_CreateRGBSurfaceWithFormatFrom((void*)pixels, Canvas_Width(), Canvas_Height(), 32,
                                           Canvas_Width() * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_RWops* rw = shot ? SDL_AllocRW() : nullptr;
    bool ok = rw != nullptr;
    if (ok) {
        rw->type = SDL_RWOPS_UNKNOWN;
        rw->write = AppendToVector;
        rw->seek = VectorSeek;
        rw->hidden.unknown.data1 = png;
        ok = IMG_SavePNG_RW(shot, rw, 0) == 0 && !png->empty();
        SDL_FreeRW(rw);
    }
    SDL_FreeSurface(shot);
    return ok;
}

bool QLH_SavePng(const char* path) {
    std::vector<unsigned char> png;
    if (!path || !QLH_EncodePng(&png)) return false;
    SDL_RWops* file = SDL_RWFromFile(path, "wb");
    if (!file) return false;
    bool ok = SDL_RWwrite(file, png.data(), png.size(), 1) == 1;
    return SDL_RWclose(file) == 0 && ok;
}

void QLH_SetAudioCapture(bool on) {
    captured.clear();
    Ql_Sound_Capture(on ? KeepCaptured : nullptr, nullptr);
}
void QLH_SetAudioSink(QLH_AudioSink sink, void* user) {
    captured.clear();
    Ql_Sound_Capture(sink, user);
}
const std::vector<float>& QLH_AudioCapture() {
    return captured;
}
int QLH_AudioRate() {
    return kQlOutputRate;
}

int QLH_ActiveVoices() {
    return Ql_Sound_ActiveVoices();
}

float QLH_GroupVolume(int group) {
    return Ql_Sound_GroupVolume(group);
}

const std::vector<QLH_PlayEntry>& QLH_PlayLog() {
    return EngineLog_Plays();
}
const std::vector<QLH_AssetEntry>& QLH_AssetLog() {
    return EngineLog_Assets();
}
void QLH_ClearLogs() {
    EngineLog_Clear();
}

QLH_DrawStats QLH_GetDrawStats() {
    return EngineLog_Stats();
}
void QLH_ResetDrawStats() {
    EngineLog_ResetStats();
}
void QLH_SetPresentThread(void (*present)(const uint32_t* pixels)) {
    Presenter_Stop();
    Canvas_UseTwoPictures(present != nullptr);
    if (present) Presenter_Start(present);
}

void QLH_SetCountOnly(bool countOnly) {
    g_ql.countOnly = countOnly;
}

QL_Callback QLH_CurrentUpdate() {
    return g_ql.update;
}
