// Enemy kinds and spawning.
#include <cmath>

#include "game/line_of_sight.h"
#include "tests/support/run_fixture.h"

namespace {

TEST(EnemyKinds, ValuesGrowWithTheRunsTime) {
    struct Case {
        int kind;
        float t, speed, turnRate;
    } cases[] = {{0, 0.0f, 1.0f, 45.0f},           {0, 240.0f, 3.0f, 90.0f},
                 {0, 720.0f, 7.0f, 180.0f},        {0, 1000.0f, 1000.0f / 120.0f + 1.0f, 180.0f},
                 {1, 60.0f, 0.6f, 56.25f},         {5, 720.0f, 0.2f, 5.0f},
                 {6, 720.0f, 2.0f, 80.0f},         {7, 720.0f, 0.2f * 2.5f, 40.0f},
                 {7, 2400.0f, 0.2f * 6.0f, 110.0f}};
    for (const Case& c : cases) {
        EnemyKindValues v = Enemy_KindValues(c.kind, c.t);
        EXPECT_FLOAT_EQ(v.speed, c.speed) << "kind " << c.kind << " at " << c.t;
        EXPECT_FLOAT_EQ(v.turnRate, c.turnRate) << "kind " << c.kind << " at " << c.t;
    }
}

TEST(EnemyKinds, WeaponsAtSpawn) {
    EnemyKindValues fan0 = Enemy_KindValues(2, 0.0f), fan60 = Enemy_KindValues(2, 60.0f);
    EXPECT_EQ(fan0.multiCount, 4);
    EXPECT_FLOAT_EQ(fan0.multiSpread, 30.0f);
    EXPECT_EQ(fan60.multiCount, 5);
    EXPECT_FLOAT_EQ(fan60.multiSpread, 33.75f);
    EnemyKindValues heavy = Enemy_KindValues(7, 240.0f);
    EXPECT_TRUE(heavy.singleOn && heavy.multiOn && heavy.bombOn);
    EXPECT_FLOAT_EQ(heavy.singleInterval, 0.2f);
    EXPECT_EQ(heavy.multiCount, 144);
    EXPECT_EQ(heavy.bombPower, 72);
    EXPECT_FLOAT_EQ(heavy.bombSpeed, 6.0f);
    EnemyKindValues chaser = Enemy_KindValues(0, 0.0f), gunner = Enemy_KindValues(1, 120.0f);
    EXPECT_FALSE(chaser.singleOn || chaser.multiOn || chaser.bombOn);
    EXPECT_FLOAT_EQ(gunner.singleSpeed, 6.0f);
    EXPECT_FALSE(Enemy_KindValues(4, 0.0f).singleOn);
    EXPECT_EQ(Enemy_KindValues(4, 0.0f).value, 0);
}

TEST(EnemyKinds, SpawnTableBoundaries) {
    struct Case {
        int stage, r, kind;
    } cases[] = {{0, 0, 0},  {0, 99, 0}, {1, 59, 0}, {1, 60, 1}, {7, 4, 0},  {7, 5, 1},
                 {7, 84, 5}, {7, 85, 6}, {7, 94, 6}, {7, 95, 7}, {7, 99, 7}, {4, 85, 4}};
    for (const Case& c : cases)
        EXPECT_EQ(Enemy_KindForDraw(c.stage, c.r), c.kind) << "stage " << c.stage << " r " << c.r;
}

class EnemySpawnTest : public RunFixture {};

TEST_F(EnemySpawnTest, FirstFrameSpawnsAChaserOutOfSight) {
    Enemy_SpawnStep(QL_System_GetDt());
    ASSERT_EQ(LiveEnemies(), 1);
    const Enemy& e = EnemyPool[0];
    EXPECT_EQ(e.kind, 0);
    float dx = e.sprite->x - player.x, dy = e.sprite->y - player.y;
    EXPECT_GT(dx * dx + dy * dy, 25.0f);
    EXPECT_TRUE(Arena_IsFloor(*Arena_CellUnder(e.sprite->x, e.sprite->y)));
    bool hidden = !Grid_LineOfSight(player.x, player.y, e.sprite->x, e.sprite->y);
    bool behind = std::cos(QL_Math_Radians(player.angle)) * dx -
                      std::sin(QL_Math_Radians(player.angle)) * dy <
                  0.0f;
    EXPECT_TRUE(hidden || behind);
    EXPECT_NEAR(runState.enemySpawnTimer, 15.0f - 0.01f, 1e-4f);
    EXPECT_EQ(e.targetX, e.sprite->x) << "it steers to its spawn point at first";
    EXPECT_NEAR(e.stepInterval, 0.25f, 1e-6f);
}

TEST_F(EnemySpawnTest, PausesShrinkWithTheSquareOfTime) {
    runState.elapsed = 51.2f;
    Enemy_SpawnStep(QL_System_GetDt());
    EXPECT_NEAR(runState.enemySpawnTimer, 7.5f - 0.01f, 1e-3f) << "halved at 51.2 s";
    runState.enemySpawnTimer = 0.0f;
    runState.elapsed = 153.6f;
    Enemy_SpawnStep(QL_System_GetDt());
    EXPECT_NEAR(runState.enemySpawnTimer, 1.5f - 0.01f, 1e-3f) << "a tenth at 153.6 s";
}

TEST_F(EnemySpawnTest, FullPoolSpawnsNothingAndDrawsOnlyTheKind) {
    for (Enemy& e : EnemyPool)
        Sprite_Activate(e.sprite);
    int inUse = spritesInUse;
    QL_Random_Seed(5);
    Enemy_SpawnStep(QL_System_GetDt());
    float after = QL_Random_GetFloat();
    QL_Random_Seed(5);
    QL_Random_RangeInt(0, 99);
    EXPECT_EQ(after, QL_Random_GetFloat()) << "one kind draw, nothing more";
    EXPECT_EQ(spritesInUse, inUse);
    EXPECT_LE(runState.enemySpawnTimer, 0.0f) << "it tries again next frame";
    for (int i = 0; i < kEnemySprites; i++)
        EXPECT_FALSE(SpritePool[i].inUse) << "sprite " << i;
}

TEST_F(EnemySpawnTest, NoAcceptableCellFailsTheSpawnInsteadOfHanging) {
    for (MapCell& c : Arena)
        c.bottom = -3.0f; // no floor anywhere
    EXPECT_EQ(Enemy_Spawn(0, kEnemyFrames.frames[0]), nullptr);
    EXPECT_EQ(LiveEnemies(), 0);
}

} // namespace
