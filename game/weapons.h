// The player's three weapons: AUTO, SPREAD and BOMB, fired while the command's trigger is held,
// paced by a cooldown, chosen as the command asks.
#pragma once

#include <cstdint>

#include "game/run_command.h"

void Weapons_Update(const RunCommand& command);

// Derived values of a level, 1 to 99.
float Weapons_AutoInterval(int32_t level);    // 1 / (level + 3)
int32_t Weapons_SpreadPellets(int32_t level); // level x 2 + 7
int32_t Weapons_BombPower(int32_t level);     // (level + 3) x 9
