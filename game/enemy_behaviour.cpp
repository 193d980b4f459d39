// Enemy behaviour.
#include "game/enemy_behaviour.h"
#include "game/enemy_kinds.h"

#include <algorithm>
#include <cmath>

#include "core/constants.h"
#include "core/settings.h"
#include "core/sim_math.h"
#include "game/game_assets.h"
#include "game/line_of_sight.h"
#include "game/player.h"
#include "game/positional_sound.h"
#include "game/projectiles.h"
#include "game/sprite_frames.h"
#include "game/step_effects.h"
#include "world/arena.h"
#include "world/camera.h"

namespace {

const float kRetryDelay = 0.2f;
const float kMinDistance2 = 0.01f; // keeps flash and shake finite on the player's own spot

struct Footstep {
    QL_Sound* left;
    QL_Sound* right;
    float loudness, pitch;
    bool shakes;
};

Footstep FootstepOf(int kind) {
    EnemySounds& s = enemySounds;
    const EnemyKind& k = Enemy_Kind(kind);
    QL_Sound* pairs[4][2] = {{&s.lightLeft, &s.lightRight},
                             {&s.mediumLeft, &s.mediumRight},
                             {&s.tankLeft, &s.tankRight},
                             {&s.heavyLeft, &s.heavyRight}};
    QL_Sound** pair = pairs[(int)k.footfall];
    return {pair[0], pair[1], k.stepLoudness, k.stepPitch, k.stepShakes};
}

// The player's place as the enemy pass sees it (the player does not move during the pass).
struct PlayerPlace {
    float x, y, angle;
};

void PlayFrom(QL_Sound left, QL_Sound right, const Sprite& s, const PlayerPlace& v, float loudness,
              float pitch) {
    Sound_PlayPositional(left, right, s.x, s.y, v.x, v.y, v.angle, loudness * settings.sfxVolume,
                         pitch);
}

float Distance2To(const Sprite& s, const PlayerPlace& v) {
    return std::max(kMinDistance2, (s.x - v.x) * (s.x - v.x) + (s.y - v.y) * (s.y - v.y));
}

void Turn(Enemy& e, float b, float h0, float dt) {
    float b90 = b - 90.0f;
    if (b90 <= -180.0f) b90 += 360.0f;
    float rh = QL_Math_Radians(h0), rb = QL_Math_Radians(b90);
    float& heading = e.sprite->heading;
    if (SimMath_Cos(rh) * SimMath_Cos(rb) + SimMath_Sin(rh) * SimMath_Sin(rb) > 0.0f) {
        heading += dt * e.turnRate;
        if (heading >= 360.0f) heading -= 360.0f;
    } else {
        heading -= dt * e.turnRate;
        if (heading <= 0.0f) heading += 360.0f;
    }
}

void Move(Enemy& e, float dt) {
    Sprite& s = *e.sprite;
    e.pushX = Decayed(e.pushX, dt);
    e.pushY = Decayed(e.pushY, dt);
    Enemy_AxisMove(&s.x, e.pushX, s.y, s.radius, dt, true);
    Enemy_AxisMove(&s.y, e.pushY, s.x, s.radius, dt, false);
    float h = QL_Math_Radians(s.heading);
    Enemy_AxisMove(&s.x, SimMath_Cos(h) * e.speed, s.y, s.radius, dt, true);
    Enemy_AxisMove(&s.y, -SimMath_Sin(h) * e.speed, s.x, s.radius, dt, false);
}

void WalkAnimation(Enemy& e, const PlayerPlace& v, float dt) {
    Sprite& s = *e.sprite;
    e.stepTimer -= dt;
    int g = Enemy_ViewGroup(s.heading, v.angle);
    if (e.stepTimer < 0.0f) {
        e.stepTimer += e.stepInterval;
        e.animFrame = (e.animFrame + 1) % 4;
        Footstep f = FootstepOf(e.kind);
        PlayFrom(*f.left, *f.right, s, v, f.loudness, f.pitch);
        if (f.shakes) StepEffects_Shake(e.mass * 0.5f / Distance2To(s, v));
    }
    e.hitShake = Decayed(e.hitShake, dt);
    float r1 = QL_Random_GetFloat(), r2 = QL_Random_GetFloat();
    s.jitterX = SimMath_Cos(QL_Math_Radians(360.0f * r1)) * e.hitShake;
    float rest = Enemy_Kind(e.kind).body.z; // where it stands when nothing shakes it
    s.z = rest - SimMath_Sin(QL_Math_Radians(360.0f * r2)) * e.hitShake;
    Sprite_SetFrame(&s, e.frames[4 * g + e.animFrame]);
}

// Counts a weapon's timer down; true when it fires this frame.
bool WeaponReady(float* timer, float interval, bool aimed, float dt) {
    *timer -= dt;
    if (*timer >= 0.0f) return false;
    *timer += aimed ? interval : kRetryDelay;
    return aimed;
}

void Weapons(Enemy& e, const PlayerPlace& v, bool sees, float b, float h0, float dt) {
    const Sprite& s = *e.sprite;
    float muzzle = s.radius + 0.1f, d2 = Distance2To(s, v);
    EnemySounds& snd = enemySounds;
    ShotOrigin origin{(int8_t)(kFiredByEnemy + e.kind), -1};
    if (e.singleShotOn && WeaponReady(&e.singleShotTimer, e.singleShotInterval,
                                      Enemy_Aimed(sees, b, h0, 10.0f), dt)) {
        PlayFrom(snd.singleShotLeft, snd.singleShotRight, s, v, 3.0f, 1.0f);
        StepEffects_WhiteFlash(25.0f / d2);
        Projectile_Spawn(s.x, s.y, s.heading, muzzle, e.singleShotSpeed, false, false, 1,
                         kEnemyBulletFrames, origin);
    }
    bool multiAimed = Enemy_Aimed(sees, b, h0, e.multiShotSpread * 0.5f);
    if (e.multiShotOn && WeaponReady(&e.multiShotTimer, e.multiShotInterval, multiAimed, dt)) {
        PlayFrom(snd.multiShotLeft, snd.multiShotRight, s, v, (float)e.multiShotCount / 3.0f, 1.0f);
        StepEffects_WhiteFlash((float)e.multiShotCount * 25.0f / d2);
        Projectile_SpawnFan(s.x, s.y, muzzle, e.multiShotSpeed, false, e.multiShotCount, s.heading,
                            e.multiShotSpread, kEnemyBulletFrames, origin);
    }
    if (e.bombShotOn &&
        WeaponReady(&e.bombShotTimer, e.bombShotInterval, Enemy_Aimed(sees, b, h0, 45.0f), dt)) {
        PlayFrom(snd.bombShotLeft, snd.bombShotRight, s, v, (float)e.bombShotPower / 5.0f, 1.0f);
        StepEffects_WhiteFlash((float)e.bombShotPower * 25.0f / d2);
        Projectile_Spawn(s.x, s.y, s.heading, muzzle, e.bombShotSpeed, false, true, e.bombShotPower,
                         kEnemyBombFrames, origin);
    }
}

} // namespace

