// The game-over screen: the run's score and, when it makes the leaderboard, its place and a
// three-letter name entry on scrolling character wheels.
#pragma once

#include <cstdint>

#include "ui/screen_request.h"

extern char nameLetters[3]; // the tag being entered; kept from one game over to the next

// One frame of the screen; ToMenu once its button is clicked (after submitting the entry).
// recorded false says that the run's recording failed. With a world board set, U asks for
// SendLastRun (after submitting the entry); sent says that it was, and the screen then shows where
// the run stands.
ScreenRequest GameOver_Update(int32_t score, bool recorded = true, bool sent = false);
// The place message for place p (0 to 7), written into out (100 bytes).
void GameOver_PlaceMessage(int p, char* out);
// One step of a letter wheel within printable ASCII, wrapping at both ends.
char GameOver_WheelStep(char letter, int delta);
