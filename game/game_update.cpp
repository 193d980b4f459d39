// The steps of a frame of play that are the game's own: the simulation in its order, the extra
// lives, the stages and the Escape key.
#include "game/game_update.h"

#include "core/constants.h"
#include "core/settings.h"
#include "game/enemies.h"
#include "game/enemy_behaviour.h"
#include "game/game_assets.h"
#include "game/pickups.h"
#include "game/player.h"
#include "game/player_motion.h"
#include "game/projectiles.h"
#include "game/run_events.h"
#include "game/step_effects.h"
#include "game/weapons.h"
#include "quillon/quillon.h"
#include "world/arena.h"

namespace {

// The sky each stage drifts to; stage 0's sky is set by the arena build.
const QL_Color kStageSky[kStageCount] = {
    {63, 127, 255, 255},  {63, 191, 255, 255}, {127, 191, 255, 255}, {127, 127, 255, 255},
    {191, 127, 191, 255}, {127, 63, 127, 255}, {127, 0, 63, 255},    {63, 0, 0, 255}};

void EnemiesStep(float dt) {
    player.contactCooldown -= dt;
    for (Enemy& e : EnemyPool)
        if (Enemy_Update(&e, dt)) Enemy_ContactTest(&e);
}

} // namespace

void GameUpdate_Step(const RunCommand& command) {
    RunEvents_Clear();
    StepEffects_ResumeSounds();
    Enemy_SpawnStep(command.dt);
    Pickups_Update(command.dt);
    Projectiles_Update(command.dt);
    EnemiesStep(command.dt);
    Weapons_Update(command);
    PlayerMotion_Update(command);
    GameUpdate_CheckExtraLife();
    GameUpdate_AdvanceStage(command.dt);
}

// The command's pause pauses and resumes; its way back also resumes.
void GameUpdate_PauseToggle(const RunCommand& command) {
    if (!command.pause && !(runState.paused && command.back)) return;
    StepEffects_Effect(gameSounds.blip, 3.0f);
    runState.paused = runState.paused ? 0 : 1;
}

void GameUpdate_CheckExtraLife() {
    if (player.score < player.nextLifeScore) return;
    player.extraLifeLevel += 1;
    player.lives += 1;
    player.nextLifeScore = player.extraLifeLevel * player.extraLifeLevel * 100;
    StepEffects_Effect(gameSounds.healthUp, 0.5f);
}

QL_Color GameUpdate_StageSky(int stage) {
    return kStageSky[stage < 0 ? 0 : stage >= kStageCount ? kStageCount - 1 : stage];
}

void GameUpdate_AdvanceStage(float dt) {
    runState.elapsed += dt;
    runState.stageTimer -= dt;
    if (runState.stageTimer > 0.0f || runState.stage >= kStageCount - 1) return;
    runState.stageTimer += runState.stageLength;
    runState.stage += 1;
    StepEffects_Music(runState.stage);
    StepEffects_Sky(kStageSky[runState.stage]);
}
