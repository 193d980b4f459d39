// The front-end game state's init and exit: what it loads and frees on each entry.
#pragma once

void Menu_Init();
// Opens the game's font (once for the program) and makes it current.
void Menu_LoadFont();
void Menu_Exit();
