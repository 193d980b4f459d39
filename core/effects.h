// Sound effects as the game plays them: at the effect volume setting times a factor for the use,
// in the effects group, at normal pitch, once.
#pragma once

#include "quillon/quillon.h"

void Effect_Play(QL_Sound sound, float factor);
