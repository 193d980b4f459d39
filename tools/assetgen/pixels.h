// A plain RGBA picture to draw pixel art and logos into, with a few primitives, and PNG output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    uint8_t r, g, b, a;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;
};

Picture Picture_Make(int width, int height, Rgba fill);
Rgba Picture_Get(const Picture& p, int x, int y);     // transparent outside
void Picture_Set(Picture* p, int x, int y, Rgba c);   // ignores points outside
void Picture_Blend(Picture* p, int x, int y, Rgba c); // alpha-blends over what is there
void Picture_FillRect(Picture* p, int x, int y, int w, int h, Rgba c);
// An ellipse inside the box (x, y, w, h), filled.
void Picture_FillEllipse(Picture* p, float cx, float cy, float rx, float ry, Rgba c);
void Picture_Line(Picture* p, int x0, int y0, int x1, int y1, Rgba c);
// Gives every transparent pixel next to an opaque one (inside the box) the outline colour.
void Picture_Outline(Picture* p, int x, int y, int w, int h, Rgba c);
// Copies the box (sx, sy, w, h) of src to (dx, dy), mirrored left to right when mirror is set.
void Picture_Copy(Picture* dst, int dx, int dy, const Picture& src, int sx, int sy, int w, int h,
                  bool mirror);
Rgba Shade(Rgba c, float factor); // scales r, g, b
// The picture shrunk to w x h, each pixel the average of those it covers (colours weighted by
// their alpha, so that transparent pixels lend no colour to the edges).
Picture Picture_Scaled(const Picture& p, int w, int h);

// Encodes as PNG; the same picture always gives the same bytes.
std::vector<unsigned char> Picture_EncodePng(const Picture& p);
