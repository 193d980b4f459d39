// The HUD. Counters print zero-padded in the black shadow and space-padded in front, so leading
// zeros show dark in the monospaced font.
#include "ui/hud.h"

#include <cstdio>

#include "core/constants.h"
#include "quillon/quillon.h"

namespace {

const int kBufferSize = 100;
char line[kBufferSize]; // the one buffer every line is formatted into

const QL_Color kWeaponColors[3] = {{255, 0, 255, 255}, {0, 255, 255, 255}, {255, 255, 0, 255}};

void Text(QL_Color color, float x, float y) {
    QL_Settings_Fill(color);
    QL_Font_DrawText(line, x, y);
}

// Fades a flash and covers the window with it.
void Flash(float* value, int r, int g, int b) {
    *value = Decayed(*value, QL_System_GetDt());
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    QL_Settings_Fill(QL_Color_Create(r, g, b, (int)*value));
    QL_Settings_NoStroke(); // no edge line along the window's border
    QL_Graphics_DrawQuad(0.0f, 0.0f, w, 0.0f, w, h, 0.0f, h);
}

void Counters(const HudView& v, float cx, float h) {
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_TOP);
    QL_Settings_TextSize(0.04f * h);
    std::snprintf(line, kBufferSize, "%.10d", v.score);
    Text(kBlack, cx + 2.0f, 12.0f);
    std::snprintf(line, kBufferSize, "%10d", v.score);
    Text(kWhite, cx, 10.0f);
    QL_Settings_TextSize(0.02f * h);
    std::snprintf(line, kBufferSize, "NEXT %.10d    %.10d HIGH", v.nextLifeScore, v.highScore);
    Text(kBlack, cx + 2.0f, 0.07f * h + 12.0f);
    std::snprintf(line, kBufferSize, "NEXT %10d    %10d HIGH", v.nextLifeScore, v.highScore);
    Text(kWhite, cx, 0.07f * h + 10.0f);
}

void LivesAndWeapons(const HudView& v, float cx, float h) {
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_BOTTOM);
    QL_Settings_TextSize(0.08f * h);
    std::snprintf(line, kBufferSize, "%d", v.lives);
    Text(kBlack, cx + 2.0f, 0.92f * h - 8.0f);
    Text(kRed, cx, 0.92f * h - 10.0f);
    QL_Settings_TextSize(0.02f * h);
    Hud_FormatWeaponShadow(line, v.autoLevel, v.spreadLevel, v.bombLevel);
    Text(kBlack, cx + 2.0f, 0.98f * h - 8.0f);
    const int32_t levels[3] = {v.autoLevel, v.spreadLevel, v.bombLevel};
    int weapon = v.weapon >= 0 && v.weapon < 3 ? v.weapon : 0;
    Hud_FormatWeaponFront(line, weapon, levels[weapon]);
    Text(kWeaponColors[weapon], cx, 0.98f * h - 10.0f);
}

} // namespace

void Hud_FormatWeaponShadow(char* out, int32_t autoLevel, int32_t spreadLevel, int32_t bombLevel) {
    std::snprintf(out, kBufferSize, "AUTO %.2d        SPRD %.2d        BOMB %.2d", autoLevel,
                  spreadLevel, bombLevel);
}

void Hud_FormatWeaponFront(char* out, int32_t weapon, int32_t level) {
    const char* formats[3] = {"AUTO %.2d                              ",
                              "               SPRD %.2d               ",
                              "                              BOMB %.2d"};
    std::snprintf(out, kBufferSize, formats[weapon >= 0 && weapon < 3 ? weapon : 0], level);
}

void Hud_Draw(const HudView& v) {
    float cx = 0.5f * (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    Flash(v.whiteFlash, 255, 255, 255);
    Counters(v, cx, h);
    LivesAndWeapons(v, cx, h);
    Flash(v.hurtFlash, 200, 100, 100);
}
