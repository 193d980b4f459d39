// What the player asks of a frame of play: built once a frame in app/ from every device (the
// keyboard by places, the mouse, the pads, the window's focus), and all that the run's step reads
// of the player. Keys and buttons are mapped where the command is built, nowhere else.
#pragma once

#include <cstdint>

// The weapon asked for this frame.
enum class WeaponAsk : int8_t { None, Auto, Spread, Bomb, Next, Previous };

struct RunCommand {
    float dt = 0.0f;        // the frame's time step, in seconds
    float forward = 0.0f;   // -1 (back) to 1 (ahead): a key gives 1, the left stick its push
    float strafe = 0.0f;    // -1 (left) to 1 (right), alike
    float mouseTurn = 0.0f; // the mouse's offset from the window's centre, in pixels (+: right)
    float stickTurn = 0.0f; // the right stick's push across, -1 to 1 (+: right)
    bool fire = false;      // the trigger held
    WeaponAsk weapon = WeaponAsk::None;
    bool pause = false;   // pause or resume asked
    bool back = false;    // the way back asked: resumes a paused run
    bool padLost = false; // a pad was unplugged: the run pauses
    bool focused = true;  // the game's window has the focus
};
