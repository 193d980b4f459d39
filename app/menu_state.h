// The front-end game state's init and exit: what it loads and frees on each entry.
#pragma once

void Menu_Init();
void Menu_Exit();
