// Positional stereo sound.
#include "game/positional_sound.h"
#include "game/step_effects.h"

#include <algorithm>
#include <cmath>

StereoVolumes Sound_PositionalVolumes(float sourceX, float sourceY, float listenerX,
                                      float listenerY, float listenerAngle, float loudness) {
    float dx = sourceX - listenerX, dy = listenerY - sourceY;
    float bearing = QL_Math_Degrees(std::atan2(dy, dx));
    float a = listenerAngle > 180.0f ? listenerAngle - 360.0f : listenerAngle;
    float d2 = std::max(0.25f, dx * dx + dy * dy);
    float g = loudness / d2;
    float right = std::sin(QL_Math_Radians(a) - QL_Math_Radians(bearing));
    float left = std::sin(QL_Math_Radians(bearing) - QL_Math_Radians(a));
    return StereoVolumes{std::min(3.0f, (left + 1.0f) * g * 0.5f),
                         std::min(3.0f, (right + 1.0f) * g * 0.5f)};
}

void Sound_PlayPositional(QL_Sound leftSound, QL_Sound rightSound, float sourceX, float sourceY,
                          float listenerX, float listenerY, float listenerAngle, float loudness,
                          float pitch) {
    StereoVolumes v =
        Sound_PositionalVolumes(sourceX, sourceY, listenerX, listenerY, listenerAngle, loudness);
    StepEffects_Sound(rightSound, v.right, pitch);
    StepEffects_Sound(leftSound, v.left, pitch);
}
