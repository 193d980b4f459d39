// Every module's state, hashed and reset from one list.
#include "game/sim_state.h"

#include "core/state_hash.h"
#include "game/enemies.h"
#include "game/pickups.h"
#include "game/player.h"
#include "game/projectiles.h"
#include "game/run_events.h"
#include "quillon/quillon.h"
#include "world/arena.h"
#include "world/camera.h"
#include "world/sprite_pool.h"

uint64_t SimState_Hash() {
    StateHash hash;
    Player_Hash(&hash);
    SpritePool_Hash(&hash);
    Projectiles_Hash(&hash);
    Enemies_Hash(&hash);
    Pickups_Hash(&hash);
    Arena_Hash(&hash);
    StateHash_Add(&hash, QL_Random_GetState());
    return hash.value;
}

void SimState_ResetProgram() {
    Player_ResetProgram();
    SpritePool_Reset();
    Projectiles_Reset();
    Enemies_Reset();
    Pickups_Reset();
    Camera_ResetShake();
}

void SimState_StartRun(uint32_t seed, int32_t bestScore) {
    QL_Random_Seed(seed);
    float startX, startY, startAngle;
    Arena_Build(&startX, &startY, &startAngle);
    // Binding ties each owner to its sprite and marks the sprite taken, so that no two owners
    // share one; the reset at the end then frees them all, and each owner takes its sprite up
    // again only when it appears in the run.
    SpritePool_Reset();
    SpritePool_Bind(kProjectileSprites, kProjectileCount, ProjectilePool);
    Projectiles_Reset();
    SpritePool_Bind(kPickupSprites, kPickupCount, PickupPool);
    Pickups_Reset();
    SpritePool_Bind(kEnemySprites, kEnemyCount, EnemyPool);
    Enemies_Reset();
    Player_ResetForRun(startX, startY, startAngle, bestScore);
    RunState_Reset();
    RunEvents_Reset();
    Camera_ResetShake();
    SpritePool_Reset();
}
