// Drawing state and shapes: fill and stroke colours, modes, background, rectangles and quads.
#include <SDL.h>

#include <cmath>

#include "internal.h"

int Ql_ClampChannel(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

void Ql_Draw_ApplyColor(QL_Color c) {
    int a = Ql_ClampChannel(c.a);
    SDL_SetRenderDrawColor(g_ql.renderer, (Uint8)Ql_ClampChannel(c.r), (Uint8)Ql_ClampChannel(c.g),
                           (Uint8)Ql_ClampChannel(c.b), (Uint8)a);
    SDL_SetRenderDrawBlendMode(g_ql.renderer, a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
}

void Ql_Draw_ResetState() {
    g_ql.fill = QL_Color{255, 255, 255, 255};
    g_ql.stroke = QL_Color{0, 0, 0, 255};
    g_ql.strokeOn = true;
    g_ql.rectMode = 1;
    g_ql.imageMode = 0;
    g_ql.filterMode = 0;
    g_ql.textSize = 16.0f;
    g_ql.alignH = QL_ALIGN_LEFT;
    g_ql.alignV = QL_ALIGN_TOP;
}

void QL_Settings_Fill(QL_Color c) {
    g_ql.fill = c;
}
void QL_Settings_Stroke(QL_Color c) {
    g_ql.stroke = c;
    g_ql.strokeOn = true;
}
void QL_Settings_NoStroke() {
    g_ql.strokeOn = false;
}
void QL_Settings_RectMode(int mode) {
    g_ql.rectMode = mode;
}
void QL_Settings_ImageMode(int mode) {
    g_ql.imageMode = mode;
}
void QL_Settings_ImageFilterMode(int mode) {
    g_ql.filterMode = mode;
}
void QL_Settings_TextSize(float size) {
    g_ql.textSize = size;
}
void QL_Settings_TextAlignment(int h, int v) {
    g_ql.alignH = h;
    g_ql.alignV = v;
}

void QL_Settings_Background(QL_Color c) {
    if (!g_ql.renderer || g_ql.countOnly) return;
    Ql_Canvas_Bind();
    SDL_SetRenderDrawColor(g_ql.renderer, (Uint8)Ql_ClampChannel(c.r), (Uint8)Ql_ClampChannel(c.g),
                           (Uint8)Ql_ClampChannel(c.b), 255);
    SDL_RenderClear(g_ql.renderer);
}

// An outline shows when stroking is on and its colour is not fully transparent.
static bool StrokeVisible() {
    return g_ql.strokeOn && Ql_ClampChannel(g_ql.stroke.a) > 0;
}
static bool FillVisible() {
    return Ql_ClampChannel(g_ql.fill.a) > 0;
}

// With 8-bit blending on GPU renderers a faint black veil rounds to no change once channels are
// dark (they stall near 15 and never reach black). After such a veil, take one more step off each
// channel there; the software renderer's rounding reaches black by itself.
static void VeilStep(const SDL_FRect& r) {
    QL_Color c = g_ql.fill;
    int a = Ql_ClampChannel(c.a);
    if (g_ql.softwareRenderer || a == 0 || a == 255 || c.r > 0 || c.g > 0 || c.b > 0) return;
    static const SDL_BlendMode subtractOne = SDL_ComposeCustomBlendMode(
        SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_REV_SUBTRACT,
        SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_REV_SUBTRACT);
    if (SDL_SetRenderDrawBlendMode(g_ql.renderer, subtractOne) != 0) return;
    SDL_SetRenderDrawColor(g_ql.renderer, 1, 1, 1, 255);
    SDL_RenderFillRectF(g_ql.renderer, &r);
}

void QL_Graphics_DrawRect(float x, float y, float w, float h) {
    Ql_Stats_Count(1);
    if (!g_ql.renderer || g_ql.countOnly) return;
    if (g_ql.rectMode == 0) {
        x -= w * 0.5f;
        y -= h * 0.5f;
    }
    SDL_FRect r{x, y, w, h};
    if (FillVisible()) {
        Ql_Draw_ApplyColor(g_ql.fill);
        SDL_RenderFillRectF(g_ql.renderer, &r);
        VeilStep(r);
    }
    if (StrokeVisible()) {
        Ql_Draw_ApplyColor(g_ql.stroke);
        SDL_RenderDrawRectF(g_ql.renderer, &r);
    }
}

static SDL_Color ToSdl(QL_Color c) {
    return SDL_Color{(Uint8)Ql_ClampChannel(c.r), (Uint8)Ql_ClampChannel(c.g),
                     (Uint8)Ql_ClampChannel(c.b), (Uint8)Ql_ClampChannel(c.a)};
}

static void FillQuadGeometry(const float* xs, const float* ys) {
    SDL_Color c = ToSdl(g_ql.fill);
    SDL_Vertex v[4];
    for (int i = 0; i < 4; i++)
        v[i] = SDL_Vertex{{xs[i], ys[i]}, c, {0, 0}};
    static const int idx[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(g_ql.renderer, nullptr, v, 4, idx, 6);
}

// A filled quadrilateral in the fill colour, outlined in the stroke colour.
void QL_Graphics_DrawQuad(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                          float y4) {
    Ql_Stats_Count(0);
    if (!g_ql.renderer || g_ql.countOnly) return;
    const float xs[4] = {x1, x2, x3, x4}, ys[4] = {y1, y2, y3, y4};
    for (int i = 0; i < 4; i++)
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) return;
    if (FillVisible()) {
        Ql_Draw_ApplyColor(g_ql.fill);
        FillQuadGeometry(xs, ys);
    }
    if (StrokeVisible()) {
        SDL_FPoint p[5] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}, {x1, y1}};
        Ql_Draw_ApplyColor(g_ql.stroke);
        SDL_RenderDrawLinesF(g_ql.renderer, p, 5);
    }
}
