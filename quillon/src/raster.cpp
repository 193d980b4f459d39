// The rasterizer's routines. Coverage is decided at pixel centres: a pixel belongs to a shape
// when its centre lies inside, with left and top edges included and right and bottom excluded,
// so shapes that share an edge neither overlap nor leave a gap. Blends are integer, per channel,
// and always move at least one step toward the colour drawn, so a faint veil reaches it.
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "band_veils.h"
#include "raster_wide.h"
#include "solid_cells.h"
#include "span_cover.h"

namespace {

// d + (s - d) * a / 255 per channel, rounded toward s (up when s is above d, down below), so a
// blend always moves at least one step toward the colour drawn. Branch-free, for the vectorizer:
// floor(v / 255) is (v + 1 + (v >> 8)) >> 8 for every v the blend can make.
inline uint32_t Channel(uint32_t d, uint32_t s, uint32_t a, int shift) {
    uint32_t dc = d >> shift & 255, sc = s >> shift & 255;
    uint32_t v = dc * (255 - a) + sc * a + (sc > dc ? 254u : 0u);
    return ((v + 1 + (v >> 8)) >> 8) << shift;
}

inline uint32_t Blend(uint32_t d, uint32_t s, int a) {
    uint32_t w = (uint32_t)a;
    return 0xFF000000u | Channel(d, s, w, 16) | Channel(d, s, w, 8) | Channel(d, s, w, 0);
}

inline int AlphaOf(uint32_t c) {
    return (int)(c >> 24);
}

// Where the system picks a function's build by the processor at load time (Linux), fills and
// blends also come in an AVX2 build: twice the pixels a step, the same bytes. Not in sanitizer
// builds, whose runtimes are not up yet when the loader makes that choice.
#if defined(__linux__) && defined(__x86_64__) && !defined(__clang__) &&                            \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
#define QL_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define QL_WIDE_VECTORS
#endif

// Pixels [x0, x1) of a row in one colour: copied when opaque, blended otherwise.
QL_WIDE_VECTORS void Span(uint32_t* row, int x0, int x1, uint32_t color) {
    int a = AlphaOf(color);
    if (a == 255) {
        std::fill(row + x0, row + x1, color);
        return;
    }
    x0 = Wide_Blend(row, x0, x1, color);
    for (int x = x0; x < x1; x++)
        row[x] = Blend(row[x], color, a);
}

// The first pixel whose centre lies at or right of the edge x, as an index clamped to [0, limit].
// That is ceil(x - 0.5), clamped first: without SSE4.1 std::ceil is a long call-free sequence,
// and a quad asks for two of these per row.
int PixelFrom(double x, int limit) {
    double v = x - 0.5;
    if (!(v > 0.0)) return 0; // a NaN too
    if (v > (double)(limit - 1)) return limit;
    int t = (int)v;
    return t + ((double)t < v ? 1 : 0);
}

using Edge = decltype(QlDrawCmd::quad)::Edge;

// Where the row centre yc crosses the given edges: the leftmost and rightmost crossing. Returns
// false when it crosses none. Edges are half-open in y, [top, bottom).
bool Crossings(const Edge* edges, const int* which, int n, double yc, double* left, double* right) {
    *left = HUGE_VAL;
    *right = -HUGE_VAL;
    for (int i = 0; i < n; i++) {
        const Edge& e = edges[which[i]];
        if (yc < e.yTop || yc >= e.yBottom) continue;
        double x = e.x + (yc - e.yTop) * e.slope;
        *left = std::min(*left, x);
        *right = std::max(*right, x);
    }
    return *left <= *right;
}

// A row's pixel spans of a quad, [spans[0], spans[1]) and [spans[2], spans[3]): none, one or two.
int QuadSpans(const QlDrawCmd& c, int width, int y, int* spans) {
    static const int kWhole[4] = {0, 1, 2, 3}, kFirst[3] = {0, 1, 4}, kSecond[3] = {4, 2, 3};
    const Edge* edges = c.quad.edges;
    double yc = y + 0.5, l, r;
    if (c.quad.convex) {
        if (!Crossings(edges, kWhole, 4, yc, &l, &r)) return 0;
        spans[0] = PixelFrom(l, width);
        spans[1] = PixelFrom(r, width);
        return 1;
    }
    // Any other quad is the two triangles (0, 1, 2) and (0, 2, 3); their spans on this row are
    // merged where they meet, so no pixel is blended twice.
    double l2, r2;
    bool a = Crossings(edges, kFirst, 3, yc, &l, &r);
    bool b = Crossings(edges, kSecond, 3, yc, &l2, &r2);
    int ax0 = PixelFrom(l, width), ax1 = PixelFrom(r, width);
    int bx0 = PixelFrom(l2, width), bx1 = PixelFrom(r2, width);
    if (a && b && ax0 <= bx1 && bx0 <= ax1) {
        spans[0] = std::min(ax0, bx0);
        spans[1] = std::max(ax1, bx1);
        return 1;
    }
    int n = 0;
    if (a) {
        spans[n++] = ax0;
        spans[n++] = ax1;
    }
    if (b) {
        spans[n++] = bx0;
        spans[n++] = bx1;
    }
    return n / 2;
}

// A row's pixel spans of a clear, a rectangle or a quad, as QuadSpans gives them.
int RowSpans(const QlDrawCmd& c, int width, int y, int* spans) {
    switch (c.kind) {
    case QlDrawCmd::Clear:
        spans[0] = 0;
        spans[1] = width;
        return 1;
    case QlDrawCmd::Rect:
        spans[0] = c.rect.x0;
        spans[1] = c.rect.x1;
        return 1;
    default:
        return QuadSpans(c, width, y, spans);
    }
}

bool MadeOfSpans(const QlDrawCmd& c) {
    return c.kind == QlDrawCmd::Clear || c.kind == QlDrawCmd::Rect || c.kind == QlDrawCmd::Quad;
}

// One coordinate of a line's points: start + round(i * delta / n), halves upward, stepped
// without division: value and a remainder in [0, 2n).
struct LineAxis {
    long long value, rest, twoN, twoDelta;
    LineAxis(int start, int delta, int n, int first) {
        twoN = 2LL * n;
        twoDelta = 2LL * delta;
        long long q = twoDelta * first + n;
        long long f = q >= 0 ? q / twoN : -((-q + twoN - 1) / twoN);
        value = start + f;
        rest = q - f * twoN;
    }
    void Step() {
        rest += twoDelta;
        if (rest >= twoN) {
            rest -= twoN;
            value++;
        } else if (rest < 0) {
            rest += twoN;
            value--;
        }
    }
};

// The steps of the line that may fall on rows [y0, y1): all of them, or a range a little wider
// than where the line's rows lie in the band (each step is still tested).
void LineSteps(const QlDrawCmd& c, int n, int y0, int y1, int* first, int* last) {
    int dy = c.line.y1 - c.line.y0;
    *first = 0;
    *last = n;
    if (dy == 0) return;
    double ia = (double)(y0 - 1 - c.line.y0) * n / dy, ib = (double)(y1 + 1 - c.line.y0) * n / dy;
    *first = std::max(0, (int)std::floor(std::min(ia, ib)) - 1);
    *last = std::min(n, (int)std::ceil(std::max(ia, ib)) + 1);
}

void LineBand(const QlDrawCmd& c, uint32_t* canvas, int width, int y0, int y1) {
    int dx = c.line.x1 - c.line.x0, dy = c.line.y1 - c.line.y0;
    int n = std::max(std::abs(dx), std::abs(dy)), first, last;
    LineSteps(c, n, y0, y1, &first, &last);
    int a = AlphaOf(c.color);
    LineAxis x(c.line.x0, dx, std::max(n, 1), first), y(c.line.y0, dy, std::max(n, 1), first);
    for (int i = first; i <= last; i++, x.Step(), y.Step()) {
        if (x.value < 0 || x.value >= width || y.value < y0 || y.value >= y1) continue;
        uint32_t* p = canvas + (long)y.value * width + x.value;
        *p = a == 255 ? c.color : Blend(*p, c.color, a);
    }
}

// The texel index (within the source rectangle) that a canvas coordinate falls on.
inline int TexelIndex(double at, double pos, double texel, int count, bool flip) {
    double u = (at - pos) / texel;
    int t = u <= 0.0 ? 0 : (u >= (double)count ? count - 1 : (int)u);
    return flip ? count - 1 - t : t;
}

inline void PutTexel(uint32_t* p, uint32_t texel, int alpha) {
    int a = (AlphaOf(texel) * alpha + 127) / 255;
    if (a == 255)
        *p = texel;
    else if (a > 0)
        *p = Blend(*p, texel, a);
}

// A texel coordinate for bilinear sampling: the lower of the two texels (clamped to the
// rectangle, as is the upper) and the upper's weight out of 256.
struct Tap {
    int lo, hi, weight;
};
inline Tap TapAt(double u, int count) {
    u -= 0.5;
    double f = std::floor(u);
    int t = f < -1.0 ? -1 : (f > (double)count ? count : (int)f);
    return Tap{std::clamp(t, 0, count - 1), std::clamp(t + 1, 0, count - 1),
               (int)((u - f) * 256.0)};
}

// The four texels blended by their weights (out of 65536), colours weighted by their alpha so
// that transparent texels do not darken the edges.
inline uint32_t Bilinear(const uint32_t* t, const int* w) {
    uint32_t alphas = t[0] & t[1] & t[2] & t[3], any = (t[0] | t[1] | t[2] | t[3]) >> 24;
    if (any == 0) return 0;    // all four transparent
    if (alphas >> 24 == 255) { // all four opaque: a plain weighted mean
        int rgb[3];
        for (int ch = 0; ch < 3; ch++) {
            int shift = 16 - 8 * ch, sum = 32768;
            for (int k = 0; k < 4; k++)
                sum += w[k] * (int)(t[k] >> shift & 255);
            rgb[ch] = sum >> 16;
        }
        return Ql_Pack(rgb[0], rgb[1], rgb[2], 255);
    }
    long long a = 0, rgb[3] = {0, 0, 0};
    for (int k = 0; k < 4; k++) {
        long long wa = (long long)w[k] * (long long)(t[k] >> 24);
        a += wa;
        for (int ch = 0; ch < 3; ch++)
            rgb[ch] += wa * (long long)(t[k] >> (16 - 8 * ch) & 255);
    }
    if (a == 0) return 0;
    return Ql_Pack((int)((rgb[0] + a / 2) / a), (int)((rgb[1] + a / 2) / a),
                   (int)((rgb[2] + a / 2) / a), (int)((a + 32768) >> 16));
}

// The bilinear texel of each column of row y.
template <typename Put> void SmoothTexels(const QlDrawCmd& c, int y, Put put) {
    const QlPixels& s = c.image.src;
    double v = (y + 0.5 - c.image.posY) / c.image.texelH;
    Tap ty = TapAt(c.image.flipY ? c.image.sh - v : v, c.image.sh);
    const uint32_t* top = s.data + (long)(c.image.sy + ty.lo) * s.width + c.image.sx;
    const uint32_t* bottom = s.data + (long)(c.image.sy + ty.hi) * s.width + c.image.sx;
    double perPixel = 1.0 / c.image.texelW;
    for (int x = c.image.x0; x < c.image.x1; x++) {
        double u = (x + 0.5 - c.image.posX) * perPixel;
        Tap tx = TapAt(c.image.flipX ? c.image.sw - u : u, c.image.sw);
        const uint32_t t[4] = {top[tx.lo], top[tx.hi], bottom[tx.lo], bottom[tx.hi]};
        const int w[4] = {(256 - tx.weight) * (256 - ty.weight), tx.weight * (256 - ty.weight),
                          (256 - tx.weight) * ty.weight, tx.weight * ty.weight};
        put(x, Bilinear(t, w));
    }
}

QL_WIDE_VECTORS void SmoothRow(const QlDrawCmd& c, uint32_t* row, int y) {
    int alpha = AlphaOf(c.color);
    if (c.image.resampled) { // worked out once, in an earlier frame
        int span = c.image.x1 - c.image.x0;
        const uint32_t* texels = c.image.resampled + (long)(y - c.top) * span - c.image.x0;
        for (int x = Wide_Texels(row, texels, c.image.x0, c.image.x1, alpha); x < c.image.x1; x++)
            PutTexel(row + x, texels[x], alpha);
        return;
    }
    SmoothTexels(c, y, [&](int x, uint32_t texel) { PutTexel(row + x, texel, alpha); });
}

QL_WIDE_VECTORS void ImageRow(const QlDrawCmd& c, const int* columns, uint32_t* row, int y) {
    const QlPixels& s = c.image.src;
    int alpha = AlphaOf(c.color);
    double yc = y + 0.5;
    if (c.image.smooth) {
        SmoothRow(c, row, y);
        return;
    }
    int ty = TexelIndex(yc, c.image.posY, c.image.texelH, c.image.sh, c.image.flipY);
    const uint32_t* texels = s.data + (long)(c.image.sy + ty) * s.width + c.image.sx;
    for (int x = c.image.x0; x < c.image.x1; x++)
        PutTexel(row + x, texels[columns[x - c.image.x0]], alpha);
}

// The source column of each canvas column the picture covers, worked out once per band.
void ImageColumns(const QlDrawCmd& c, std::vector<int>* columns) {
    columns->resize((size_t)(c.image.x1 - c.image.x0));
    for (int x = c.image.x0; x < c.image.x1; x++)
        (*columns)[(size_t)(x - c.image.x0)] =
            TexelIndex(x + 0.5, c.image.posX, c.image.texelW, c.image.sw, c.image.flipX);
}

QL_WIDE_VECTORS void GlyphRow(const QlDrawCmd& c, uint32_t* row, int width, int y) {
    const QlGlyphMask& m = c.glyph.mask;
    const uint8_t* cover = m.data + (long)(y - c.glyph.y) * m.stride;
    int x0 = std::max(0, c.glyph.x), x1 = std::min(width, c.glyph.x + m.width);
    int fill = AlphaOf(c.color);
    x0 = Wide_Glyph(row, cover - c.glyph.x, x0, x1, c.color);
    for (int x = x0; x < x1; x++) {
        int a = (cover[x - c.glyph.x] * fill + 127) / 255;
        if (a == 255)
            row[x] = c.color;
        else if (a > 0)
            row[x] = Blend(row[x], c.color, a);
    }
}

// Paints a line, a picture or a glyph over the rows [y0, y1).
void Paint(const QlDrawCmd& c, uint32_t* canvas, int width, int y0, int y1) {
    if (c.kind == QlDrawCmd::Line) {
        LineBand(c, canvas, width, y0, y1);
        return;
    }
    // Each painting thread keeps its own table; it stops growing once the widest picture is seen.
    thread_local std::vector<int> columns;
    if (c.kind == QlDrawCmd::Image && !c.image.smooth) ImageColumns(c, &columns);
    for (int y = std::max(y0, c.top); y < std::min(y1, c.bottom); y++) {
        uint32_t* row = canvas + (long)y * width;
        if (c.kind == QlDrawCmd::Image)
            ImageRow(c, columns.data(), row, y);
        else
            GlyphRow(c, row, width, y);
    }
}

bool Finite(const float* v, int n) {
    for (int i = 0; i < n; i++)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// Whether the quad turns the same way at every corner (straight corners allowed).
bool Convex(const float* xs, const float* ys) {
    int sign = 0;
    for (int i = 0; i < 4; i++) {
        int j = (i + 1) % 4, k = (i + 2) % 4;
        double cross = ((double)xs[j] - xs[i]) * ((double)ys[k] - ys[j]) -
                       ((double)ys[j] - ys[i]) * ((double)xs[k] - xs[j]);
        int s = cross > 0 ? 1 : (cross < 0 ? -1 : 0);
        if (s != 0 && sign != 0 && s != sign) return false;
        if (s != 0) sign = s;
    }
    return true;
}

// Liang-Barsky: cuts the segment to the box [lo, hi] in both axes; false when nothing is left.
bool ClipSegment(double* xa, double* ya, double* xb, double* yb, double loX, double loY, double hiX,
                 double hiY) {
    double t0 = 0.0, t1 = 1.0, dx = *xb - *xa, dy = *yb - *ya;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {*xa - loX, hiX - *xa, *ya - loY, hiY - *ya};
    for (int i = 0; i < 4; i++) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    *xb = *xa + t1 * dx;
    *yb = *ya + t1 * dy;
    *xa += t0 * dx;
    *ya += t0 * dy;
    return true;
}

// What a band paints, in reverse: a command's visible piece of a row, or (y < 0) a line, picture
// or glyph painted whole over the band. A veiled piece is filled with its colour already under
// the veils; a veil's piece paints only the pixels not filled so.
struct Piece {
    enum Kind : uint8_t { Plain, Veiled, Veil };
    int cmd, y, x0, x1;
    Kind kind;
    uint32_t veiled;
};

// What the band holds while its commands are walked back.
struct BandWalk {
    int width, y0, y1;
    SpanCover* cover;
    BandVeils* veils;
    std::vector<Piece>* pieces;
    SolidCells* known; // what the picture's rows hold already; null where nothing is known
};

// A translucent clear-coloured shape over every pixel of the band: a rectangle the band's width,
// or a convex quad that spans the whole width at the band's first and last rows (and so, being
// convex, on every row between).
bool IsVeil(const QlDrawCmd& c, const BandWalk& w) {
    if (c.kind == QlDrawCmd::Clear || AlphaOf(c.color) == 255) return false;
    if (c.top > w.y0 || c.bottom < w.y1) return false;
    if (c.kind == QlDrawCmd::Rect) return c.rect.x0 == 0 && c.rect.x1 == w.width;
    if (!c.quad.convex) return false;
    int spans[4];
    for (int y : {w.y0, w.y1 - 1})
        if (QuadSpans(c, w.width, y, spans) != 1 || spans[0] != 0 || spans[1] != w.width)
            return false;
    return true;
}

uint32_t UnderVeils(const QlDrawCmd& c, const BandVeils& veils) {
    return veils.Veiled(c.color, [](uint32_t d, uint32_t v) { return Blend(d, v, AlphaOf(v)); });
}

// One visible piece of a clear, rectangle or quad. Under veils an opaque one is filled veiled
// where nothing between touches it; anything else is noted as touched, for the veils to cover.
void TakePiece(int index, int y, int a, int b, bool opaque, uint32_t veiled, const BandWalk& w) {
    int row = y - w.y0;
    if (!w.veils->Active() || !opaque) {
        w.pieces->push_back(Piece{index, y, a, b, Piece::Plain, 0});
        if (w.veils->Active()) w.veils->Touch(row, a, b);
        return;
    }
    w.veils->SplitOpaque(row, a, b, [&](int u, int v, bool under) {
        w.pieces->push_back(Piece{index, y, u, v, under ? Piece::Veiled : Piece::Plain, veiled});
    });
}

// The visible pieces of a clear, rectangle or quad over the band's rows, last command first.
void TakeSpans(const QlDrawCmd& c, int index, int top, int bottom, const BandWalk& w) {
    bool opaque = c.kind == QlDrawCmd::Clear || AlphaOf(c.color) == 255;
    uint32_t veiled = opaque && w.veils->Active() ? UnderVeils(c, *w.veils) : 0;
    int spans[4];
    bool quad = c.kind == QlDrawCmd::Quad;
    for (int y = top; y < bottom; y++) {
        if (w.cover->RowFull(y - w.y0)) continue;
        // A quad behind what is painted after it is passed over before its spans are found.
        if (quad && w.cover->Hides(y - w.y0, c.quad.x0, c.quad.x1)) continue;
        int n = RowSpans(c, w.width, y, spans);
        for (int k = 0; k < n; k++)
            if (spans[2 * k] < spans[2 * k + 1])
                w.cover->Take(y - w.y0, spans[2 * k], spans[2 * k + 1], opaque,
                              [&](int a, int b) { TakePiece(index, y, a, b, opaque, veiled, w); });
    }
}

// A veil's visible pieces: what nothing opaque painted after it hides.
void TakeVeil(const QlDrawCmd& c, int index, const BandWalk& w) {
    w.veils->Add(c.color);
    for (int y = w.y0; y < w.y1; y++)
        if (!w.cover->RowFull(y - w.y0))
            w.cover->Take(y - w.y0, 0, w.width, false, [&](int a, int b) {
                w.pieces->push_back(Piece{index, y, a, b, Piece::Veil, 0});
            });
}

// The columns a line, picture or glyph may write, [*x0, *x1).
void WholeColumns(const QlDrawCmd& c, int width, int* x0, int* x1) {
    if (c.kind == QlDrawCmd::Image) {
        *x0 = c.image.x0;
        *x1 = c.image.x1;
    } else if (c.kind == QlDrawCmd::Glyph) {
        *x0 = c.glyph.x;
        *x1 = c.glyph.x + c.glyph.mask.width;
    } else {
        *x0 = std::min(c.line.x0, c.line.x1);
        *x1 = std::max(c.line.x0, c.line.x1) + 1;
    }
    *x0 = std::max(*x0, 0);
    *x1 = std::min(*x1, width);
}

// A line, picture or glyph, painted whole over the band.
void TakeWhole(const QlDrawCmd& c, int index, int top, int bottom, const BandWalk& w) {
    if (w.cover->RowsFull(top - w.y0, bottom - w.y0)) return;
    w.pieces->push_back(Piece{index, -1, 0, 0, Piece::Plain, 0});
    if (!w.veils->Active()) return;
    int x0, x1;
    WholeColumns(c, w.width, &x0, &x1);
    for (int y = top; y < bottom; y++)
        w.veils->Touch(y - w.y0, x0, x1);
}

// Whole 64-byte lines of memory, from p (on a line's start), n pixels (a multiple of 16) in one
// colour, written straight to memory: nothing is read first. Cells of a picture the window shares
// with the X server are such lines; the server reads them from memory anyway, and at a low frame
// cap the picture is long out of the cache, so reading each line in before writing it doubled
// the traffic of most fills. The band ends with a fence, before other threads read its rows.
// False, writing nothing, where the pixels are not such lines.
bool StreamLines(uint32_t* p, int n, uint32_t color) {
#if defined(__SSE2__)
    if ((reinterpret_cast<uintptr_t>(p) & 63) != 0 || n % 16 != 0) return false;
    const __m128i four = _mm_set1_epi32((int)color);
    for (uint32_t* end = p + n; p < end; p += 16)
        for (int k = 0; k < 16; k += 4)
            _mm_stream_si128(reinterpret_cast<__m128i*>(p + k), four);
    return true;
#else
    (void)p, (void)n, (void)color;
    return false;
#endif
}

// An opaque fill of [x0, x1) of row y: only the pixels that do not hold the colour already.
void Fill(uint32_t* row, int y, int x0, int x1, uint32_t color, const BandWalk& w) {
    if (!w.known || AlphaOf(color) != 255) { // a clear's colour is taken as it is
        std::fill(row + x0, row + x1, color);
        if (w.known) w.known->Spoil(y, x0, x1);
        return;
    }
    w.known->Fill(y, x0, x1, color, [&](int a, int b) {
        if (!StreamLines(row + a, b - a, color)) std::fill(row + a, row + b, color);
    });
}

// A blend of [x0, x1) of row y.
void Blended(uint32_t* row, int y, int x0, int x1, uint32_t color, const BandWalk& w) {
    Span(row, x0, x1, color);
    if (w.known) w.known->Spoil(y, x0, x1);
}

// A line, picture or glyph over the band: what it may write is no longer known.
void PaintWhole(const QlDrawCmd& c, uint32_t* canvas, const BandWalk& w) {
    Paint(c, canvas, w.width, w.y0, w.y1);
    if (!w.known) return;
    int x0, x1;
    WholeColumns(c, w.width, &x0, &x1);
    for (int y = std::max(w.y0, c.top); y < std::min(w.y1, c.bottom); y++)
        w.known->Spoil(y, x0, x1);
}

void PaintPiece(const Piece& p, const QlDrawCmd& c, uint32_t* canvas, const BandWalk& w) {
    if (p.y < 0) {
        PaintWhole(c, canvas, w);
        return;
    }
    uint32_t* row = canvas + (long)p.y * w.width;
    if (p.kind == Piece::Veiled)
        Fill(row, p.y, p.x0, p.x1, p.veiled, w);
    else if (p.kind == Piece::Veil)
        w.veils->Gaps(p.y - w.y0, p.x0, p.x1,
                      [&](int a, int b) { Blended(row, p.y, a, b, c.color, w); });
    else if (c.kind == QlDrawCmd::Clear || AlphaOf(c.color) == 255)
        Fill(row, p.y, p.x0, p.x1, c.color, w);
    else
        Blended(row, p.y, p.x0, p.x1, c.color, w);
}

} // namespace

void Raster_Band(const QlDrawCmd* cmds, int count, uint32_t* canvas, int width, int height, int y0,
                 int y1, SolidCells* known) {
    y1 = std::min(y1, height);
    if (y0 >= y1) return;
    thread_local SpanCover cover;
    thread_local BandVeils veils;
    thread_local std::vector<Piece> pieces;
    cover.Reset(y1 - y0, width);
    veils.Reset(y1 - y0, width);
    pieces.clear();
    const BandWalk w{width, y0, y1, &cover, &veils, &pieces, known};
    // From the last command back, until everything the band shows is known.
    for (int i = count - 1; i >= 0 && !cover.AllFull(); i--) {
        const QlDrawCmd& c = cmds[i];
        int top = std::max(y0, c.top), bottom = std::min(y1, c.bottom);
        if (top >= bottom) continue;
        if (!MadeOfSpans(c))
            TakeWhole(c, i, top, bottom, w);
        else if (!veils.Full() && IsVeil(c, w))
            TakeVeil(c, i, w);
        else
            TakeSpans(c, i, top, bottom, w);
    }
    // Then painted in the commands' order.
    if (known) known->Prefetch(y0, y1);
    for (auto p = pieces.rbegin(); p != pieces.rend(); ++p)
        PaintPiece(*p, cmds[p->cmd], canvas, w);
#if defined(__SSE2__)
    if (known) _mm_sfence(); // the lines streamed are in memory before the band is done
#endif
}

bool Raster_MakeRect(QlDrawCmd* cmd, float x, float y, float w, float h, uint32_t color, int width,
                     int height) {
    const float v[4] = {x, y, w, h};
    if (AlphaOf(color) == 0 || !Finite(v, 4)) return false;
    double xa = std::min((double)x, (double)x + w), xb = std::max((double)x, (double)x + w);
    double ya = std::min((double)y, (double)y + h), yb = std::max((double)y, (double)y + h);
    cmd->kind = QlDrawCmd::Rect;
    cmd->color = color;
    cmd->rect = {PixelFrom(xa, width), PixelFrom(ya, height), PixelFrom(xb, width),
                 PixelFrom(yb, height)};
    cmd->top = cmd->rect.y0;
    cmd->bottom = cmd->rect.y1;
    return cmd->rect.x0 < cmd->rect.x1 && cmd->rect.y0 < cmd->rect.y1;
}

static Edge MakeEdge(float xa, float ya, float xb, float yb) {
    if (ya > yb) {
        std::swap(xa, xb);
        std::swap(ya, yb);
    }
    double slope = ya == yb ? 0.0 : ((double)xb - xa) / ((double)yb - ya);
    return Edge{ya, ya == yb ? (double)ya : (double)yb, xa, slope};
}

bool Raster_MakeQuad(QlDrawCmd* cmd, const float* xs, const float* ys, uint32_t color, int width,
                     int height) {
    if (AlphaOf(color) == 0 || !Finite(xs, 4) || !Finite(ys, 4)) return false;
    auto [minX, maxX] = std::minmax({xs[0], xs[1], xs[2], xs[3]});
    auto [minY, maxY] = std::minmax({ys[0], ys[1], ys[2], ys[3]});
    int x0 = PixelFrom(minX, width), x1 = PixelFrom(maxX, width);
    cmd->kind = QlDrawCmd::Quad;
    cmd->color = color;
    cmd->top = PixelFrom(minY, height);
    cmd->bottom = PixelFrom(maxY, height);
    for (int i = 0; i < 4; i++)
        cmd->quad.edges[i] = MakeEdge(xs[i], ys[i], xs[(i + 1) % 4], ys[(i + 1) % 4]);
    cmd->quad.edges[4] = MakeEdge(xs[0], ys[0], xs[2], ys[2]);
    cmd->quad.convex = Convex(xs, ys);
    cmd->quad.x0 = x0;
    cmd->quad.x1 = x1;
    return x0 < x1 && cmd->top < cmd->bottom;
}

bool Raster_MakeLine(QlDrawCmd* cmd, float xa, float ya, float xb, float yb, uint32_t color,
                     int width, int height) {
    const float v[4] = {xa, ya, xb, yb};
    if (AlphaOf(color) == 0 || !Finite(v, 4)) return false;
    double ax = xa, ay = ya, bx = xb, by = yb;
    if (!ClipSegment(&ax, &ay, &bx, &by, -1.0, -1.0, (double)width + 1.0, (double)height + 1.0))
        return false;
    cmd->kind = QlDrawCmd::Line;
    cmd->color = color;
    cmd->line = {(int)std::floor(ax), (int)std::floor(ay), (int)std::floor(bx),
                 (int)std::floor(by)};
    cmd->top = std::max(0, std::min(cmd->line.y0, cmd->line.y1));
    cmd->bottom = std::min(height, std::max(cmd->line.y0, cmd->line.y1) + 1);
    return cmd->top < cmd->bottom;
}

bool Raster_MakeImage(QlDrawCmd* cmd, QlPixels src, int sx, int sy, int sw, int sh, float x,
                      float y, float w, float h, int alpha, bool smooth, int width, int height) {
    const float v[4] = {x, y, w, h};
    if (alpha <= 0 || !src.data || sw <= 0 || sh <= 0 || w == 0.0f || h == 0.0f || !Finite(v, 4))
        return false;
    auto& im = cmd->image;
    im.src = src;
    im.sx = sx;
    im.sy = sy;
    im.sw = sw;
    im.sh = sh;
    im.flipX = w < 0.0f;
    im.flipY = h < 0.0f;
    im.posX = w < 0.0f ? (double)x + w : x;
    im.posY = h < 0.0f ? (double)y + h : y;
    im.texelW = std::fabs((double)w) / sw;
    im.texelH = std::fabs((double)h) / sh;
    im.smooth = smooth;
    im.resampled = nullptr;
    im.x0 = PixelFrom(im.posX, width);
    im.x1 = PixelFrom(im.posX + std::fabs((double)w), width);
    cmd->kind = QlDrawCmd::Image;
    cmd->color = Ql_Pack(0, 0, 0, std::min(alpha, 255));
    cmd->top = PixelFrom(im.posY, height);
    cmd->bottom = PixelFrom(im.posY + std::fabs((double)h), height);
    return im.x0 < im.x1 && cmd->top < cmd->bottom;
}

void Raster_Resample(const QlDrawCmd& cmd, uint32_t* out) {
    int span = cmd.image.x1 - cmd.image.x0;
    for (int y = cmd.top; y < cmd.bottom; y++) {
        uint32_t* row = out + (long)(y - cmd.top) * span - cmd.image.x0;
        SmoothTexels(cmd, y, [&](int x, uint32_t texel) { row[x] = texel; });
    }
}

bool Raster_MakeGlyph(QlDrawCmd* cmd, QlGlyphMask mask, int x, int y, uint32_t color, int width,
                      int height) {
    if (AlphaOf(color) == 0 || !mask.data || mask.width <= 0 || mask.height <= 0) return false;
    if (x >= width || y >= height || x + mask.width <= 0 || y + mask.height <= 0) return false;
    cmd->kind = QlDrawCmd::Glyph;
    cmd->color = color;
    cmd->glyph = {mask, x, y};
    cmd->top = std::max(0, y);
    cmd->bottom = std::min(height, y + mask.height);
    return true;
}
