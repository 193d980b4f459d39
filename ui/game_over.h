// The game-over screen: the run's score and, when it makes the leaderboard, its place and a
// three-letter name entry on scrolling character wheels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/screen_request.h"

extern char nameLetters[3]; // the tag being entered; kept from one game over to the next

// The run's figures, and the best of the player's kept runs to set them against.
struct GameOverFigures {
    double seconds = 0.0;
    int64_t kills = 0, shots = 0, hits = 0, stage = 1;
    int bestRuns = 0; // how many kept runs the best comes from; 0: no best to show
    double bestSeconds = 0.0, bestAccuracy = -1.0; // -1: none of them fired
    int64_t bestKills = 0, bestStage = 0;
};

// What the screen shows beside the score. recorded false says that the run's recording failed;
// sent that the run went to the world board; entered that its letters are in. figures (when set)
// are shown once there are no letters to enter.
struct GameOverView {
    bool recorded = true, sent = false, entered = false;
    const GameOverFigures* figures = nullptr;
};

// One frame of the screen. A run that places shows the letter wheels and Submit Score, which
// submits the entry and asks EnterName; then (or at once, for a run that does not place) the
// run's figures and Back to Main, which asks ToMenu. With a world board set, U asks for
// SendLastRun (after submitting the entry), and the screen then shows where the run stands.
ScreenRequest GameOver_Update(int32_t score, const GameOverView& view = GameOverView());
// A figure's line, "ACCURACY 41 % (BEST 38 %)", and whether the run beat the best (drawn in
// yellow).
struct GameOverFigureLine {
    std::string text;
    bool beaten;
};
std::vector<GameOverFigureLine> GameOver_FigureLines(const GameOverFigures& figures);
// The place message for place p (0 to 7), written into out (100 bytes).
void GameOver_PlaceMessage(int p, char* out);
// One step of a letter wheel within printable ASCII, wrapping at both ends.
char GameOver_WheelStep(char letter, int delta);
