// A window that lays an alpha-8 black veil over a grey picture 700 times, as the pause overlay
// does, and prints the resulting pixel: it must reach black on every renderer.
#include <cstdio>

#include "quillon/headless.h"
#include "quillon/quillon.h"

static int frame = 0;

static void Update() {
    if (frame == 0) {
        QL_Settings_Background(QL_Color_Create(200, 200, 200, 255));
    } else {
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color_Create(0, 0, 0, 8));
        QL_Graphics_DrawRect(0, 0, 640, 480);
    }
    if (++frame < 700) return;
    int r, g, b, a;
    QLH_ReadPixel(100, 100, &r, &g, &b, &a);
    std::printf("veil %d %d %d\n", r, g, b);
    QL_Engine_Terminate();
}

int main() {
    QL_System_SetWindowTitle("ZORB veil probe");
    QL_System_SetWindowSize(640, 480);
    QL_System_SetFrameRate(1000.0);
    QL_Engine_SetNextGameState(nullptr, Update, nullptr);
    return QL_Engine_Run();
}
