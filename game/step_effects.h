// What a step of the run asks of the speakers and the screen: sounds (those heard from a place
// already set to their two sides' volumes), the music of a stage, the camera's shake, the HUD's
// white and red flashes and the sky's colour. The step only notes them, in order; the frame
// (app/) has them carried out after the step, so that the run itself never plays, shakes or
// draws, and a replay, a verify and the live game step alike.
// A fixed list, cleared as it is carried out; a step that asks for more than it holds loses the
// rest quietly, as the pools do.
#pragma once

#include "quillon/quillon.h"

enum class StepEffectKind { Sound, Music, ResumeSounds, Shake, WhiteFlash, HurtFlash, Sky };

struct StepEffect {
    StepEffectKind kind;
    QL_Sound sound;      // Sound
    float volume, pitch; // Sound
    int value;           // Music: the stage
    float amount;        // Shake, WhiteFlash, HurtFlash
    QL_Color color;      // Sky
};

// The HUD's flashes, raised as the steps ask and decayed as the HUD draws them.
extern float whiteFlash; // raised by shots and bursts
extern float hurtFlash;  // raised when the player is hit

const int kStepEffectCount = 4096;
extern StepEffect StepEffects[kStepEffectCount];
extern int stepEffectCount;

// A sound once, in the effects group.
void StepEffects_Sound(QL_Sound sound, float volume, float pitch = 1.0f);
// A sound effect at the player's effect volume times a factor for its use.
void StepEffects_Effect(QL_Sound sound, float factor);
void StepEffects_Music(int stage);
void StepEffects_ResumeSounds();
void StepEffects_Shake(float amount);
void StepEffects_WhiteFlash(float amount);
void StepEffects_HurtFlash(float amount);
void StepEffects_Sky(QL_Color color);
// Carries out what the step asked, in order, and empties the list: called by the frame after the
// step, before the picture is drawn.
void StepEffects_CarryOut();
void StepEffects_Clear();
