// The camera passes and the two cameras.
#include "world/camera.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/constants.h"
#include "core/settings.h"
#include "quillon/quillon.h"
#include "world/arena.h"
#include "world/projection.h"
#include "world/renderer.h"
#include "world/sprite_pool.h"

static const uint32_t kShakeSeed = 0x2F6B1D3Au;

float cameraShake = 0.0f;
float orbitTime = 30.0f;
float backdropCameraX = 0.0f, backdropCameraY = 0.0f, backdropViewAngle = 0.0f;

void Camera_UpdateRings(float cameraX, float cameraY) {
    int ccx = (int)cameraX, ccy = (int)cameraY;
    for (int y = 0; y < kArenaSize; y++)
        for (int x = 0; x < kArenaSize; x++)
            Arena[y * kArenaSize + x].ring = std::abs(x - ccx) + std::abs(y - ccy);
    for (Sprite& s : SpritePool)
        if (s.inUse) s.ring = std::abs((int)s.x - ccx) + std::abs((int)s.y - ccy);
}

// |bearing - view angle|, brought below 360 once.
static float AngleOff(float bearing, float viewAngle) {
    float d = std::fabs(bearing - viewAngle);
    return d > 360.0f ? d - 360.0f : d;
}

static bool CellInView(int x, int y, float cameraX, float cameraY, float viewAngle, float half) {
    for (int j = 0; j < 2; j++)
        for (int i = 0; i < 2; i++) {
            float b = Projection_Bearing(cameraX, cameraY, (float)(x + i), (float)(y + j));
            float d = AngleOff(b, viewAngle);
            if (d > 360.0f - half || d < half) return true;
        }
    return false;
}

void Camera_UpdateVisibility(float cameraX, float cameraY, float viewAngle, float fieldOfView) {
    float half = fieldOfView * 0.5f;
    for (int y = 0; y < kArenaSize; y++)
        for (int x = 0; x < kArenaSize; x++)
            Arena[y * kArenaSize + x].inView = CellInView(x, y, cameraX, cameraY, viewAngle, half);
    for (Sprite& s : SpritePool) {
        if (!s.inUse) continue;
        float d = AngleOff(Projection_Bearing(cameraX, cameraY, s.x, s.y), viewAngle);
        s.inView = d > 360.0f - half - s.viewMargin || d < half + s.viewMargin;
    }
}

// The shake's own random numbers (xorshift32): the shake is part of drawing, and drawing must not
// draw from the run's generator, which places the enemies and pickups. A frame not drawn, at a
// replay's fast speed, must leave the run as it is.
static uint32_t shakeState = kShakeSeed;

static float ShakeNoise() {
    shakeState ^= shakeState << 13;
    shakeState ^= shakeState >> 17;
    shakeState ^= shakeState << 5;
    return (float)(shakeState >> 8) * (1.0f / 16777216.0f);
}

void Camera_ResetShake() {
    cameraShake = 0.0f;
    shakeState = kShakeSeed;
}

static View FullWindowView(float x, float y, float offset, float eye, float angle,
                           float fieldOfView) {
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    return View{x, y, offset, eye, angle, fieldOfView, 0.0f, 0.0f, w, h};
}

void Camera_GameFrame(float x, float y, float angle, float fieldOfView) {
    Camera_UpdateRings(x, y);
    Camera_UpdateVisibility(x, y, angle, fieldOfView);
    cameraShake = Decayed(cameraShake, QL_System_GetDt());
    // The player's SCREEN SHAKE scales what is drawn of it; the shake's own numbers run on alike.
    float shake = cameraShake * (float)settings.screenShake / 100.0f;
    float w = (float)QL_System_GetWindowWidth();
    float r1 = ShakeNoise();
    float offset = w * (shake * 0.1f * std::cos(QL_Math_Radians(r1 * 360.0f)));
    float r2 = ShakeNoise();
    float eye = std::sin(QL_Math_Radians(r2 * 360.0f)) * shake;
    Render_Scene(FullWindowView(x, y, offset, eye, angle, fieldOfView));
}

void Camera_BackdropFrame(float fieldOfView) {
    orbitTime -= QL_System_GetDt();
    if (orbitTime <= 0.0f) orbitTime += 30.0f;
    float p = orbitTime * 360.0f / 30.0f;
    float viewAngle = p - 90.0f;
    if (viewAngle <= 0.0f) viewAngle += 360.0f;
    backdropCameraX = std::cos(QL_Math_Radians(p)) * 9.0f + 16.0f;
    backdropCameraY = 16.0f - std::sin(QL_Math_Radians(p)) * 9.0f;
    backdropViewAngle = viewAngle;
    Camera_UpdateRings(backdropCameraX, backdropCameraY);
    Camera_UpdateVisibility(backdropCameraX, backdropCameraY, backdropViewAngle, fieldOfView);
    Render_Scene(FullWindowView(backdropCameraX, backdropCameraY, 0.0f, 3.0f, backdropViewAngle,
                                fieldOfView));
}
