// What a live enemy does each frame: look for the player, turn toward its target, slide under
// knock-back, walk, animate with footsteps, jitter after hits and fire; and its contact with the
// player.
#pragma once

#include "game/enemies.h"

// One frame of one enemy; false (doing nothing) when it is not alive.
bool Enemy_Update(Enemy* enemy, float dt);
// A touching enemy pushes the player away and, outside the shared one-second cooldown, costs a
// life.
void Enemy_ContactTest(Enemy* enemy);
// The view group (0 facing the player, 1 and 3 side views, 2 facing away) for an enemy heading
// seen by a player looking along playerAngle.
int Enemy_ViewGroup(float heading, float playerAngle);
// Whether a weapon may fire: the player is seen and the aim error |b - h0| (not wrapped) is
// below the tolerance.
bool Enemy_Aimed(bool sees, float bearing, float heading, float tolerance);
// Moves coordinate *p by dt x v (x when alongX), the other coordinate q, for an enemy of radius
// r: blocked by the arena's edge and by walls and liquid at the leading edge.
// Unlike the player's move (PlayerMotion_AxisMove), which probes a fixed 0.05 cells ahead and
// refuses the arena's far edge itself, an enemy probes its own radius ahead, may stand on the far
// edge, and stops its radius short of a blocked cell: enemies of any size keep out of walls.
void Enemy_AxisMove(float* p, float v, float q, float r, float dt, bool alongX);
