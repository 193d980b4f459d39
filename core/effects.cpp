// Playing a sound effect at the player's effect volume.
#include "core/effects.h"

#include "core/constants.h"
#include "core/settings.h"

void Effect_Play(QL_Sound sound, float factor) {
    QL_Sound_PlayAdvanced(sound, settings.sfxVolume * factor, 1.0f, false, QL_GROUP_EFFECTS);
}
