// Building the arena from the level data.
#include "world/arena.h"

#include <cmath>

#include "world/sprite_pool.h"

MapCell Arena[kArenaCells];
QL_Color skyColor;
QL_Color skyTargetColor;

// Each channel times its own factor in [0.95, 1.05], truncated; alpha only when asked.
static QL_Color Tint(const int32_t* c, bool tintAlpha) {
    int r = (int)((float)c[0] * QL_Random_RangeFloat(0.95f, 1.05f));
    int g = (int)((float)c[1] * QL_Random_RangeFloat(0.95f, 1.05f));
    int b = (int)((float)c[2] * QL_Random_RangeFloat(0.95f, 1.05f));
    int a = tintAlpha ? (int)((float)c[3] * QL_Random_RangeFloat(0.95f, 1.05f)) : c[3];
    return QL_Color_Create(r, g, b, a);
}

void Arena_Build(float* startX, float* startY, float* startAngle) {
    SpritePool_Reset();
    skyColor = skyTargetColor = QL_Color_Create(63, 127, 255, 255);
    for (int i = 0; i < kArenaCells; i++) {
        MapCell& cell = Arena[i];
        cell.top = arenaTopHeights[i];
        cell.bottom = arenaBottomHeights[i];
        cell.color = Tint(arenaColors[i], false);
        cell.outlineColor = Tint(arenaOutlineColors[i], true);
    }
    *startX = 16.0f;
    *startY = 15.5f;
    *startAngle = 0.0f;
}

MapCell* Arena_CellAt(int x, int y) {
    if (x < 0 || y < 0 || x >= kArenaSize || y >= kArenaSize) return nullptr;
    return &Arena[y * kArenaSize + x];
}

MapCell* Arena_CellUnder(float x, float y) {
    if (!(x >= 0.0f && y >= 0.0f && x < (float)kArenaSize && y < (float)kArenaSize)) return nullptr;
    return Arena_CellAt((int)x, (int)y);
}

bool Arena_IsFloor(const MapCell& cell) {
    return std::fabs(cell.bottom + 2.0f) <= 0.0001f;
}

bool Arena_RandomCell(bool (*acceptable)(int x, int y), int* x, int* y) {
    const int kMaxDraws = 4096;
    for (int draw = 0; draw < kMaxDraws; draw++) {
        *x = QL_Random_RangeInt(0, kArenaSize - 1);
        *y = QL_Random_RangeInt(0, kArenaSize - 1);
        if (acceptable(*x, *y)) return true;
    }
    return false;
}

bool Arena_IsLiquid(const MapCell& cell) {
    return cell.top < -1.1f;
}

void Arena_Hash(StateHash* hash) {
    for (const MapCell& cell : Arena)
        StateHash_Add(hash, Arena_IsLiquid(cell) ? -1.5f : cell.top, cell.bottom);
}
