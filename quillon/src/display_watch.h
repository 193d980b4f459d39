// Noticing that the connection to the X server is gone (the server was stopped or crashed), so
// that the frame loop can end the program in order instead of Xlib calling exit() from under it.
#pragma once

#include <SDL.h>

// Watches the display connection of the window, when it is an X11 one; does nothing elsewhere.
void DisplayWatch_Start(SDL_Window* window);
// Whether the display connection has been lost. Once it has, no call may be made on it.
bool DisplayWatch_Lost();
// The window is being closed, at the program's end, with everything kept: a loss from here on
// ends the process at once. SDL may be waiting on the connection for an event that a dead one
// never brings, and would spin there for ever.
void DisplayWatch_Closing();
