// The HUD over the scene: score, next life and high score, lives, weapon levels, and the white
// and red full-window flashes.
#pragma once

#include <cstdint>

// Draws this frame's HUD and fades the flashes. highScore: the larger of the run's score and the
// leaderboard's best when the run began.
void Hud_Draw(int32_t highScore);

// The three weapon lines: the shadow line, and the selected weapon's line (spaces where the
// other two stand) so that its segment lies over its shadow. Written into out (100 bytes).
void Hud_FormatWeaponShadow(char* out, int32_t autoLevel, int32_t spreadLevel, int32_t bombLevel);
void Hud_FormatWeaponFront(char* out, int32_t weapon, int32_t level);
