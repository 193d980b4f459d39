// Pickups: coins for score and weapon pickups for levels, placed every few seconds on free floor
// out of the player's sight, collected by walking into them.
#pragma once

#include <cstdint>

#include "core/state_hash.h"
#include "world/level_data.h"
#include "world/sheet_rect.h"
#include "world/sprite_pool.h"

struct Pickup {
    Sprite* sprite; // sprites 512 to 767, bound for the whole run; alive while in use
    int32_t kind;   // 0 coin, 1 AUTO, 2 SPREAD, 3 BOMB
    int32_t animFrame;
    float frameInterval, frameTimer;
    SheetRect frames[4];
};

const int kPickupCount = 256;
extern Pickup PickupPool[kPickupCount];
extern int32_t pickupGrid[kArenaCells]; // 1 where a pickup lies

// Clears every record but its bound sprite, and the grid.
void Pickups_Reset();
void Pickups_ClearGrid();
// Mixes a pickup's own fields into a state hash (its sprite is the sprite pool's).
void Pickup_Hash(StateHash* hash, const Pickup& p);
// Every live pickup with its index, and the grid.
void Pickups_Hash(StateHash* hash);
// The kind a draw r of 0 to 99 gives: 10 % each weapon, 70 % coin.
int Pickup_KindForDraw(int r);
// Places a pickup on a free floor cell more than 3 cells from the player, out of his sight or
// behind him. Null when all 256 lie in the arena or no cell was found in a bounded search.
Pickup* Pickup_Spawn(int kind, const SheetRect frames[4]);
// Spawns when the timer runs out, then animates and collects.
void Pickups_Update(float dt);
