// Building the player's command from the devices.
#include "app/player_command.h"

#include <algorithm>

#include "core/desktop.h"
#include "quillon/quillon.h"
#include "ui/pause.h"

namespace {

// How far a key or the stick drives one way along an axis: 1 for the key, else the stick's push
// that way (its dead zone is the engine's).
float Drive(int key, int stickAxis, float stickSign) {
    if (QL_Input_PlaceDown(key)) return 1.0f;
    return std::max(0.0f, stickSign * QL_Pad_Axis(stickAxis));
}

// Keys 1 2 3 on release; on a pad the D-pad's left, up and right, or a shoulder stepping on.
WeaponAsk Weapon() {
    const int dpad[3] = {QL_PAD_DPLEFT, QL_PAD_DPUP, QL_PAD_DPRIGHT};
    const WeaponAsk asks[3] = {WeaponAsk::Auto, WeaponAsk::Spread, WeaponAsk::Bomb};
    for (int w = 0; w < 3; w++)
        if (QL_Input_PlaceReleased('1' + w) || QL_Pad_Triggered(dpad[w])) return asks[w];
    if (QL_Pad_Triggered(QL_PAD_RIGHTSHOULDER)) return WeaponAsk::Next;
    if (QL_Pad_Triggered(QL_PAD_LEFTSHOULDER)) return WeaponAsk::Previous;
    return WeaponAsk::None;
}

} // namespace

RunCommand PlayerCommand_Build(bool focused) {
    RunCommand c;
    c.dt = QL_System_GetDt();
    c.forward = Drive('W', QL_PAD_LEFTY, -1.0f) - Drive('S', QL_PAD_LEFTY, 1.0f);
    c.strafe = Drive('D', QL_PAD_LEFTX, 1.0f) - Drive('A', QL_PAD_LEFTX, -1.0f);
    c.mouseTurn = QL_Input_GetMouseFromCentreX();
    c.stickTurn = QL_Pad_Axis(QL_PAD_RIGHTX);
    // The right trigger pulled past half way fires, as the left mouse button does.
    c.fire = QL_Input_MouseDown(0) || QL_Pad_Axis(QL_PAD_RIGHTTRIGGER) > 0.5f;
    c.weapon = Weapon();
    // While the pause overlay asks whether to quit, Escape answers no there and does not resume.
    c.pause = (QL_Input_PlaceTriggered(QL_KEY_ESCAPE) && !pauseQuitConfirm) ||
              QL_Pad_Triggered(QL_PAD_START);
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
