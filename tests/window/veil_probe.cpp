// A window that lays an alpha-8 black veil over a grey picture 700 times, as the pause overlay
// does, and prints the resulting pixel: it must reach black on every renderer. Then it asks for
// the renderer's vsync with the cap at the display's rate, and prints whether it got it and the
// frames a second over 120 frames.
#include <chrono>
#include <cstdio>

#include "quillon/headless.h"
#include "quillon/quillon.h"

static int frame = 0;
static std::chrono::steady_clock::time_point vsyncStart;

// Frames 700 to 820: vsync asked for, the cap at the display's rate.
static void VSyncFrames() {
    if (frame == 700) {
        bool on = QL_System_SetVSync(true);
        QL_System_SetFrameRate(QL_System_GetDisplayRefreshRate());
        std::printf("vsync %s\n", on ? "on" : "off");
        vsyncStart = std::chrono::steady_clock::now();
    }
    QL_Settings_Background(QL_Color_Create(frame % 256, 0, 0, 255));
    if (++frame < 820) return;
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - vsyncStart).count();
    std::printf("vsync fps %.1f display %d\n", 119.0 / s, QL_System_GetDisplayRefreshRate());
    QL_Engine_Terminate();
}

static void Update() {
    if (frame >= 700) return VSyncFrames();
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
}

int main() {
    QL_System_SetWindowTitle("ZORB veil probe");
    QL_System_SetWindowSize(640, 480);
    QL_System_SetFrameRate(1000.0);
    QL_Engine_SetNextGameState(nullptr, Update, nullptr);
    return QL_Engine_Run();
}
