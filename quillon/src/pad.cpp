// Gamepads through SDL's game controllers. Any number of pads may be plugged in and out at any
// time; each is opened once. Their state is taken together: a button held on any pad is held, a
// stick reads as the pad that pushes it furthest.
#include "pad.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "asset_file.h"
#include "internal.h"

namespace {

const int kMaxPads = 8;
// A stick resting off centre (worn pads drift by 5 to 15 %) must neither walk nor turn.
const float kStickDeadZone = 0.2f;
const float kTriggerDeadZone = 0.08f;

struct PadSlot {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
};

struct Pads {
    bool open = false;
    bool headless = false;
    PadSlot slots[kMaxPads];
    bool held[QL_PAD_BUTTON_COUNT] = {};
    bool pressed[QL_PAD_BUTTON_COUNT] = {};
    bool released[QL_PAD_BUTTON_COUNT] = {};
    float axes[QL_PAD_AXIS_COUNT] = {};
    bool lost = false;
    bool inUse = false;
};

Pads pads;

std::vector<std::string> mappingFiles;

bool ValidButton(int b) {
    return b >= 0 && b < QL_PAD_BUTTON_COUNT;
}

// The community's whole mapping database is under 1 MB. SDL adds each mapping after a search
// of those it has, so its time grows as the square of the lines: 2 MB (about 7,000 lines) take
// a fraction of a second, and a larger file is refused.
const size_t kMappingMaxBytes = 2u << 20;

// A mapping file is read as every asset is: a regular file, bounded.
void AddMappingFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    QL_FileRead read = QL_File_Read(path.c_str(), kMappingMaxBytes, &bytes);
    static bool told = false;
    if (read == QL_FILE_TOO_LARGE && !told)
        std::fprintf(stderr, "Quillon: %s is larger than 2 MB; its pad mappings are not read\n",
                     path.c_str());
    told = told || read == QL_FILE_TOO_LARGE;
    if (read != QL_FILE_OK || bytes.empty()) return;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), (int)bytes.size());
    if (rw) SDL_GameControllerAddMappingsFromRW(rw, 1);
}

PadSlot* SlotOf(SDL_JoystickID id) {
    for (PadSlot& p : pads.slots)
        if (p.controller && p.id == id) return &p;
    return nullptr;
}

void Connect(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    if (pads.headless && !SDL_JoystickIsVirtual(deviceIndex)) return;
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (SlotOf(id)) return; // never twice
    for (PadSlot& p : pads.slots) {
        if (p.controller) continue;
        p.controller = SDL_GameControllerOpen(deviceIndex);
        p.id = id;
        return;
    }
}

void Disconnect(SDL_JoystickID id) {
    PadSlot* p = SlotOf(id);
    if (!p) return;
    SDL_GameControllerClose(p->controller);
    *p = PadSlot();
    pads.lost = true;
}

void Button(int b, bool down) {
    if (!ValidButton(b)) return;
    if (down) pads.pressed[b] = pads.inUse = true;
    if (!down) pads.released[b] = true;
}

// -1 to 1 from SDL's range, a stick's pair through a radial dead zone.
void Stick(float* x, float* y) {
    float length = std::sqrt(*x * *x + *y * *y);
    if (length <= kStickDeadZone) {
        *x = *y = 0.0f;
        return;
    }
    float scale = (std::fmin(length, 1.0f) - kStickDeadZone) / (1.0f - kStickDeadZone) / length;
    *x *= scale;
    *y *= scale;
}

float Trigger(float t) {
    return t <= kTriggerDeadZone
               ? 0.0f
               : std::fmin(1.0f, (t - kTriggerDeadZone) / (1.0f - kTriggerDeadZone));
}

// One pad's axes past the dead zones.
void ReadAxes(SDL_GameController* c, float out[QL_PAD_AXIS_COUNT]) {
    for (int a = 0; a < QL_PAD_AXIS_COUNT; a++)
        out[a] = (float)SDL_GameControllerGetAxis(c, (SDL_GameControllerAxis)a) / 32767.0f;
    Stick(&out[QL_PAD_LEFTX], &out[QL_PAD_LEFTY]);
    Stick(&out[QL_PAD_RIGHTX], &out[QL_PAD_RIGHTY]);
    out[QL_PAD_LEFTTRIGGER] = Trigger(out[QL_PAD_LEFTTRIGGER]);
    out[QL_PAD_RIGHTTRIGGER] = Trigger(out[QL_PAD_RIGHTTRIGGER]);
}

// The pad pushed furthest wins each stick and trigger.
void Combine(const float one[QL_PAD_AXIS_COUNT]) {
    for (int a = 0; a < QL_PAD_AXIS_COUNT; a += 2) {
        bool stick = a < QL_PAD_LEFTTRIGGER;
        float mine = stick ? std::hypot(one[a], one[a + 1]) : std::fabs(one[a]);
        float theirs = stick ? std::hypot(pads.axes[a], pads.axes[a + 1]) : std::fabs(pads.axes[a]);
        if (stick && mine > theirs) {
            pads.axes[a] = one[a];
            pads.axes[a + 1] = one[a + 1];
        }
        if (!stick) {
            pads.axes[a] = std::fmax(pads.axes[a], one[a]);
            pads.axes[a + 1] = std::fmax(pads.axes[a + 1], one[a + 1]);
        }
    }
}

} // namespace

