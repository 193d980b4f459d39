// Where the game's files are, wherever it is started from, and where what it writes goes.
// The data folder is the first of these that holds the game's files: ./Assets in the working
// directory (the build folder, portable copies), Assets beside the program, and the installed
// data folder found from the program (../share/games/zorb/Assets from games/). The leaderboard
// lives in the data folder where the game may write there (or a leaderboard is already kept
// there), else in the player's own folder.
#pragma once

#include <string>
#include <vector>

// Looks for the data folder and makes it the one asset paths resolve to. False when none holds
// the game's files; tried then lists the folders looked in.
bool DataFolder_Find(std::vector<std::string>* tried);
// The data folder in use ("./Assets" until one is found).
const std::string& DataFolder_Assets();
// An asset's path: "./Assets/Art/Cursor.png" in the data folder in use.
std::string DataFolder_Path(const char* assetPath);
// Where the leaderboard goes for the data folder in use: beside the data when the game may write
// there or a leaderboard is kept there already, else in the player's own folder
// ($XDG_DATA_HOME/zorb, %APPDATA%\ZORB), made then.
std::string DataFolder_Leaderboard();
