// Images: PNG files loaded through SDL_image, kept as a surface (to rebuild the texture when the
// renderer loses it) and a texture; drawn whole or in part, with alpha and either filter.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
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

// Huge destinations (a sprite right in front of the eye) crash SDL's software stretcher, so any
// picture reaching this far beyond the canvas is cut to the canvas first.
static const float kMaxReach = 4096.0f;

struct Uv {
    float u0, v0, u1, v1; // texture coordinates of the destination's left/top and right/bottom
};

// Cuts the destination to the canvas and the texture coordinates with it; false when nothing is
// left to draw.
static bool ClipToCanvas(SDL_FRect* dst, Uv* uv) {
    float x0 = SDL_max(dst->x, 0.0f), y0 = SDL_max(dst->y, 0.0f);
    float x1 = SDL_min(dst->x + dst->w, (float)g_ql.width);
    float y1 = SDL_min(dst->y + dst->h, (float)g_ql.height);
    if (x1 <= x0 || y1 <= y0) return false;
    float du = (uv->u1 - uv->u0) / dst->w, dv = (uv->v1 - uv->v0) / dst->h;
    *uv = Uv{uv->u0 + (x0 - dst->x) * du, uv->v0 + (y0 - dst->y) * dv, uv->u0 + (x1 - dst->x) * du,
             uv->v0 + (y1 - dst->y) * dv};
    *dst = SDL_FRect{x0, y0, x1 - x0, y1 - y0};
    return true;
}

static void DrawClipped(QL_Image img, SDL_FRect dst, Uv uv, int alpha) {
    if (!ClipToCanvas(&dst, &uv)) return;
    SDL_Color c{255, 255, 255, (Uint8)alpha};
    SDL_Vertex v[4] = {{{dst.x, dst.y}, c, {uv.u0, uv.v0}},
                       {{dst.x + dst.w, dst.y}, c, {uv.u1, uv.v0}},
                       {{dst.x + dst.w, dst.y + dst.h}, c, {uv.u1, uv.v1}},
                       {{dst.x, dst.y + dst.h}, c, {uv.u0, uv.v1}}};
    static const int idx[6] = {0, 1, 2, 0, 2, 3};
    SDL_SetTextureAlphaMod(img->texture, 255);
    SDL_RenderGeometry(g_ql.renderer, img->texture, v, 4, idx, 6);
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
    SDL_Rect whole{0, 0, img->surface->w, img->surface->h};
    const SDL_Rect& s = src ? *src : whole;
    float tw = (float)img->surface->w, th = (float)img->surface->h;
    Uv uv{(float)s.x / tw, (float)s.y / th, (float)(s.x + s.w) / tw, (float)(s.y + s.h) / th};
    if (w < 0) {
        x += w;
        w = -w;
        std::swap(uv.u0, uv.u1);
    }
    if (h < 0) {
        y += h;
        h = -h;
        std::swap(uv.v0, uv.v1);
    }
    if (w <= 0.0f || h <= 0.0f) return;
    if (img->filter != g_ql.filterMode) {
        SDL_SetTextureScaleMode(img->texture,
                                g_ql.filterMode ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        img->filter = g_ql.filterMode;
    }
    SDL_FRect dst{x, y, w, h};
    if (!Reasonable(dst)) {
        DrawClipped(img, dst, uv, a);
        return;
    }
    int flip = (uv.u0 > uv.u1 ? SDL_FLIP_HORIZONTAL : 0) | (uv.v0 > uv.v1 ? SDL_FLIP_VERTICAL : 0);
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
