// The frame of each game state, in its order, and the one place where what a screen asks for
// becomes a state switch.
#pragma once

#include <string>

#include "app/replay_state.h"
#include "ui/screen_request.h"

// The front end's frame: the focus gate, then the backdrop and the current screen.
void Menu_Update();
// The frame of play: the focus, game-over and pause gates, then the run's steps in order.
void Game_Update();
// The frame of watching a recording, and the way out it asks for.
void Frames_Replay();
// ZORB_FRAME_CAP=N: the cap from the start, for the benchmarks and tests.
void Frames_CapFromEnvironment();
// The same for a cap given as text (ZORB_FRAME_CAP's value; null for none).
void Frames_CapFrom(const char* asked);
// Holds the frames to the cap chosen on the settings screen (or by ZORB_FRAME_CAP), or to at most
// 30 a second while the game only waits for the player to come back (idle): the front end, the
// pause overlay and a replay without the focus. Once a frame; it also counts the frame in the
// frame-rate log (ZORB_FPS_LOG).
void Frames_Pace(bool idle);
// Switches to watching a recording; false with the reason when it cannot be played.
bool App_Watch(const std::string& path, const ReplayOptions& options, std::string* why);
// Carries out what a screen asked for: a run, the front end, or the end of the program.
void App_Act(ScreenRequest request);
