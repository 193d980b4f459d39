// One frame of simulation with every enemy and projectile alive (256 and 512): spawning,
// pickups, projectiles, enemies with their contact test, weapons and motion; no drawing.
#include <benchmark/benchmark.h>

#include <chrono>

#include "app/game_state.h"
#include "core/settings.h"
#include "game/enemies.h"
#include "game/game_update.h"
#include "game/player.h"
#include "game/projectiles.h"
#include "game/sprite_frames.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "runs/run_recorder.h"

namespace {

void Idle() {}

// Fills both pools: enemies of every kind across the floor, shots crossing the arena.
void Populate() {
    for (int i = 0; i < kEnemyCount; i++)
        Enemy_Spawn(i % kEnemyKinds, kEnemyFrames.frames[i % kEnemyKinds]);
    for (int i = 0; i < kProjectileCount; i++) {
        const Sprite& e = *EnemyPool[i % kEnemyCount].sprite;
        Projectile_Spawn(e.x, e.y, (float)(i * 37 % 360), 0.9f, 0.0f, false, false, 1,
                         kEnemyBulletFrames);
    }
}

void BM_SimulationFrame(benchmark::State& state) {
    QLH_Start(320, 240, 1.0f / 1000.0f);
    QLH_ForceSeed(3);
    Settings_Reset();
    Recorder_Off();
    Game_Init();
    QL_Engine_SetNextGameState(nullptr, Idle, nullptr);
    QLH_Step(1);
    player.lives = 1 << 30;
    long live = 0;
    RunCommand command; // the player stands still
    command.dt = QL_System_GetDt();
    for (auto _ : state) {
        Populate(); // refill what the last frame used up, outside the timed part
        auto start = std::chrono::steady_clock::now();
        GameUpdate_Step(command); // the run's own step, as the frame calls it
        auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        live += spritesInUse;
    }
    state.counters["live sprites"] = (double)live / (double)state.iterations();
    Game_Exit();
    QLH_Shutdown();
    QLH_ReleaseSeed();
}
BENCHMARK(BM_SimulationFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
