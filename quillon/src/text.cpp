// TrueType text through SDL_ttf: one font object per pixel size, all opened from one in-memory
// copy of the file, each with a glyph atlas of printable ASCII (coverage bytes) built on first
// use, so that drawing text allocates nothing once a size is warm. Other bytes are drawn as '?'.
// A font whose glyphs or line height are far out of proportion to the size asked for (a damaged
// file) gets no atlas for that size, once, rather than an unbounded one on every call.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "asset_file.h"
#include "canvas.h"
#include "engine_log.h"
#include "internal.h"
#include "line_cache.h"

namespace {

const int kFirstGlyph = 32;
const int kLastGlyph = 126;
const int kGlyphs = kLastGlyph - kFirstGlyph + 1;
const int kMaxSize = 400;

// A glyph or a line may be this many times the pixel size (plus a little) before the size counts
// as damaged; real fonts stay well under twice.
const int kMaxScale = 4;
const int kSlack = 16;

struct Glyph {
    int atlasX, width, advance;
};

struct SizedFont {
    TTF_Font* font = nullptr;
    std::vector<uint8_t> atlas; // coverage, atlasWidth x height
    int atlasWidth = 0;
    bool failed = false; // no atlas can be built for this size
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

// Whether SDL_ttf takes the bytes for a font: an empty or foreign file would draw no text at all.
static bool Opens(const std::vector<unsigned char>& bytes) {
    if (bytes.empty() || (!TTF_WasInit() && TTF_Init() != 0)) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), (int)bytes.size());
    TTF_Font* font = rw ? TTF_OpenFontRW(rw, 1, 16) : nullptr;
    if (font) TTF_CloseFont(font);
    return font != nullptr;
}

// Loading a file that is already open hands back the same font, so a state may load it on
// every entry without piling up copies.
QL_Font QL_Font_Load(const char* path) {
    EngineLog_Asset(true, "font", path);
    for (QL_FontData* open : fonts)
        if (path && open->path == path) return open;
    std::vector<unsigned char> bytes;
    if (!AssetFile_Read(path, kAssetMaxBytes, &bytes) || !Opens(bytes)) return nullptr;
    QL_FontData* data = new QL_FontData;
    data->bytes.swap(bytes);
    data->path = path;
    fonts.push_back(data);
    return data;
}

void QL_Font_Set(QL_Font font) {
    current = font;
}

