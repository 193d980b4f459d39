// The front-end game state's init and exit: what it loads and frees on each entry.
#pragma once

void Menu_Init();
// The next entry into the front end opens this screen (a MenuScreen) instead of the splash
// sequence: a replay goes back to where it was started from.
void Menu_OpenAt(int screen);
// Opens the game's font (once for the program) and makes it current.
void Menu_LoadFont();
void Menu_Exit();
