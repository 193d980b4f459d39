// Whether a straight line across the arena's floor plan is free of blocks at eye height.
#pragma once

// True when no sampled cell between the two points stands across height 0. The test samples one
// cell on each grid line crossed (the end point's own cell never, the start point's own cell only
// when sweeping down an axis), so swapping the points can change the answer. Points outside the
// arena, or not numbers, give false.
bool Grid_LineOfSight(float x0, float y0, float x1, float y1);

// Whether a point is out of the player's sight or behind him (where new enemies and pickups may
// appear): the line from the player is blocked, or the point lies behind his line of view.
bool Grid_HiddenOrBehind(float playerX, float playerY, float playerAngle, float x, float y);
