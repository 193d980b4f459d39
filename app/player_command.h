// The one place where the devices become the player's command, through the player's bindings
// (by default W A S D by place walk, the left button or the right trigger fire, 1 2 3, the D-pad
// and the shoulders choose a weapon, Escape or Start pause): the left stick walks and the mouse
// or the right stick turn whatever is bound, and B on a pad goes back.
// And what the step asks of the devices after it: the cursor hidden and the pointer put back.
#pragma once

#include "game/run_command.h"

// This frame's command from the devices as they are now (or as a recording plays them).
RunCommand PlayerCommand_Build(bool focused);
// After a step of play: the cursor hidden, and the pointer put back at the window's centre, where
// the next frame's turn is measured from.
void PlayerCommand_AfterStep();
// Puts the pointer at the window's centre. A run starts with it there, so that its first frame
// does not turn by wherever the menu left the pointer.
void PlayerCommand_CentrePointer();
