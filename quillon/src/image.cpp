// Images: PNG files loaded through SDL_image, kept as a surface (to rebuild the texture when the
// renderer loses it) and a texture; drawn whole or in part, with alpha and either filter.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "internal.h"

struct QL_ImageData {
    SDL_Surface* surface = nullptr;
    SDL_Texture* texture = nullptr;
    std::string path;
    int filter = -1; // scale mode last set on the texture
};

static std::vector<QL_ImageData*> images;

static void BuildTexture(QL_ImageData* img) {
    if (!g_ql.renderer || !img->surface) return;
    img->texture = SDL_CreateTextureFromSurface(g_ql.renderer, img->surface);
    if (img->texture) SDL_SetTextureBlendMode(img->texture, SDL_BLENDMODE_BLEND);
    img->filter = -1;
}

QL_Image QL_Image_Load(const char* path) {
    Ql_Log_Asset(true, "image", path);
    SDL_Surface* loaded = path ? IMG_Load(path) : nullptr;
    if (!loaded) return nullptr;
    SDL_Surface* surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!surface) return nullptr;
    QL_ImageData* img = new QL_ImageData;
    img->surface = surface;
    img->path = path;
    BuildTexture(img);
    images.push_back(img);
    return img;
}

void QL_Image_Free(QL_Image* image) {
    if (!image) return;
    QL_ImageData* img = *image;
    Ql_Log_Asset(false, "image", img ? img->path.c_str() : "");
    if (!img) return;
    images.erase(std::remove(images.begin(), images.end(), img), images.end());
    if (img->texture) SDL_DestroyTexture(img->texture);
    SDL_FreeSurface(img->surface);
    delete img;
    *image = nullptr;
}

void Ql_Image_RebuildTextures() {
    for (QL_ImageData* img : images) {
        if (img->texture) SDL_DestroyTexture(img->texture);
        img->texture = nullptr;
        BuildTexture(img);
    }
}

// Textures die with the renderer; the surfaces stay so the textures can be rebuilt.
void Ql_Image_DestroyAll() {
    for (QL_ImageData* img : images) {
        if (img->texture) SDL_DestroyTexture(img->texture);
        img->texture = nullptr;
    }
}

int QL_Image_GetWidth(QL_Image image) {
    return image ? image->surface->w : 0;
}
int QL_Image_GetHeight(QL_Image image) {
    return image ? image->surface->h : 0;
}

// Huge destinations (a sprite right in front of the eye) crash SDL's software stretcher, so a
// picture reaching far beyond the canvas is cut down to the source texels that show.
static const float kMaxReach = 4096.0f;

// One axis of a blit: where the picture starts, how wide a texel is, how many texels it has, and
// whether it is mirrored.
struct Axis {
    float pos, texel;
    int count;
    bool flip;
};

// The texels of an axis that land on [0, canvas): display positions first to first + n, and the
// source texels (from the source's start) they show.
static bool Visible(const Axis& a, float canvas, int* first, int* n, int* srcFirst) {
    int d0 = (int)SDL_max(0.0f, SDL_floorf(-a.pos / a.texel));
    int d1 = (int)SDL_min((float)a.count, SDL_ceilf((canvas - a.pos) / a.texel));
    if (d1 <= d0) return false;
    *first = d0;
    *n = d1 - d0;
    *srcFirst = a.flip ? a.count - d1 : d0;
    return true;
}

static Uint32 TexelAt(QL_Image img, int x, int y) {
    const Uint8* row = (const Uint8*)img->surface->pixels + y * img->surface->pitch;
    return ((const Uint32*)row)[x];
}

// Zoomed so far that a texel is wider than the canvas's margin: one filled rectangle a texel.
static void DrawTexels(QL_Image img, const SDL_Rect& src, const Axis& ax, const Axis& ay, int dx0,
                       int nx, int dy0, int ny, int alpha) {
    SDL_SetRenderDrawBlendMode(g_ql.renderer, SDL_BLENDMODE_BLEND);
    for (int dy = dy0; dy < dy0 + ny; dy++)
        for (int dx = dx0; dx < dx0 + nx; dx++) {
            int tx = src.x + (ax.flip ? ax.count - 1 - dx : dx);
            int ty = src.y + (ay.flip ? ay.count - 1 - dy : dy);
            Uint32 c = TexelAt(img, tx, ty);
            int a = (int)(c >> 24) * alpha / 255;
            if (a == 0) continue;
            SDL_SetRenderDrawColor(g_ql.renderer, (Uint8)(c >> 16), (Uint8)(c >> 8), (Uint8)c,
                                   (Uint8)a);
            SDL_FRect r{ax.pos + (float)dx * ax.texel, ay.pos + (float)dy * ay.texel, ax.texel,
                        ay.texel};
            SDL_RenderFillRectF(g_ql.renderer, &r);
        }
}

