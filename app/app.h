// The program's start: its data, default settings, full screen, the frame cap and the first
// state.
#pragma once

// Everything the entry point does before running the engine loop.
void App_Start();
// Finds the game's data wherever the program was started from, and the leaderboard's place.
// False, having told the player which folders were tried, when there is no data.
bool App_FindData();
