// The frame of play: the focus, game-over and pause gates, then the run's steps in order.
#pragma once

void Game_Update();

// Gives one extra life when the score has reached the next threshold (100, 400, 900, ... n^2 x
// 100); at most one per frame.
void Game_CheckExtraLife();
// Advances the run clock and, every 51.2 s of play, the music stage with its track and sky.
void Game_AdvanceStage(float dt);
