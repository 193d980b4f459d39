// The controls the player has bound. Each action of play holds up to two keys (by place) or
// mouse buttons, the wheel's two ways among them, and one pad button (or, for fire, a trigger).
// The sticks are not bound: the left walks and the right turns. The player's command is built
// from these alone (app/player_command); the CONTROLS screen changes them and the settings file
// keeps them.
#pragma once

#include <cstdint>
#include <string>

enum class Action : int8_t {
    Forward,
    Back,
    StrafeLeft,
    StrafeRight,
    Fire,
    Auto,
    Spread,
    Bomb,
    PreviousWeapon,
    NextWeapon,
    Pause,
};
const int kActionCount = 11;

// One control: a key by its place (QL_KEY_... or a character code), a mouse button
// (QL_MOUSE_...), a pad button (QL_PAD_A...) or a pad trigger (QL_PAD_LEFTTRIGGER...).
struct Control {
    enum Kind : int8_t { None, Key, Mouse, PadButton, PadTrigger } kind = None;
    int16_t code = -1;
    bool operator==(const Control& o) const {
        return kind == o.kind && (kind == None || code == o.code);
    }
    bool operator!=(const Control& o) const { return !(*this == o); }
};

// An action's slots: two for keys and mouse buttons, then the pad's.
const int kKeySlots = 2, kPadSlot = 2, kSlotCount = 3;
struct ActionBinding {
    Control slots[kSlotCount];
};
struct Bindings {
    ActionBinding actions[kActionCount];
};

// The bindings in force.
extern Bindings bindings;

// What each action is called: in the settings file ("forward") and on the screens ("FORWARD").
struct ActionNames {
    const char* file;
    const char* shown;
};
extern const ActionNames kActionNames[kActionCount];

// W A S D, the left button, 1 2 3 and Escape; the right trigger, the D-pad, the shoulders and
// Start on a pad.
Bindings Bindings_Defaults();
void Bindings_Reset();

const ActionBinding& Bindings_Of(const Bindings& b, Action action);

// Whether a control can go in a slot: keys and mouse buttons in the first two, a pad button in
// the pad's, and a trigger only in fire's.
bool Bindings_Fits(int action, int slot, Control control);

// What binding a control to a slot did.
struct BindOutcome {
    bool done = false;    // false: refused, nothing changed
    int swappedWith = -1; // the action the control was taken from, which got the slot's old one
    std::string refusal;  // why it was refused
};
// Puts the control in the slot. Where another slot holds it already, the two swap. Refused
// where the control does not fit, or where pause would be left without a key.
BindOutcome Bindings_Bind(Bindings* b, int action, int slot, Control control);

// A control as the settings file keeps it: a key by SDL's scancode name ("W", "Left Shift"),
// "Mouse Left" to "Mouse X2", "Wheel Up", "Wheel Down"; a pad's button or trigger by SDL's
// name ("a", "righttrigger"); "" for none.
std::string Bindings_ControlText(Control control);
// Reads that text back for a key slot (pad false) or a pad slot; false where it names nothing
// that fits. "" reads as none.
bool Bindings_ControlFromText(const std::string& text, bool pad, Control* out);
