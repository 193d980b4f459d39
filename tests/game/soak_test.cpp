// A soak through the whole program: the autoplay bot plays runs at very short, ordinary and very
// long time steps, and every frame the world must stay sound: finite positions inside the arena,
// the in-use count equal to the live sprites, each pool's live records within its own range, and
// a score that never falls.
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>

#include "app/app.h"
#include "app/frames.h"
#include "game/enemies.h"
#include "game/game_update.h"
#include "game/pickups.h"
#include "game/player.h"
#include "game/projectiles.h"
#include "tests/support/headless_fixture.h"
#include "tools/headless/autoplay.h"
#include "world/sprite_pool.h"

namespace {

struct SoakCase {
    float dt;
    float seconds; // cap of simulated time
};

// How gtest names a case in its messages: "dt 0.1 s, 900 s of play" rather than raw bytes.
void PrintTo(const SoakCase& c, std::ostream* os) {
    *os << "dt " << c.dt << " s, " << c.seconds << " s of play";
}

bool Finite(float v) {
    return std::isfinite(v);
}
bool InArena(float v) {
    return v >= 0.0f && v <= 32.0f;
}

template <class Pool> int Live(Pool& pool, int first, int count, bool* owned) {
    int n = 0;
    for (auto& record : pool) {
        if (!record.sprite || !record.sprite->inUse) continue;
        int index = (int)(record.sprite - SpritePool);
        *owned = *owned && index >= first && index < first + count;
        n++;
    }
    return n;
}

// Checks the world after one frame; returns a description of the first fault, or null.
const char* Fault(int* lastScore) {
    int inUse = 0;
    for (int i = 0; i < kSpritePoolSize; i++) {
        const Sprite& s = SpritePool[i];
        if (!s.inUse) continue;
        inUse++;
        if (!Finite(s.x) || !Finite(s.y) || !Finite(s.heading)) return "a sprite is not finite";
        // A shot fired from the arena's edge may start just outside; its next flight ends it.
        bool shot = i < kProjectileCount;
        if (!shot && (!InArena(s.x) || !InArena(s.y))) return "an enemy or pickup left the arena";
        if (shot && (s.x < -2.0f || s.y < -2.0f || s.x > 34.0f || s.y > 34.0f))
            return "a shot flew on outside the arena";
    }
    if (inUse != spritesInUse) return "spritesInUse differs from the live sprites";
    bool owned = true;
    int live = Live(ProjectilePool, kProjectileSprites, kProjectileCount, &owned) +
               Live(PickupPool, kPickupSprites, kPickupCount, &owned) +
               Live(EnemyPool, kEnemySprites, kEnemyCount, &owned);
    if (!owned) return "a record owns a sprite outside its range";
    if (QLH_CurrentUpdate() == Game_Update && live != inUse) return "a live sprite has no owner";
    for (const Enemy& e : EnemyPool)
        if (e.sprite->inUse && (!Finite(e.pushX) || !Finite(e.pushY) || !Finite(e.hitShake)))
            return "an enemy's knock-back is not finite";
    if (!Finite(player.x) || !Finite(player.y) || !Finite(player.angle) || !Finite(player.pushX) ||
        !Finite(player.pushY) || !Finite(player.turnRate))
        return "the player is not finite";
    if (!InArena(player.x) || !InArena(player.y)) return "the player left the arena";
    if (!Finite(whiteFlash) || !Finite(hurtFlash)) return "a flash is not finite";
    if (player.score < *lastScore) return "the score fell";
    *lastScore = player.score;
    return nullptr;
}

class SoakTest : public HeadlessTest, public ::testing::WithParamInterface<SoakCase> {
  protected:
    void SetUp() override {
        StartHeadless(160, 120, GetParam().dt);
        QLH_ForceSeed(21);
        QLH_SetCountOnly(true);
        Autoplay_Reset();
        App_Start();
    }
};

TEST_P(SoakTest, AutoplayRunStaysSound) {
    const SoakCase& c = GetParam();
    // ZORB_SOAK_SECONDS sets another cap of simulated time (a run also ends at its game over).
    const char* longer = std::getenv("ZORB_SOAK_SECONDS");
    float seconds = longer ? (float)std::atof(longer) : c.seconds;
    long frames = (long)(seconds / c.dt);
    int lastScore = 0;
    bool played = false;
    long turned = 0;
    float lastAngle = 0.0f;
    for (long f = 0; f < frames && !Autoplay_RunOver(); f++) {
        Autoplay_Frame();
        QLH_Step(1);
        if (QLH_CurrentUpdate() != Game_Update) continue;
        turned += played && player.angle != lastAngle;
        lastAngle = player.angle;
        played = true;
        const char* fault = Fault(&lastScore);
        ASSERT_EQ(fault, nullptr) << fault << " at frame " << f << " (dt " << c.dt << ")";
    }
    EXPECT_TRUE(played);
    EXPECT_GT(turned, 100) << "the bot must be able to aim at every time step";
    std::printf("dt %.4f: %.1f s of play, score %d, lives %d, stage %d\n", (double)c.dt,
                (double)runState.elapsed, player.score, player.lives, runState.stage);
}

// Named by the frames per second of the step: 1000, 60 and 10.
INSTANTIATE_TEST_SUITE_P(TimeSteps, SoakTest,
                         ::testing::Values(SoakCase{0.001f, 25.0f}, SoakCase{1.0f / 60.0f, 400.0f},
                                           SoakCase{0.1f, 900.0f}),
                         [](const ::testing::TestParamInfo<SoakCase>& info) {
                             return "At" + std::to_string((int)std::lround(1.0f / info.param.dt)) +
                                    "fps";
                         });

} // namespace
