// Images: PNG files (only PNG) loaded through SDL_image into memory as 32-bit pixels, drawn whole
// or in part by the rasterizer, scaled nearest-neighbour or smoothly, with alpha and mirroring.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "asset_file.h"
#include "canvas.h"
#include "engine_log.h"
#include "internal.h"
#include "resample_cache.h"

struct QL_ImageData {
    std::vector<uint32_t> pixels; // 0xAARRGGBB, straight alpha
    int width = 0, height = 0;
    std::string path;
};

// The picture's pixels in the canvas's own format.
static bool ReadPixels(SDL_Surface* loaded, QL_ImageData* img) {
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    if (!s) return false;
    img->width = s->w;
    img->height = s->h;
    img->pixels.resize((size_t)s->w * (size_t)s->h);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++)
        std::copy_n((const uint32_t*)((const uint8_t*)s->pixels + (long)y * s->pitch), s->w,
                    img->pixels.begin() + (long)y * s->w);
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    return true;
}

// A picture larger than this on either side is refused before it is decoded: a damaged or
// hostile header would otherwise cost gigabytes.
static const uint32_t kMaxSide = 8192;

// Reads a PNG's size from its header; false when the bytes are not a PNG.
static bool PngSize(const std::vector<unsigned char>& file, uint32_t* w, uint32_t* h) {
    const unsigned char* head = file.data();
    if (file.size() < 24 || std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) != 0 ||
        std::memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    auto be = [&](int at) {
        return (uint32_t)head[at] << 24 | (uint32_t)head[at + 1] << 16 |
               (uint32_t)head[at + 2] << 8 | (uint32_t)head[at + 3];
    };
    *w = be(16);
    *h = be(20);
    return true;
}

// Only PNG files are pictures here: SDL_image would try a dozen other formats, whose decoders
// believe what their headers say (a damaged one asked for petabytes).
static bool SizeAllowed(const char* path, const std::vector<unsigned char>& file) {
    uint32_t w = 0, h = 0;
    if (!PngSize(file, &w, &h)) return false;
    if (w <= kMaxSide && h <= kMaxSide) return true;
    std::fprintf(stderr, "Quillon: %s is %u x %u pixels, larger than %u x %u: not loaded\n", path,
                 w, h, kMaxSide, kMaxSide);
    return false;
}

static SDL_Surface* DecodePng(const char* path) {
    std::vector<unsigned char> file;
    if (!AssetFile_Read(path, kAssetMaxBytes, &file) || !SizeAllowed(path, file)) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), (int)file.size());
    SDL_Surface* loaded = rw ? IMG_LoadPNG_RW(rw) : nullptr;
    if (rw) SDL_RWclose(rw);
    return loaded;
}

QL_Image QL_Image_Load(const char* path) {
    EngineLog_Asset(true, "image", path);
    SDL_Surface* loaded = path ? DecodePng(path) : nullptr;
    if (!loaded) return nullptr;
    QL_ImageData* img = new QL_ImageData;
    bool ok = ReadPixels(loaded, img);
    SDL_FreeSurface(loaded);
    if (!ok || img->width <= 0 || img->height <= 0 || (uint32_t)img->width > kMaxSide ||
        (uint32_t)img->height > kMaxSide) {
        delete img;
        return nullptr;
    }
    img->path = path;
    return img;
}

void QL_Image_Free(QL_Image* image) {
    if (!image) return;
    QL_ImageData* img = *image;
    EngineLog_Asset(false, "image", img ? img->path.c_str() : "");
    if (!img) return;
    Canvas_Flush(); // draws still waiting may read its pixels
    ResampleCache_Forget(img->pixels.data());
    delete img;
    *image = nullptr;
}

int QL_Image_GetWidth(QL_Image image) {
    return image ? image->width : 0;
}
int QL_Image_GetHeight(QL_Image image) {
    return image ? image->height : 0;
}

// Negative sizes mirror the picture; a source rectangle reaching past the picture is cut to it.
static void Blit(QL_Image img, int sx, int sy, int sw, int sh, float x, float y, float w, float h,
                 int alpha) {
    EngineLog_Count(QlStat::Image);
    if (!img || !g_ql.videoReady || g_ql.countOnly) return;
    if (g_ql.imageMode == 0) {
        x -= w * 0.5f;
        y -= h * 0.5f;
    }
    int x0 = std::max(sx, 0), y0 = std::max(sy, 0);
    int x1 = std::min((long)img->width, (long)sx + sw),
        y1 = std::min((long)img->height, (long)sy + sh);
    if (x1 <= x0 || y1 <= y0) return;
    QlDrawCmd cmd;
    QlPixels src{img->pixels.data(), img->width, img->height};
    if (!Raster_MakeImage(&cmd, src, x0, y0, x1 - x0, y1 - y0, x, y, w, h, Ql_ClampChannel(alpha),
                          g_ql.filterMode == 1, Canvas_Width(), Canvas_Height()))
        return;
    ResampleCache_Attach(&cmd);
    Canvas_Record(cmd);
}

void QL_Image_Draw(QL_Image image, float x, float y, float w, float h, int alpha) {
    Blit(image, 0, 0, image ? image->width : 0, image ? image->height : 0, x, y, w, h, alpha);
}

void QL_Image_DrawSubImage(QL_Image image, float x, float y, float w, float h, float s0, float t0,
                           float s1, float t1, int alpha) {
    const float v[4] = {s0, t0, s1, t1};
    for (float f : v)
        if (!(std::fabs(f) < 1e9f)) {
            EngineLog_Count(QlStat::Image);
            return;
        }
    Blit(image, (int)s0, (int)t0, (int)(s1 - s0), (int)(t1 - t0), x, y, w, h, alpha);
}
