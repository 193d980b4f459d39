// Sounds heard from a point in the arena: a left and a right sample played at two volumes.
#pragma once

#include "quillon/quillon.h"

// The volumes one play gives each side (before the engine sees them).
struct StereoVolumes {
    float left, right;
};

StereoVolumes Sound_PositionalVolumes(float sourceX, float sourceY, float listenerX,
                                      float listenerY, float listenerAngle, float loudness);
// Asks for the right sample, then the left, at volumes that fall with the squared distance (never
// louder than at half a cell, each side at most 3.0) and lean toward the side the source is on:
// the step's sounds are played after it.
void Sound_PlayPositional(QL_Sound leftSound, QL_Sound rightSound, float sourceX, float sourceY,
                          float listenerX, float listenerY, float listenerAngle, float loudness,
                          float pitch);
