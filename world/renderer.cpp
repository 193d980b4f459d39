// The scene renderer: the sky, then the arena ring by ring from the farthest drawn ring to the
// camera's own cell, block faces before sprites inside each ring (painter's order, no depth
// buffer), faded toward the sky with distance. It also drifts the sky colour, moves the liquid
// wave and adapts the render distance to the frame rate.
#include "world/renderer.h"

#include <algorithm>
#include <cmath>

#include "core/constants.h"
#include "core/settings.h"
#include "world/arena.h"
#include "world/sprite_pool.h"

int32_t renderDistance = 0;
int32_t renderDistancePinned = -1;
int32_t facesRendered = 0;
int32_t spritesRendered = 0;
float skyStepTimer = 0.05f;
float waveTime = 10.0f;

namespace {

const QL_Color kClear{0, 0, 0, 0};

// Cells and live sprites grouped by ring, each group in storage order, built once per frame.
const int kMaxRing = 2 * kArenaSize;
int cellOrder[kArenaCells], cellRingStart[kMaxRing + 2];
int spriteOrder[kSpritePoolSize], spriteRingStart[kMaxRing + 2];

void GroupByRing(int count, const int32_t* (*ringOf)(int), int* order, int* start) {
    int counts[kMaxRing + 1] = {};
    for (int i = 0; i < count; i++) {
        const int32_t* ring = ringOf(i);
        if (ring && *ring >= 0 && *ring <= kMaxRing) counts[*ring]++;
    }
    start[0] = 0;
    for (int r = 0; r <= kMaxRing; r++)
        start[r + 1] = start[r] + counts[r];
    int fill[kMaxRing + 1];
    for (int r = 0; r <= kMaxRing; r++)
        fill[r] = start[r];
    for (int i = 0; i < count; i++) {
        const int32_t* ring = ringOf(i);
        if (ring && *ring >= 0 && *ring <= kMaxRing) order[fill[*ring]++] = i;
    }
}

const int32_t* CellRing(int i) {
    return Arena[i].inView ? &Arena[i].ring : nullptr;
}
const int32_t* SpriteRing(int i) {
    const Sprite& s = SpritePool[i];
    return s.inUse && s.inView ? &s.ring : nullptr;
}

int StepToward(int value, int target) {
    return value < target ? value + 1 : (value > target ? value - 1 : value);
}

void DriftSky(float dt) {
    skyStepTimer -= dt;
    int r = skyColor.r, g = skyColor.g, b = skyColor.b;
    if (skyStepTimer <= 0.0f) {
        r = StepToward(r, skyTargetColor.r);
        g = StepToward(g, skyTargetColor.g);
        b = StepToward(b, skyTargetColor.b);
        skyStepTimer += 0.05f;
    }
    skyColor = QL_Color_Create(r, g, b, 255);
}

void MoveWave(float dt) {
    waveTime -= dt;
    if (waveTime <= 0.0f) waveTime += 10.0f;
    for (int y = 0; y < kArenaSize; y++)
        for (int x = 0; x < kArenaSize; x++) {
            MapCell& cell = Arena[y * kArenaSize + x];
            if (!Arena_IsLiquid(cell)) continue;
            float turns = (float)x * 0.03125f * 4.0f + waveTime / 10.0f;
            cell.top = std::sin(QL_Math_Radians(turns * 360.0f)) * 0.2f - 1.5f;
        }
}

const float kShade[4] = {0.9f, 0.7f, 0.5f, 0.7f};
// Corners of a cell: 0 (x, y), 1 (x + 1, y), 2 (x + 1, y + 1), 3 (x, y + 1); each face runs
// from its first corner to its second.
const int kFaceCorners[4][2] = {{1, 2}, {0, 1}, {0, 3}, {3, 2}};

} // namespace

bool Render_FacePasses(Face face, float v, float half) {
    switch (face) {
    case kEast:
        return v > 90.0f - half && v < 270.0f + half;
    case kNorth:
        return v > 180.0f - half || v < half;
    case kWest:
        return v > 270.0f - half || v < 90.0f + half;
    default:
        return v > 360.0f - half || v < 180.0f + half;
    }
}

void Render_FaceOrder(float dx, float dy, Face order[4]) {
    if (std::fabs(dx) > std::fabs(dy)) {
        order[0] = dx > 0 ? kEast : kWest;
        order[1] = dy > 0 ? kSouth : kNorth;
        order[2] = dy > 0 ? kNorth : kSouth;
        order[3] = dx > 0 ? kWest : kEast;
    } else {
        order[0] = dy > 0 ? kSouth : kNorth;
        order[1] = dx > 0 ? kEast : kWest;
        order[2] = dx > 0 ? kWest : kEast;
        order[3] = dy > 0 ? kNorth : kSouth;
    }
}

