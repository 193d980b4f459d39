// The player's three weapons: AUTO, SPREAD and BOMB, fired while the left button is held, paced
// by a cooldown, chosen with keys 1, 2 and 3.
#pragma once

#include <cstdint>

void Weapons_Update();

// Derived values of a level, 1 to 99.
float Weapons_AutoInterval(int32_t level);    // 1 / (level + 3)
int32_t Weapons_SpreadPellets(int32_t level); // level x 2 + 7
int32_t Weapons_BombPower(int32_t level);     // (level + 3) x 9
