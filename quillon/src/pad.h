// Gamepads: SDL game controllers opened as they are plugged in, their buttons' edges taken from
// events, their axes read once a frame through the dead zones.
#pragma once

#include <SDL.h>

#include "quillon/quillon.h"

// Starts SDL's game controllers; the pads already plugged in arrive as events. Headless, only
// the driver's virtual pads count, so that a run plays the same on every machine.
bool Pad_Open(bool headless);
void Pad_Close();
void Pad_BeginFrame(); // clears this frame's edges
// Takes a controller event; true when it was one.
bool Pad_HandleEvent(const SDL_Event& e);
// Reads every open pad's buttons and axes (after this frame's events).
void Pad_Refresh();
// Headless: pumps SDL's joysticks and hands their events to handle.
void Pad_PumpHeadless(void (*handle)(const SDL_Event&));
// Whether the pad moved last; the mouse or the keyboard moving clears it.
void Pad_SetInUse(bool inUse);
