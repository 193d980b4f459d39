// The program's start: its data, default settings, full screen, the frame cap and the first
// state.
#pragma once

#include <string>

// Everything the entry point does before running the engine loop.
void App_Start();
// Finds the game's data wherever the program was started from, and the leaderboard's place.
// False when there is no data; why then names the folders tried.
bool App_FindData(std::string* why);
