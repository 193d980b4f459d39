// The steps of a frame of play that are the game's own (the frame's order lives in app/).
#pragma once

#include "game/run_command.h"
#include "quillon/quillon.h"

// Sounds resumed, then enemy spawning, pickups, projectiles, every enemy with its contact test,
// the weapons, the player's movement and turning, the extra life and the stage, in that order,
// all by the frame's command and its time step.
void GameUpdate_Step(const RunCommand& command);
// The command's pause (Escape, Start) toggles the pause, with a blip; its way back (B) resumes.
void GameUpdate_PauseToggle(const RunCommand& command);

// Gives one extra life when the score has reached the next threshold (100, 400, 900, ... n^2 x
// 100); at most one per frame.
void GameUpdate_CheckExtraLife();
// The sky a stage (0 to 7) drifts to.
QL_Color GameUpdate_StageSky(int stage);
// Advances the run clock and, every 51.2 s of play, the music stage with its track and sky.
void GameUpdate_AdvanceStage(float dt);
