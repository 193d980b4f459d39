// The emblem toolkit.
#include "tools/assetgen/emblems.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>

Mask Mask_Make(int w, int h) {
    return Mask{w, h, std::vector<float>((size_t)(w * h), 0.0f)};
}

static void Cover(Mask* m, int x, int y, float coverage) {
    if (x < 0 || y < 0 || x >= m->w || y >= m->h) return;
    float& a = m->a[(size_t)(y * m->w + x)];
    a = std::max(a, coverage);
}

TextCoverage Emblem_RenderText(const std::string& font, const char* text, int size) {
    TextCoverage out;
    TTF_Font* f = TTF_OpenFont(font.c_str(), size);
    if (!f) return out;
    SDL_Surface* s = TTF_RenderUTF8_Blended(f, text, SDL_Color{255, 255, 255, 255});
    TTF_CloseFont(f);
    if (!s) return out;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(s);
    if (!rgba) return out;
    out.w = rgba->w;
    out.h = rgba->h;
    out.a.resize((size_t)(out.w * out.h));
    for (int j = 0; j < out.h; j++)
        for (int i = 0; i < out.w; i++)
            out.a[(size_t)(j * out.w + i)] =
                ((const uint8_t*)rgba->pixels)[j * rgba->pitch + i * 4 + 3];
    SDL_FreeSurface(rgba);
    return out;
}

void Mask_Text(Mask* m, const std::string& font, const char* text, int size, int cx, int y) {
    TextCoverage t = Emblem_RenderText(font, text, size);
    for (int j = 0; j < t.h; j++)
        for (int i = 0; i < t.w; i++)
            Cover(m, cx - t.w / 2 + i, y + j, t.a[(size_t)(j * t.w + i)] / 255.0f);
}

void Mask_Ellipse(Mask* m, float cx, float cy, float rx, float ry) {
    for (int y = std::max(0, (int)(cy - ry) - 1); y <= std::min(m->h - 1, (int)(cy + ry) + 1); y++)
        for (int x = std::max(0, (int)(cx - rx) - 1); x <= std::min(m->w - 1, (int)(cx + rx) + 1);
             x++) {
            // Signed distance to the edge, in pixels, approximated along the radius.
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            float d = (std::sqrt(dx * dx + dy * dy) - 1.0f) * std::min(rx, ry);
            Cover(m, x, y, std::clamp(0.5f - d, 0.0f, 1.0f));
        }
}

static bool InsidePolygon(const std::vector<float>& p, float x, float y) {
    bool in = false;
    size_t n = p.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float xi = p[2 * i], yi = p[2 * i + 1], xj = p[2 * j], yj = p[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

void Mask_Polygon(Mask* m, const std::vector<float>& points) {
    float top = 1e9f, bottom = -1e9f, left = 1e9f, right = -1e9f;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        left = std::min(left, points[i]);
        right = std::max(right, points[i]);
        top = std::min(top, points[i + 1]);
        bottom = std::max(bottom, points[i + 1]);
    }
    for (int y = std::max(0, (int)top); y <= std::min(m->h - 1, (int)bottom); y++)
        for (int x = std::max(0, (int)left); x <= std::min(m->w - 1, (int)right); x++) {
            int hits = 0;
            for (int k = 0; k < 16; k++)
                hits += InsidePolygon(points, x + (k % 4 + 0.5f) / 4, y + (k / 4 + 0.5f) / 4);
            if (hits) Cover(m, x, y, hits / 16.0f);
        }
}

Mask Mask_Grown(const Mask& m, float radius) {
    Mask out = Mask_Make(m.w, m.h);
    const int r = (int)std::ceil(radius);
    std::vector<std::pair<int, int>> disk;
    for (int dy = -r; dy <= r; dy++)
        for (int dx = -r; dx <= r; dx++)
            if (dx * dx + dy * dy <= radius * radius) disk.push_back({dx, dy});
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            float best = 0.0f;
            for (const auto& [dx, dy] : disk) {
                best = std::max(best, m.At(x + dx, y + dy));
                if (best >= 1.0f) break;
            }
            out.a[(size_t)(y * m.w + x)] = best;
        }
    return out;
}

Mask Mask_Minus(const Mask& m, const Mask& cut) {
    Mask out = m;
    for (size_t i = 0; i < out.a.size() && i < cut.a.size(); i++)
        out.a[i] = std::max(0.0f, out.a[i] - cut.a[i]);
    return out;
}

void Mask_Add(Mask* m, const Mask& more) {
    for (size_t i = 0; i < m->a.size() && i < more.a.size(); i++)
        m->a[i] = std::max(m->a[i], more.a[i]);
}

Rgba Gradient::At(float x, float y) const {
    float dx = x1 - x0, dy = y1 - y0, len = dx * dx + dy * dy;
    float t = len > 0.0f ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len, 0.0f, 1.0f) : 0.0f;
    auto mix = [t](uint8_t a, uint8_t b) { return (uint8_t)std::lround(a + (b - a) * t); };
    return Rgba{mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b), mix(from.a, to.a)};
}

Gradient Gradient_Flat(Rgba c) {
    return Gradient{c, c, 0, 0, 0, 0};
}

Gradient Gradient_Vertical(Rgba top, Rgba bottom, float y0, float y1) {
    return Gradient{top, bottom, 0, y0, 0, y1};
}

void Emblem_Paint(Picture* p, const Mask& m, const Gradient& g, float opacity) {
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            float a = m.At(x, y) * opacity;
            if (a <= 0.0f) continue;
            Rgba c = g.At(x + 0.5f, y + 0.5f);
            c.a = (uint8_t)std::lround(c.a * a);
            Picture_Blend(p, x, y, c);
        }
}

Picture Emblem_Silhouette(const Picture& p, Rgba c) {
    Picture s = Picture_Make(p.width, p.height, Rgba{c.r, c.g, c.b, 0});
    for (size_t i = 0; i < p.pixels.size(); i++)
        s.pixels[i].a = (uint8_t)(p.pixels[i].a * c.a / 255);
    return s;
}

void Emblem_Text(Picture* p, const std::string& fontPath, const char* text, int size, int cx, int y,
                 Rgba c) {
    TextCoverage t = Emblem_RenderText(fontPath, text, size);
    for (int j = 0; j < t.h; j++)
        for (int i = 0; i < t.w; i++) {
            uint8_t a = t.a[(size_t)(j * t.w + i)];
            if (a)
                Picture_Blend(p, cx - t.w / 2 + i, y + j,
                              Rgba{c.r, c.g, c.b, (uint8_t)(a * c.a / 255)});
        }
}

// The largest size up to size at which text fits within width pixels.
int Emblem_FittingSize(const std::string& fontPath, const char* text, int size, int width) {
    for (; size > 8; size--) {
        TTF_Font* font = TTF_OpenFont(fontPath.c_str(), size);
        if (!font) return size;
        int w = 0, h = 0;
        TTF_SizeUTF8(font, text, &w, &h);
        TTF_CloseFont(font);
        if (w <= width) return size;
    }
    return size;
}
