// Drawing primitives and PNG encoding for generated pictures.
#include "tools/assetgen/pixels.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

Picture Picture_Make(int width, int height, Rgba fill) {
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels.assign((size_t)width * (size_t)height, fill);
    return p;
}

static bool Inside(const Picture& p, int x, int y) {
    return x >= 0 && y >= 0 && x < p.width && y < p.height;
}

Rgba Picture_Get(const Picture& p, int x, int y) {
    return Inside(p, x, y) ? p.pixels[(size_t)(y * p.width + x)] : Rgba{0, 0, 0, 0};
}

void Picture_Set(Picture* p, int x, int y, Rgba c) {
    if (Inside(*p, x, y)) p->pixels[(size_t)(y * p->width + x)] = c;
}

void Picture_Blend(Picture* p, int x, int y, Rgba c) {
    if (!Inside(*p, x, y)) return;
    Rgba& d = p->pixels[(size_t)(y * p->width + x)];
    float a = c.a / 255.0f, da = d.a / 255.0f;
    float out = a + da * (1.0f - a);
    if (out <= 0.0f) return;
    auto mix = [&](uint8_t s, uint8_t t) {
        return (uint8_t)std::lround((s * a + t * da * (1.0f - a)) / out);
    };
    d = Rgba{mix(c.r, d.r), mix(c.g, d.g), mix(c.b, d.b), (uint8_t)std::lround(out * 255.0f)};
}

void Picture_FillRect(Picture* p, int x, int y, int w, int h, Rgba c) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            Picture_Set(p, i, j, c);
}

void Picture_FillEllipse(Picture* p, float cx, float cy, float rx, float ry, Rgba c) {
    if (rx <= 0 || ry <= 0) return;
    for (int j = (int)std::floor(cy - ry); j <= (int)std::ceil(cy + ry); j++)
        for (int i = (int)std::floor(cx - rx); i <= (int)std::ceil(cx + rx); i++) {
            float dx = (i + 0.5f - cx) / rx, dy = (j + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f) Picture_Set(p, i, j, c);
        }
}

void Picture_Line(Picture* p, int x0, int y0, int x1, int y1, Rgba c) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
    for (;;) {
        Picture_Set(p, x0, y0, c);
        if (x0 == x1 && y0 == y1) return;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Picture_Outline(Picture* p, int x, int y, int w, int h, Rgba c) {
    std::vector<std::pair<int, int>> marks;
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) {
            if (Picture_Get(*p, i, j).a != 0) continue;
            bool near = false;
            for (int k = 0; k < 4 && !near; k++) {
                int ni = i + (k == 0) - (k == 1), nj = j + (k == 2) - (k == 3);
                bool inBox = ni >= x && nj >= y && ni < x + w && nj < y + h;
                near = inBox && Picture_Get(*p, ni, nj).a != 0;
            }
            if (near) marks.push_back({i, j});
        }
    for (auto [i, j] : marks)
        Picture_Set(p, i, j, c);
}

void Picture_Copy(Picture* dst, int dx, int dy, const Picture& src, int sx, int sy, int w, int h,
                  bool mirror) {
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int from = mirror ? sx + w - 1 - i : sx + i;
            Picture_Set(dst, dx + i, dy + j, Picture_Get(src, from, sy + j));
        }
}

Rgba Shade(Rgba c, float f) {
    auto s = [f](uint8_t v) { return (uint8_t)std::clamp((int)std::lround(v * f), 0, 255); };
    return Rgba{s(c.r), s(c.g), s(c.b), c.a};
}

// Written through SDL_image's PNG writer into memory.
std::vector<unsigned char> Picture_EncodePng(const Picture& p) {
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormat(0, p.width, p.height, 32, SDL_PIXELFORMAT_RGBA32);
    std::vector<unsigned char> bytes;
    if (!s) return bytes;
    for (int y = 0; y < p.height; y++)
        SDL_memcpy((uint8_t*)s->pixels + y * s->pitch, &p.pixels[(size_t)(y * p.width)],
                   (size_t)p.width * 4);
    std::vector<unsigned char> buffer((size_t)p.width * p.height * 5 + 4096);
    SDL_RWops* rw = SDL_RWFromMem(buffer.data(), (int)buffer.size());
    if (rw && IMG_SavePNG_RW(s, rw, 0) == 0) {
        Sint64 size = SDL_RWtell(rw);
        bytes.assign(buffer.begin(), buffer.begin() + size);
    }
    if (rw) SDL_RWclose(rw);
    SDL_FreeSurface(s);
    return bytes;
}

// One pixel of the shrunk picture: the box of source pixels it covers, averaged.
static Rgba BoxAverage(const Picture& p, int x0, int y0, int x1, int y1) {
    double r = 0, g = 0, b = 0, a = 0;
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++, n++) {
            Rgba c = Picture_Get(p, x, y);
            r += c.r * c.a;
            g += c.g * c.a;
            b += c.b * c.a;
            a += c.a;
        }
    if (a <= 0.0 || n == 0) return Rgba{0, 0, 0, 0};
    auto channel = [](double v) { return (uint8_t)std::lround(std::fmin(255.0, v)); };
    return Rgba{channel(r / a), channel(g / a), channel(b / a), channel(a / n)};
}

Picture Picture_Scaled(const Picture& p, int w, int h) {
    Picture out = Picture_Make(w, h, Rgba{0, 0, 0, 0});
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int x0 = x * p.width / w, x1 = std::max(x0 + 1, (x + 1) * p.width / w);
            int y0 = y * p.height / h, y1 = std::max(y0 + 1, (y + 1) * p.height / h);
            Picture_Set(&out, x, y, BoxAverage(p, x0, y0, x1, y1));
        }
    return out;
}