void QL_Font_Free(QL_Font* font) {
    if (!font) return;
    QL_FontData* data = *font;
    EngineLog_Asset(false, "font", data ? data->path.c_str() : "");
    if (!data) return;
    Canvas_Flush(); // glyphs waiting to be painted point into the atlases
    LineCache_Clear();
    for (SizedFont*& sf : data->sizes) {
        if (!sf) continue;
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

static int Limit(int px) {
    return kMaxScale * px + kSlack;
}

// The coverage of one rendered glyph copied into the atlas at column x.
static void CopyCoverage(SDL_Surface* glyph, SizedFont* sf, int x) {
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(glyph, SDL_PIXELFORMAT_ARGB8888, 0);
    if (!argb) return;
    int rows = std::min(argb->h, sf->height);
    for (int y = 0; y < rows; y++) {
        const uint32_t* src =
            (const uint32_t*)((const uint8_t*)argb->pixels + (long)y * argb->pitch);
        uint8_t* dst = sf->atlas.data() + (size_t)y * (size_t)sf->atlasWidth + (size_t)x;
        for (int i = 0; i < argb->w; i++)
            dst[i] = (uint8_t)(src[i] >> 24);
    }
    SDL_FreeSurface(argb);
}

// A glyph rendered white, or null when it is missing or larger than the size allows (checked
// on its metrics before anything is rendered).
static SDL_Surface* RenderGlyph(SizedFont* sf, int ch, int px, int* advance) {
    int minx = 0, maxx = 0, miny = 0, maxy = 0;
    *advance = 0;
    if (TTF_GlyphMetrics(sf->font, (Uint16)ch, &minx, &maxx, &miny, &maxy, advance) != 0)
        return nullptr;
    if (*advance < 0 || *advance > Limit(px) || maxx - minx > Limit(px) ||
        maxy - miny > Limit(px)) {
        *advance = 0;
        return nullptr;
    }
    SDL_Surface* g = TTF_RenderGlyph_Blended(sf->font, (Uint16)ch, {255, 255, 255, 255});
    if (g && (g->w > 2 * Limit(px) || g->h > Limit(px))) {
        SDL_FreeSurface(g);
        return nullptr;
    }
    return g;
}

// Renders every printable glyph side by side into one coverage atlas. A glyph larger than the
// size allows is left out (drawn as nothing); a line height beyond it fails the whole size.
static void BuildAtlas(SizedFont* sf, int px) {
    EngineLog_Count(QlStat::AtlasBuild);
    sf->failed = sf->height <= 0 || sf->height > Limit(px);
    if (sf->failed) return;
    SDL_Surface* parts[kGlyphs] = {};
    int total = 0;
    for (int i = 0; i < kGlyphs; i++) {
        int advance = 0;
        parts[i] = RenderGlyph(sf, kFirstGlyph + i, px, &advance);
        sf->glyphs[i] = Glyph{total, parts[i] ? parts[i]->w : 0, advance};
        total += sf->glyphs[i].width;
    }
    sf->atlasWidth = std::max(total, 1);
    sf->atlas.assign((size_t)sf->atlasWidth * (size_t)sf->height, 0);
    for (int i = 0; i < kGlyphs; i++) {
        if (!parts[i]) continue;
        CopyCoverage(parts[i], sf, sf->glyphs[i].atlasX);
        SDL_FreeSurface(parts[i]);
    }
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
    if (needAtlas && sf->atlas.empty() && !sf->failed) BuildAtlas(sf, px);
    return sf->failed ? nullptr : sf;
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
    if (w) *w = sf ? TextWidth(sf, text) : 0;
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

// The glyphs of a line that leave a mark, each with its left edge from the line's start, into
// one list kept from line to line.
static const std::vector<QlPlacedGlyph>& LayOut(const SizedFont* sf, const char* text) {
    static std::vector<QlPlacedGlyph> glyphs;
    glyphs.clear();
    int x = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
        const Glyph& g = sf->glyphs[GlyphIndex(*p)];
        QlGlyphMask mask{sf->atlas.data() + g.atlasX, sf->atlasWidth, g.width, sf->height};
        if (g.width > 0) glyphs.push_back({mask, x});
        x += g.advance;
    }
    return glyphs;
}

// A line as one command, from its kept strip (laid out and kept the first time it is seen); false
// when its glyphs overlap and must be painted one by one.
static bool DrawFromStrip(SizedFont* sf, const char* text, int penX, int penY, uint32_t color) {
    QlGlyphMask strip;
    int left = 0;
    bool known = false;
    if (!LineCache_Find(sf, text, &strip, &left, &known)) {
        if (known || !LineCache_Keep(sf, text, LayOut(sf, text), &strip, &left)) return false;
    }
    QlDrawCmd cmd;
    if (Raster_MakeGlyph(&cmd, strip, penX + left, penY, color, Canvas_Width(), Canvas_Height()))
        Canvas_Record(cmd);
    return true;
}

void QL_Font_DrawText(const char* text, float x, float y) {
    EngineLog_Count(QlStat::Text);
    EngineLog_Text(text);
    if (!text || !*text || !g_ql.videoReady || g_ql.countOnly) return;
    SizedFont* sf = CurrentSize(true);
    if (!sf || !std::isfinite(x) || !std::isfinite(y)) return;
    uint32_t color = Ql_Draw_Pack(g_ql.fill);
    double pen = std::floor(AlignedX(x, TextWidth(sf, text)) + 0.5);
    double top = std::floor(AlignedY(y, sf) + 0.5);
    if (std::fabs(pen) > 1e8 || std::fabs(top) > 1e8) return;
    int penX = (int)pen, penY = (int)top, w = Canvas_Width(), h = Canvas_Height();
    if (DrawFromStrip(sf, text, penX, penY, color)) return;
    QlDrawCmd cmd;
    for (const QlPlacedGlyph& g : LayOut(sf, text))
        if (Raster_MakeGlyph(&cmd, g.mask, penX + g.x, penY, color, w, h)) Canvas_Record(cmd);
}

void Ql_Text_Shutdown() {
    while (!fonts.empty()) {
        QL_Font f = fonts.back();
        QL_Font_Free(&f);
    }
    current = nullptr;
}
