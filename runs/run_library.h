// The folder of recorded runs, Runs/ beside the leaderboard: the last 20 runs, and every run whose
// entry is on the leaderboard, tied to its entry by index.txt ("SCORE TAG FILE" a line, the tag
// three bytes).
#pragma once

#include <string>
#include <vector>

#include "runs/run_figures.h"
#include "scores/high_scores.h"

const int kRunLibraryRecent = 20;

// A line of the index: a place's score and tag (its three bytes), and its recording's name.
struct RunIndexEntry {
    int score;
    std::string tag, file;
};
// The entries of an index's text; lines that hold none are skipped, and at most 64 are read.
std::vector<RunIndexEntry> RunLibrary_ParseIndex(const std::string& text);
// The index's text for entries, a line each.
std::string RunLibrary_FormatIndex(const std::vector<RunIndexEntry>& entries);

// The folder, ending in a separator; "" when there is no leaderboard path. Asking makes nothing
// (zorb --help asks): the folder is made when the first recording starts.
std::string RunLibrary_Folder();
// A new recording's name in the folder (made when missing), by the time it starts:
// run-YYYYMMDD-HHMMSS[-N].zrun, with neither it nor its .part taken. "" with why (where given)
// when the folder cannot be made.
std::string RunLibrary_NewPath(std::string* why = nullptr);
// Files a finished recording: a run whose entry went onto the leaderboard (tag not null) is tied
// to it in the index. Then the index forgets entries that no place names (in memory or in the
// leaderboard's file, read again), and every recording neither indexed nor among the last 20
// (cut-short ones included) is removed. All of it under the leaderboard's lock.
void RunLibrary_Keep(const std::string& path, const char* tag, int score);
// Keeps a recording's figures beside it (run-....zrun.figures), going with it when it goes.
void RunLibrary_KeepFigures(const std::string& path, const RunFigures& figures);
// The figures kept beside the folder's recordings, but the one at except (the run just played).
std::vector<RunFigures> RunLibrary_KeptFigures(const std::string& except);
// The recordings of the leaderboard's places, the index read once: "" where a place has none.
void RunLibrary_Places(std::string paths[kHighScoreCount]);
// The recording of a leaderboard place (0 to 7), or "" when there is none.
std::string RunLibrary_ForPlace(int place);
