// The front end: the flying backdrop under the splash sequence, the title and its screens.
#pragma once

#include <cstdint>

#include "ui/front_end_state.h"
#include "ui/screen_request.h"

// The screen's name, as the state log writes it: the title asking to quit is "quit question".
const char* FrontEnd_ScreenName(int screen, bool quitConfirm);

void FrontEnd_Reset(); // the start values of every entry into the front end
// Shows a screen (a MenuScreen) from the next frame on.
void FrontEnd_Open(int screen);
// One focused frame of the front end: sound resumed, the backdrop, then the current screen.
// Returns what the player chose on it.
ScreenRequest FrontEnd_Frame();
