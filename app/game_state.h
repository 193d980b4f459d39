// The game state's init and exit: what a run loads, builds and frees.
#pragma once

#include <cstdint>

// Starts a run, seeded from the clock or with the seed given before it (today's run's).
void Game_Init();
void Game_SetNextSeed(uint32_t seed);
// What Game_Init does but for the mouse: loads the run's assets and starts the run from a seed,
// with bestScore as the leaderboard's best. A recording being watched starts its run here.
void Game_InitSeeded(uint32_t seed, int32_t bestScore);
void Game_Exit();
