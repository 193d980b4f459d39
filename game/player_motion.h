// The player's movement: the command's forward and strafe accelerate along and across the view,
// its turns turn it, knock-back pushes, and every move is checked against the arena one axis at a
// time.
#pragma once

#include "game/run_command.h"

void PlayerMotion_Update(const RunCommand& command);
// The angle brought into [0, 360), however many turns it is away; 0 for a value that is not a
// number.
float PlayerMotion_WrapAngle(float degrees);

// Moves coordinate *p by d along one axis (x when alongX), the other coordinate being o. Blocked
// by the arena's edge and by any cell whose block spans height -2.1 (walls and liquid); a blocked
// move stops 0.05 cells short of the cell boundary.
// Unlike an enemy's move (Enemy_AxisMove), which probes and stops by its own radius, the player is
// one size: the fixed 0.05 cells, with the arena's far edge itself out of bounds.
void PlayerMotion_AxisMove(float* p, float d, float o, bool alongX);
