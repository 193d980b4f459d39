// Enemy kinds and spawning.
#include "game/enemies.h"
#include "game/enemy_kinds.h"

#include <algorithm>
#include <cmath>

#include "core/settings.h"
#include "game/game_assets.h"
#include "game/line_of_sight.h"
#include "game/player.h"
#include "game/positional_sound.h"
#include "game/sprite_frames.h"
#include "world/arena.h"

Enemy EnemyPool[kEnemyCount];

namespace {

// A stage's percent chance of each kind. A row is made only with a number for every kind, so a
// new kind cannot be left out of a stage's row without a word.
struct SpawnRow {
    int percent[kEnemyKinds];
};
template <typename... Percent> constexpr SpawnRow Row(Percent... percent) {
    static_assert(sizeof...(Percent) == kEnemyKinds,
                  "a stage's row gives every enemy kind a chance");
    return SpawnRow{{percent...}};
}

constexpr SpawnRow kSpawnTable[kStageCount] = {
    Row(100, 0, 0, 0, 0, 0, 0, 0),    Row(60, 40, 0, 0, 0, 0, 0, 0),
    Row(40, 40, 20, 0, 0, 0, 0, 0),   Row(30, 35, 20, 15, 0, 0, 0, 0),
    Row(20, 20, 25, 20, 15, 0, 0, 0), Row(10, 10, 25, 25, 25, 5, 0, 0),
    Row(5, 5, 25, 25, 25, 10, 5, 0),  Row(5, 5, 25, 25, 20, 5, 10, 5),
};

constexpr bool RowsMakeAHundred() {
    for (const SpawnRow& row : kSpawnTable) {
        int sum = 0;
        for (int p : row.percent)
            sum += p;
        if (sum != 100) return false;
    }
    return true;
}
static_assert(RowsMakeAHundred(), "each stage's chances make 100 percent");

const float kMinSpawnDistance2 = 25.0f;

float Cap180(float v) {
    return std::min(v, 180.0f);
}

void Body(EnemyKindValues* v, int32_t health, int32_t value, float speed, float turnRate,
          float mass, float radius, float z) {
    v->health = health;
    v->value = value;
    v->speed = speed;
    v->turnRate = turnRate;
    v->mass = mass;
    v->radius = radius;
    v->z = z;
}

void SingleShot(EnemyKindValues* v, float interval, float speed) {
    v->singleOn = true;
    v->singleInterval = interval;
    v->singleSpeed = speed;
}

void MultiShot(EnemyKindValues* v, float interval, float speed, int count, float spread) {
    v->multiOn = true;
    v->multiInterval = interval;
    v->multiSpeed = speed;
    v->multiCount = count;
    v->multiSpread = spread;
}

void BombShot(EnemyKindValues* v, float interval, float speed, int power) {
    v->bombOn = true;
    v->bombInterval = interval;
    v->bombSpeed = speed;
    v->bombPower = power;
}

// A walkable cell out of the player's sight or behind him, more than 5 cells away.
bool AcceptableCell(int i, int j) {
    if (!Arena_IsFloor(*Arena_CellAt(i, j))) return false;
    float cx = (float)i + 0.5f, cy = (float)j + 0.5f;
    float dx = cx - player.x, dy = cy - player.y;
    if (dx * dx + dy * dy <= kMinSpawnDistance2) return false;
    return Grid_HiddenOrBehind(player.x, player.y, player.angle, cx, cy);
}

bool ChooseCell(float* x, float* y) {
    int i, j;
    if (!Arena_RandomCell(AcceptableCell, &i, &j)) return false;
    *x = (float)i + 0.5f;
    *y = (float)j + 0.5f;
    return true;
}

void ApplyKind(Enemy& e, int kind) {
    EnemyKindValues v = Enemy_KindValues(kind, runState.elapsed);
    e.kind = kind;
    e.health = v.health;
    e.value = v.value;
    e.speed = v.speed;
    e.turnRate = v.turnRate;
    e.mass = v.mass;
    e.sprite->radius = v.radius;
    e.sprite->z = v.z;
    e.singleShotOn = v.singleOn;
    e.singleShotInterval = v.singleInterval;
    e.singleShotSpeed = v.singleSpeed;
    e.multiShotOn = v.multiOn;
    e.multiShotInterval = v.multiInterval;
    e.multiShotSpeed = v.multiSpeed;
    e.multiShotCount = v.multiCount;
    e.multiShotSpread = v.multiSpread;
    e.bombShotOn = v.bombOn;
    e.bombShotInterval = v.bombInterval;
    e.bombShotSpeed = v.bombSpeed;
    e.bombShotPower = v.bombPower;
}

} // namespace

