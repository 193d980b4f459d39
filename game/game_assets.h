// The sounds and images of a run: loaded by the game state's init, freed by its exit.
#pragma once

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

const int kMusicTracks = 8;

extern GameSounds gameSounds;
extern EnemySounds enemySounds;
extern QL_Sound gameMusic[kMusicTracks];
extern QL_Image cursorImage;
