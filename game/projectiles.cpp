// Projectiles and bursts.
#include "game/projectiles.h"

#include <algorithm>
#include <cmath>

#include "core/settings.h"
#include "core/sim_math.h"
#include "game/enemies.h"
#include "game/enemy_kinds.h"
#include "game/game_assets.h"
#include "game/player.h"
#include "game/positional_sound.h"
#include "game/sprite_frames.h"
#include "game/step_effects.h"
#include "world/arena.h"
#include "world/camera.h"

Projectile ProjectilePool[kProjectileCount];

namespace {

// Flash and shake fall with the squared distance; a burst right on the player stays finite.
const float kMinDistance2 = 0.01f;

float Distance2(float ax, float ay, float bx, float by) {
    return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
}

// The direction in which B lies seen from A, in degrees.
float AngleTo(float ax, float ay, float bx, float by) {
    return QL_Math_Degrees(SimMath_Atan2(ay - by, bx - ax));
}

void PlayAt(QL_Sound left, QL_Sound right, float x, float y, float factor) {
    Sound_PlayPositional(left, right, x, y, player.x, player.y, player.angle,
                         factor * settings.sfxVolume, 1.0f);
}

void Ricochet(const Sprite& s) {
    PlayAt(gameSounds.ricochetLeft, gameSounds.ricochetRight, s.x, s.y, 0.3f);
}

// Flash and shake of a burst of some strength at (x, y), by its nearness to the player.
void BurstFlash(float x, float y, float strength) {
    float d2 = std::max(kMinDistance2, Distance2(x, y, player.x, player.y));
    StepEffects_WhiteFlash(strength * 25.0f / d2);
    StepEffects_Shake(strength * 0.15f / d2);
}

// A projectile as it was when its hit tests began. Every test of the frame runs on this copy: a
// burst frees the projectile's slot, and the fragments it throws must not take its place in the
// tests still to come.
struct Shot {
    Projectile p;
    Sprite s;
};

// Fans thrown during one projectile's tests, spawned once all its tests have run.
struct PendingFan {
    float x, y, speed, centre;
    bool fromPlayer;
    int count;
    const SheetRect* frames;
    ShotOrigin origin;
};
const int kMaxPendingFans = kEnemyCount + 2; // the player, every enemy, and a wall
PendingFan pendingFans[kMaxPendingFans];
int pendingFanCount = 0;

void QueueFan(float x, float y, float speed, bool fromPlayer, int count, float centre,
              const SheetRect* frames, ShotOrigin origin) {
    if (pendingFanCount < kMaxPendingFans)
        pendingFans[pendingFanCount++] =
            PendingFan{x, y, speed, centre, fromPlayer, count, frames, origin};
}

void SpawnPendingFans() {
    for (int i = 0; i < pendingFanCount; i++) {
        const PendingFan& f = pendingFans[i];
        Projectile_SpawnFan(f.x, f.y, 0.05f, f.speed, f.fromPlayer, f.count, f.centre, 360.0f,
                            f.frames, f.origin);
    }
    pendingFanCount = 0;
}

// The sound and flash of an enemy's burst; returns the fan's speed and count.
void EnemyBurstEffects(float x, float y, float* speed, int* count) {
    float b = (runState.elapsed / 600.0f + 1.0f) * 36.0f;
    float a = RunState_Growth(runState.elapsed);
    PlayAt(gameSounds.explosionLeft, gameSounds.explosionRight, x, y, b / 10.0f);
    BurstFlash(x, y, b);
    *speed = a * 3.0f;
    *count = (int)(a * 54.0f);
}

void BombBurst(const Shot& shot) {
    const Sprite& s = shot.s;
    PlayAt(gameSounds.explosionLeft, gameSounds.explosionRight, s.x, s.y,
           (float)shot.p.power / 10.0f);
    Sprite_Release(shot.p.sprite);
    BurstFlash(s.x, s.y, (float)shot.p.power);
    if (shot.p.fromPlayer) {
        QueueFan(s.x, s.y, (float)(player.bombLevel + 7), true, player.bombPower, s.heading,
                 kPlayerFragmentFrames, shot.p.origin);
        return;
    }
    float a = RunState_Growth(runState.elapsed);
    QueueFan(s.x, s.y, a * 3.0f, false, (int)(a * 36.0f), s.heading, kEnemyBulletFrames,
             shot.p.origin);
}

void BulletHitsPlayer(const Shot& shot) {
    const Sprite& s = shot.s;
    Sprite_Release(shot.p.sprite);
    float a = QL_Math_Radians(AngleTo(s.x, s.y, player.x, player.y));
    player.pushX += SimMath_Cos(a) * 3.0f;
    player.pushY -= SimMath_Sin(a) * 3.0f;
    RunEvents_Note(RunEventKind::Hurt, shot.p.origin, -1);
    Player_Hurt();
    Ricochet(s);
}

void EnemyDies(const Shot& shot, Enemy& e) {
    Sprite& es = *e.sprite;
    if (Enemy_Kind(e.kind).burstsWhenKilled) {
        float speed;
        int count;
        EnemyBurstEffects(es.x, es.y, &speed, &count);
        QueueFan(es.x, es.y, speed, false, count, es.heading, kEnemyBulletFrames,
                 ShotOrigin{(int8_t)(kFiredByEnemy + e.kind), -1});
    }
    RunEvents_Note(RunEventKind::Kill, shot.p.origin, e.kind);
    player.score += shot.p.fromPlayer ? e.value : e.value / 2;
    PlayAt(gameSounds.enemyDownLeft, gameSounds.enemyDownRight, es.x, es.y, 2.0f);
    Sprite_Release(&es);
}

void BulletHitsEnemy(const Shot& shot, Enemy& e) {
    const Sprite& s = shot.s;
    Sprite& es = *e.sprite;
    float a = QL_Math_Radians(AngleTo(s.x, s.y, es.x, es.y));
    e.pushX += SimMath_Cos(a) / e.mass;
    e.pushY -= SimMath_Sin(a) / e.mass;
    e.hitShake += 0.1f / e.mass;
    player.score += shot.p.fromPlayer ? 2 : 1;
    Ricochet(s);
    PlayAt(gameSounds.enemyHurtLeft, gameSounds.enemyHurtRight, es.x, es.y, 2.0f);
    e.health -= 1;
    RunEvents_Note(RunEventKind::Hit, shot.p.origin, e.kind);
    if (e.health < 1) EnemyDies(shot, e);
    Sprite_Release(shot.p.sprite);
}

// The enemies alive when the projectile pass began, in pool order, with their places. None is
// born and none moves during the pass (hits change only their knock-back), so testing this packed
// list, and skipping those that have died, visits the same enemies as the whole pool, faster.
struct LiveEnemy {
    float x, y, radius;
    Enemy* enemy;
};
LiveEnemy liveEnemies[kEnemyCount];
int liveEnemyCount = 0;

void GatherLiveEnemies() {
    liveEnemyCount = 0;
    for (Enemy& e : EnemyPool)
        if (e.sprite && e.sprite->inUse)
            liveEnemies[liveEnemyCount++] =
                LiveEnemy{e.sprite->x, e.sprite->y, e.sprite->radius, &e};
}

// Calls hit(enemy) for every live enemy the projectile touches, in pool order.
template <class Hit> void ForEachTouchedEnemy(const Sprite& s, Hit hit) {
    for (int i = 0; i < liveEnemyCount; i++) {
        const LiveEnemy& l = liveEnemies[i];
        float reach = l.radius + s.radius;
        if (Distance2(l.x, l.y, s.x, s.y) >= reach * reach) continue;
        if (l.enemy->sprite->inUse) hit(*l.enemy);
    }
}

// Every test runs on the projectile's position, even after an earlier one used it up.
void BulletHits(const Shot& shot) {
    if (Player_Touches(shot.s)) BulletHitsPlayer(shot);
    ForEachTouchedEnemy(shot.s, [&shot](Enemy& e) { BulletHitsEnemy(shot, e); });
    if (Projectile_StoppedAt(shot.s.x, shot.s.y)) {
        Ricochet(shot.s);
        if (!shot.p.fromPlayer) player.score += 1;
        Sprite_Release(shot.p.sprite);
    }
}

void BombHits(const Shot& shot) {
    if (Player_Touches(shot.s)) BombBurst(shot);
    ForEachTouchedEnemy(shot.s, [&shot](Enemy&) { BombBurst(shot); });
    if (Projectile_StoppedAt(shot.s.x, shot.s.y)) BombBurst(shot);
}

void Fly(Projectile& p, float dt) {
    Sprite& s = *p.sprite;
    float h = QL_Math_Radians(s.heading);
    s.x += dt * SimMath_Cos(h) * p.speed;
    s.y -= dt * SimMath_Sin(h) * p.speed;
    p.frameTimer -= dt;
    if (p.frameTimer < 0.0f) {
        p.frameTimer += p.frameInterval;
        p.animFrame = (p.animFrame + 1) % 4;
        Sprite_SetFrame(&s, p.frames[p.animFrame]);
    }
}

} // namespace

