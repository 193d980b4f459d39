// A frame of a run, live or played back, from the player's command.
#pragma once

#include "game/run_command.h"
#include "ui/screen_request.h"

// The focus and pause gates, then the run's step and, when draw is set (a replay at speed leaves
// frames undrawn), its picture. Returns what the pause screen asked for.
ScreenRequest RunFrame_Step(const RunCommand& command, bool draw);
// The game's cursor over the pause and game-over screens, its top-left at the mouse.
void RunFrame_DrawCursor();
// The run's picture as it stands, without a step: for a paused replay whose canvas was made anew
// (the window resized).
void RunFrame_Draw();
