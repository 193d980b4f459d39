// The frame-rate log, read from the environment once.
#include "world/fps_log.h"

#include <cstdio>
#include <cstdlib>

void FpsLog_Frame(float dt, int renderDistance) {
    static const bool on = std::getenv("ZORB_FPS_LOG") && *std::getenv("ZORB_FPS_LOG") == '1';
    static int frames = 0;
    static float seconds = 0.0f;
    if (!on) return;
    frames++;
    seconds += dt;
    if (seconds < 1.0f) return;
    std::fprintf(stderr, "fps %.1f render distance %d\n", (double)frames / (double)seconds,
                 renderDistance);
    frames = 0;
    seconds = 0.0f;
}