bool Projectile_StoppedAt(float x, float y) {
    if (!(x >= 0.0f && y >= 0.0f && x < (float)kArenaSize && y < (float)kArenaSize)) return true;
    const MapCell* cell = Arena_CellAt((int)x, (int)y);
    return cell->top > -0.2f && cell->bottom < -0.2f;
}

Projectile* Projectile_Spawn(float x, float y, float heading, float offset, float speed,
                             bool fromPlayer, bool explosive, int32_t power,
                             const SheetRect frames[4], ShotOrigin origin) {
    Projectile* free = SpritePool_FirstFree(ProjectilePool);
    if (!free) return nullptr;
    Projectile& p = *free;
    float h = QL_Math_Radians(heading);
    Sprite_Start(p.sprite, x + SimMath_Cos(h) * offset, y - SimMath_Sin(h) * offset, heading, 0.05f,
                 frames[0], 5.0f, -0.2f);
    p.fromPlayer = fromPlayer ? 1 : 0;
    p.explosive = explosive ? 1 : 0;
    p.power = power;
    p.speed = speed;
    p.animFrame = 0;
    p.frameInterval = p.frameTimer = 0.1f;
    std::copy(frames, frames + 4, p.frames);
    p.origin = origin;
    return &p;
}

float Projectile_FanHeading(int count, float centre, float spread, int i) {
    if (count % 2 == 0) return centre + ((float)i / (float)count - 0.5f) * spread;
    if (i == 0) return centre;
    int half = count / 2, pair = (i - 1) / 2;
    float d = (float)(half - pair) * (spread * 0.5f) / (float)half;
    return i % 2 == 1 ? centre + d : centre - d;
}

