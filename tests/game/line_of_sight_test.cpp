// The line-of-sight test on a floor-only arena with chosen blocks.
#include <gtest/gtest.h>

#include "game/line_of_sight.h"
#include "world/arena.h"

namespace {

class LineOfSightTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (MapCell& c : Arena) {
            c.top = -1.0f;
            c.bottom = -2.0f;
        }
    }
    static void Set(int x, int y, float top, float bottom) {
        Arena_CellAt(x, y)->top = top;
        Arena_CellAt(x, y)->bottom = bottom;
    }
};

TEST_F(LineOfSightTest, BlockBetweenThePointsHidesAndTheEndCellDoesNot) {
    Set(18, 15, 2.0f, -3.0f);
    EXPECT_FALSE(Grid_LineOfSight(16.0f, 15.5f, 20.5f, 15.5f));
    Set(18, 15, -1.0f, -2.0f);
    Set(20, 15, 2.0f, -3.0f);
    EXPECT_TRUE(Grid_LineOfSight(16.0f, 15.5f, 20.5f, 15.5f)) << "the end cell is never sampled";
}

TEST_F(LineOfSightTest, DescendingSweepSamplesTheStartCell) {
    Set(20, 15, 2.0f, -3.0f);
    EXPECT_FALSE(Grid_LineOfSight(20.5f, 15.5f, 16.0f, 15.5f));
    EXPECT_TRUE(Grid_LineOfSight(16.0f, 15.5f, 20.5f, 15.5f)) << "the swapped call";
}

TEST_F(LineOfSightTest, LowCellsNeverBlock) {
    struct Case {
        float top, bottom;
        bool clear;
    } cases[] = {{-1.5f, -3.0f, true},
                 {-0.5f, -3.0f, true},
                 {0.0f, -3.0f, true},
                 {0.01f, -3.0f, false},
                 {3.0f, 0.0f, true}};
    for (const Case& c : cases) {
        Set(5, 10, c.top, c.bottom);
        EXPECT_EQ(Grid_LineOfSight(2.5f, 10.5f, 8.5f, 10.5f), c.clear) << "top " << c.top;
    }
}

TEST_F(LineOfSightTest, RowSweepAndShortSegments) {
    Set(10, 12, 2.0f, -3.0f);
    EXPECT_FALSE(Grid_LineOfSight(10.5f, 9.5f, 10.5f, 15.5f)) << "down a column";
    EXPECT_FALSE(Grid_LineOfSight(10.5f, 15.5f, 10.5f, 9.5f)) << "up a column";
    EXPECT_TRUE(Grid_LineOfSight(10.2f, 12.2f, 10.8f, 12.9f)) << "inside one cell";
    EXPECT_TRUE(Grid_LineOfSight(9.5f, 11.5f, 10.5f, 12.5f)) << "neighbours, ascending both ways";
}

TEST_F(LineOfSightTest, PointsOutsideTheArenaAreNeverClear) {
    const float bad[][4] = {{-1, 5, 5, 5}, {5, 5, 40, 5},    {5, -0.1f, 5, 5},
                            {5, 5, 5, 32}, {1e30f, 5, 5, 5}, {0.0f / 0.0f, 5, 5, 5}};
    for (auto& p : bad)
        EXPECT_FALSE(Grid_LineOfSight(p[0], p[1], p[2], p[3]));
    EXPECT_TRUE(Grid_LineOfSight(0.0f, 0.0f, 31.99f, 31.99f)) << "corner to corner on open floor";
}

} // namespace
