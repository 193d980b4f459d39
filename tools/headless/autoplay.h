// A simple bot that plays a run: it turns toward the nearest enemy it can see, fires with a
// weapon that suits the distance, strafes, backs off from contact and walks to pickups. When the
// run is lost it finishes it as a player would: the tag BOT where the score places, submitted,
// and back to the front end.
#pragma once

// Decides this frame's input and hands it to the headless driver. Call before each frame.
void Autoplay_Frame();
// Forgets everything about earlier runs (the driver's input state included).
void Autoplay_Reset();
// Whether a run has been played to its end (the program is back in the front end after one).
bool Autoplay_RunOver();
// Whether the run's game-over screen has been showing a moment, before the bot types its tag.
bool Autoplay_GameOverShown();
// The frames the run has taken so far, its game-over screen included.
long Autoplay_RunFrames();
