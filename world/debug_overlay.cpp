// The debug overlay: a black pass, then a white pass 2 pixels up and left of it.
#include "world/debug_overlay.h"

#include <cstdio>

#include "quillon/quillon.h"
#include "world/renderer.h"
#include "world/sprite_pool.h"

static const int kLineSize = 100;

void Debug_FormatLine(int n, bool mainPass, const DebugPlace& place, char* out) {
    switch (n) {
    case 0:
        std::snprintf(out, kLineSize, "MouseX: %.0f    MouseY: %.0f",
                      (double)(mainPass ? QL_Input_GetMouseX() : QL_Input_GetMouseWorldX()),
                      (double)(mainPass ? QL_Input_GetMouseY() : QL_Input_GetMouseWorldY()));
        break;
    case 1:
        std::snprintf(out, kLineSize, "FPS: %.5f", (double)QL_System_GetFrameRate());
        break;
    case 2:
        std::snprintf(out, kLineSize, "X: %.3f    Y: %.3f    R: %.2f", (double)place.x,
                      (double)place.y, (double)place.angle);
        break;
    case 3:
        std::snprintf(out, kLineSize, "Faces rendered: %d", facesRendered);
        break;
    case 4:
        std::snprintf(out, kLineSize, "Sprites rendered / in use (MAX): %d / %d (%d)",
                      spritesRendered, spritesInUse, kSpritePoolSize);
        break;
    default:
        std::snprintf(out, kLineSize, "Render Distance (MAX): %d (%d)", renderDistance,
                      kMaxRenderDistance);
        break;
    }
}

static void Pass(bool mainPass, float offset, const DebugPlace& place) {
    char line[kLineSize];
    QL_Settings_Fill(mainPass ? QL_Color{255, 255, 255, 255} : QL_Color{0, 0, 0, 255});
    for (int n = 0; n < 6; n++) {
        Debug_FormatLine(n, mainPass, place, line);
        QL_Font_DrawText(line, 20.0f + offset, 20.0f + offset + 20.0f * (float)n);
    }
}

void Debug_DrawOverlay(const DebugPlace& place) {
    QL_Settings_NoStroke();
    QL_Settings_TextSize(10.0f);
    QL_Settings_TextAlignment(QL_ALIGN_LEFT, QL_ALIGN_MIDDLE);
    Pass(false, 2.0f, place);
    Pass(true, 0.0f, place);
    spritesRendered = 0;
    facesRendered = 0;
}
