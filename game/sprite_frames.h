// Where every animation frame lies on the sprite sheet: projectiles, enemies by kind and view
// group, and pickups. The sheet generator draws at exactly these rectangles.
#pragma once

#include "game/enemy_kinds.h"

#include "world/sheet_rect.h"

const int kSheetWidth = 256;
const int kSheetHeight = 704;

// clang-format off
constexpr SheetRect kAutoBulletFrames[4] = {{0, 8, 8, 16}, {8, 8, 16, 16}, {0, 8, 8, 16}, {8, 8, 16, 16}};
constexpr SheetRect kSpreadPelletFrames[4] = {{0, 0, 8, 8}, {8, 0, 16, 8}, {0, 0, 8, 8}, {8, 0, 16, 8}};
constexpr SheetRect kBombFrames[4] = {{16, 0, 32, 16}, {32, 0, 48, 16}, {48, 0, 64, 16}, {64, 0, 80, 16}};
constexpr SheetRect kPlayerFragmentFrames[4] = {{0, 16, 8, 24}, {8, 16, 16, 24}, {0, 16, 8, 24}, {8, 16, 16, 24}};
// Enemy bullets (single shots and fans) and the fragments of enemy bombs and bursts.
constexpr SheetRect kEnemyBulletFrames[4] = {{0, 24, 8, 32}, {8, 24, 16, 32}, {0, 24, 8, 32}, {8, 24, 16, 32}};
constexpr SheetRect kEnemyBombFrames[4] = {{16, 16, 32, 32}, {32, 16, 48, 32}, {48, 16, 64, 32}, {64, 16, 80, 32}};

// Pickups: 0 coin, 1 AUTO power, 2 SPREAD power, 3 BOMB power.
constexpr SheetRect kPickupFrames[4][4] = {
    {{80, 0, 96, 16}, {96, 0, 112, 16}, {112, 0, 128, 16}, {128, 0, 144, 16}},
    {{80, 16, 96, 32}, {96, 16, 112, 32}, {112, 16, 128, 32}, {128, 16, 144, 32}},
    {{144, 0, 160, 16}, {160, 0, 176, 16}, {176, 0, 192, 16}, {192, 0, 208, 16}},
    {{144, 16, 160, 32}, {160, 16, 176, 32}, {176, 16, 192, 32}, {192, 16, 208, 32}},
};

// clang-format on

// Frame i of view group g of an enemy kind (entry 4g + i of the kind's table).
constexpr SheetRect EnemyFrame(int kind, int entry) {
    int g = entry / 4, i = entry % 4;
    // clang-format off
    float l = 0, t = 0, w = 16, h = 32;
    switch (kind) {
    case 0: l = 32 * g + 16 * (i % 2); t = 64; break;
    case 1: l = 128 + 32 * g + 16 * (i % 2); t = 64; break;
    case 2: l = 32 * g + 16 * (i % 2); t = 96; break;
    case 3: l = 128 * (g % 2) + 32 * i; t = 128 + 32 * (g / 2); w = 32; break;
    case 4: l = 128 + 32 * g + 16 * (i % 2); t = 96; break;
    case 5: l = 128 * (g % 2) + 64 * (i % 2); t = 192 + 64 * (g / 2); w = h = 64; break;
    case 6: l = 128 * (g % 2) + 64 * (i % 2); t = 320 + 64 * (g / 2); w = h = 64; break;
    case 7: l = 64 * i; t = 448 + 64 * g; w = h = 64; break;
    default: w = h = 0; break; // no frames: a kind without its case fails the check below
    }
    // clang-format on
    return SheetRect{l, t, l + w, t + h};
}

// Every kind has its frames: a kind without its case in EnemyFrame would be drawn as nothing.
constexpr bool EveryKindHasFrames() {
    for (int k = 0; k < kEnemyKinds; k++)
        if (EnemyFrame(k, 0).right <= EnemyFrame(k, 0).left) return false;
    return true;
}
static_assert(EveryKindHasFrames(), "a new enemy kind needs its frames in EnemyFrame");

struct EnemyFrameTable {
    SheetRect frames[kEnemyKinds][16];
};

constexpr EnemyFrameTable MakeEnemyFrames() {
    EnemyFrameTable table{};
    for (int k = 0; k < kEnemyKinds; k++)
        for (int e = 0; e < 16; e++)
            table.frames[k][e] = EnemyFrame(k, e);
    return table;
}

constexpr EnemyFrameTable kEnemyFrames = MakeEnemyFrames();
