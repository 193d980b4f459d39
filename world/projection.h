// The projection from world points to window pixels. The horizontal scale follows the angle off
// the view direction (divided by |cos a|), not its tangent: every vertex of the scene uses it.
#pragma once

struct View {
    float cameraX, cameraY;
    float screenOffsetX;
    float eyeHeight;
    float viewAngle, fieldOfView; // degrees
    float viewLeft, viewTop, viewRight, viewBottom;
};

// Where a floor-plan point lies from the camera: its wrapped relative angle (degrees), its
// distance and |cos| of the angle. usable is false at the singular points (distance 0, or an
// angle so close to +-90 degrees that the projection runs off to infinity).
struct PointAngle {
    float angle, distance, cosAbs;
    bool usable;
};

// Relative angle of (px, py), wrapped up by 360 when it falls below limit.
PointAngle Projection_Angle(const View& view, float px, float py, float limit);
float Projection_ScreenX(const View& view, const PointAngle& p);
float Projection_ScreenY(const View& view, const PointAngle& p, float height);
// The wrap limit of a cell's vertices: -180 - half for a cell on the right-hand side of the view,
// -180 + half otherwise.
float Projection_CellLimit(const View& view, int cellX, int cellY);
// The bearing of (px, py) from (cx, cy) in degrees, in (-180, 180].
float Projection_Bearing(float cx, float cy, float px, float py);
