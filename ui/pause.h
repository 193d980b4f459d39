// The pause overlay: a darkening veil over the frozen picture, "PAUSED", and a button to abandon
// the run after a Yes/No question.
#pragma once

extern bool pauseQuitConfirm; // the overlay asks whether to quit; survives resuming and new runs

void Pause_Update();
