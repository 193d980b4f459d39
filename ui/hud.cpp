// The HUD. Counters print zero-padded in the black shadow and space-padded in front, so leading
// zeros show dark in the monospaced font.
#include "ui/hud.h"

#include <cstdio>

#include "core/constants.h"
#include "core/settings.h"
#include "quillon/quillon.h"

namespace {

const int kBufferSize = 100;
char line[kBufferSize]; // the one buffer every line is formatted into

void Text(QL_Color color, float x, float y) {
    QL_Settings_Fill(color);
    QL_Font_DrawText(line, x, y);
}

void Rect(float x0, float y0, float x1, float y1) {
    QL_Graphics_DrawQuad(x0, y0, x1, y0, x1, y1, x0, y1);
}

// Fades a flash and covers the window with it: at full strength, at a quarter (SOFT), or not at
// all (OFF). The fading is the run's own whatever is drawn.
void Flash(float* value, int r, int g, int b) {
    *value = Decayed(*value, QL_System_GetDt());
    if (settings.flashes == kFlashesOff) return;
    float strength = settings.flashes == kFlashesSoft ? kSoftFlashMost : 1.0f;
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    float alpha = *value > 255.0f ? 255.0f : *value;
    QL_Settings_Fill(QL_Color_Create(r, g, b, (int)(alpha * strength)));
    QL_Settings_NoStroke(); // no edge line along the window's border
    Rect(0.0f, 0.0f, w, h);
}

// With the flashes off a hit still shows: a red edge round the picture that fades as the hit's
// flash would, its inner band fainter, leaving the middle of the picture as it is.
void HurtEdge(float value) {
    if (settings.flashes != kFlashesOff || value < 1.0f) return;
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    float alpha = value > 255.0f ? 255.0f : value;
    QL_Settings_NoStroke();
    for (int band = 0; band < 2; band++) {
        float in = 0.035f * h * (float)band, t = 0.035f * h;
        QL_Settings_Fill(QL_Color_Create(230, 20, 20, (int)(alpha * (band == 0 ? 1.0f : 0.45f))));
        Rect(in, in, w - in, in + t);
        Rect(in, h - in - t, w - in, h - in);
        Rect(in, in + t, in + t, h - in - t);
        Rect(w - in - t, in + t, w - in, h - in - t);
    }
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
    HurtEdge(*v.hurtFlash);
}
