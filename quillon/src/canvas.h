// The canvas: the engine's one 32-bit picture in memory, and the list of this frame's draw
// commands waiting to be painted into it. The list is painted in horizontal bands on the band
// pool whenever the picture is needed (presenting, reading pixels) or about to change size.
#pragma once

#include <cstdint>

#include "raster.h"

// Paints what is pending, then makes a black canvas of the size. False, leaving the canvas as it
// was, when a side exceeds kCanvasMaxSide or the memory cannot be had.
const int kCanvasMaxSide = 16384;
bool Canvas_Resize(int width, int height);
void Canvas_Release();
int Canvas_Width();
int Canvas_Height();
// Adds a command to the list. One that hides the whole canvas (a clear, an opaque rectangle over
// all of it) makes everything before it moot, so it empties the list first.
void Canvas_Record(const QlDrawCmd& cmd);
// Paints every pending command; the picture is then complete.
void Canvas_Flush();
// The pixels, rows of Canvas_Width() 0xAARRGGBB values, after painting what is pending.
const uint32_t* Canvas_Pixels();
// Two pictures: one presented while the next frame is painted into the other. A frame still
// starts from the last frame's pixels, and Canvas_Pixels is always the latest picture. a and b,
// when given, are memory the window lends for them (Canvas_Width() x Canvas_Height() pixels
// each) until the next resize or release; otherwise the canvas keeps its own.
void Canvas_UseTwoPictures(bool on, uint32_t* a = nullptr, uint32_t* b = nullptr);
// Paints what is pending and hands back the finished picture to present. With two pictures, it
// stays unchanged until the next swap, and painting goes on in the other.
const uint32_t* Canvas_Swap();
// Whether the picture has changed (been painted, resized or moved to other memory) since the last
// call; paints what is pending first. A frame that changed nothing need not be shown again.
bool Canvas_TakeChanged();
