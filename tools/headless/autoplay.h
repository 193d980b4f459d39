// A simple bot that plays a run: it turns toward the nearest enemy it can see, fires with a
// weapon that suits the distance, strafes, backs off from contact and walks to pickups.
#pragma once

// Decides this frame's input and hands it to the headless driver. Call before each frame.
void Autoplay_Frame();
// Forgets everything about earlier runs (the driver's input state included).
void Autoplay_Reset();
// Whether a run has been played to its end (the program is back in the front end after one).
bool Autoplay_RunOver();
