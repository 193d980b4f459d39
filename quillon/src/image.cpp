// Images: PNG files loaded through SDL_image, kept as a surface (to rebuild the texture when the
// renderer loses it) and a texture; drawn whole or in part, with alpha and either filter.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
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

// Negative sizes mirror the picture.
static void Blit(QL_Image img, const SDL_Rect* src, float x, float y, float w, float h, int alpha) {
    Ql_Stats_Count(2);
    if (!img || !img->texture || g_ql.countOnly) return;
    int a = Ql_ClampChannel(alpha);
    if (a == 0) return;
    if (g_ql.imageMode == 0) {
        x -= w * 0.5f;
        y -= h * 0.5f;
    }
    int flip = SDL_FLIP_NONE;
    if (w < 0) {
        x += w;
        w = -w;
        flip |= SDL_FLIP_HORIZONTAL;
    }
    if (h < 0) {
        y += h;
        h = -h;
        flip |= SDL_FLIP_VERTICAL;
    }
    if (img->filter != g_ql.filterMode) {
        SDL_SetTextureScaleMode(img->texture,
                                g_ql.filterMode ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        img->filter = g_ql.filterMode;
    }
    SDL_SetTextureAlphaMod(img->texture, (Uint8)a);
    SDL_FRect dst{x, y, w, h};
    SDL_RenderCopyExF(g_ql.renderer, img->texture, src, &dst, 0.0, nullptr, (SDL_RendererFlip)flip);
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