int Enemy_ViewGroup(float heading, float playerAngle) {
    float rel = heading - playerAngle;
    if (rel >= 180.0f)
        rel -= 360.0f;
    else if (rel <= -180.0f)
        rel += 360.0f;
    if (rel >= -135.0f && rel <= -45.0f) return 1;
    if (rel > -45.0f && rel <= 45.0f) return 2;
    if (rel > 45.0f && rel <= 135.0f) return 3;
    return 0;
}

bool Enemy_Aimed(bool sees, float bearing, float heading, float tolerance) {
    return sees && std::fabs(bearing - heading) < tolerance;
}

void Enemy_AxisMove(float* p, float v, float q, float r, float dt, bool alongX) {
    float s = *p + dt * v;
    float e = v > 0.0f ? s + r : s - r;
    bool inside = e >= 0.0f && e <= (float)kArenaSize && q >= 0.0f && q <= (float)kArenaSize;
    bool blocked = !inside;
    if (inside) {
        int along = std::max((int)e, 0), across = std::max((int)q, 0);
        const MapCell* cell = alongX ? Arena_CellAt(along, across) : Arena_CellAt(across, along);
        blocked = !cell || (cell->top > -2.1f && cell->bottom < -2.1f);
    }
    if (!blocked)
        *p += dt * v;
    else if (v > 0.0f)
        *p = std::ceil(*p) - r;
    else
        *p = std::floor(*p) + r;
}

bool Enemy_Update(Enemy* enemy, float dt) {
    if (!enemy->sprite || !enemy->sprite->inUse) return false;
    Enemy& e = *enemy;
    Sprite& s = *e.sprite;
    PlayerPlace v{player.x, player.y, player.angle};
    bool sees = Grid_LineOfSight(s.x, s.y, v.x, v.y);
    if (sees) {
        e.targetX = v.x;
        e.targetY = v.y;
    }
    float b = QL_Math_Degrees(SimMath_Atan2(s.y - e.targetY, e.targetX - s.x));
    float h0 = s.heading >= 180.0f ? s.heading - 360.0f : s.heading;
    Turn(e, b, h0, dt);
    Move(e, dt);
    WalkAnimation(e, v, dt);
    Weapons(e, v, sees, b, h0, dt);
    return true;
}

void Enemy_ContactTest(Enemy* enemy) {
    if (!enemy->sprite || !enemy->sprite->inUse) return;
    const Sprite& s = *enemy->sprite;
    if (!Player_Touches(s)) return;
    float a = SimMath_Atan2(s.y - player.y, player.x - s.x);
    player.pushX += SimMath_Cos(a) * 20.0f;
    player.pushY -= SimMath_Sin(a) * 20.0f;
    if (player.contactCooldown >= 0.0f) return;
    RunEvents_Note(RunEventKind::Hurt, ShotOrigin(), enemy->kind);
    Player_Hurt();
    player.contactCooldown = 1.0f;
}
