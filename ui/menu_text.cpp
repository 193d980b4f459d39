// Shared pieces of the front-end screens.
#include "ui/menu_text.h"

#include "core/effects.h"
#include "core/settings.h"
#include "ui/front_end_state.h"
#include "ui/key_labels.h"
#include "ui/menu_assets.h"
#include "ui/widgets.h"

void MenuText_Format(char out[kMenuLineSize], const char* text) {
    int n = 0;
    for (const char* p = text; *p && n < kMenuLineSize - 1; p++) {
        if (p[0] == '%' && p[1] == '%') p++;
        out[n++] = *p;
    }
    out[n] = 0;
}

std::string MenuText_Escaped(const std::string& text, size_t most) {
    std::string out;
    for (size_t k = 0; k < text.size() && k < most; k++) {
        char c = text[k] >= 32 && text[k] <= 126 ? text[k] : '?';
        out += c == '%' ? "%%" : std::string(1, c);
    }
    return out;
}

void MenuText_DrawPlain(const char* text, float x, float y, QL_Color color, int alpha) {
    char line[kMenuLineSize];
    MenuText_Format(line, text);
    QL_Settings_Fill(QL_Color{color.r, color.g, color.b, alpha});
    QL_Font_DrawText(line, x, y);
}

void MenuText_Draw(const char* text, float x, float y, QL_Color color, int alpha) {
    MenuText_DrawPlain(text, x, y, color, alpha);
    char line[kMenuLineSize];
    MenuText_Format(line, text);
    KeyLabels_Note(line, x, y, color);
}

void MenuText_Shadowed(const char* text, float x, float y, QL_Color color, int alpha) {
    char line[kMenuLineSize];
    MenuText_Format(line, text);
    Widget_ShadowedText(line, line, x, y, color, alpha);
}

QL_Color MenuText_CycleColor() {
    int hue = (int)(frontEnd.colorCycle * 360.0f);
    return QL_Color_FromColorHSV(QL_ColorHSV_Create((float)hue, 100.0f, 50.0f, 255));
}

int MenuText_SplashAlpha(float t) {
    return (int)((t - 0.2f) / 0.2f * 255.0f);
}

void MenuText_Blip() {
    Effect_Play(menuAssets.blip, 1.0f);
}

bool MenuText_Asked(int key) {
    if (frontEnd.skipLetGo) return KeyLabels_Clicked(key); // the key that skipped a splash
    return QL_Input_KeyReleased(key) || KeyLabels_Clicked(key);
}

bool MenuText_KeyReleased(int key) {
    if (!MenuText_Asked(key)) return false;
    MenuText_Blip();
    return true;
}

void MenuText_DrawLines(const MenuLine* lines, int count) {
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    for (int pass = 0; pass < 2; pass++)
        for (int i = 0; i < count; i++) {
            const MenuLine& l = lines[i];
            QL_Settings_TextSize(l.size * h);
            if (pass == 0)
                MenuText_Draw(l.shadow, 0.5f * w + 2.0f, l.y * h + 2.0f, {0, 0, 0, 255}, 255);
            else
                MenuText_Draw(l.front, 0.5f * w, l.y * h, l.color, 255);
        }
}
