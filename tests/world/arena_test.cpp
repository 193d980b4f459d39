// The level data and the arena build: cell classes and palette counts, tints, the start point.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "world/arena.h"
#include "world/sprite_pool.h"

namespace {

class ArenaTest : public ::testing::Test {
  protected:
    float x = 0, y = 0, angle = -1;
    void SetUp() override {
        QL_Random_Seed(99);
        Arena_Build(&x, &y, &angle);
    }
};

TEST_F(ArenaTest, CellClassesMatchTheLevel) {
    int floor = 0, liquid = 0, blocks = 0, ledges = 0;
    for (int i = 0; i < kArenaCells; i++) {
        float top = arenaTopHeights[i], bottom = arenaBottomHeights[i];
        if (bottom == -2.0f) {
            floor++;
            EXPECT_EQ(top, -1.0f) << "cell " << i;
        } else if (top < -1.1f) {
            liquid++;
            EXPECT_EQ(bottom, -3.0f);
        } else {
            blocks++;
            EXPECT_NE(top, -1.0f) << "only floor cells stand at -1.0";
            if (top < 0.0f) ledges++;
        }
    }
    EXPECT_EQ(floor, 539);
    EXPECT_EQ(liquid, 254);
    EXPECT_EQ(blocks, 231);
    EXPECT_EQ(ledges, 28);
    EXPECT_FLOAT_EQ(arenaTopHeights[31 * 32 + 31], 6.0f);
    EXPECT_FLOAT_EQ(arenaTopHeights[0], 3.7f);
    EXPECT_FLOAT_EQ(arenaTopHeights[3], -0.6f);
}

TEST_F(ArenaTest, PaletteCountsMatchTheLevel) {
    std::map<std::tuple<int, int, int, int>, int> colors, outlines;
    for (int i = 0; i < kArenaCells; i++) {
        const int32_t* c = arenaColors[i];
        const int32_t* o = arenaOutlineColors[i];
        colors[{c[0], c[1], c[2], c[3]}]++;
        outlines[{o[0], o[1], o[2], o[3]}]++;
    }
    EXPECT_EQ((colors[{50, 50, 50, 255}]), 16);
    EXPECT_EQ((colors[{100, 100, 200, 255}]), 147);
    EXPECT_EQ((colors[{200, 200, 100, 255}]), 202);
    EXPECT_EQ((colors[{200, 200, 200, 255}]), 30);
    EXPECT_EQ(colors.size(), 11u);
    EXPECT_EQ((outlines[{0, 0, 0, 0}]), 766);
    EXPECT_EQ((outlines[{50, 50, 50, 255}]), 148);
    EXPECT_EQ((outlines[{100, 50, 50, 255}]), 96);
    EXPECT_EQ((outlines[{200, 100, 100, 255}]), 10);
    EXPECT_EQ((outlines[{200, 200, 200, 255}]), 4);
}

TEST_F(ArenaTest, StartPointIsOnTheFloor) {
    EXPECT_EQ(x, 16.0f);
    EXPECT_EQ(y, 15.5f);
    EXPECT_EQ(angle, 0.0f);
    MapCell* cell = Arena_CellUnder(x, y);
    ASSERT_EQ(cell, Arena_CellAt(16, 15));
    EXPECT_TRUE(Arena_IsFloor(*cell));
    EXPECT_EQ(skyColor.g, 127);
    EXPECT_EQ(skyTargetColor.b, 255);
}

TEST_F(ArenaTest, TintsStayWithinFivePercentAndKeepZeros) {
    for (int i = 0; i < kArenaCells; i++) {
        const int32_t* c = arenaColors[i];
        const QL_Color& got = Arena[i].color;
        int channels[3] = {got.r, got.g, got.b};
        for (int k = 0; k < 3; k++) {
            ASSERT_GE(channels[k], (int)(c[k] * 0.95f) - 1) << "cell " << i;
            ASSERT_LE(channels[k], (int)(c[k] * 1.05f)) << "cell " << i;
        }
        EXPECT_EQ(got.a, c[3]) << "the colour's alpha is not tinted";
        const int32_t* o = arenaOutlineColors[i];
        if (o[3] == 0)
            EXPECT_EQ(Arena[i].outlineColor.a, 0) << "invisible outlines stay invisible";
        else
            EXPECT_GE(Arena[i].outlineColor.a, 242);
    }
}

TEST_F(ArenaTest, RebuildKeepsTheLevelAndDrawsNewTints) {
    Sprite* s = Sprite_Activate(&SpritePool[700]);
    ASSERT_NE(s, nullptr);
    QL_Color before = Arena[100].color;
    Arena[100].top = 99.0f;
    Arena_Build(&x, &y, &angle);
    EXPECT_EQ(Arena[100].top, arenaTopHeights[100]);
    EXPECT_EQ(spritesInUse, 0) << "the build resets the sprite pool";
    EXPECT_FALSE(SpritePool[700].inUse);
    int differing = 0;
    for (int i = 0; i < kArenaCells; i++)
        differing += Arena[i].color.r != before.r;
    EXPECT_GT(differing, 0);
}

TEST(ArenaLookup, PointsOutsideTheArenaHaveNoCell) {
    const float bad[][2] = {{-0.5f, 3}, {3, -0.01f}, {32.0f, 3},
                            {3, 40},    {1e30f, 0},  {0.0f / 0.0f, 1}};
    for (auto& p : bad)
        EXPECT_EQ(Arena_CellUnder(p[0], p[1]), nullptr) << p[0] << "," << p[1];
    EXPECT_EQ(Arena_CellAt(-1, 0), nullptr);
    EXPECT_EQ(Arena_CellAt(0, 32), nullptr);
    EXPECT_EQ(Arena_CellUnder(31.99f, 0.0f), Arena_CellAt(31, 0));
}

} // namespace
