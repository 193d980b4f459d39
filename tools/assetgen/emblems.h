// Drawn emblems: coverage masks (text, ellipses, polygons, rings), grown for outlines and filled
// with gradients, layered into the game's logos. Everything is computed, so the same code always
// gives the same pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/pixels.h"

// How much of each pixel a shape covers, 0 to 1.
struct Mask {
    int w = 0, h = 0;
    std::vector<float> a;
    float At(int x, int y) const {
        return x < 0 || y < 0 || x >= w || y >= h ? 0.0f : a[(size_t)(y * w + x)];
    }
};

Mask Mask_Make(int w, int h);
// Text rendered alone: its width, height and one coverage byte a pixel (empty when the font or
// the text cannot be rendered).
struct TextCoverage {
    int w = 0, h = 0;
    std::vector<uint8_t> a;
};
TextCoverage Emblem_RenderText(const std::string& font, const char* text, int size);
// Draws text in colour c, horizontally centred on cx with its top at y, at a pixel size.
void Emblem_Text(Picture* p, const std::string& fontPath, const char* text, int size, int cx, int y,
                 Rgba c);
// The largest pixel size up to size at which text fits within width pixels.
int Emblem_FittingSize(const std::string& fontPath, const char* text, int size, int width);
// Text centred on cx with its top at y, in the font at a pixel size.
void Mask_Text(Mask* m, const std::string& font, const char* text, int size, int cx, int y);
void Mask_Ellipse(Mask* m, float cx, float cy, float rx, float ry);
// A convex or concave polygon of n points (x0, y0, x1, y1, ...), sampled 4 x 4 a pixel.
void Mask_Polygon(Mask* m, const std::vector<float>& points);
// Everything within radius of the shape: the ground of an outline.
Mask Mask_Grown(const Mask& m, float radius);
// The mask with another taken out of it.
Mask Mask_Minus(const Mask& m, const Mask& cut);
// Adds another shape to the mask.
void Mask_Add(Mask* m, const Mask& more);

// A colour at a point: the fill of a layer.
struct Gradient {
    Rgba from, to;
    float x0, y0, x1, y1; // from at (x0, y0), to at (x1, y1), linear between
    Rgba At(float x, float y) const;
};
Gradient Gradient_Flat(Rgba c);
Gradient Gradient_Vertical(Rgba top, Rgba bottom, float y0, float y1);

// Lays the mask's shape over the picture in the gradient's colours, times opacity.
void Emblem_Paint(Picture* p, const Mask& m, const Gradient& g, float opacity = 1.0f);
// The picture's silhouette in one colour: the shadow a logo is drawn over.
Picture Emblem_Silhouette(const Picture& p, Rgba c);
