// Where the game's files are, wherever it is started from, and where what it writes goes.
// The data folder is the first of these that holds the game's files: ./Assets in the working
// directory (the build folder, portable copies), Assets beside the program, and the installed
// data folder found from the program (../share/games/zorb/Assets from games/). The leaderboard
// lives in the data folder where the game may write there (or a leaderboard is already kept
// there), else in the player's own folder; the installed data folder is never written.
#pragma once

#include <string>
#include <vector>

// The files every copy of the game's data has, without which no screen can be drawn.
const char* const kMenuFontPath = "./Assets/Fonts/Monodeco Bold.ttf";
const char* const kSpriteSheetPath = "./Assets/Art/Spritesheet.png";

// Looks for the data folder and makes it the one asset paths resolve to. False when none holds
// the game's files; tried then lists the folders looked in.
bool DataFolder_Find(std::vector<std::string>* tried);
// Why a folder that DataFolder_Find passed over cannot serve though it holds the game's sheet: its
// menu font is a link to a font that is not installed (the system's DejaVu Sans Mono Bold, from
// fonts-dejavu-core), said with the link's target. Empty when that is not why.
std::string DataFolder_BrokenFont(const std::string& folder);
// The data folder in use ("./Assets" until one is found).
const std::string& DataFolder_Assets();
// An asset's path: "./Assets/Art/Cursor.png" in the data folder in use.
std::string DataFolder_Path(const char* assetPath);
// Where the leaderboard goes for the data folder in use: beside the data when the game may write
// there or a leaderboard is kept there already, unless the data is the installed package's; else
// in the player's own folder. Asking makes no folder (zorb --help asks).
std::string DataFolder_Leaderboard();
// Makes the player's own folder, where the last DataFolder_Leaderboard put the leaderboard there.
void DataFolder_MakeOwnFolder();
// The player's own folder: $XDG_DATA_HOME/zorb (an empty or relative value counting as unset,
// so ~/.local/share/zorb), %APPDATA%\ZORB on Windows; "" when neither can be told.
std::string DataFolder_OwnFolder();
