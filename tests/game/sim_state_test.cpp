// The simulation's state hash: every byte of every record that decides a run is in it, and the
// run's start leaves nothing behind of the last run.
#include "game/sim_state.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "app/frames.h"
#include "game/enemies.h"
#include "game/pickups.h"
#include "game/player.h"
#include "game/projectiles.h"
#include "tests/support/run_fixture.h"
#include "world/sprite_pool.h"

namespace {

using Range = std::pair<size_t, size_t>; // [offset, offset + size)

// The bytes of a T that are padding, which no hash can see.
template <class T> std::vector<bool> Padding() {
    alignas(T) unsigned char bytes[sizeof(T)];
    std::memset(bytes, 0xFF, sizeof bytes);
    __builtin_clear_padding(reinterpret_cast<T*>(bytes));
    std::vector<bool> padding(sizeof(T));
    for (size_t i = 0; i < sizeof(T); i++)
        padding[i] = bytes[i] == 0;
    return padding;
}

// Changes each byte of record in turn (but padding and the ranges left out) and expects the hash
// to change: a field added to a record and forgotten by its hash fails here.
template <class T, class Hash>
void ExpectEveryByteHashed(T* record, Hash hashOf, std::vector<Range> leftOut = {}) {
    std::vector<bool> padding = Padding<T>();
    unsigned char* bytes = reinterpret_cast<unsigned char*>(record);
    uint64_t before = hashOf();
    for (size_t i = 0; i < sizeof(T); i++) {
        bool skipped = padding[i];
        for (const Range& r : leftOut)
            skipped = skipped || (i >= r.first && i < r.first + r.second);
        if (skipped) continue;
        bytes[i] ^= 1; // the lowest bit keeps a flag a flag
        EXPECT_NE(hashOf(), before) << "byte " << i << " of a record of " << sizeof(T);
        bytes[i] ^= 1;
    }
}

template <class T> uint64_t HashOf(void (*hash)(StateHash*, const T&), const T& record) {
    StateHash h;
    hash(&h, record);
    return h.value;
}

#define FIELD(T, f) Range(offsetof(T, f), sizeof(T::f))

} // namespace

TEST(SimStateHash, EveryByteOfEveryRecordCounts) {
    ExpectEveryByteHashed(&player, [] { return SimState_Hash(); });
    ExpectEveryByteHashed(&runState, [] { return SimState_Hash(); });
    EXPECT_TRUE(Padding<Player>() == std::vector<bool>(sizeof(Player))) << "Player is hashed whole";
    EXPECT_TRUE(Padding<RunState>() == std::vector<bool>(sizeof(RunState)));
    Sprite s{};
    ExpectEveryByteHashed(&s, [&] { return HashOf(Sprite_Hash, s); },
                          {FIELD(Sprite, ring), FIELD(Sprite, inView)});
    Projectile p{};
    // Who fired a projectile is for the run's story: it decides nothing in the run.
    ExpectEveryByteHashed(&p, [&] { return HashOf(Projectile_Hash, p); },
                          {FIELD(Projectile, sprite), FIELD(Projectile, origin)});
    Enemy e{};
    // GCC's padding finder misses the tail after a long array: that tail is left out by hand.
    const size_t tail = offsetof(Enemy, frames) + sizeof(Enemy::frames);
    ExpectEveryByteHashed(&e, [&] { return HashOf(Enemy_Hash, e); },
                          {FIELD(Enemy, sprite), Range(tail, sizeof(Enemy) - tail)});
    Pickup k{};
    ExpectEveryByteHashed(&k, [&] { return HashOf(Pickup_Hash, k); }, {FIELD(Pickup, sprite)});
}

class SimStateRun : public RunFixture {};

// A run played for a while, then started again with the same seed, is the run freshly started:
// nothing of the first run's pools, grid, clocks or generator survives the start.
TEST_F(SimStateRun, AStartLeavesNothingOfTheLastRun) {
    PlayerCarry carry = Player_GetCarry();
    SimState_StartRun(5, 100);
    uint64_t fresh = SimState_Hash();
    RunEachFrame(Game_Update);
    QLH_SetCountOnly(true);
    QLH_KeyDown('W');
    QLH_MouseButton(true); // firing all the way
    QLH_Step(3000);
    ASSERT_GT(LiveEnemies() + LiveProjectiles(), 0);
    ASSERT_NE(SimState_Hash(), fresh);
    SimState_StartRun(5, 100);
    Player_SetCarry(carry);
    EXPECT_EQ(SimState_Hash(), fresh);
}
