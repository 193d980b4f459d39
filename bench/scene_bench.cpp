// The scene renderer with the whole arena in reach (render distance 64): frames per second through
// the headless software renderer, and the program's own share of a frame (passes, projection,
// ordering and issuing the draw calls) with the rasterizer left out by a count-only canvas.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/settings.h"
#include "game/player.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "world/arena.h"
#include "world/camera.h"
#include "world/renderer.h"

namespace {

bool backdrop = false;

void Frame() {
    renderDistance = kMaxRenderDistance;
    if (backdrop) {
        Camera_BackdropFrame(settings.fieldOfView);
    } else {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        Camera_GameFrame(player.x, player.y, player.angle, settings.fieldOfView);
    }
}

// Arguments: window width, height, camera (0 the player's start, 1 the backdrop), count only.
void BM_Scene(benchmark::State& state) {
    int w = (int)state.range(0), h = (int)state.range(1);
    backdrop = state.range(2) == 1;
    bool countOnly = state.range(3) == 1;
    QLH_Start(w, h, 1.0f / 60.0f);
    Settings_Reset();
    float x, y, a;
    Arena_Build(&x, &y, &a);
    Player_ResetForRun(x, y, a, 0);
    orbitTime = 12.0f;
    QLH_SetCountOnly(countOnly);
    QL_Engine_SetNextGameState(nullptr, Frame, nullptr);
    QLH_Step(1);
    QLH_ResetDrawStats();
    for (auto _ : state)
        QLH_Step(1);
    QLH_DrawStats stats = QLH_GetDrawStats();
    state.counters["fps"] =
        benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    state.counters["quads/frame"] = (double)stats.quads / (double)state.iterations();
    QLH_Shutdown();
}

BENCHMARK(BM_Scene)
    ->ArgNames({"w", "h", "backdrop", "countOnly"})
    ->Args({1280, 720, 0, 0})
    ->Args({640, 480, 0, 0})
    ->Args({1280, 720, 1, 0})
    ->Args({640, 480, 1, 0})
    ->Args({1920, 1080, 0, 0})
    ->Args({3840, 2160, 0, 0})
    ->Args({1280, 720, 0, 1})
    ->Args({1280, 720, 1, 1})
    ->UseRealTime() // the canvas is painted on every core: wall time is the frame's time
    ->Unit(benchmark::kMillisecond);

// The floor under any frame: writing every pixel of the canvas once.
void BM_CanvasMemset(benchmark::State& state) {
    std::vector<uint32_t> canvas((size_t)state.range(0) * (size_t)state.range(1));
    for (auto _ : state) {
        std::memset(canvas.data(), (int)(state.iterations() & 255), canvas.size() * 4);
        benchmark::DoNotOptimize(canvas.data());
    }
    state.counters["fps"] =
        benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CanvasMemset)
    ->ArgNames({"w", "h"})
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

} // namespace
