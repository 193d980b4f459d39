// Player movement and turning, by the frame's command.
#include "game/player_motion.h"

#include <cmath>

#include "core/constants.h"
#include "core/settings.h"
#include "core/sim_math.h"
#include "game/game_assets.h"
#include "game/player.h"
#include "game/step_effects.h"
#include "quillon/quillon.h"
#include "world/arena.h"

namespace {

const float kAcceleration = 10.0f;
const float kTopSpeed = 3.0f;
const float kMargin = 0.05f;
const float kStepDistance = 0.6f;
const float kBlockingHeight = -2.1f;
// The right stick's turn at full push, degrees a second, at the default mouse sensitivity.
const float kPadTurnSpeed = 180.0f;
const float kDefaultSensitivity = 0.4f;

// A held key (drive 1) accelerates toward the top speed, a stick toward its share of it (drive
// 0 to 1, so that it is never faster than the keys); nothing held lets the speed decay from its
// side, as does easing the stick back.
void DriveAxis(float* speed, float drive, float direction, float dt) {
    if (drive > 0.0f) {
        float limit = drive * kTopSpeed;
        if (*speed * direction > limit)
            *speed = direction * std::fmax(limit, Decayed(*speed * direction, dt));
        else
            *speed = direction * std::fmin(limit, *speed * direction + kAcceleration * dt);
    } else if (*speed * direction > 0.0f) {
        *speed = Decayed(*speed, dt);
    }
}

void Footsteps(float dt, float v) {
    player.stepTimer -= dt * v;
    if (player.stepTimer > 0.0f) return;
    float louder = settings.sfxVolume * 0.5f, softer = settings.sfxVolume * 0.25f;
    bool leftLoud = player.stepSide != 0;
    StepEffects_Sound(gameSounds.footstepLeft, leftLoud ? louder : softer);
    StepEffects_Sound(gameSounds.footstepRight, leftLoud ? softer : louder);
    player.stepSide = leftLoud ? 0 : 1;
    player.stepTimer += kStepDistance;
}

// Turns by the mouse's offset from the window centre (the pointer is put back there after the
// step). The right stick turns as well: at full push 180 degrees a second at the default
// sensitivity, following the setting, with the push squared so that small pushes aim finely.
void MouseLook(const RunCommand& c) {
    player.turnRate -= c.dt * c.mouseTurn * settings.mouseSensitivity;
    player.turnRate = Decayed(player.turnRate, c.dt);
    float x = c.stickTurn;
    float stickTurn =
        kPadTurnSpeed * settings.mouseSensitivity / kDefaultSensitivity * x * std::fabs(x);
    player.angle = PlayerMotion_WrapAngle(player.angle + player.turnRate - stickTurn * c.dt);
}

} // namespace

float PlayerMotion_WrapAngle(float degrees) {
    if (!std::isfinite(degrees)) return 0.0f;
    float a = std::fmod(degrees, 360.0f);
    if (a < 0.0f) a += 360.0f;
    return a >= 360.0f ? 0.0f : a; // a tiny negative angle rounds up to 360
}

void PlayerMotion_AxisMove(float* p, float d, float o, bool alongX) {
    float probe = d > 0.0f ? *p + d + kMargin : *p + d - kMargin;
    // NaN fails every comparison, so it counts as blocked as well.
    bool inside = probe >= 0.0f && probe < (float)kArenaSize && o >= 0.0f && o < (float)kArenaSize;
    bool blocked = !inside;
    if (inside) {
        const MapCell* cell =
            alongX ? Arena_CellAt((int)probe, (int)o) : Arena_CellAt((int)o, (int)probe);
        blocked = cell->top > kBlockingHeight && cell->bottom < kBlockingHeight;
    }
    if (!blocked)
        *p += d;
    else if (d > 0.0f)
        *p = std::ceil(*p) - kMargin;
    else
        *p = std::floor(*p) + kMargin;
}

void PlayerMotion_Update(const RunCommand& command) {
    float dt = command.dt;
    DriveAxis(&player.forwardSpeed, std::fmax(0.0f, command.forward), 1.0f, dt);
    DriveAxis(&player.forwardSpeed, std::fmax(0.0f, -command.forward), -1.0f, dt);
    DriveAxis(&player.strafeSpeed, std::fmax(0.0f, -command.strafe), -1.0f, dt);
    DriveAxis(&player.strafeSpeed, std::fmax(0.0f, command.strafe), 1.0f, dt);
    float s = std::sqrt(player.strafeSpeed * player.strafeSpeed +
                        player.forwardSpeed * player.forwardSpeed);
    if (s > kTopSpeed) {
        player.strafeSpeed *= kTopSpeed / s;
        player.forwardSpeed *= kTopSpeed / s;
    }
    Footsteps(dt, s < kTopSpeed ? s : kTopSpeed);
    MouseLook(command);
    player.pushX = Decayed(player.pushX, dt);
    player.pushY = Decayed(player.pushY, dt);
    float c = SimMath_Cos(QL_Math_Radians(player.angle)),
          n = SimMath_Sin(QL_Math_Radians(player.angle));
    PlayerMotion_AxisMove(&player.x, player.pushX * dt, player.y, true);
    PlayerMotion_AxisMove(&player.y, player.pushY * dt, player.x, false);
    PlayerMotion_AxisMove(&player.x, c * player.forwardSpeed * dt, player.y, true);
    PlayerMotion_AxisMove(&player.y, -n * player.forwardSpeed * dt, player.x, false);
    PlayerMotion_AxisMove(&player.x, n * player.strafeSpeed * dt, player.y, true);
    PlayerMotion_AxisMove(&player.y, c * player.strafeSpeed * dt, player.x, false);
}
