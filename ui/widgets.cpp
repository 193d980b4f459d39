// The shared button and shadowed text of the mouse-driven screens.
#include "ui/widgets.h"

bool Widget_Hovered(const WidgetButton& b, float x, float y) {
    return b.cx - b.w / 2.0f < x && x < b.cx + b.w / 2.0f && b.cy - b.h / 2.0f < y &&
           y < b.cy + b.h / 2.0f;
}

bool Widget_Button(const WidgetButton& b) {
    bool hovered = Widget_Hovered(b, QL_Input_GetMouseX(), QL_Input_GetMouseY());
    QL_Settings_Fill(hovered ? QL_Color{200, 200, 200, 255} : QL_Color{50, 50, 50, 255});
    QL_Settings_Stroke(QL_Color{0, 0, 0, 255});
    QL_Graphics_DrawRect(b.cx, b.cy, b.w, b.h);
    return hovered && QL_Input_MouseReleased(0);
}

void Widget_ShadowedText(const char* shadow, const char* front, float x, float y, QL_Color color,
                         int alpha) {
    QL_Settings_Fill(QL_Color{0, 0, 0, alpha});
    QL_Font_DrawText(shadow, x + 2.0f, y + 2.0f);
    QL_Settings_Fill(QL_Color{color.r, color.g, color.b, alpha});
    QL_Font_DrawText(front, x, y);
}
