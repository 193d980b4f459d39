// The settings screen: volumes, field of view, mouse sensitivity, window mode, debug overlay,
// and resetting the high scores after a question.
#pragma once

#include "ui/screen_request.h"

// A frame of the screen; S asks for the title again.
ScreenRequest SettingsScreen_Step();

// Puts the window in the mode the settings hold.
void SettingsScreen_ApplyWindow();

// One press of a down or up key on a setting with a step and bounds.
void SettingsScreen_StepDown(float* value, float step, float lower);
void SettingsScreen_StepUp(float* value, float step, float upper);
