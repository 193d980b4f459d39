// A window that re-centres the mouse every frame, as play does, and adds up the offsets it reads.
// Used by the real-window test: it prints the sums and its size when P is released, each key
// pressed by its place and by its letter, and quits on Q.
#include <cstdio>
#include <initializer_list>

#include "quillon/quillon.h"

static double sumX = 0.0, sumY = 0.0;
static long frames = 0, framesWithMotion = 0;

static void Update() {
    float cx = (float)QL_System_GetWindowWidth() / 2.0f;
    float cy = (float)QL_System_GetWindowHeight() / 2.0f;
    float dx = QL_Input_GetMouseX() - cx, dy = QL_Input_GetMouseY() - cy;
    if (frames > 0) {
        sumX += dx;
        sumY += dy;
        if (dx != 0.0f || dy != 0.0f) framesWithMotion++;
    }
    frames++;
    QL_Input_WarpMouse(cx, cy);
    QL_Settings_Background(QL_Color_Create(20, 20, 20, 255));
    if (QL_Input_KeyReleased('P')) {
        std::printf("sum %.1f %.1f frames %ld moved %ld focus %d size %d %d\n", sumX, sumY, frames,
                    framesWithMotion, QL_System_HasFocus() ? 1 : 0, QL_System_GetWindowWidth(),
                    QL_System_GetWindowHeight());
        std::fflush(stdout);
    }
    // Each key pressed, by its place (with what the layout types there) and by its letter.
    for (int k : {'W', 'Z', '1'}) {
        if (QL_Input_PlaceTriggered(k))
            std::printf("place %c named %s\n", k, QL_Input_PlaceName(k));
        if (QL_Input_KeyTriggered(k)) std::printf("letter %c\n", k);
    }
    std::fflush(stdout);
    if (QL_Input_KeyReleased('Q')) QL_Engine_Terminate();
}

int main() {
    QL_System_SetWindowTitle("ZORB mouse probe");
    QL_System_SetWindowSize(640, 480);
    QL_System_SetFrameRate(1000.0);
    QL_Engine_SetNextGameState(nullptr, Update, nullptr);
    return QL_Engine_Run();
}