void Projectile_FanHeadings(int count, float centre, float spread, float* out) {
    for (int i = 0; i < count; i++)
        out[i] = Projectile_FanHeading(count, centre, spread, i);
}

void Projectile_SpawnFan(float x, float y, float offset, float speed, bool fromPlayer, int count,
                         float centre, float spread, const SheetRect frames[4], ShotOrigin origin) {
    // Every heading comes from the whole fan; once the pool is full the rest are lost (nothing
    // frees a projectile during a fan, so the first failure ends it).
    for (int i = 0; i < count; i++)
        if (!Projectile_Spawn(x, y, Projectile_FanHeading(count, centre, spread, i), offset, speed,
                              fromPlayer, false, 1, frames, origin))
            return;
}

void Projectile_EnemyBurst(float x, float y, float heading) {
    float speed;
    int count;
    EnemyBurstEffects(x, y, &speed, &count);
    Projectile_SpawnFan(x, y, 0.05f, speed, false, count, heading, 360.0f, kEnemyBulletFrames);
}

void Projectile_Hash(StateHash* hash, const Projectile& p) {
    StateHash_Add(hash, p.fromPlayer, p.explosive, p.power, p.speed, p.animFrame, p.frameInterval,
                  p.frameTimer, p.frames);
}

void Projectiles_Hash(StateHash* hash) {
    SpritePool_HashOwners(hash, ProjectilePool, Projectile_Hash);
}

void Projectiles_Reset() {
    SpritePool_ClearOwners(ProjectilePool);
    pendingFanCount = 0;
}

void Projectiles_Update(float dt) {
    GatherLiveEnemies();
    for (Projectile& p : ProjectilePool) {
        if (!p.sprite || !p.sprite->inUse) continue;
        Fly(p, dt);
        const Shot shot{p, *p.sprite};
        if (p.explosive)
            BombHits(shot);
        else
            BulletHits(shot);
        SpawnPendingFans();
    }
}
