// The title screen: the game's instructions and its key menu, with the quit question.
#pragma once

#include "ui/screen_request.h"

// One frame of the title; returns what the player chose (a run, quitting) or None.
ScreenRequest Title_Step();
