// The CONTROLS screen, opened from the settings screen: every action of play with its two keys or
// mouse buttons and its pad button. Choose a slot (a click, or the arrows and Enter), then press
// what it should be: a control another action holds swaps with the slot's, and the screen says
// so. Escape cancels a choice; RESET TO DEFAULTS puts every binding back; Escape, B on a pad or
// BACK return to the settings.
#pragma once

#include "ui/screen_request.h"

// Starts the screen afresh: the first slot chosen, nothing asked.
void ControlsScreen_Reset();
ScreenRequest ControlsScreen_Step();
// Whether a slot is waiting for its new control.
bool ControlsScreen_Asking();
