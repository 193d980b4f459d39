// The player's movement: W A S D accelerate along and across the view, the mouse turns it,
// knock-back pushes, and every move is checked against the arena one axis at a time.
#pragma once

void PlayerMotion_Update();

// Moves coordinate *p by d along one axis (x when alongX), the other coordinate being o. Blocked
// by the arena's edge and by any cell whose block spans height -2.1 (walls and liquid); a blocked
// move stops 0.05 cells short of the cell boundary.
void PlayerMotion_AxisMove(float* p, float d, float o, bool alongX);
