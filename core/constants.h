// Named values that several layers of the game share.
#pragma once

#include "quillon/quillon.h"

// Every smooth decay in the game (speeds, turning, knock-back, shake, flashes) loses this much
// of its value per second: v - dt * v * 10 each frame.
const float kDecayRate = 10.0f;

// v after one frame of dt seconds of that decay.
inline float Decayed(float v, float dt) {
    return v - dt * v * kDecayRate;
}

// A run's eight stages, each with its music, sky and mix of enemies.
const int kStageCount = 8;

// The player's three guns, by the number the player's record keeps and keys 1 to 3 choose.
enum WeaponNumber { kWeaponAuto = 0, kWeaponSpread = 1, kWeaponBomb = 2 };
// Each gun's colour, as the HUD names it and the board draws it: AUTO magenta, SPREAD cyan,
// BOMB yellow.
const QL_Color kWeaponColors[3] = {{255, 0, 255, 255}, {0, 255, 255, 255}, {255, 255, 0, 255}};

// The palette the screens share.
const QL_Color kBlack{0, 0, 0, 255};
const QL_Color kWhite{255, 255, 255, 255};
const QL_Color kRed{250, 50, 50, 255}; // menu keys, questions, the lives counter
