// The player's bindings: defaults, swaps and their text.
#include "core/bindings.h"

#include "quillon/quillon.h"

Bindings bindings = Bindings_Defaults();

const ActionNames kActionNames[kActionCount] = {
    {"forward", "FORWARD"},
    {"back", "BACK"},
    {"strafe_left", "STRAFE LEFT"},
    {"strafe_right", "STRAFE RIGHT"},
    {"fire", "FIRE"},
    {"auto", "AUTO"},
    {"spread", "SPREAD"},
    {"bomb", "BOMB"},
    {"previous_weapon", "PREVIOUS WEAPON"},
    {"next_weapon", "NEXT WEAPON"},
    {"pause", "PAUSE"},
};

namespace {

Control Of(Control::Kind kind, int code) {
    Control c;
    c.kind = kind;
    c.code = (int16_t)code;
    return c;
}

const char* const kMouseNames[QL_MOUSE_BUTTON_COUNT] = {
    "Mouse Left", "Mouse Right", "Mouse Middle", "Mouse X1", "Mouse X2", "Wheel Up", "Wheel Down"};

bool HasKey(const ActionBinding& a) {
    for (int k = 0; k < kKeySlots; k++)
        if (a.slots[k].kind == Control::Key) return true;
    return false;
}

} // namespace

Bindings Bindings_Defaults() {
    struct Default {
        Action action;
        Control key, pad;
    } defaults[] = {
        {Action::Forward, Of(Control::Key, 'W'), {}},
        {Action::Back, Of(Control::Key, 'S'), {}},
        {Action::StrafeLeft, Of(Control::Key, 'A'), {}},
        {Action::StrafeRight, Of(Control::Key, 'D'), {}},
        {Action::Fire, Of(Control::Mouse, QL_MOUSE_LEFT),
         Of(Control::PadTrigger, QL_PAD_RIGHTTRIGGER)},
        {Action::Auto, Of(Control::Key, '1'), Of(Control::PadButton, QL_PAD_DPLEFT)},
        {Action::Spread, Of(Control::Key, '2'), Of(Control::PadButton, QL_PAD_DPUP)},
        {Action::Bomb, Of(Control::Key, '3'), Of(Control::PadButton, QL_PAD_DPRIGHT)},
        {Action::PreviousWeapon, {}, Of(Control::PadButton, QL_PAD_LEFTSHOULDER)},
        {Action::NextWeapon, {}, Of(Control::PadButton, QL_PAD_RIGHTSHOULDER)},
        {Action::Pause, Of(Control::Key, QL_KEY_ESCAPE), Of(Control::PadButton, QL_PAD_START)},
    };
    Bindings b;
    for (const Default& d : defaults) {
        b.actions[(int)d.action].slots[0] = d.key;
        b.actions[(int)d.action].slots[kPadSlot] = d.pad;
    }
    return b;
}

void Bindings_Reset() {
    bindings = Bindings_Defaults();
}

const ActionBinding& Bindings_Of(const Bindings& b, Action action) {
    return b.actions[(int)action];
}

bool Bindings_Fits(int action, int slot, Control control) {
    if (action < 0 || action >= kActionCount || slot < 0 || slot >= kSlotCount) return false;
    switch (control.kind) {
    case Control::None:
        return true;
    case Control::Key:
        return slot < kKeySlots && control.code >= 0 && control.code < QL_KEY_COUNT;
    case Control::Mouse:
        return slot < kKeySlots && control.code >= 0 && control.code < QL_MOUSE_BUTTON_COUNT;
    case Control::PadButton:
        return slot == kPadSlot && control.code >= 0 && control.code < QL_PAD_BUTTON_COUNT;
    case Control::PadTrigger:
        return slot == kPadSlot && action == (int)Action::Fire &&
               (control.code == QL_PAD_LEFTTRIGGER || control.code == QL_PAD_RIGHTTRIGGER);
    }
    return false;
}

BindOutcome Bindings_Bind(Bindings* b, int action, int slot, Control control) {
    BindOutcome out;
    if (!Bindings_Fits(action, slot, control)) {
        out.refusal = "IT CANNOT GO THERE";
        return out;
    }
    Bindings next = *b;
    Control& chosen = next.actions[action].slots[slot];
    for (int a = 0; a < kActionCount && control.kind != Control::None; a++)
        for (int k = 0; k < kSlotCount; k++) {
            Control& held = next.actions[a].slots[k];
            if (held != control || (a == action && k == slot)) continue;
            held = Bindings_Fits(a, k, chosen) ? chosen : Control{}; // the two swap
            if (a != action) out.swappedWith = a;
        }
    chosen = control;
    if (!HasKey(next.actions[(int)Action::Pause])) {
        out.swappedWith = -1;
        out.refusal = "PAUSE MUST KEEP A KEY";
        return out;
    }
    *b = next;
    out.done = true;
    return out;
}

std::string Bindings_ControlText(Control control) {
    switch (control.kind) {
    case Control::Key:
        return QL_Input_PlaceScancodeName(control.code);
    case Control::Mouse:
        return control.code >= 0 && control.code < QL_MOUSE_BUTTON_COUNT ? kMouseNames[control.code]
                                                                         : "";
    case Control::PadButton:
        return QL_Pad_ButtonName(control.code);
    case Control::PadTrigger:
        return QL_Pad_AxisName(control.code);
    default:
        return "";
    }
}

bool Bindings_ControlFromText(const std::string& text, bool pad, Control* out) {
    *out = Control{};
    if (text.empty()) return true;
    if (pad) {
        int button = QL_Pad_ButtonFromName(text.c_str());
        int axis = QL_Pad_AxisFromName(text.c_str());
        if (button >= 0) *out = Of(Control::PadButton, button);
        if (axis == QL_PAD_LEFTTRIGGER || axis == QL_PAD_RIGHTTRIGGER)
            *out = Of(Control::PadTrigger, axis);
        return out->kind != Control::None;
    }
    for (int m = 0; m < QL_MOUSE_BUTTON_COUNT; m++)
        if (text == kMouseNames[m]) *out = Of(Control::Mouse, m);
    int place = out->kind == Control::None ? QL_Input_PlaceFromScancodeName(text.c_str()) : -1;
    if (place >= 0) *out = Of(Control::Key, place);
    return out->kind != Control::None;
}
