// The screens' text at 1920 x 1080, drawn as the game draws it: a whole frame of the title, of the
// settings screen and of a run (its HUD), with the arena left out (render distance 0), so that
// what remains is the sky, the logo and the lines of text. Reports the text drawn per frame and
// the share of it drawn from kept strips.
#include <benchmark/benchmark.h>

#include "app/app.h"
#include "app/frames.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "quillon/src/line_cache.h"
#include "ui/front_end.h"
#include "world/renderer.h"

namespace {

const char* const kScreens[] = {"title", "settings", "hud"};

void BM_ScreenText(benchmark::State& state) {
    QLH_Start(1920, 1080, 1.0f / 100.0f);
    renderDistancePinned = 0;
    App_Start();
    QLH_Step(2);
    if (state.range(0) == 2)
        App_Act(ScreenRequest::StartRun);
    else
        frontEnd.menuScreen = state.range(0) == 0 ? kScreenTitle : kScreenSettings;
    QLH_Step(5); // the screen up, its glyphs in their atlas
    QLH_ResetDrawStats();
    long hitsBefore = 0, hits = 0, laidOut = 0;
    LineCache_Counts(&hitsBefore, &laidOut);
    for (auto _ : state)
        QLH_Step(1);
    LineCache_Counts(&hits, &laidOut);
    state.SetLabel(kScreens[state.range(0)]);
    state.counters["texts/frame"] = (double)QLH_GetDrawStats().texts / (double)state.iterations();
    // The share of lines drawn from a kept strip (lines whose glyphs overlap count as misses).
    double drawn = (double)QLH_GetDrawStats().texts;
    state.counters["strip hits"] = drawn > 0 ? (double)(hits - hitsBefore) / drawn : 0.0;
    renderDistancePinned = -1;
    QLH_Shutdown();
}
BENCHMARK(BM_ScreenText)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
