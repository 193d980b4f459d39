// The camera passes, the two cameras and the projection.
#include <gtest/gtest.h>

#include <cmath>

#include "core/settings.h"
#include "world/arena.h"
#include "world/camera.h"
#include "world/projection.h"
#include "world/sprite_pool.h"

namespace {

class CameraTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings_Reset();
        float x, y, a;
        Arena_Build(&x, &y, &a);
    }
    static const MapCell& Cell(int x, int y) { return *Arena_CellAt(x, y); }
};

TEST_F(CameraTest, RingsAreManhattanDistancesFromTheCameraCell) {
    Camera_UpdateRings(16.0f, 15.5f);
    struct Case {
        int x, y, ring;
    } cases[] = {{16, 15, 0}, {15, 15, 1}, {17, 15, 1},  {16, 14, 1},
                 {16, 16, 1}, {0, 0, 31},  {31, 31, 31}, {0, 31, 32}};
    for (const Case& c : cases)
        EXPECT_EQ(Cell(c.x, c.y).ring, c.ring) << c.x << "," << c.y;
}

TEST_F(CameraTest, SpriteGetsTheRingOfItsCellAndFreeSpritesAreSkipped) {
    Sprite* s = Sprite_Activate(&SpritePool[10]);
    s->x = 5.0f;
    s->y = 7.99f;
    SpritePool[11].ring = -7; // free
    Camera_UpdateRings(3.9f, 7.2f);
    EXPECT_EQ(s->ring, 2);
    EXPECT_EQ(SpritePool[11].ring, -7);
}

TEST_F(CameraTest, CellVisibilityTestsEveryCornerStrictly) {
    // Looking along 0 with a field of view of 90.
    struct Case {
        float cx, cy;
        int x, y;
        bool visible;
    } cases[] = {
        {0.5f, 0.5f, 10, 0, true},     // straight ahead
        {0.5f, 0.5f, 0, 10, false},    // 90 degrees to the right
        {16.5f, 16.5f, 10, 16, false}, // behind
        {0.0f, 0.0f, 10, 11, false},   // one corner on the -45 line, the others beyond
        {0.0f, 0.1f, 10, 11, true},    // that corner's bearing now -44.7
    };
    for (const Case& c : cases) {
        Camera_UpdateVisibility(c.cx, c.cy, 0.0f, 90.0f);
        EXPECT_EQ(Cell(c.x, c.y).inView, c.visible)
            << c.x << "," << c.y << " from " << c.cx << "," << c.cy;
    }
}

TEST_F(CameraTest, SpriteVisibilityWrapsAroundZeroAndUsesItsMargin) {
    Sprite* s = Sprite_Activate(&SpritePool[20]);
    s->viewMargin = 10.0f;
    // From (10, 10) a sprite at bearing 5 degrees, the view at 350.
    s->x = 10.0f + std::cos(QL_Math_Radians(5.0f)) * 3.0f;
    s->y = 10.0f - std::sin(QL_Math_Radians(5.0f)) * 3.0f;
    Camera_UpdateVisibility(10.0f, 10.0f, 350.0f, 90.0f);
    EXPECT_TRUE(s->inView);
    // Bearing 54: outside half the view (45) but inside the margin (55).
    s->x = 10.0f + std::cos(QL_Math_Radians(54.0f)) * 3.0f;
    s->y = 10.0f - std::sin(QL_Math_Radians(54.0f)) * 3.0f;
    Camera_UpdateVisibility(10.0f, 10.0f, 0.0f, 90.0f);
    EXPECT_TRUE(s->inView);
    Camera_UpdateVisibility(10.0f, 10.0f, 180.0f, 90.0f);
    EXPECT_FALSE(s->inView);
}

TEST(Projection, KnownPoints) {
    View view{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 90.0f, 0.0f, 0.0f, 1280.0f, 720.0f};
    // Straight ahead one unit below the eye at distance one: middle column, bottom edge.
    PointAngle ahead = Projection_Angle(view, 1.0f, 0.0f, -180.0f);
    ASSERT_TRUE(ahead.usable);
    EXPECT_NEAR(Projection_ScreenX(view, ahead), 640.0f, 1e-3f);
    EXPECT_NEAR(Projection_ScreenY(view, ahead, -1.0f), 720.0f, 1e-3f);
    EXPECT_NEAR(Projection_ScreenY(view, ahead, 0.0f), 360.0f, 1e-3f);
    // A point to the left (positive angle) lands left of the middle.
    PointAngle left = Projection_Angle(view, 1.0f, -0.5f, -180.0f);
    EXPECT_GT(left.angle, 0.0f);
    EXPECT_LT(Projection_ScreenX(view, left), 640.0f);
    // The viewport's edge is reached at about 36.3 degrees for a field of view of 90.
    float a = QL_Math_Radians(36.3f);
    PointAngle edge = Projection_Angle(view, std::cos(a), -std::sin(a), -180.0f);
    EXPECT_NEAR(Projection_ScreenX(view, edge), 0.0f, 3.0f);
    // The screen offset moves every point sideways.
    view.screenOffsetX = 25.0f;
    EXPECT_NEAR(Projection_ScreenX(view, ahead), 665.0f, 1e-3f);
}

TEST(Projection, SingularPointsAreNotUsable) {
    View view{5.0f, 5.0f, 0.0f, 0.0f, 0.0f, 90.0f, 0.0f, 0.0f, 640.0f, 480.0f};
    EXPECT_FALSE(Projection_Angle(view, 5.0f, 5.0f, -180.0f).usable) << "distance 0";
    EXPECT_FALSE(Projection_Angle(view, 5.0f, 4.0f, -180.0f).usable) << "exactly 90 degrees";
    PointAngle fine = Projection_Angle(view, 6.0f, 4.0f, -180.0f);
    EXPECT_TRUE(fine.usable);
    EXPECT_TRUE(std::isfinite(Projection_ScreenX(view, fine)));
}

TEST(Projection, WrapLimitFollowsTheSideOfTheCell) {
    View view{16.0f, 16.0f, 0.0f, 0.0f, 90.0f, 90.0f, 0.0f, 0.0f, 640.0f, 480.0f};
    // Looking north (90): a cell to the east is on the right-hand side.
    EXPECT_FLOAT_EQ(Projection_CellLimit(view, 20, 16), -225.0f);
    EXPECT_FLOAT_EQ(Projection_CellLimit(view, 12, 16), -135.0f);
}

} // namespace
