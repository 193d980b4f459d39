// The frame of each game state, in its order, and the one place where what a screen asks for
// becomes a state switch.
#pragma once

#include <string>

#include "app/replay_state.h"
#include "game/run_command.h"
#include "ui/screen_request.h"

// The front end's frame: the focus gate, then the backdrop and the current screen.
void Menu_Update();
// The frame of play: the focus, game-over and pause gates, then the run's steps in order.
void Game_Update();
// One frame of a run from the player's command, live or played back: the focus and pause gates,
// then the run's step; drawn only when draw is set (a replay at speed leaves frames undrawn).
// Returns what the pause screen asked for.
ScreenRequest Run_Frame(const RunCommand& command, bool draw);
// Switches to watching a recording; false with the reason when it cannot be played.
bool App_Watch(const std::string& path, const ReplayOptions& options, std::string* why);
// Carries out what a screen asked for: a run, the front end, or the end of the program.
void App_Act(ScreenRequest request);
