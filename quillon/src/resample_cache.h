// Pictures drawn smooth at the same size and place frame after frame (the title's logo, the
// splash screens' logos) are resampled once and kept: resampling costs a bilinear blend of four
// texels a pixel, several milliseconds for a large logo, while the kept texels only blend. The
// kept texels are exactly those painting would compute, so the picture is the same to the byte.
#pragma once

#include <cstdint>

#include "raster.h"

// Gives a smooth image command the kept texels for its picture, size and place, resampling them
// the second time the same draw is seen in a row of frames (a draw seen once, or a picture that
// moves, is painted as before).
void ResampleCache_Attach(QlDrawCmd* cmd);
// After a frame is painted: drops what went unused for a while, within a bound on memory.
void ResampleCache_EndFrame();
// Before a picture's pixels are freed: drops everything resampled from them.
void ResampleCache_Forget(const uint32_t* pixels);
void ResampleCache_Clear();
