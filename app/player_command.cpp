// Building the player's command from the devices, through the player's bindings.
#include "app/player_command.h"

#include <algorithm>

#include "core/bindings.h"
#include "core/desktop.h"
#include "quillon/quillon.h"
#include "ui/pause.h"

namespace {

// Whether a control is held: a trigger counts past half way.
bool Held(Control c) {
    switch (c.kind) {
    case Control::Key:
        return QL_Input_PlaceDown(c.code);
    case Control::Mouse:
        return QL_Input_MouseDown(c.code);
    case Control::PadButton:
        return QL_Pad_Down(c.code);
    case Control::PadTrigger:
        return QL_Pad_Axis(c.code) > 0.5f;
    default:
        return false;
    }
}

// Whether a control asked this frame: keys and mouse buttons as they come up, or down where
// down is true; pad buttons as they go down.
bool Asked(Control c, bool down) {
    switch (c.kind) {
    case Control::Key:
        return down ? QL_Input_PlaceTriggered(c.code) : QL_Input_PlaceReleased(c.code);
    case Control::Mouse:
        return down ? QL_Input_MouseTriggered(c.code) : QL_Input_MouseReleased(c.code);
    case Control::PadButton:
        return QL_Pad_Triggered(c.code);
    default:
        return false;
    }
}

bool ActionHeld(Action action) {
    for (const Control& c : Bindings_Of(bindings, action).slots)
        if (Held(c)) return true;
    return false;
}

// Asked by a key or mouse button (keysToo), or by the pad's button.
bool ActionAsked(Action action, bool down, bool keysToo) {
    const ActionBinding& b = Bindings_Of(bindings, action);
    for (int k = keysToo ? 0 : kPadSlot; k < kSlotCount; k++)
        if (Asked(b.slots[k], down)) return true;
    return false;
}

// How far an action or the stick drives one way along an axis: 1 for a control held, else the
// stick's push that way (its dead zone is the engine's).
float Drive(Action action, int stickAxis, float stickSign) {
    if (ActionHeld(action)) return 1.0f;
    return std::max(0.0f, stickSign * QL_Pad_Axis(stickAxis));
}

// A weapon's key or button as it comes up, a pad's button as it goes down.
WeaponAsk Weapon() {
    const Action actions[] = {Action::Auto, Action::Spread, Action::Bomb, Action::NextWeapon,
                              Action::PreviousWeapon};
    const WeaponAsk asks[] = {WeaponAsk::Auto, WeaponAsk::Spread, WeaponAsk::Bomb, WeaponAsk::Next,
                              WeaponAsk::Previous};
    for (int w = 0; w < 5; w++)
        if (ActionAsked(actions[w], false, true)) return asks[w];
    return WeaponAsk::None;
}

} // namespace

RunCommand PlayerCommand_Build(bool focused) {
    RunCommand c;
    c.dt = QL_System_GetDt();
    c.forward =
        Drive(Action::Forward, QL_PAD_LEFTY, -1.0f) - Drive(Action::Back, QL_PAD_LEFTY, 1.0f);
    c.strafe = Drive(Action::StrafeRight, QL_PAD_LEFTX, 1.0f) -
               Drive(Action::StrafeLeft, QL_PAD_LEFTX, -1.0f);
    c.mouseTurn = QL_Input_GetMouseFromCentreX();
    c.stickTurn = QL_Pad_Axis(QL_PAD_RIGHTX);
    c.fire = ActionHeld(Action::Fire);
    c.weapon = Weapon();
    // While the pause overlay asks whether to quit, the pause key answers no there and does not
    // resume.
    c.pause = ActionAsked(Action::Pause, true, !pauseQuitConfirm);
    c.back = QL_Pad_Triggered(QL_PAD_B);
    c.padLost = QL_Pad_Lost();
    c.focused = focused;
    return c;
}

void PlayerCommand_AfterStep() {
    QL_System_ShowCursor(false);
    PlayerCommand_CentrePointer();
}

void PlayerCommand_CentrePointer() {
    // On Windows the system moves the pointer, past the engine: the engine is told that play
    // holds it, or a pad's left stick would drive it, and so turn the player as well as walk.
    QL_Input_HoldPointer();
    DesktopRect rect{0, 0, 0, 0};
    if (!Desktop_GetWindowRect(QL_System_GetWindowHandle(), &rect)) rect = DesktopRect{0, 0, 0, 0};
    Desktop_SetCursorPos((int)((rect.left + rect.right) / 2), (int)((rect.top + rect.bottom) / 2));
}
