// The sounds and images of a run: loaded by the game state's init, freed by its exit.
#pragma once

#include "core/constants.h"
#include "quillon/quillon.h"

struct GameSounds {
    QL_Sound ricochetLeft, ricochetRight;
    QL_Sound enemyDownLeft, enemyDownRight;
    QL_Sound enemyHurtLeft, enemyHurtRight;
    QL_Sound enemySpawnLeft, enemySpawnRight; // the right-hand file does not exist: always empty
    QL_Sound explosionLeft, explosionRight;
    QL_Sound healthUp, pickupCoin, pickupPower;
    QL_Sound autogun, shotgun, bombgun, playerHurt;
    QL_Sound footstepLeft, footstepRight; // the player's own
    QL_Sound blip;
};

// The enemies' footsteps, rolling and shots, by Left/Right pair.
struct EnemySounds {
    QL_Sound lightLeft, lightRight, mediumLeft, mediumRight, heavyLeft, heavyRight;
    QL_Sound tankLeft, tankRight;
    QL_Sound singleShotLeft, singleShotRight, multiShotLeft, multiShotRight;
    QL_Sound bombShotLeft, bombShotRight;
};

const int kMusicTracks = kStageCount; // one track a stage

extern GameSounds gameSounds;
extern EnemySounds enemySounds;
extern QL_Sound gameMusic[kMusicTracks];
extern QL_Image cursorImage;

// Stops the music playing and loops a stage's track on the music group. The group's volume
// already carries the music setting (2 x musicVolume, which is 1.0 at the default 0.5 and which
// the settings screen sets on every change), so the track plays at 1.0: giving the track the
// setting as well would square it.
void GameMusic_Start(int stage);
