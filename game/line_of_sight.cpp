// The line-of-sight test: a column sweep over the vertical grid lines between the points, then,
// if that found nothing, a row sweep over the horizontal ones.
#include "game/line_of_sight.h"

#include <cmath>

#include "core/sim_math.h"
#include "quillon/quillon.h"

#include "world/arena.h"

static bool InsideArena(float v) {
    return v >= 0.0f && v < (float)kArenaSize;
}

// A sampled cell blocks sight when its block spans height 0; a sample off the grid (which the
// arithmetic can give at the arena's edge) counts as blocked too.
static bool Blocks(int column, int row) {
    const MapCell* cell = Arena_CellAt(column, row);
    return !cell || (cell->top > 0.0f && cell->bottom < 0.0f);
}

// Samples the lines a = a0 + 1 .. a1 - 1 ascending, or a0 .. a1 + 1 descending, of one axis; the
// other coordinate is taken where the segment crosses each line.
static bool SweepBlocked(float a0, float a1, float b0, float da, float db, bool columns) {
    int first = (int)a0, last = (int)a1;
    bool blocked = false;
    if (da > 0.0f) {
        for (int a = first + 1; a <= last - 1; a++) {
            int b = (int)((((float)a - a0) / da) * db + b0);
            blocked = (columns ? Blocks(a, b) : Blocks(b, a)) || blocked;
        }
    } else if (last < first) {
        for (int a = first; a >= last + 1; a--) {
            int b = (int)((((float)a - a0) / da) * db + b0);
            blocked = (columns ? Blocks(a, b) : Blocks(b, a)) || blocked;
        }
    }
    return blocked;
}

bool Grid_LineOfSight(float x0, float y0, float x1, float y1) {
    if (!InsideArena(x0) || !InsideArena(y0) || !InsideArena(x1) || !InsideArena(y1)) return false;
    float dx = x1 - x0, dy = y1 - y0;
    if (SweepBlocked(x0, x1, y0, dx, dy, true)) return false;
    return !SweepBlocked(y0, y1, x0, dy, dx, false);
}

bool Grid_HiddenOrBehind(float playerX, float playerY, float playerAngle, float x, float y) {
    if (!Grid_LineOfSight(playerX, playerY, x, y)) return true;
    float a = QL_Math_Radians(playerAngle);
    return SimMath_Cos(a) * (x - playerX) - SimMath_Sin(a) * (y - playerY) < 0.0f;
}
