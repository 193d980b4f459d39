// TrueType text through SDL_ttf: one font object per pixel size, all opened from one in-memory
// copy of the file, each with a glyph atlas of printable ASCII built on first use, so that
// drawing text allocates nothing once a size is warm. Other bytes are drawn as '?'.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "internal.h"

namespace {

const int kFirstGlyph = 32;
const int kLastGlyph = 126;
const int kGlyphs = kLastGlyph - kFirstGlyph + 1;
const int kMaxSize = 400;

struct Glyph {
    int atlasX, width, advance;
};

struct SizedFont {
    TTF_Font* font = nullptr;
    SDL_Texture* atlas = nullptr;
    Glyph glyphs[kGlyphs] = {};
    int height = 0, ascent = 0;
};

} // namespace

struct QL_FontData {
    std::vector<unsigned char> bytes;
    std::string path;
    SizedFont* sizes[kMaxSize + 1] = {};
};

static QL_Font current = nullptr;
static std::vector<QL_FontData*> fonts;

// Loading a file that is already open hands back the same font, so a state may load it on
// every entry without piling up copies.
QL_Font QL_Font_Load(const char* path) {
    Ql_Log_Asset(true, "font", path);
    for (QL_FontData* open : fonts)
        if (path && open->path == path) return open;
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return nullptr;
    QL_FontData* data = new QL_FontData;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data->bytes.insert(data->bytes.end(), buf, buf + n);
    std::fclose(f);
    data->path = path;
    fonts.push_back(data);
    return data;
}

void QL_Font_Set(QL_Font font) {
    current = font;
}

static void DropAtlas(SizedFont* sf) {
    if (sf->atlas) SDL_DestroyTexture(sf->atlas);
    sf->atlas = nullptr;
}

void QL_Font_Free(QL_Font* font) {
    if (!font) return;
    QL_FontData* data = *font;
    Ql_Log_Asset(false, "font", data ? data->path.c_str() : "");
    if (!data) return;
    for (SizedFont*& sf : data->sizes) {
        if (!sf) continue;
        DropAtlas(sf);
        if (sf->font) TTF_CloseFont(sf->font);
        delete sf;
        sf = nullptr;
    }
    for (size_t i = 0; i < fonts.size(); i++)
        if (fonts[i] == data) fonts.erase(fonts.begin() + (long)i);
    if (current == data) current = nullptr;
    delete data;
    *font = nullptr;
}

// Renders every printable glyph side by side into one white texture.
static void BuildAtlas(SizedFont* sf) {
    SDL_Surface* parts[kGlyphs] = {};
    int total = 0;
    for (int i = 0; i < kGlyphs; i++) {
        int minx, maxx, miny, maxy, advance = 0;
        TTF_GlyphMetrics(sf->font, (Uint16)(kFirstGlyph + i), &minx, &maxx, &miny, &maxy, &advance);
        parts[i] =
            TTF_RenderGlyph_Blended(sf->font, (Uint16)(kFirstGlyph + i), {255, 255, 255, 255});
        sf->glyphs[i] = Glyph{total, parts[i] ? parts[i]->w : 0, advance};
        total += sf->glyphs[i].width;
    }
    SDL_Surface* atlas = SDL_CreateRGBSurfaceWithFormat(
        0, total > 0 ? total : 1, sf->height > 0 ? sf->height : 1, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int i = 0; i < kGlyphs; i++) {
        if (!parts[i]) continue;
        SDL_SetSurfaceBlendMode(parts[i], SDL_BLENDMODE_NONE);
        SDL_Rect dst{sf->glyphs[i].atlasX, 0, parts[i]->w, parts[i]->h};
        SDL_BlitSurface(parts[i], nullptr, atlas, &dst);
        SDL_FreeSurface(parts[i]);
    }
    sf->atlas = SDL_CreateTextureFromSurface(g_ql.renderer, atlas);
    if (sf->atlas) SDL_SetTextureBlendMode(sf->atlas, SDL_BLENDMODE_BLEND);
    SDL_FreeSurface(atlas);
}

