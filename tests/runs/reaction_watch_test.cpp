// How fast the hands answer: from an enemy's first frame in the player's sight to the first hit on
// it, on a floor-only arena with enemies placed by hand.
#include <gtest/gtest.h>

#include "game/player.h"
#include "runs/reaction_watch.h"
#include "world/arena.h"
#include "world/sprite_pool.h"

namespace {

class ReactionWatchTest : public ::testing::Test {
  protected:
    ReactionWatch watch;
    void SetUp() override {
        for (MapCell& c : Arena) {
            c.top = -1.0f;
            c.bottom = -2.0f;
        }
        for (int k = 0; k < kEnemyCount; k++) {
            EnemyPool[k].sprite = &SpritePool[kEnemySprites + k];
            EnemyPool[k].sprite->inUse = false;
        }
        player.x = player.y = 16.5f;
        player.angle = 0.0f; // looking along +x
        ReactionWatch_Reset(&watch);
    }
    void TearDown() override {
        for (int k = 0; k < kEnemyCount; k++)
            EnemyPool[k].sprite->inUse = false;
    }
    // A frame at seconds of play.
    void At(float seconds) {
        runState.elapsed = seconds;
        ReactionWatch_Frame(&watch);
    }
    static void Place(int k, float x, int32_t health) {
        EnemyPool[k].sprite->inUse = true;
        EnemyPool[k].sprite->x = x;
        EnemyPool[k].sprite->y = 16.5f;
        EnemyPool[k].health = health;
    }
};

TEST_F(ReactionWatchTest, EachEnemyCountsFromItsFirstFrameInSightToItsFirstHit) {
    Place(0, 12.5f, 10); // behind the player: not in sight
    Place(1, 20.5f, 10); // in front
    At(1.0f);
    EnemyPool[1].health = 7; // hit half a second after it was first seen
    At(1.5f);
    EnemyPool[0].sprite->x = 19.5f; // comes round into sight
    At(2.0f);
    EnemyPool[1].health = 3; // later hits do not count
    At(2.5f);
    EnemyPool[0].sprite->inUse = false; // killed at once, a second after it came into sight
    At(3.0f);
    Place(2, 12.5f, 10); // killed behind the player, never seen: not counted
    At(3.5f);
    EnemyPool[2].sprite->inUse = false;
    At(4.0f);
    ASSERT_EQ(watch.times.size(), 2u);
    EXPECT_FLOAT_EQ(watch.times[0], 0.5f);
    EXPECT_FLOAT_EQ(watch.times[1], 1.0f);
    EXPECT_DOUBLE_EQ(ReactionWatch_Median(watch), 0.75);
    // A new enemy in a freed slot is watched afresh.
    Place(0, 18.5f, 10);
    At(5.0f);
    EnemyPool[0].health = 9;
    At(5.25f);
    EXPECT_EQ(watch.times.size(), 3u);
    EXPECT_DOUBLE_EQ(ReactionWatch_Median(watch), 0.5);
}

} // namespace
