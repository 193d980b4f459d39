// Engine figures, headless at 1280 x 720: outlined quads per second at a realistic size mix,
// text lines per second at the HUD's sizes, and the mixer's cost per second of audio with 64
// voices.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "quillon/src/mixer.h"

namespace {

struct Quad {
    float x[4], y[4];
    QL_Color fill;
};

// Mostly small faces (4 to 20 pixels across), some mid-sized (20 to 80), a few large (80 to
// 200): about six screens of area in all, the overdraw of a view across the arena.
std::vector<Quad> MakeQuads(int count) {
    QL_Random_Seed(42);
    std::vector<Quad> quads;
    for (int i = 0; i < count; i++) {
        float r = QL_Random_GetFloat();
        float size = r < 0.7f    ? QL_Random_RangeFloat(4, 20)
                     : r < 0.98f ? QL_Random_RangeFloat(20, 80)
                                 : QL_Random_RangeFloat(80, 200);
        float cx = QL_Random_RangeFloat(0, 1280), cy = QL_Random_RangeFloat(0, 720);
        float half = size * 0.5f, skew = size * 0.15f;
        Quad q{{cx - half, cx + half, cx + half, cx - half},
               {cy - half + skew, cy - half, cy + half, cy + half - skew},
               QL_Color_Create(QL_Random_RangeInt(0, 255), QL_Random_RangeInt(0, 255), 120, 255)};
        quads.push_back(q);
    }
    return quads;
}

std::vector<Quad> quads;
void DrawQuads() {
    QL_Settings_Background(QL_Color_Create(63, 127, 255, 255));
    QL_Settings_Stroke(QL_Color_Create(50, 50, 50, 255));
    for (const Quad& q : quads) {
        QL_Settings_Fill(q.fill);
        QL_Graphics_DrawQuad(q.x[0], q.y[0], q.x[1], q.y[1], q.x[2], q.y[2], q.x[3], q.y[3]);
    }
}

void BM_OutlinedQuads(benchmark::State& state) {
    QLH_Start(1280, 720, 1.0f / 100.0f);
    quads = MakeQuads(5000);
    QL_Engine_SetNextGameState(nullptr, DrawQuads, nullptr);
    for (auto _ : state)
        QLH_Step(1);
    state.counters["quads/s"] =
        benchmark::Counter(5000.0 * (double)state.iterations(), benchmark::Counter::kIsRate);
    state.counters["frames/s"] =
        benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    QLH_Shutdown();
}
BENCHMARK(BM_OutlinedQuads)->Unit(benchmark::kMillisecond);

float textSize = 14.4f;
void DrawHudLines() {
    char line[64];
    for (int i = 0; i < 20; i++) {
        QL_Settings_TextSize(textSize);
        std::snprintf(line, sizeof line, "NEXT %10d    %10d HIGH", i * 12345, 4000);
        QL_Settings_Fill(QL_Color_Create(255, 255, 255, 255));
        QL_Font_DrawText(line, 640, 10 + 30 * i);
    }
}

// HUD sizes at 720 rows: 0.02 H, 0.04 H and 0.08 H.
void BM_TextLines(benchmark::State& state) {
    QLH_Start(1280, 720, 1.0f / 100.0f);
    QL_Font font = QL_Font_Load("./Assets/Fonts/Monodeco Bold.ttf");
    QL_Font_Set(font);
    textSize = 720.0f * (float)state.range(0) / 100.0f;
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_TOP);
    QL_Engine_SetNextGameState(nullptr, DrawHudLines, nullptr);
    QLH_Step(2); // warm the glyph atlas
    for (auto _ : state)
        QLH_Step(1);
    state.counters["lines/s"] =
        benchmark::Counter(20.0 * (double)state.iterations(), benchmark::Counter::kIsRate);
    QL_Font_Free(&font);
    QLH_Shutdown();
}
BENCHMARK(BM_TextLines)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond);

// One second of 48 kHz stereo with 64 looping voices at assorted pitches.
void BM_Mixer64Voices(benchmark::State& state) {
    static Mixer mixer;
    Mixer_Reset(&mixer, 48000);
    MixSound sound;
    sound.channels = 2;
    sound.rate = 44100;
    sound.frames = 44100;
    for (long i = 0; i < 2 * sound.frames; i++)
        sound.samples.push_back((float)(i % 200) / 400.0f);
    for (int v = 0; v < 64; v++)
        Mixer_Play(&mixer, &sound, 0.1f, 0.5f + v * 0.02f, true, v % 2);
    std::vector<float> out(2 * 1024);
    for (auto _ : state) {
        for (int block = 0; block < 48000 / 1024 + 1; block++)
            Mixer_Mix(&mixer, out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["cpu share"] = benchmark::Counter(
        (double)state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Mixer64Voices)->Unit(benchmark::kMillisecond);

} // namespace