namespace {

QL_Color Shaded(QL_Color color, float shade, float fog) {
    return QL_Color_Lerp(QL_Color_Lerp(kBlack, color, shade), skyColor, fog);
}

struct CellCorners {
    PointAngle p[4];
};

void DrawQuadAt(const View& view, const PointAngle* a, const PointAngle* b, const PointAngle* c,
                const PointAngle* d, float ha, float hb, float hc, float hd) {
    if (!a->usable || !b->usable || !c->usable || !d->usable) return;
    QL_Graphics_DrawQuad(Projection_ScreenX(view, *a), Projection_ScreenY(view, *a, ha),
                         Projection_ScreenX(view, *b), Projection_ScreenY(view, *b, hb),
                         Projection_ScreenX(view, *c), Projection_ScreenY(view, *c, hc),
                         Projection_ScreenX(view, *d), Projection_ScreenY(view, *d, hd));
}

void DrawSideFace(const View& view, const MapCell& cell, const CellCorners& k, Face face,
                  float fog) {
    if (!Render_FacePasses(face, view.viewAngle, view.fieldOfView * 0.5f)) {
        // A hidden face leaves no mark, and leaves the top face without a visible outline.
        QL_Settings_Stroke(kClear);
        return;
    }
    QL_Settings_Fill(Shaded(cell.color, kShade[face], fog));
    QL_Settings_Stroke(cell.outlineColor);
    facesRendered++;
    const PointAngle* p1 = &k.p[kFaceCorners[face][0]];
    const PointAngle* p2 = &k.p[kFaceCorners[face][1]];
    DrawQuadAt(view, p1, p2, p2, p1, cell.top, cell.top, cell.bottom, cell.bottom);
}

void DrawCell(const View& view, int x, int y, int ring) {
    const MapCell& cell = Arena[y * kArenaSize + x];
    float limit = Projection_CellLimit(view, x, y);
    CellCorners k;
    const int cornerX[4] = {x, x + 1, x + 1, x}, cornerY[4] = {y, y, y + 1, y + 1};
    for (int i = 0; i < 4; i++)
        k.p[i] = Projection_Angle(view, (float)cornerX[i], (float)cornerY[i], limit);
    float fog = (float)ring * 0.02f;
    Face order[4];
    Render_FaceOrder((float)x + 0.5f - view.cameraX, (float)y + 0.5f - view.cameraY, order);
    for (Face face : order)
        DrawSideFace(view, cell, k, face, fog);
    if (view.eyeHeight > cell.top) {
        facesRendered++;
        QL_Settings_Fill(Shaded(cell.color, 1.0f, fog));
        float t = cell.top;
        DrawQuadAt(view, &k.p[0], &k.p[1], &k.p[2], &k.p[3], t, t, t, t);
    }
}

void DrawSprite(const View& view, const Sprite& s) {
    spritesRendered++;
    PointAngle p = Projection_Angle(view, s.x, s.y, -180.0f);
    if (!p.usable) return;
    float d = p.distance;
    float halfW = (view.viewRight - view.viewLeft) * 0.5f;
    float halfH = (view.viewTop + view.viewBottom) * 0.5f;
    float sx = view.screenOffsetX + view.viewLeft +
               halfW * (1.0f - ((2.0f - s.jitterX / d) * p.angle / view.fieldOfView) / p.cosAbs);
    float sy = view.viewTop + halfH * (1.0f - ((s.z - view.eyeHeight) / d) / p.cosAbs /
                                                  (view.fieldOfView / 90.0f));
    float scale = (float)QL_System_GetWindowWidth() / 1280.0f / d;
    float w = (s.sheetRight - s.sheetLeft) * s.scaleX * scale;
    float h = (s.sheetBottom - s.sheetTop) * s.scaleY * scale;
    QL_Image_DrawSubImage(spriteSheet, sx, sy, 2.0f * w / p.cosAbs, 2.0f * h / p.cosAbs,
                          s.sheetLeft, s.sheetTop, s.sheetRight, s.sheetBottom, s.alpha);
}

void DrawRings(const View& view) {
    GroupByRing(kArenaCells, CellRing, cellOrder, cellRingStart);
    GroupByRing(kSpritePoolSize, SpriteRing, spriteOrder, spriteRingStart);
    int farthest = renderDistance < kMaxRing ? renderDistance : kMaxRing;
    for (int r = farthest; r >= 0; r--) {
        for (int i = cellRingStart[r]; i < cellRingStart[r + 1]; i++)
            DrawCell(view, cellOrder[i] % kArenaSize, cellOrder[i] / kArenaSize, r);
        for (int i = spriteRingStart[r]; i < spriteRingStart[r + 1]; i++)
            DrawSprite(view, SpritePool[spriteOrder[i]]);
    }
}

} // namespace

void Render_AdaptDistance(float fps) {
    if (renderDistancePinned >= 0) {
        renderDistance = std::min(renderDistancePinned, kMaxRenderDistance);
        return;
    }
    if (fps < 60.0f) {
        if (renderDistance > 0) renderDistance--;
    } else if (fps > 75.0f && renderDistance < kMaxRenderDistance) {
        renderDistance++;
    }
}

float Render_RateForDistance(float frameRate, float workRate, double frameCap) {
    return frameCap > 0.0 && frameCap < kFrameCapDefault ? workRate : frameRate;
}

void Render_Reset() {
    renderDistance = facesRendered = spritesRendered = 0;
    skyStepTimer = 0.05f;
    waveTime = 10.0f;
}

void Render_Scene(const View& view) {
    DriftSky(QL_System_GetDt());
    MoveWave(QL_System_GetDt());
    QL_Settings_Fill(skyColor);
    // The last block face's outline colour is still set; the sky has no outline.
    QL_Settings_NoStroke();
    QL_Graphics_DrawRect(view.viewLeft, view.viewTop, view.viewRight - view.viewLeft,
                         view.viewBottom - view.viewTop);
    DrawRings(view);
    Render_AdaptDistance(Render_RateForDistance(QL_System_GetFrameRate(), QL_System_GetWorkRate(),
                                                QL_System_GetFrameCap()));
}
