// The game state: every run reloads its sounds, music, cursor and sprite sheet, seeds the random
// generator from the clock, and starts from fresh run values; its exit frees them all.
#include "app/game_state.h"

#include <ctime>

#include "app/asset_list.h"
#include "app/player_command.h"
#include "core/data_folder.h"
#include "core/settings.h"
#include "game/game_assets.h"
#include "game/sim_state.h"
#include "runs/run_recorder.h"
#include "runs/run_story.h"
#include "scores/high_scores.h"
#include "world/sprite_pool.h"

#define SFX "./Assets/Music/SFX/"

static const SoundAsset kEffects[] = {
    {SFX "BulletRicochetLeft.wav", &gameSounds.ricochetLeft},
    {SFX "BulletRicochetRight.wav", &gameSounds.ricochetRight},
    {SFX "EnemyDownLeft.wav", &gameSounds.enemyDownLeft},
    {SFX "EnemyDownRight.wav", &gameSounds.enemyDownRight},
    {SFX "EnemyHurtLeft.wav", &gameSounds.enemyHurtLeft},
    {SFX "EnemyHurtRight.wav", &gameSounds.enemyHurtRight},
    {SFX "EnemySpawnLeft.wav", &gameSounds.enemySpawnLeft},
    {nullptr, &gameSounds.enemySpawnRight}, // never loaded: freed empty after the left one
    {SFX "ExplosionLeft.wav", &gameSounds.explosionLeft},
    {SFX "ExplosionRight.wav", &gameSounds.explosionRight},
    {SFX "HealthUp.wav", &gameSounds.healthUp},
    {SFX "PickupCoin.wav", &gameSounds.pickupCoin},
    {SFX "PickupPower.wav", &gameSounds.pickupPower},
    {SFX "PlayerAutogun.wav", &gameSounds.autogun},
    {SFX "PlayerShotgun.wav", &gameSounds.shotgun},
    {SFX "PlayerBombgun.wav", &gameSounds.bombgun},
    {SFX "PlayerHurt.wav", &gameSounds.playerHurt},
    {SFX "LightFootstepLeft.wav", &gameSounds.footstepLeft},
    {SFX "LightFootstepRight.wav", &gameSounds.footstepRight},
    {SFX "BombGunBlip.wav", &gameSounds.blip},
};

static const SoundAsset kEnemySet[] = {
    {SFX "LightFootstepLeft.wav", &enemySounds.lightLeft},
    {SFX "LightFootstepRight.wav", &enemySounds.lightRight},
    {SFX "MediumFootstepLeft.wav", &enemySounds.mediumLeft},
    {SFX "MediumFootstepRight.wav", &enemySounds.mediumRight},
    {SFX "HeavyFootstepLeft.wav", &enemySounds.heavyLeft},
    {SFX "HeavyFootstepRight.wav", &enemySounds.heavyRight},
    {SFX "TankRollLeft.wav", &enemySounds.tankLeft},
    {SFX "TankRollRight.wav", &enemySounds.tankRight},
    {SFX "enemySingleShotLeft.wav", &enemySounds.singleShotLeft},
    {SFX "enemySingleShotRight.wav", &enemySounds.singleShotRight},
    {SFX "enemyMultiShotLeft.wav", &enemySounds.multiShotLeft},
    {SFX "enemyMultiShotRight.wav", &enemySounds.multiShotRight},
    {SFX "enemyBombShotLeft.wav", &enemySounds.bombShotLeft},
    {SFX "enemyBombShotRight.wav", &enemySounds.bombShotRight},
};

#define BGM "./Assets/Music/BGM/"

static const SoundAsset kMusic[kMusicTracks] = {
    {BGM "Zorb1.wav", &gameMusic[0]}, {BGM "Zorb2.wav", &gameMusic[1]},
    {BGM "Zorb3.wav", &gameMusic[2]}, {BGM "Zorb4.wav", &gameMusic[3]},
    {BGM "Zorb5.wav", &gameMusic[4]}, {BGM "Zorb6.wav", &gameMusic[5]},
    {BGM "Zorb7.wav", &gameMusic[6]}, {BGM "Zorb8.wav", &gameMusic[7]},
};

static const ImageAsset kSheet[] = {{kSpriteSheetPath, &spriteSheet}};
static const ImageAsset kCursor[] = {{"./Assets/Art/Cursor.png", &cursorImage}};

static const int kEffectCount = sizeof kEffects / sizeof kEffects[0];
static const int kEnemySetCount = sizeof kEnemySet / sizeof kEnemySet[0];

static bool seedGiven = false; // the next run's seed was given (today's run's)
static uint32_t givenSeed = 0;

void Game_SetNextSeed(uint32_t seed) {
    seedGiven = true;
    givenSeed = seed;
}

void Game_Init() {
    uint32_t seed = seedGiven ? givenSeed : (uint32_t)std::time(nullptr);
    seedGiven = false;
    Game_InitSeeded(seed, HighScoreTable[0].score);
    PlayerCommand_CentrePointer();
    Recorder_Start();
}

void Game_InitSeeded(uint32_t seed, int32_t bestScore) {
    AssetList_LoadSounds(kEffects, kEffectCount);
    AssetList_LoadSounds(kMusic, kMusicTracks);
    AssetList_LoadImages(kCursor, 1);
    SimState_StartRun(seed, bestScore);
    RunStory_Reset(&runStory);
    AssetList_LoadImages(kSheet, 1);
    QL_Settings_ImageFilterMode(0);
    AssetList_LoadSounds(kEnemySet, kEnemySetCount);
    GameMusic_Start(0);
}

void Game_Exit() {
    Recorder_Finish(nullptr); // a run left before its game over, or the program closed
    AssetList_FreeImages(kSheet, 1);
    AssetList_FreeSounds(kEnemySet, kEnemySetCount);
    AssetList_FreeSounds(kEffects, kEffectCount);
    AssetList_FreeSounds(kMusic, kMusicTracks);
    AssetList_FreeImages(kCursor, 1);
}
