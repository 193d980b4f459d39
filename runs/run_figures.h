// A run's figures in brief, kept beside its recording as run-....zrun.figures ("name = value" a
// line), so that the game-over screen can set a run against the player's best of their kept
// runs without playing them again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runs/run_story.h"

struct RunFigures {
    double seconds = 0.0;
    int64_t score = 0, stage = 1, kills = 0, shots = 0, hits = 0;
};

// The best of kept runs, figure by figure (each from whichever run holds it).
struct BestFigures {
    int runs = 0; // how many runs it was drawn from; 0: nothing to compare with
    double seconds = 0.0;
    int64_t score = 0, stage = 0, kills = 0;
    double accuracy = -1.0; // hits over shots of the best run that fired; -1 when none did
};

RunFigures RunFigures_Of(const RunStory& story);
std::string RunFigures_Text(const RunFigures& figures);
// False when the text holds no score line (not a figures file); lines it does not know, or
// whose values are not numbers in range, are passed over.
bool RunFigures_Parse(const std::string& text, RunFigures* figures);
BestFigures RunFigures_Best(const std::vector<RunFigures>& runs);
// Hits over shots, -1 without a shot.
double RunFigures_Accuracy(const RunFigures& figures);