// The font at the current text size, opened and given an atlas on first use.
static SizedFont* CurrentSize(bool needAtlas) {
    if (!current || current->bytes.empty()) return nullptr;
    int px = (int)std::lround(g_ql.textSize);
    if (px < 1) return nullptr;
    if (px > kMaxSize) px = kMaxSize;
    SizedFont*& sf = current->sizes[px];
    if (!sf) {
        sf = new SizedFont;
        SDL_RWops* rw = SDL_RWFromConstMem(current->bytes.data(), (int)current->bytes.size());
        sf->font = TTF_OpenFontRW(rw, 1, px);
        if (sf->font) {
            sf->height = TTF_FontHeight(sf->font);
            sf->ascent = TTF_FontAscent(sf->font);
        }
    }
    if (!sf->font) return nullptr;
    if (needAtlas && !sf->atlas && g_ql.renderer) BuildAtlas(sf);
    return sf;
}

static int GlyphIndex(unsigned char c) {
    if (c < kFirstGlyph || c > kLastGlyph) c = '?';
    return c - kFirstGlyph;
}

static int TextWidth(const SizedFont* sf, const char* text) {
    int w = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p; p++)
        w += sf->glyphs[GlyphIndex(*p)].advance;
    return w;
}

void QL_Font_MeasureText(const char* text, int* w, int* h) {
    SizedFont* sf = text ? CurrentSize(true) : nullptr;
    if (w) *w = sf && sf->atlas ? TextWidth(sf, text) : 0;
    if (h) *h = sf ? sf->height : 0;
}

static float AlignedX(float x, int width) {
    if (g_ql.alignH & QL_ALIGN_CENTER) return x - (float)width * 0.5f;
    if (g_ql.alignH & QL_ALIGN_RIGHT) return x - (float)width;
    return x;
}

static float AlignedY(float y, const SizedFont* sf) {
    if (g_ql.alignV & QL_ALIGN_MIDDLE) return y - (float)sf->height * 0.5f;
    if (g_ql.alignV & QL_ALIGN_BOTTOM) return y - (float)sf->height;
    if (g_ql.alignV & QL_ALIGN_BASELINE) return y - (float)sf->ascent;
    return y;
}

void QL_Font_DrawText(const char* text, float x, float y) {
    Ql_Stats_Count(3);
    Ql_Log_Text(text);
    if (!text || !*text || !g_ql.renderer || g_ql.countOnly) return;
    SizedFont* sf = CurrentSize(true);
    if (!sf || !sf->atlas) return;
    QL_Color c = g_ql.fill;
    SDL_SetTextureColorMod(sf->atlas, (Uint8)Ql_ClampChannel(c.r), (Uint8)Ql_ClampChannel(c.g),
                           (Uint8)Ql_ClampChannel(c.b));
    SDL_SetTextureAlphaMod(sf->atlas, (Uint8)Ql_ClampChannel(c.a));
    float penX = AlignedX(x, TextWidth(sf, text));
    float penY = AlignedY(y, sf);
    for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
        const Glyph& g = sf->glyphs[GlyphIndex(*p)];
        if (g.width > 0) {
            SDL_Rect src{g.atlasX, 0, g.width, sf->height};
            SDL_FRect dst{penX, penY, (float)g.width, (float)sf->height};
            SDL_RenderCopyF(g_ql.renderer, sf->atlas, &src, &dst);
        }
        penX += (float)g.advance;
    }
}

void Ql_Text_DropTextures() {
    for (QL_FontData* data : fonts)
        for (SizedFont* sf : data->sizes)
            if (sf) DropAtlas(sf);
}

void Ql_Text_Shutdown() {
    while (!fonts.empty()) {
        QL_Font f = fonts.back();
        QL_Font_Free(&f);
    }
    current = nullptr;
}
