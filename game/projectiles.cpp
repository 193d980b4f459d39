// Projectiles and bursts.
#include "game/projectiles.h"

#include <algorithm>
#include <cmath>

#include "app/settings.h"
#include "game/enemies.h"
#include "game/game_assets.h"
#include "game/player.h"
#include "game/positional_sound.h"
#include "game/sprite_frames.h"
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
    return QL_Math_Degrees(std::atan2(ay - by, bx - ax));
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
    whiteFlash += strength * 25.0f / d2;
    cameraShake += strength * 0.15f / d2;
}

void BombBurst(Projectile& p) {
    Sprite& s = *p.sprite;
    PlayAt(gameSounds.explosionLeft, gameSounds.explosionRight, s.x, s.y, (float)p.power / 10.0f);
    Sprite_Release(&s);
    BurstFlash(s.x, s.y, (float)p.power);
    if (p.fromPlayer) {
        Projectile_SpawnFan(s.x, s.y, 0.05f, (float)(player.bombLevel + 7), true, player.bombPower,
                            s.heading, 360.0f, kPlayerFragmentFrames);
        return;
    }
    float a = runState.elapsed / 240.0f + 1.0f;
    Projectile_SpawnFan(s.x, s.y, 0.05f, a * 3.0f, false, (int)(a * 36.0f), s.heading, 360.0f,
                        kEnemyBulletFrames);
}

bool TouchesPlayer(const Sprite& s) {
    float reach = s.radius + 0.05f;
    return Distance2(player.x, player.y, s.x, s.y) < reach * reach;
}

void BulletHitsPlayer(Projectile& p) {
    Sprite& s = *p.sprite;
    Sprite_Release(&s);
    float a = QL_Math_Radians(AngleTo(s.x, s.y, player.x, player.y));
    player.pushX += std::cos(a) * 3.0f;
    player.pushY -= std::sin(a) * 3.0f;
    QL_Sound_PlayAdvanced(gameSounds.playerHurt, settings.sfxVolume * 0.5f, 1.0f, false, 0);
    Ricochet(s);
    cameraShake += 1.0f;
    hurtFlash += 100.0f;
    player.lives -= 1;
}

void EnemyDies(Projectile& p, Enemy& e) {
    Sprite& es = *e.sprite;
    if (e.kind == 4 || e.kind == 6 || e.kind == 7) Projectile_EnemyBurst(es.x, es.y, es.heading);
    player.score += p.fromPlayer ? e.value : e.value / 2;
    PlayAt(gameSounds.enemyDownLeft, gameSounds.enemyDownRight, es.x, es.y, 2.0f);
    Sprite_Release(&es);
}

void BulletHitsEnemy(Projectile& p, Enemy& e) {
    Sprite& s = *p.sprite;
    Sprite& es = *e.sprite;
    float a = QL_Math_Radians(AngleTo(s.x, s.y, es.x, es.y));
    e.pushX += std::cos(a) / e.mass;
    e.pushY -= std::sin(a) / e.mass;
    e.hitShake += 0.1f / e.mass;
    player.score += p.fromPlayer ? 2 : 1;
    Ricochet(s);
    PlayAt(gameSounds.enemyHurtLeft, gameSounds.enemyHurtRight, es.x, es.y, 2.0f);
    e.health -= 1;
    if (e.health < 1) EnemyDies(p, e);
    Sprite_Release(&s);
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
void BulletHits(Projectile& p) {
    if (TouchesPlayer(*p.sprite)) BulletHitsPlayer(p);
    ForEachTouchedEnemy(*p.sprite, [&p](Enemy& e) { BulletHitsEnemy(p, e); });
    if (Projectile_StoppedAt(p.sprite->x, p.sprite->y)) {
        Ricochet(*p.sprite);
        if (!p.fromPlayer) player.score += 1;
        Sprite_Release(p.sprite);
    }
}

void BombHits(Projectile& p) {
    if (TouchesPlayer(*p.sprite)) BombBurst(p);
    ForEachTouchedEnemy(*p.sprite, [&p](Enemy&) { BombBurst(p); });
    if (Projectile_StoppedAt(p.sprite->x, p.sprite->y)) BombBurst(p);
}

void Fly(Projectile& p, float dt) {
    Sprite& s = *p.sprite;
    float h = QL_Math_Radians(s.heading);
    s.x += dt * std::cos(h) * p.speed;
    s.y -= dt * std::sin(h) * p.speed;
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
                             const SheetRect frames[4]) {
    Projectile* free = SpritePool_FirstFree(ProjectilePool);
    if (!free) return nullptr;
    Projectile& p = *free;
    float h = QL_Math_Radians(heading);
    Sprite_Start(p.sprite, x + std::cos(h) * offset, y - std::sin(h) * offset, heading, 0.05f,
                 frames[0], 5.0f, -0.2f);
    p.fromPlayer = fromPlayer ? 1 : 0;
    p.explosive = explosive ? 1 : 0;
    p.power = power;
    p.speed = speed;
    p.animFrame = 0;
    p.frameInterval = p.frameTimer = 0.1f;
    std::copy(frames, frames + 4, p.frames);
    return &p;
}

void Projectile_FanHeadings(int count, float centre, float spread, float* out) {
    if (count <= 0) return;
    if (count % 2 == 1) {
        int half = count / 2, n = 0;
        out[n++] = centre;
        for (int i = 0; i < half; i++) {
            float d = (float)(half - i) * (spread * 0.5f) / (float)half;
            out[n++] = centre + d;
            out[n++] = centre - d;
        }
        return;
    }
    for (int i = 0; i < count; i++)
        out[i] = centre + ((float)i / (float)count - 0.5f) * spread;
}

void Projectile_SpawnFan(float x, float y, float offset, float speed, bool fromPlayer, int count,
                         float centre, float spread, const SheetRect frames[4]) {
    // A fan larger than the pool loses what does not fit; no more headings are needed.
    static float headings[kProjectileCount + 1];
    count = std::min(count, kProjectileCount + 1);
    Projectile_FanHeadings(count, centre, spread, headings);
    // Nothing frees a projectile during a fan: once the pool is full the rest would find none.
    for (int i = 0; i < count; i++)
        if (!Projectile_Spawn(x, y, headings[i], offset, speed, fromPlayer, false, 1, frames))
            return;
}

void Projectile_EnemyBurst(float x, float y, float heading) {
    float b = (runState.elapsed / 600.0f + 1.0f) * 36.0f;
    float a = runState.elapsed / 240.0f + 1.0f;
    PlayAt(gameSounds.explosionLeft, gameSounds.explosionRight, x, y, b / 10.0f);
    BurstFlash(x, y, b);
    Projectile_SpawnFan(x, y, 0.05f, a * 3.0f, false, (int)(a * 54.0f), heading, 360.0f,
                        kEnemyBulletFrames);
}

void Projectiles_Update() {
    GatherLiveEnemies();
    for (Projectile& p : ProjectilePool) {
        if (!p.sprite || !p.sprite->inUse) continue;
        Fly(p, QL_System_GetDt());
        if (p.explosive)
            BombHits(p);
        else
            BulletHits(p);
    }
}
