// The two read-only front-end screens: the leaderboard and the credits.
#pragma once

#include "scores/high_scores.h"
#include "ui/screen_request.h"

// Whether each place has a recorded run to watch; the app fills it in as the screen opens.
extern bool highScoreRecorded[kHighScoreCount];

// A frame of the leaderboard: H returns to the title, 1 to 8 watch a place's recorded run.
ScreenRequest HighScoreScreen_Step();
// A frame of the credits: C returns to the title.
ScreenRequest CreditsScreen_Step();
