// The frame-rate log, read from the environment once.
#include "world/fps_log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "quillon/quillon.h"

namespace {

// The frames' latencies (input gathered to picture handed over) over the second, in ms: the mean
// and the 99th percentile; both 0 without any.
void LatencyFigures(std::vector<float>* ms, double* mean, double* p99) {
    *mean = *p99 = 0.0;
    if (ms->empty()) return;
    double sum = 0.0;
    for (float v : *ms)
        sum += v;
    *mean = sum / (double)ms->size();
    size_t at = std::min(ms->size() - 1, (size_t)std::ceil(0.99 * (double)ms->size()) - 1);
    std::nth_element(ms->begin(), ms->begin() + (long)at, ms->end());
    *p99 = (*ms)[at];
}

void TakeLatencies(std::vector<float>* ms) {
    float seconds[512];
    for (int n; (n = QL_System_TakeFrameLatencies(seconds, 512)) > 0;)
        for (int i = 0; i < n; i++)
            ms->push_back(1000.0f * seconds[i]);
}

} // namespace

void FpsLog_Frame(float dt, int renderDistance, float frameRate) {
    static const bool on = std::getenv("ZORB_FPS_LOG") && *std::getenv("ZORB_FPS_LOG") == '1';
    static int frames = 0;
    static float seconds = 0.0f;
    static double sum = 0.0, squares = 0.0, worst = 0.0; // of the intervals, in ms
    static std::vector<float> latencies;
    if (!on) return;
    frames++;
    // The frame's true interval: its step is bounded, and would tell a slow rate as 20.
    double interval = frameRate > 0.0f ? 1000.0 / (double)frameRate : 0.0;
    seconds += frameRate > 0.0f ? (float)(interval / 1000.0) : dt;
    sum += interval;
    squares += interval * interval;
    worst = std::max(worst, interval);
    TakeLatencies(&latencies);
    if (seconds < 1.0f) return;
    double mean = sum / frames, sd = std::sqrt(std::max(0.0, squares / frames - mean * mean));
    double latencyMean, latencyP99;
    LatencyFigures(&latencies, &latencyMean, &latencyP99);
    std::fprintf(stderr,
                 "fps %.1f render distance %d interval sd %.3f ms worst %.2f ms latency mean "
                 "%.2f ms p99 %.2f ms\n",
                 (double)frames / (double)seconds, renderDistance, sd, worst, latencyMean,
                 latencyP99);
    frames = 0;
    seconds = 0.0f;
    sum = squares = worst = 0.0;
    latencies.clear();
}
