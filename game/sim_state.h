// The simulation's state as one thing: the home of the list of everything that decides how a run
// goes on (the player and the run's clocks, the pools, the arena and the random generator), for
// its hash and for its resets. A module that gains state joins here.
#pragma once

#include <cstdint>

// The hash of everything that decides how the run continues, for a recording's checkpoints.
uint64_t SimState_Hash();
// Everything as at program start: no run, nothing carried over from one.
void SimState_ResetProgram();
// A run's start: the generator seeded, a freshly tinted arena, every pool bound and free, the
// player's and the run's start values, no shake. What the player carries from the last run stays.
// bestScore is the leaderboard's best.
void SimState_StartRun(uint32_t seed, int32_t bestScore);
