// The arena's constant level data: for each of the 1024 cells (entry y * 32 + x), its top and
// bottom heights, its colour and its outline colour (r, g, b, a).
#pragma once

#include <cstdint>

const int kArenaSize = 32;
const int kArenaCells = kArenaSize * kArenaSize;

struct LevelData {
    float topHeights[kArenaCells];
    float bottomHeights[kArenaCells];
    int32_t colors[kArenaCells][4];
    int32_t outlineColors[kArenaCells][4];
};

extern const float* const arenaTopHeights;
extern const float* const arenaBottomHeights;
extern const int32_t (*const arenaColors)[4];
extern const int32_t (*const arenaOutlineColors)[4];
