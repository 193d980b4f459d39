// Where the player's settings last between starts: settings.txt beside the leaderboard, read as
// the game starts and written as the player leaves the settings screens with something changed.
#pragma once

#include <string>

// settings.txt in the folder of the leaderboard's file.
std::string SettingsStore_PathBeside(const std::string& leaderboard);
// The file to read and write; "" (the start, and the headless driver) keeps nothing.
void SettingsStore_Use(const std::string& path);
const std::string& SettingsStore_Path();
// Reads the file into the settings and bindings and applies them (the music's volume, the window);
// a missing file leaves the defaults. Each line that cannot be read is said once on stderr.
void SettingsStore_Load();
// Writes the file where the settings or bindings differ from what it holds, whole or not at all.
// False where it could not be written: said on stderr the first time only, and play goes on.
bool SettingsStore_Save();
// Once a frame: a window moved to another display makes that the display remembered, and kept.
void SettingsStore_FollowDisplay();
