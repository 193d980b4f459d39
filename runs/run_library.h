// The folder of recorded runs, Runs/ beside the leaderboard: the last 20 runs, and every run whose
// entry is on the leaderboard, tied to its entry by index.txt ("SCORE TAG FILE" a line).
#pragma once

#include <string>

const int kRunLibraryRecent = 20;

// The folder, ending in a separator; "" when there is no leaderboard path. Asking makes nothing
// (zorb --help asks): the folder is made when the first recording starts.
std::string RunLibrary_Folder();
// A new recording's name in the folder (made when missing), by the time it starts:
// run-YYYYMMDD-HHMMSS[-N].zrun.
std::string RunLibrary_NewPath();
// Files a finished recording: a run whose entry went onto the leaderboard (tag not null) is tied
// to it in the index. Then the index forgets entries no longer on the leaderboard, and every
// recording neither indexed nor among the last 20 (cut-short ones included) is removed.
void RunLibrary_Keep(const std::string& path, const char* tag, int score);
// The recording of a leaderboard place (0 to 7), or "" when there is none.
std::string RunLibrary_ForPlace(int place);
