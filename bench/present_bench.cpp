// The real window's floor: frames per second of the engine presenting a canvas full screen with
// next to no drawing (one pixel changes a frame: a frame that changes nothing is not presented),
// and the time of one memset of a canvas that size, to weigh a game frame against. Run under the
// display to measure (scripts/window-bench does).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "quillon/quillon.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point start;
long frames = 0;

void Idle() {
    if (frames++ == 0) start = Clock::now();
    QL_Settings_NoStroke();
    QL_Settings_Fill(QL_Color_Create((int)(frames & 255), 0, 0, 255));
    QL_Graphics_DrawRect(0.0f, 0.0f, 1.0f, 1.0f);
    if (std::chrono::duration<double>(Clock::now() - start).count() >= 3.0) QL_Engine_Terminate();
}

double MemsetMs(int w, int h) {
    std::vector<uint32_t> canvas((size_t)w * (size_t)h);
    auto t0 = Clock::now();
    for (int i = 0; i < 100; i++)
        std::memset(canvas.data(), i, canvas.size() * 4);
    volatile uint32_t keep = canvas[(size_t)w * h / 2];
    (void)keep;
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / 100.0;
}

} // namespace

int main() {
    QL_System_SetWindowTitle("ZORB present bench");
    QL_System_Fullscreen();
    QL_System_SetFrameRate(0.0); // no cap
    QL_Engine_SetNextGameState(nullptr, Idle, nullptr);
    if (QL_Engine_Run() != 0) {
        std::fprintf(stderr, "present bench: %s\n", QL_System_LastError());
        return 1;
    }
    int w = QL_System_GetDisplayWidth(), h = QL_System_GetDisplayHeight();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    double presentMs = 1000.0 * seconds / (double)(frames > 1 ? frames - 1 : 1);
    std::printf("present of a %dx%d canvas: %.2f ms (%.0f fps)\n", w, h, presentMs,
                1000.0 / presentMs);
    std::printf("memset of the canvas: %.2f ms\n", MemsetMs(w, h));
    return 0;
}
