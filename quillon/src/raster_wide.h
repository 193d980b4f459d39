// The rasterizer's blends eight pixels a step, where the processor has AVX2: every channel of
// them at once in 16-bit lanes, where the sum d * (255 - a) + s * a + 254 still fits. They give
// the bytes the plain loops give. Each takes the pixels [x0, x1) of a row and returns the first
// one it left for the caller's plain loop (fewer than eight); without AVX2 that is x0.
#pragma once

#include <cstdint>

// A colour (0xAARRGGBB, alpha below 255) over every pixel.
int Wide_Blend(uint32_t* row, int x0, int x1, uint32_t color);
// A glyph's colour over each pixel by its coverage (cover[x], 0 to 255) times the colour's alpha.
int Wide_Glyph(uint32_t* row, const uint8_t* cover, int x0, int x1, uint32_t color);
// A picture's texels (texels[x], straight alpha) over each pixel, their alpha times alpha.
int Wide_Texels(uint32_t* row, const uint32_t* texels, int x0, int x1, int alpha);
