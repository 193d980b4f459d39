// The enemies: a pool of 256, eight kinds whose values grow with the run's time, placement out
// of the player's sight, and the spawn step that paces them and picks their kinds by stage.
#pragma once

#include <cstdint>

#include "core/state_hash.h"
#include "world/sheet_rect.h"
#include "world/sprite_pool.h"

struct Enemy {
    Sprite* sprite; // sprites 768 to 1023, bound for the whole run; alive while in use
    int32_t kind;   // 0 to 7
    int32_t health;
    int32_t value;          // points for a kill, and the weight of the pause before the next spawn
    float speed;            // cells per second
    float turnRate;         // degrees per second
    float targetX, targetY; // where it steers
    float pushX, pushY;     // knock-back, cells per second
    float mass;
    float hitShake;
    bool singleShotOn;
    float singleShotInterval, singleShotTimer, singleShotSpeed;
    bool multiShotOn;
    float multiShotInterval, multiShotTimer, multiShotSpeed;
    int32_t multiShotCount;
    float multiShotSpread;
    bool bombShotOn;
    float bombShotInterval, bombShotTimer, bombShotSpeed;
    int32_t bombShotPower;
    int32_t animFrame;
    float stepInterval, stepTimer;
    SheetRect frames[16]; // four view groups of four walk frames
};

const int kEnemyCount = 256;
extern Enemy EnemyPool[kEnemyCount];

// Clears every record but its bound sprite.
void Enemies_Reset();
// Mixes an enemy's own fields into a state hash (its sprite is the sprite pool's).
void Enemy_Hash(StateHash* hash, const Enemy& e);
// Every live enemy with its index.
void Enemies_Hash(StateHash* hash);
// The values a kind is spawned with at elapsed time t (seconds of play).
struct EnemyKindValues {
    int32_t health, value;
    float speed, turnRate, mass, radius, z;
    bool singleOn;
    float singleInterval, singleSpeed;
    bool multiOn;
    float multiInterval, multiSpeed;
    int32_t multiCount;
    float multiSpread;
    bool bombOn;
    float bombInterval, bombSpeed;
    int32_t bombPower;
};
EnemyKindValues Enemy_KindValues(int kind, float t);

// The kind a draw r of 0 to 99 gives at a stage, by the spawn table.
int Enemy_KindForDraw(int stage, int r);
// Places a new enemy of a kind on a free floor cell more than 5 cells from the player, out of
// his sight or behind him. Null when all 256 are alive or no cell was found in a bounded search.
Enemy* Enemy_Spawn(int kind, const SheetRect frames[16]);
// The spawn step of a frame of play: when the timer runs out, one enemy of a kind drawn from the
// stage's row, then a pause that grows with its value and shrinks with the run's time.
void Enemy_SpawnStep(float dt);
