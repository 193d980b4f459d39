// The rasterizer: one frame's draw calls as a list of commands, and the routines that paint the
// rows of one horizontal band of the 32-bit canvas from that list, in painter's order. A pixel's
// colour depends only on the commands and the pixel, never on the band, so any split of the
// canvas into bands paints the same bytes.
#pragma once

#include <cstdint>

// Canvas pixels are 0xAARRGGBB with the alpha byte always 255.
inline uint32_t Ql_Pack(int r, int g, int b, int a) {
    return (uint32_t)a << 24 | (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b;
}

// A picture in memory, straight (not premultiplied) alpha, 0xAARRGGBB, row after row.
struct QlPixels {
    const uint32_t* data;
    int width, height;
};

// One glyph's coverage (0 to 255) in a font atlas.
struct QlGlyphMask {
    const uint8_t* data;
    int stride, width, height;
};

struct QlDrawCmd {
    enum Kind : uint8_t { Clear, Rect, Quad, Line, Image, Glyph } kind;
    uint32_t color;  // 0xAARRGGBB; the alpha byte is the blend weight (an image's alpha)
    int top, bottom; // the canvas rows it may touch, [top, bottom)
    union {
        struct {
            int x0, y0, x1, y1; // pixels [x0, x1) x [y0, y1), inside the canvas
        } rect;
        struct {
            // Edges 0 to 3 run from corner i to corner i + 1; edge 4 is the diagonal from
            // corner 0 to corner 2, which splits a quad that is not convex into two triangles.
            struct Edge {
                double yTop, yBottom; // the rows' centres it spans, [yTop, yBottom)
                double x, slope;      // x at yTop, and its change per unit of y
            } edges[5];
            int x0, x1; // the columns it may touch, [x0, x1)
            bool convex;
        } quad;
        struct {
            int x0, y0, x1, y1; // end points, both drawn, within a pixel of the canvas
        } line;
        struct {
            QlPixels src;          // the whole picture
            int sx, sy;            // the source rectangle's corner in texels
            int sw, sh;            // its size in texels
            double posX, posY;     // where its left and top edges land (before mirroring)
            double texelW, texelH; // a texel's size on the canvas
            bool flipX, flipY, smooth;
            int x0, x1; // the canvas columns it covers, [x0, x1)
            // A smooth picture's texels already resampled, (x1 - x0) a row for rows [top,
            // bottom) (see resample_cache.h); null to resample while painting.
            const uint32_t* resampled;
        } image;
        struct {
            QlGlyphMask mask;
            int x, y; // the mask's top-left corner on the canvas
        } glyph;
    };
};

class SolidCells;

// Paints rows [y0, y1) of the canvas (width x height pixels) with the commands, in order. known,
// when given, is what the canvas's rows hold already (see solid_cells.h): opaque fills then leave
// the pixels that hold their colour alone, and it is kept up to date for the rows painted.
void Raster_Band(const QlDrawCmd* cmds, int count, uint32_t* canvas, int width, int height, int y0,
                 int y1, SolidCells* known = nullptr);

// Command builders. Each returns false when the draw leaves no mark on a canvas of that size
// (fully transparent, empty or entirely off the canvas); otherwise fills *cmd.
bool Raster_MakeRect(QlDrawCmd* cmd, float x, float y, float w, float h, uint32_t color, int width,
                     int height);
bool Raster_MakeQuad(QlDrawCmd* cmd, const float* xs, const float* ys, uint32_t color, int width,
                     int height);
bool Raster_MakeLine(QlDrawCmd* cmd, float xa, float ya, float xb, float yb, uint32_t color,
                     int width, int height);
// The picture's source rectangle (sx, sy, sw, sh) drawn into the canvas rectangle (x, y, w, h);
// negative w or h mirror it. alpha 0 to 255.
bool Raster_MakeImage(QlDrawCmd* cmd, QlPixels src, int sx, int sy, int sw, int sh, float x,
                      float y, float w, float h, int alpha, bool smooth, int width, int height);
bool Raster_MakeGlyph(QlDrawCmd* cmd, QlGlyphMask mask, int x, int y, uint32_t color, int width,
                      int height);
// A smooth image command's resampled texels, before its alpha: the rows [top, bottom) of the
// columns [x0, x1), row after row, exactly as painting it would blend them.
void Raster_Resample(const QlDrawCmd& cmd, uint32_t* out);
