// The latencies wait under a mutex: the present thread adds them, the main thread reads them.
#include "frame_latency.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace {

const int kKept = 4096; // more than a second's frames at any cap
std::mutex lock;
float kept[kKept];
int count = 0;

} // namespace

double FrameLatency_Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void FrameLatency_Add(double inputSeconds) {
    float seconds = (float)(FrameLatency_Now() - inputSeconds);
    std::lock_guard<std::mutex> held(lock);
    if (count < kKept) kept[count++] = seconds;
}

int FrameLatency_Take(float* out, int max) {
    std::lock_guard<std::mutex> held(lock);
    int n = std::min(std::max(max, 0), count);
    std::copy(kept, kept + n, out);
    count = 0;
    return n;
}
