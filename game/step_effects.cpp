// The list of what a step of the run asks of the speakers and the screen.
#include "game/step_effects.h"

#include "core/constants.h"
#include "core/settings.h"
#include "game/game_assets.h"
#include "world/arena.h"
#include "world/camera.h"

float whiteFlash = 0.0f;
float hurtFlash = 0.0f;
StepEffect StepEffects[kStepEffectCount];
int stepEffectCount = 0;

namespace {

void Note(const StepEffect& e) {
    if (stepEffectCount < kStepEffectCount) StepEffects[stepEffectCount++] = e;
}

StepEffect Of(StepEffectKind kind) {
    StepEffect e{};
    e.kind = kind;
    return e;
}

void Amount(StepEffectKind kind, float amount) {
    StepEffect e = Of(kind);
    e.amount = amount;
    Note(e);
}

void CarryOut(const StepEffect& e) {
    switch (e.kind) {
    case StepEffectKind::Sound:
        QL_Sound_PlayAdvanced(e.sound, e.volume, e.pitch, false, QL_GROUP_EFFECTS);
        break;
    case StepEffectKind::Music:
        GameMusic_Start(e.value);
        break;
    case StepEffectKind::ResumeSounds:
        QL_Sound_ResumeAll();
        break;
    case StepEffectKind::Shake:
        cameraShake += e.amount;
        break;
    case StepEffectKind::WhiteFlash:
        whiteFlash += e.amount;
        break;
    case StepEffectKind::HurtFlash:
        hurtFlash += e.amount;
        break;
    case StepEffectKind::Sky:
        skyTargetColor = e.color;
        break;
    }
}

} // namespace

void StepEffects_Sound(QL_Sound sound, float volume, float pitch) {
    StepEffect e = Of(StepEffectKind::Sound);
    e.sound = sound;
    e.volume = volume;
    e.pitch = pitch;
    Note(e);
}

void StepEffects_Effect(QL_Sound sound, float factor) {
    StepEffects_Sound(sound, settings.sfxVolume * factor);
}

void StepEffects_Music(int stage) {
    StepEffect e = Of(StepEffectKind::Music);
    e.value = stage;
    Note(e);
}

void StepEffects_ResumeSounds() {
    Note(Of(StepEffectKind::ResumeSounds));
}

void StepEffects_Shake(float amount) {
    Amount(StepEffectKind::Shake, amount);
}

void StepEffects_WhiteFlash(float amount) {
    Amount(StepEffectKind::WhiteFlash, amount);
}

void StepEffects_HurtFlash(float amount) {
    Amount(StepEffectKind::HurtFlash, amount);
}

void StepEffects_Sky(QL_Color color) {
    StepEffect e = Of(StepEffectKind::Sky);
    e.color = color;
    Note(e);
}

void StepEffects_Clear() {
    stepEffectCount = 0;
}

void StepEffects_CarryOut() {
    for (int i = 0; i < stepEffectCount; i++)
        CarryOut(StepEffects[i]);
    StepEffects_Clear();
}
