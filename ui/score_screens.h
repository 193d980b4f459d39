// The two read-only front-end screens: the leaderboard and the credits.
#pragma once

void HighScoreScreen_Step();
void CreditsScreen_Step();