static void DrawCut(QL_Image img, const SDL_Rect& src, const Axis& ax, const Axis& ay, int alpha) {
    int dx0, nx, sx0, dy0, ny, sy0;
    if (!Visible(ax, (float)g_ql.width, &dx0, &nx, &sx0)) return;
    if (!Visible(ay, (float)g_ql.height, &dy0, &ny, &sy0)) return;
    if (ax.texel > kMaxReach / 2.0f || ay.texel > kMaxReach / 2.0f) {
        DrawTexels(img, src, ax, ay, dx0, nx, dy0, ny, alpha);
        return;
    }
    SDL_Rect cut{src.x + sx0, src.y + sy0, nx, ny};
    SDL_FRect dst{ax.pos + (float)dx0 * ax.texel, ay.pos + (float)dy0 * ay.texel,
                  (float)nx * ax.texel, (float)ny * ay.texel};
    int flip = (ax.flip ? SDL_FLIP_HORIZONTAL : 0) | (ay.flip ? SDL_FLIP_VERTICAL : 0);
    SDL_SetTextureAlphaMod(img->texture, (Uint8)alpha);
    SDL_RenderCopyExF(g_ql.renderer, img->texture, &cut, &dst, 0.0, nullptr,
                      (SDL_RendererFlip)flip);
}

static bool Reasonable(const SDL_FRect& d) {
    return d.x > -kMaxReach && d.y > -kMaxReach && d.x + d.w < (float)g_ql.width + kMaxReach &&
           d.y + d.h < (float)g_ql.height + kMaxReach;
}

// Negative sizes mirror the picture.
static void Blit(QL_Image img, const SDL_Rect* src, float x, float y, float w, float h, int alpha) {
    Ql_Stats_Count(2);
    if (!img || !img->texture || g_ql.countOnly) return;
    int a = Ql_ClampChannel(alpha);
    if (a == 0 || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h))
        return;
    if (g_ql.imageMode == 0) {
        x -= w * 0.5f;
        y -= h * 0.5f;
    }
    // A source rectangle reaching past the picture is cut to it.
    SDL_Rect whole{0, 0, img->surface->w, img->surface->h}, s = whole;
    if (src && !SDL_IntersectRect(src, &whole, &s)) return;
    Axis ax{w < 0 ? x + w : x, SDL_fabsf(w) / (float)s.w, s.w, w < 0};
    Axis ay{h < 0 ? y + h : y, SDL_fabsf(h) / (float)s.h, s.h, h < 0};
    if (ax.texel <= 0.0f || ay.texel <= 0.0f) return;
    if (img->filter != g_ql.filterMode) {
        SDL_SetTextureScaleMode(img->texture,
                                g_ql.filterMode ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        img->filter = g_ql.filterMode;
    }
    SDL_FRect dst{ax.pos, ay.pos, SDL_fabsf(w), SDL_fabsf(h)};
    if (!Reasonable(dst)) {
        DrawCut(img, s, ax, ay, a);
        return;
    }
    int flip = (ax.flip ? SDL_FLIP_HORIZONTAL : 0) | (ay.flip ? SDL_FLIP_VERTICAL : 0);
    SDL_SetTextureAlphaMod(img->texture, (Uint8)a);
    SDL_RenderCopyExF(g_ql.renderer, img->texture, &s, &dst, 0.0, nullptr, (SDL_RendererFlip)flip);
}

void QL_Image_Draw(QL_Image image, float x, float y, float w, float h, int alpha) {
    Blit(image, nullptr, x, y, w, h, alpha);
}

void QL_Image_DrawSubImage(QL_Image image, float x, float y, float w, float h, float s0, float t0,
                           float s1, float t1, int alpha) {
    SDL_Rect src{(int)s0, (int)t0, (int)(s1 - s0), (int)(t1 - t0)};
    if (src.w <= 0 || src.h <= 0) {
        Ql_Stats_Count(2);
        return;
    }
    Blit(image, &src, x, y, w, h, alpha);
}
