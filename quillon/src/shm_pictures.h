// On X11, the canvas's two pictures can live in memory shared with the X server: a finished
// picture then goes to the window as it is, where the window's own surface first takes a copy
// of it (at 4K, 33 MB a frame, as much as the server's own copy to the screen). None are made
// where the display is not X11, is reached over the network, or keeps its pixels in another
// order than the canvas; the window's surface serves there.
#pragma once

#include <cstdint>

struct SDL_Window;

// Makes the two pictures for the window, width x height pixels each, black; false, with none,
// where they cannot be had (QUILLON_SHM=0 refuses them, for comparison). Frees any made before.
bool ShmPictures_Open(SDL_Window* window, int width, int height);
void ShmPictures_Close();
bool ShmPictures_On();
// Picture 0 or 1.
uint32_t* ShmPictures_Picture(int i);
// Puts one of the two pictures into the window, whole, and returns once the server has taken
// it; false when the pixels are not one of them.
bool ShmPictures_Present(const uint32_t* pixels);
