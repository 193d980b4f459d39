// How fast the hands behind a run answer what comes into sight: for each enemy, the time from its
// first frame in the player's sight (in front of him, the line to it clear) to the first hit on
// it, gathered frame by frame as a run is played back. A person's answers spread over a few
// tenths of a second; a program's can be all alike, or faster than a person's.
#pragma once

#include <cstdint>
#include <vector>

#include "game/enemies.h"

struct ReactionWatch {
    bool present[kEnemyCount] = {};   // the slot's enemy was alive the frame before
    float seenAt[kEnemyCount] = {};   // seconds of play when it came into sight; < 0 not yet
    int32_t health[kEnemyCount] = {}; // its health when it spawned
    bool answered[kEnemyCount] = {};  // its first hit is counted (or it was never in sight)
    std::vector<float> times;         // seconds from sight to the first hit, one an enemy
};

void ReactionWatch_Reset(ReactionWatch* w);
// After each frame of play.
void ReactionWatch_Frame(ReactionWatch* w);
// The median of the times, in seconds; 0 when no enemy was hit after coming into sight.
double ReactionWatch_Median(const ReactionWatch& w);
