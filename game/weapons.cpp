// The player's weapons.
#include "game/weapons.h"

#include <algorithm>

#include "core/constants.h"
#include "core/settings.h"
#include "game/game_assets.h"
#include "game/player.h"
#include "game/projectiles.h"
#include "game/sprite_frames.h"
#include "game/step_effects.h"
#include "quillon/quillon.h"
#include "world/camera.h"

namespace {

// The wait after a shot, and after choosing the weapon: the AUTO gun's own interval, a second for
// the SPREAD gun, three for the BOMB gun.
float Cooldown(int weapon) {
    if (weapon == kWeaponAuto) return player.autoInterval;
    return weapon == kWeaponSpread ? 1.0f : 3.0f;
}

// The BOMB gun ticks while it reloads, slowly at first and faster as the cooldown runs out.
void ReloadTicks(float dt) {
    if (player.weapon != kWeaponBomb || player.weaponCooldown <= 0.0f) return;
    player.reloadBlipTimer -= dt / (player.weaponCooldown + 0.1f);
    if (player.reloadBlipTimer > 0.0f) return;
    StepEffects_Effect(gameSounds.blip, 3.0f);
    player.reloadBlipTimer += 0.1f;
}

void FireAuto() {
    StepEffects_Shake(0.03f);
    StepEffects_WhiteFlash(5.0f);
    StepEffects_Effect(gameSounds.autogun, 0.3f);
    Projectile_Spawn(player.x, player.y, player.angle, 0.2f, (float)(player.autoLevel + 7), true,
                     false, 1, kAutoBulletFrames, RunEvents_Fire(kWeaponAuto));
    player.weaponCooldown = Cooldown(kWeaponAuto);
}

void FireSpread() {
    int n = player.spreadPellets;
    StepEffects_WhiteFlash((float)n * 5.0f);
    StepEffects_Shake((float)n * 0.03f);
    StepEffects_Effect(gameSounds.shotgun, std::min((float)n / 30.0f, 1.0f));
    Projectile_SpawnFan(player.x, player.y, 0.2f, (float)(player.spreadLevel + 7) * 0.75f, true, n,
                        player.angle, 30.0f, kSpreadPelletFrames, RunEvents_Fire(kWeaponSpread));
    player.weaponCooldown = Cooldown(kWeaponSpread);
}

void FireBomb() {
    int p = player.bombPower;
    StepEffects_WhiteFlash((float)p * 5.0f);
    StepEffects_Shake((float)p * 0.03f);
    StepEffects_Effect(gameSounds.bombgun, std::min((float)p / 60.0f, 1.0f));
    Projectile_Spawn(player.x, player.y, player.angle, 0.2f, (float)(player.bombLevel + 7) * 0.5f,
                     true, true, p, kBombFrames, RunEvents_Fire(kWeaponBomb));
    player.weaponCooldown = Cooldown(kWeaponBomb);
}

// A selection always restarts the full cooldown.
void Choose(int weapon) {
    player.weapon = weapon;
    player.weaponCooldown = Cooldown(weapon);
    if (weapon == kWeaponBomb) player.reloadBlipTimer = 0.0f;
}

// The weapon the command asks for, or -1.
int Chosen(WeaponAsk ask) {
    switch (ask) {
    case WeaponAsk::Auto:
        return kWeaponAuto;
    case WeaponAsk::Spread:
        return kWeaponSpread;
    case WeaponAsk::Bomb:
        return kWeaponBomb;
    case WeaponAsk::Next:
        return (player.weapon + 1) % 3;
    case WeaponAsk::Previous:
        return (player.weapon + 2) % 3;
    default:
        return -1;
    }
}

} // namespace

float Weapons_AutoInterval(int32_t level) {
    return 1.0f / (float)(level + 3);
}
int32_t Weapons_SpreadPellets(int32_t level) {
    return level * 2 + 7;
}
int32_t Weapons_BombPower(int32_t level) {
    return (level + 3) * 9;
}

void Weapons_Update(const RunCommand& c) {
    float dt = c.dt;
    ReloadTicks(dt);
    player.weaponCooldown -= dt;
    if (player.weaponCooldown < 0.0f) player.weaponCooldown = 0.0f;
    if (c.fire && player.weaponCooldown <= 0.0f) {
        if (player.weapon == kWeaponAuto)
            FireAuto();
        else if (player.weapon == kWeaponSpread)
            FireSpread();
        else
            FireBomb();
    }
    int chosen = Chosen(c.weapon);
    if (chosen >= 0) Choose(chosen);
}
