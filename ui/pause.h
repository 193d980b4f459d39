// The pause overlay: a darkening veil over the frozen picture, "PAUSED", and a button to abandon
// the run after a Yes/No question.
#pragma once

#include "ui/screen_request.h"

extern bool pauseQuitConfirm; // the overlay asks whether to quit; survives resuming and new runs

// One paused frame: the veil, the question and the buttons; ToMenu once the quit is confirmed.
ScreenRequest Pause_Update();
