// The frame of play.
#pragma once

void Game_Update();
