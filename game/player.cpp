// The run's records and their start values.
#include "game/player.h"

#include "core/constants.h"
#include "game/game_assets.h"
#include "game/step_effects.h"
#include "quillon/quillon.h"
#include "world/camera.h"
#include "world/sprite_pool.h"

Player player;
RunState runState;

void Player_ResetForRun(float startX, float startY, float startAngle, int32_t bestScore) {
    player.x = startX;
    player.y = startY;
    player.angle = startAngle;
    player.lives = 3;
    player.score = 0;
    player.bestScore = bestScore;
    player.nextLifeScore = 100;
    player.extraLifeLevel = 1;
    player.weapon = kWeaponAuto;
    player.weaponCooldown = 0.25f;
    player.autoLevel = 1;
    player.autoInterval = 0.25f;
    player.spreadLevel = 1;
    player.spreadPellets = 9;
    player.bombLevel = 1;
    player.bombPower = 36;
    player.reloadBlipTimer = 0.0f;
    player.contactCooldown = 0.0f;
}

void Player_Hurt() {
    StepEffects_Effect(gameSounds.playerHurt, 0.5f);
    StepEffects_Shake(1.0f);
    StepEffects_HurtFlash(100.0f);
    player.lives -= 1;
}

void Player_ResetProgram() {
    player = Player{};
    runState = RunState{};
    whiteFlash = hurtFlash = 0.0f;
}

void RunState_Reset() {
    runState.paused = 0;
    runState.elapsed = 0.0f;
    runState.stage = 0;
    runState.stageTimer = 51.2f;
    runState.stageLength = 51.2f;
    runState.enemySpawnTimer = 0.0f;
    runState.enemySpawnScale = 3.0f;
    runState.pickupInterval = 3.0f;
    runState.pickupTimer = (QL_Random_GetFloat() + 0.5f) * runState.pickupInterval;
}

bool Player_Touches(const Sprite& s) {
    float reach = s.radius + 0.05f;
    float dx = player.x - s.x, dy = player.y - s.y;
    return dx * dx + dy * dy < reach * reach;
}

float RunState_Growth(float elapsed) {
    return elapsed / 240.0f + 1.0f;
}

PlayerCarry Player_GetCarry() {
    PlayerCarry c{};
    for (const CarriedFloat& f : kCarriedFloats)
        c.*f.carry = player.*f.player;
    c.stepSide = player.stepSide;
    return c;
}

void Player_SetCarry(const PlayerCarry& c) {
    for (const CarriedFloat& f : kCarriedFloats)
        player.*f.player = c.*f.carry;
    player.stepSide = c.stepSide;
}

// Both records are four-byte fields only, so their bytes are their values (no padding).
void Player_Hash(StateHash* hash) {
    StateHash_Add(hash, player, runState);
}
