// The HUD over the scene: score, next life and high score, lives, weapon levels, and the white
// and red full-window flashes.
#pragma once

#include <cstdint>

// What the HUD shows of the run. highScore: the larger of the run's score and the leaderboard's
// best when the run began. The flashes are faded as they are drawn.
struct HudView {
    int32_t score, nextLifeScore, highScore, lives, weapon;
    int32_t autoLevel, spreadLevel, bombLevel;
    float* whiteFlash;
    float* hurtFlash;
};

// Draws this frame's HUD and fades the flashes.
void Hud_Draw(const HudView& v);

// The three weapon lines: the shadow line, and the selected weapon's line (spaces where the
// other two stand) so that its segment lies over its shadow. Written into out (100 bytes).
void Hud_FormatWeaponShadow(char* out, int32_t autoLevel, int32_t spreadLevel, int32_t bombLevel);
void Hud_FormatWeaponFront(char* out, int32_t weapon, int32_t level);
