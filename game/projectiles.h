// Every shot in the game: a pool of 512 flying, animated projectiles, their hits on the player,
// on enemies and on walls, and the bursts of bombs and of dying enemies of kinds 4, 6 and 7.
#pragma once

#include <cstdint>

#include "core/state_hash.h"
#include "game/run_events.h"
#include "world/sheet_rect.h"
#include "world/sprite_pool.h"

struct Projectile {
    Sprite* sprite;      // sprites 0 to 511, bound for the whole run; alive while in use
    uint8_t fromPlayer;  // the player's shots and the fragments of the player's bombs
    uint8_t explosive;   // a bomb, which bursts on its first hit
    int32_t power;       // 1 for bullets; a bomb's loudness, flash and shake
    float speed;         // cells per second along the sprite's heading
    int32_t animFrame;   // 0 to 3
    float frameInterval; // seconds per frame
    float frameTimer;
    SheetRect frames[4];
    ShotOrigin origin; // who fired it, for the run's story (not in the state hash)
};

const int kProjectileCount = 512;
extern Projectile ProjectilePool[kProjectileCount];

// Spawns a projectile offset cells ahead of (x, y) along heading; null when all 512 fly.
Projectile* Projectile_Spawn(float x, float y, float heading, float offset, float speed,
                             bool fromPlayer, bool explosive, int32_t power,
                             const SheetRect frames[4], ShotOrigin origin = ShotOrigin());
// count bullets spread over spread degrees around centre (odd counts put one on the centre).
void Projectile_SpawnFan(float x, float y, float offset, float speed, bool fromPlayer, int count,
                         float centre, float spread, const SheetRect frames[4],
                         ShotOrigin origin = ShotOrigin());
// The headings a fan of count projectiles takes, written to out (count entries).
void Projectile_FanHeadings(int count, float centre, float spread, float* out);
// The heading of the i-th projectile of a fan of count.
float Projectile_FanHeading(int count, float centre, float spread, int i);
// Mixes a projectile's own fields into a state hash (its sprite is the sprite pool's).
void Projectile_Hash(StateHash* hash, const Projectile& p);
// Every live projectile with its index.
void Projectiles_Hash(StateHash* hash);
// Clears every record but its bound sprite (records of shots long gone keep their last values).
void Projectiles_Reset();
// One frame of every live projectile: flight, animation and hits.
void Projectiles_Update(float dt);
// Whether a shot at (x, y) is stopped: outside the arena, or in a block spanning its height.
bool Projectile_StoppedAt(float x, float y);
// A dying enemy of a bursting kind throws a ring of enemy fragments from (x, y).
void Projectile_EnemyBurst(float x, float y, float heading);
