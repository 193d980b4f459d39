// The steps of a frame of play that are the game's own (the frame's order lives in app/).
#pragma once

// Sounds resumed, then enemy spawning, pickups, projectiles, every enemy with its contact test,
// the weapons, and the player's movement and mouse look, in that order.
void Game_SimulateStep();
// Escape toggles the pause, with a blip.
void Game_EscapeToggle();

// Gives one extra life when the score has reached the next threshold (100, 400, 900, ... n^2 x
// 100); at most one per frame.
void Game_CheckExtraLife();
// Advances the run clock and, every 51.2 s of play, the music stage with its track and sky.
void Game_AdvanceStage(float dt);