bool Pad_Open(bool headless) {
    if (pads.open) return true;
    if (headless) {
        // No real pad, no signal handler of SDL's: the driver's run stays its own.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
        SDL_SetHint(SDL_HINT_JOYSTICK_RAWINPUT, "0");
        SDL_SetHint(SDL_HINT_XINPUT_ENABLED, "0");
    }
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    pads = Pads();
    pads.open = true;
    pads.headless = headless;
    for (const std::string& file : mappingFiles)
        AddMappingFile(file);
    return true;
}

void Pad_Close() {
    if (!pads.open) return;
    for (PadSlot& p : pads.slots)
        if (p.controller) SDL_GameControllerClose(p.controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    pads = Pads();
}

void Pad_BeginFrame() {
    for (int b = 0; b < QL_PAD_BUTTON_COUNT; b++)
        pads.pressed[b] = pads.released[b] = false;
    pads.lost = false;
}

bool Pad_HandleEvent(const SDL_Event& e) {
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
        Connect(e.cdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        Disconnect(e.cdevice.which);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (SlotOf(e.cbutton.which)) Button(e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
        return true;
    default:
        return false;
    }
}

void Pad_Refresh() {
    for (int b = 0; b < QL_PAD_BUTTON_COUNT; b++)
        pads.held[b] = false;
    for (float& a : pads.axes)
        a = 0.0f;
    for (const PadSlot& p : pads.slots) {
        if (!p.controller) continue;
        for (int b = 0; b < QL_PAD_BUTTON_COUNT; b++)
            pads.held[b] = pads.held[b] ||
                           SDL_GameControllerGetButton(p.controller, (SDL_GameControllerButton)b);
        float one[QL_PAD_AXIS_COUNT];
        ReadAxes(p.controller, one);
        Combine(one);
    }
    for (float a : pads.axes)
        if (a != 0.0f) pads.inUse = true;
}

void Pad_PumpHeadless(void (*handle)(const SDL_Event&)) {
    if (!pads.open) return;
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_JOYAXISMOTION, SDL_CONTROLLERSENSORUPDATE) > 0)
        handle(e);
}

void Pad_SetInUse(bool inUse) {
    pads.inUse = inUse;
}

bool QL_Pad_Down(int button) {
    return ValidButton(button) && (pads.held[button] || pads.pressed[button]);
}
bool QL_Pad_Triggered(int button) {
    return ValidButton(button) && pads.pressed[button];
}
bool QL_Pad_AnyTriggered() {
    return QL_Pad_TriggeredAny() >= 0;
}
int QL_Pad_TriggeredAny() {
    for (int b = 0; b < QL_PAD_BUTTON_COUNT; b++)
        if (pads.pressed[b]) return b;
    return -1;
}

// The engine numbers buttons and axes as SDL's game controllers do.
const char* QL_Pad_ButtonName(int button) {
    if (!ValidButton(button)) return "";
    const char* name = SDL_GameControllerGetStringForButton((SDL_GameControllerButton)button);
    return name ? name : "";
}
int QL_Pad_ButtonFromName(const char* name) {
    if (!name || !*name) return -1;
    int b = SDL_GameControllerGetButtonFromString(name);
    return ValidButton(b) ? b : -1;
}
const char* QL_Pad_AxisName(int axis) {
    if (axis < 0 || axis >= QL_PAD_AXIS_COUNT) return "";
    const char* name = SDL_GameControllerGetStringForAxis((SDL_GameControllerAxis)axis);
    return name ? name : "";
}
int QL_Pad_AxisFromName(const char* name) {
    if (!name || !*name) return -1;
    int a = SDL_GameControllerGetAxisFromString(name);
    return a >= 0 && a < QL_PAD_AXIS_COUNT ? a : -1;
}
bool QL_Pad_Released(int button) {
    return ValidButton(button) && pads.released[button];
}
float QL_Pad_Axis(int axis) {
    if (axis < 0 || axis >= QL_PAD_AXIS_COUNT) return 0.0f;
    return pads.axes[axis];
}
int QL_Pad_Count() {
    int n = 0;
    for (const PadSlot& p : pads.slots)
        n += p.controller != nullptr;
    return n;
}
bool QL_Pad_Lost() {
    return pads.lost;
}
bool QL_Pad_InUse() {
    return pads.inUse && QL_Pad_Count() > 0;
}
void QL_Pad_AddMappings(const char* path) {
    if (!path) return;
    mappingFiles.push_back(path);
    if (pads.open) AddMappingFile(path);
}
