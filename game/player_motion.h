// The player's movement: W A S D accelerate along and across the view, the mouse turns it,
// knock-back pushes, and every move is checked against the arena one axis at a time.
#pragma once

void PlayerMotion_Update();
// The angle brought into [0, 360), however many turns it is away; 0 for a value that is not a
// number.
float PlayerMotion_WrapAngle(float degrees);
// Puts the mouse cursor at the window's centre, where mouse look measures its offset from. A run
// starts with it there, so its first frame does not turn by wherever the menu left the pointer.
void PlayerMotion_CentreMouse();

// Moves coordinate *p by d along one axis (x when alongX), the other coordinate being o. Blocked
// by the arena's edge and by any cell whose block spans height -2.1 (walls and liquid); a blocked
// move stops 0.05 cells short of the cell boundary.
// Unlike an enemy's move (Enemy_AxisMove), which probes and stops by its own radius, the player is
// one size: the fixed 0.05 cells, with the arena's far edge itself out of bounds.
void PlayerMotion_AxisMove(float* p, float d, float o, bool alongX);