EnemyKindValues Enemy_KindValues(int kind, float t) {
    float a = RunState_Growth(t), b = t / 480.0f + 1.0f, d = t / 120.0f + 1.0f;
    EnemyKindValues v{};
    const EnemyKind& k = Enemy_Kind(kind);
    const float growth[] = {1.0f, a, b, d}; // by Growth
    const EnemyBody& body = k.body;
    float turn = body.turn * growth[(int)body.turnGrowth];
    Body(&v, body.health, body.value, body.speed * growth[(int)body.speedGrowth],
         body.turnCapped ? Cap180(turn) : turn, body.mass, body.radius, body.z);
    if (k.single == SingleGun::Steady) SingleShot(&v, 1.0f, 3 * d);
    if (k.single == SingleGun::Rapid) SingleShot(&v, 0.4f / a, 3 * a);
    if (k.multi == MultiGun::Fan) MultiShot(&v, 2.0f, 3 * a, (int)(4 * a), 30 * b);
    if (k.multi == MultiGun::Ring) MultiShot(&v, 5.0f, 3 * a, (int)(72 * a), 360.0f);
    if (k.bombs) BombShot(&v, 3.0f, 4 * b, (int)(36 * a));
    return v;
}

int Enemy_KindForDraw(int stage, int r) {
    const int* row = kSpawnTable[std::clamp(stage, 0, kStageCount - 1)].percent;
    for (int k = 0; k < kEnemyKinds; k++) {
        r -= row[k];
        if (r < 0) return k;
    }
    return 0;
}

Enemy* Enemy_Spawn(int kind, const SheetRect frames[16]) {
    Enemy* free = SpritePool_FirstFree(EnemyPool);
    float x, y;
    if (!free || !ChooseCell(&x, &y)) return nullptr;
    Enemy& e = *free;
    e.targetX = x;
    e.targetY = y;
    Sprite_Start(e.sprite, x, y, 0.0f, 0.0f, frames[0], 10.0f, 0.0f);
    ApplyKind(e, kind);
    e.singleShotTimer = QL_Random_GetFloat() * 0.5f * e.singleShotInterval;
    e.multiShotTimer = QL_Random_GetFloat() * 0.5f * e.multiShotInterval;
    e.bombShotTimer = QL_Random_GetFloat() * 0.5f * e.bombShotInterval;
    e.pushX = e.pushY = e.hitShake = 0.0f;
    e.animFrame = 0;
    e.stepInterval = e.stepTimer = 0.5f / (e.speed + 1.0f);
    std::copy(frames, frames + 16, e.frames);
    return &e;
}

void Enemy_SpawnStep(float dt) {
    runState.enemySpawnTimer -= dt;
    if (runState.enemySpawnTimer > 0.0f) return;
    int kind = Enemy_KindForDraw(runState.stage, QL_Random_RangeInt(0, 99));
    Enemy* e = Enemy_Spawn(kind, kEnemyFrames.frames[kind]);
    if (!e) return;
    Sound_PlayPositional(gameSounds.enemySpawnLeft, gameSounds.enemySpawnRight, e->sprite->x,
                         e->sprite->y, player.x, player.y, player.angle, 20.0f * settings.sfxVolume,
                         1.0f);
    float t = runState.elapsed, length = runState.stageLength;
    runState.enemySpawnTimer +=
        (float)e->value * runState.enemySpawnScale / ((t * t / length) / length + 1.0f);
}

void Enemies_Reset() {
    SpritePool_ClearOwners(EnemyPool);
}

void Enemy_Hash(StateHash* hash, const Enemy& e) {
    StateHash_Add(hash, e.kind, e.health, e.value, e.speed, e.turnRate, e.targetX, e.targetY,
                  e.pushX, e.pushY, e.mass, e.hitShake);
    StateHash_Add(hash, e.singleShotOn, e.singleShotInterval, e.singleShotTimer, e.singleShotSpeed,
                  e.multiShotOn, e.multiShotInterval, e.multiShotTimer, e.multiShotSpeed,
                  e.multiShotCount, e.multiShotSpread);
    StateHash_Add(hash, e.bombShotOn, e.bombShotInterval, e.bombShotTimer, e.bombShotSpeed,
                  e.bombShotPower, e.animFrame, e.stepInterval, e.stepTimer, e.frames);
}

void Enemies_Hash(StateHash* hash) {
    SpritePool_HashOwners(hash, EnemyPool, Enemy_Hash);
}
