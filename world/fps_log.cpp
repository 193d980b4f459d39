// The frame-rate log, read from the environment once.
#include "world/fps_log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

void FpsLog_Frame(float dt, int renderDistance, float frameRate) {
    static const bool on = std::getenv("ZORB_FPS_LOG") && *std::getenv("ZORB_FPS_LOG") == '1';
    static int frames = 0;
    static float seconds = 0.0f;
    static double sum = 0.0, squares = 0.0, worst = 0.0; // of the intervals, in ms
    if (!on) return;
    frames++;
    seconds += dt;
    double interval = frameRate > 0.0f ? 1000.0 / (double)frameRate : 0.0;
    sum += interval;
    squares += interval * interval;
    worst = std::max(worst, interval);
    if (seconds < 1.0f) return;
    double mean = sum / frames, sd = std::sqrt(std::max(0.0, squares / frames - mean * mean));
    std::fprintf(stderr, "fps %.1f render distance %d interval sd %.3f ms worst %.2f ms\n",
                 (double)frames / (double)seconds, renderDistance, sd, worst);
    frames = 0;
    seconds = 0.0f;
    sum = squares = worst = 0.0;
}
