// The frame of each game state, in its order, and the one place where what a screen asks for
// becomes a state switch.
#pragma once

#include "ui/screen_request.h"

// The front end's frame: the focus gate, then the backdrop and the current screen.
void Menu_Update();
// The frame of play: the focus, game-over and pause gates, then the run's steps in order.
void Game_Update();
// Carries out what a screen asked for: a run, the front end, or the end of the program.
void App_Act(ScreenRequest request);
