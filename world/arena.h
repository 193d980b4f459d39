// The live arena: 32 x 32 blocks built from the level data with a random tint, and the sky.
#pragma once

#include <cstdint>

#include "core/state_hash.h"
#include "quillon/quillon.h"
#include "world/level_data.h"

struct MapCell {
    float top;    // height of the top face; liquid tops are animated by the renderer
    float bottom; // -2.0 for floor, -3.0 for everything else
    QL_Color color;
    QL_Color outlineColor; // (0, 0, 0, 0) draws no visible outline
    int32_t ring;          // Manhattan distance from the camera's cell, this frame
    bool inView;           // within the horizontal field of view, this frame
};

extern MapCell Arena[kArenaCells];
extern QL_Color skyColor;       // the background, and the colour distant faces fade toward
extern QL_Color skyTargetColor; // what skyColor drifts to

// Rebuilds the arena from the level data with fresh tints, resets the sprite pool and the sky,
// and writes the start position (16.0, 15.5) and view angle 0.
void Arena_Build(float* startX, float* startY, float* startAngle);

// The cell at (x, y), or null outside the arena.
MapCell* Arena_CellAt(int x, int y);
// The cell under a world point, or null when the point is outside the arena (or not a number).
MapCell* Arena_CellUnder(float x, float y);
// A cell of liquid, whose top the renderer moves in waves as it draws: the simulation's height
// tests give the same answer at every height a wave reaches.
bool Arena_IsLiquid(const MapCell& cell);
// Mixes the cells' heights into a state hash, a liquid's top as one fixed value.
void Arena_Hash(StateHash* hash);
// A floor cell: the only kind that can be walked on and on which things are placed.
bool Arena_IsFloor(const MapCell& cell);

// Draws random cells until one is acceptable, at most 4,096 times, so that a crowded or hostile
// arena can only make a spawn fail, never hang it. The cell goes to (*x, *y); false when none was
// found.
bool Arena_RandomCell(bool (*acceptable)(int x, int y), int* x, int* y);
