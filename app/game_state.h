// The game state's init and exit: what a run loads, builds and frees.
#pragma once

void Game_Init();
void Game_Exit();
