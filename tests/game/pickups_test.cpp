// Pickups: placement rules, collection values and level caps, and a full pool.
#include <cmath>
#include <string>

#include "game/line_of_sight.h"
#include "game/weapons.h"
#include "tests/support/run_fixture.h"

namespace {

class PickupTest : public RunFixture {};

TEST_F(PickupTest, PlacementKeepsItsDistanceAndStaysOutOfView) {
    for (int i = 0; i < 200; i++) {
        Pickup* p = Pickup_Spawn(0, kPickupFrames[0]);
        if (!p) break;
        const Sprite& s = *p->sprite;
        float dx = s.x - player.x, dy = s.y - player.y;
        ASSERT_GT(dx * dx + dy * dy, 9.0f);
        ASSERT_TRUE(Arena_IsFloor(*Arena_CellUnder(s.x, s.y)));
        bool behind = dx < 0.0f; // the player looks east (angle 0)
        ASSERT_TRUE(!Grid_LineOfSight(player.x, player.y, s.x, s.y) || behind);
        ASSERT_EQ(pickupGrid[(int)s.y * 32 + (int)s.x], 1);
    }
    int onGrid = 0, live = 0;
    for (int v : pickupGrid)
        onGrid += v;
    for (const Pickup& p : PickupPool)
        live += p.sprite->inUse;
    EXPECT_EQ(onGrid, live) << "never two on one cell";
}

TEST_F(PickupTest, FirstPickupComesWithinOneAndAHalfToFourAndAHalfSeconds) {
    EXPECT_GE(runState.pickupTimer, 1.5f);
    EXPECT_LE(runState.pickupTimer, 4.5f);
}

TEST_F(PickupTest, CoinsGrowWithTimeAndPowerUpsStopAt99) {
    struct Case {
        float elapsed;
        int worth;
    } coins[] = {{0.0f, 10}, {120.0f, 20}, {360.0f, 40}};
    for (const Case& c : coins) {
        runState.elapsed = c.elapsed;
        Pickup* p = Pickup_Spawn(0, kPickupFrames[0]);
        ASSERT_NE(p, nullptr);
        player.x = p->sprite->x;
        player.y = p->sprite->y;
        int before = player.score;
        Pickups_Update(QL_System_GetDt());
        StepEffects_CarryOut(); // as the frame does after the step
        EXPECT_EQ(player.score - before, c.worth) << "at " << c.elapsed;
        EXPECT_FALSE(p->sprite->inUse);
    }
    player.autoLevel = 98;
    for (int round = 0; round < 2; round++) {
        Pickup* p = Pickup_Spawn(1, kPickupFrames[1]);
        ASSERT_NE(p, nullptr);
        player.x = p->sprite->x;
        player.y = p->sprite->y;
        whiteFlash = 0.0f;
        Pickups_Update(QL_System_GetDt());
        StepEffects_CarryOut(); // as the frame does after the step
        EXPECT_EQ(player.autoLevel, 99);
        EXPECT_FLOAT_EQ(player.autoInterval, Weapons_AutoInterval(99));
        EXPECT_FLOAT_EQ(whiteFlash, 100.0f) << "it still flashes at 99";
    }
}

TEST_F(PickupTest, KindDraws) {
    struct Case {
        int r, kind;
    } cases[] = {{0, 1}, {9, 1}, {10, 2}, {19, 2}, {20, 3}, {29, 3}, {30, 0}, {99, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(Pickup_KindForDraw(c.r), c.kind) << c.r;
}

TEST_F(PickupTest, FullPoolAndNoFreeCellPlaceNothing) {
    for (Pickup& p : PickupPool)
        Sprite_Activate(p.sprite);
    EXPECT_EQ(Pickup_Spawn(0, kPickupFrames[0]), nullptr);
    for (Pickup& p : PickupPool)
        Sprite_Release(p.sprite);
    for (int& v : pickupGrid)
        v = 1; // every cell taken
    EXPECT_EQ(Pickup_Spawn(0, kPickupFrames[0]), nullptr) << "a bounded search gives up";
    float timer = runState.pickupTimer = 0.001f;
    Pickups_Update(QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_GT(runState.pickupTimer, timer) << "the timer restarts anyway";
}

} // namespace
