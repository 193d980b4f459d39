// The projection.
#include "world/projection.h"

#include <cmath>

#include "quillon/quillon.h"

// Below this |cos a| a vertex lies within a few hundredths of a degree of +-90 and its screen
// position is millions of pixels away: the quad or image holding it is skipped.
static const float kMinCos = 1e-3f;
static const float kMinDistance = 1e-5f;

float Projection_Bearing(float cx, float cy, float px, float py) {
    return QL_Math_Degrees(std::atan2(cy - py, px - cx));
}

PointAngle Projection_Angle(const View& view, float px, float py, float limit) {
    float dx = px - view.cameraX, dy = py - view.cameraY;
    PointAngle p;
    p.distance = std::sqrt(dx * dx + dy * dy);
    p.angle = QL_Math_Degrees(std::atan2(-dy, dx)) - view.viewAngle;
    if (p.angle < limit) p.angle += 360.0f;
    p.cosAbs = std::fabs(std::cos(QL_Math_Radians(p.angle)));
    p.usable = p.distance > kMinDistance && p.cosAbs > kMinCos;
    return p;
}

float Projection_ScreenX(const View& view, const PointAngle& p) {
    float originX = view.screenOffsetX + view.viewLeft;
    // The view's middle, from its left edge: straight ahead lands there.
    float middleX = (view.viewLeft + view.viewRight) * 0.5f;
    return originX + middleX * (1.0f - (2.0f * p.angle / view.fieldOfView) / p.cosAbs);
}

float Projection_ScreenY(const View& view, const PointAngle& p, float height) {
    // The view's middle, from its top edge: eye height lands there.
    float middleY = (view.viewTop + view.viewBottom) * 0.5f;
    float rise = (height - view.eyeHeight) / p.distance;
    return view.viewTop + middleY * (1.0f - rise / p.cosAbs / (view.fieldOfView / 90.0f));
}

float Projection_CellLimit(const View& view, int cellX, int cellY) {
    float v = view.viewAngle >= 180.0f ? view.viewAngle - 360.0f : view.viewAngle;
    float centreX = (float)cellX + 0.5f, centreY = (float)cellY + 0.5f;
    float c = QL_Math_Degrees(std::atan2(centreY - view.cameraY, centreX - view.cameraX)) - 90.0f;
    if (c <= -180.0f) c += 360.0f;
    float half = view.fieldOfView * 0.5f;
    bool rightHand = std::cos(QL_Math_Radians(v + c)) > 0.0f;
    return rightHand ? -180.0f - half : -180.0f + half;
}
