// Drawing state and shapes: fill and stroke colours, modes, background, rectangles and quads,
// recorded as commands for the canvas.
#include <cmath>

#include "canvas.h"
#include "engine_log.h"
#include "internal.h"

int Ql_ClampChannel(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

uint32_t Ql_Draw_Pack(QL_Color c) {
    return Ql_Pack(Ql_ClampChannel(c.r), Ql_ClampChannel(c.g), Ql_ClampChannel(c.b),
                   Ql_ClampChannel(c.a));
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
    if (!g_ql.videoReady || g_ql.countOnly) return;
    QlDrawCmd cmd{};
    cmd.kind = QlDrawCmd::Clear;
    cmd.color = Ql_Draw_Pack(QL_Color{c.r, c.g, c.b, 255});
    cmd.top = 0;
    cmd.bottom = Canvas_Height();
    Canvas_Record(cmd);
}

static bool Drawing() {
    return g_ql.videoReady && !g_ql.countOnly;
}

static void RecordRect(double x, double y, double w, double h, uint32_t color) {
    QlDrawCmd cmd;
    if (Raster_MakeRect(&cmd, (float)x, (float)y, (float)w, (float)h, color, Canvas_Width(),
                        Canvas_Height()))
        Canvas_Record(cmd);
}

// The outline of a rectangle: the outermost pixels of those its fill covers.
static void RectOutline(float x, float y, float w, float h, uint32_t color) {
    double x0 = std::ceil(std::fmin(x, x + w) - 0.5), x1 = std::ceil(std::fmax(x, x + w) - 0.5);
    double y0 = std::ceil(std::fmin(y, y + h) - 0.5), y1 = std::ceil(std::fmax(y, y + h) - 0.5);
    if (x1 <= x0 || y1 <= y0) return;
    RecordRect(x0, y0, x1 - x0, 1.0, color);
    if (y1 - y0 > 1.0) RecordRect(x0, y1 - 1.0, x1 - x0, 1.0, color);
    if (y1 - y0 <= 2.0) return;
    RecordRect(x0, y0 + 1.0, 1.0, y1 - y0 - 2.0, color);
    if (x1 - x0 > 1.0) RecordRect(x1 - 1.0, y0 + 1.0, 1.0, y1 - y0 - 2.0, color);
}

void QL_Graphics_DrawRect(float x, float y, float w, float h) {
    EngineLog_Count(QlStat::Rect);
    if (!Drawing()) return;
    if (g_ql.rectMode == 0) {
        x -= w * 0.5f;
        y -= h * 0.5f;
    }
    RecordRect(x, y, w, h, Ql_Draw_Pack(g_ql.fill));
    if (g_ql.strokeOn) RectOutline(x, y, w, h, Ql_Draw_Pack(g_ql.stroke));
}

// A filled quadrilateral in the fill colour, outlined in the stroke colour.
void QL_Graphics_DrawQuad(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                          float y4) {
    EngineLog_Count(QlStat::Quad);
    if (!Drawing()) return;
    const float xs[4] = {x1, x2, x3, x4}, ys[4] = {y1, y2, y3, y4};
    for (int i = 0; i < 4; i++)
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) return;
    int w = Canvas_Width(), h = Canvas_Height();
    QlDrawCmd cmd;
    if (Raster_MakeQuad(&cmd, xs, ys, Ql_Draw_Pack(g_ql.fill), w, h)) Canvas_Record(cmd);
    if (!g_ql.strokeOn) return;
    uint32_t stroke = Ql_Draw_Pack(g_ql.stroke);
    for (int i = 0; i < 4; i++)
        if (Raster_MakeLine(&cmd, xs[i], ys[i], xs[(i + 1) % 4], ys[(i + 1) % 4], stroke, w, h))
            Canvas_Record(cmd);
}
