// The scene renderer: facing tests and face order, the adaptive render distance, the sky drift,
// the liquid wave, top faces, and the backdrop camera's orbit, run through the headless engine.
#include <cmath>
#include <functional>

#include "core/settings.h"
#include "tests/support/headless_fixture.h"
#include "world/arena.h"
#include "world/camera.h"
#include "world/renderer.h"

namespace {

TEST(Renderer, FacingTestsOnTheViewAngleAlone) {
    struct Case {
        float v;
        bool east, north, west, south;
    } cases[] = {{0.0f, false, true, true, true},   {45.0f, false, false, true, true},
                 {45.01f, true, false, true, true}, {180.0f, true, true, false, true},
                 {270.0f, true, true, true, false}, {315.0f, false, true, true, false},
                 {90.0f, true, false, true, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(Render_FacePasses(kEast, c.v, 45.0f), c.east) << "east at " << c.v;
        EXPECT_EQ(Render_FacePasses(kNorth, c.v, 45.0f), c.north) << "north at " << c.v;
        EXPECT_EQ(Render_FacePasses(kWest, c.v, 45.0f), c.west) << "west at " << c.v;
        EXPECT_EQ(Render_FacePasses(kSouth, c.v, 45.0f), c.south) << "south at " << c.v;
    }
}

TEST(Renderer, FacesAreOrderedFarToNear) {
    struct Case {
        float dx, dy;
        Face order[4];
    } cases[] = {{3.0f, 0.0f, {kEast, kNorth, kSouth, kWest}},
                 {-3.0f, 1.0f, {kWest, kSouth, kNorth, kEast}},
                 {1.0f, 2.0f, {kSouth, kEast, kWest, kNorth}},
                 {-1.0f, -1.0f, {kNorth, kWest, kEast, kSouth}}};
    for (const Case& c : cases) {
        Face got[4];
        Render_FaceOrder(c.dx, c.dy, got);
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(got[i], c.order[i]) << c.dx << "," << c.dy << " #" << i;
    }
}

TEST(Renderer, RenderDistanceHoldsBetween60And75) {
    struct Case {
        int start;
        float fps;
        int expected;
    } cases[] = {{10, 60.0f, 10}, {10, 75.0f, 10},   {10, 59.9f, 9},  {10, 75.1f, 11},
                 {0, 30.0f, 0},   {64, 1000.0f, 64}, {63, 100.0f, 64}};
    for (const Case& c : cases) {
        renderDistance = c.start;
        Render_AdaptDistance(c.fps);
        EXPECT_EQ(renderDistance, c.expected) << "from " << c.start << " at " << c.fps << " fps";
    }
}

// Capped at 60 on a display that reads 59.9 half the time, the distance follows what the frames'
// work allows: 2 ms of work (500 a second) opens the whole arena, 20 ms (50) closes it in.
// Uncapped, the frame rate itself is read, as ever.
TEST(Renderer, UnderACapTheDistanceFollowsTheFramesWork) {
    struct Case {
        float frameRate, workRate;
        double cap;
        int expected; // after 100 frames from 32
    } cases[] = {{59.9f, 500.0f, 60.0, 64},
                 {59.9f, 50.0f, 60.0, 0},
                 {143.9f, 55.0f, 144.0, 0},
                 {59.9f, 500.0f, 1000.0, 0},
                 {900.0f, 50.0f, 1000.0, 64}};
    for (const Case& c : cases) {
        renderDistance = 32;
        for (int f = 0; f < 100; f++)
            Render_AdaptDistance(Render_RateForDistance(c.frameRate, c.workRate, c.cap));
        EXPECT_EQ(renderDistance, c.expected)
            << c.frameRate << " fps, work " << c.workRate << " a second, cap " << c.cap;
    }
}

std::function<void()> frame;
void Update() {
    frame();
}

class SceneTest : public HeadlessTest {
  protected:
    View view{16.2f, 15.5f, 0.0f, 0.0f, 0.0f, 90.0f, 0.0f, 0.0f, 320.0f, 240.0f};
    void SetUp() override {
        HeadlessTest::SetUp();
        Settings_Reset();
        float x, y, a;
        Arena_Build(&x, &y, &a);
        frame = [this] {
            Camera_UpdateRings(view.cameraX, view.cameraY);
            Camera_UpdateVisibility(view.cameraX, view.cameraY, view.viewAngle, view.fieldOfView);
            Render_Scene(view);
        };
        RunEachFrame(Update);
    }
};

TEST_F(SceneTest, SkyDriftsOneStepPerTwentiethOfASecond) {
    skyStepTimer = 0.05f;
    skyTargetColor = QL_Color_Create(63, 191, 255, 255);
    QLH_SetDt(0.05f);
    QLH_Step(10);
    EXPECT_EQ(skyColor.g, 137);
    QLH_Step(60);
    EXPECT_EQ(skyColor.g, 191) << "reached after 64 steps";
    EXPECT_EQ(skyColor.r, 63);
    EXPECT_EQ(skyColor.b, 255);
    QLH_SetDt(0.01f);
    skyTargetColor = QL_Color_Create(63, 127, 255, 255);
    QLH_Step(10);
    EXPECT_EQ(skyColor.g, 189) << "no more than one step per 0.05 s";
}

TEST_F(SceneTest, LiquidWaveTravelsAlongTheColumns) {
    QLH_SetDt(0.01f);
    waveTime = 10.01f;
    QLH_Step(1);
    // Cells (0, 4) and (1, 4) are liquid; column 2 of row 12 too.
    EXPECT_NEAR(Arena_CellAt(0, 4)->top, -1.5f, 1e-4f);
    EXPECT_NEAR(Arena_CellAt(2, 12)->top, -1.3f, 1e-4f);
    EXPECT_NEAR(Arena_CellAt(6, 0)->top, -1.7f, 1e-4f);
    EXPECT_EQ(Arena_CellAt(16, 15)->top, -1.0f) << "floor does not move";
}

TEST_F(SceneTest, RingZeroDrawsTheCameraCellWithItsTopBelowTheEye) {
    renderDistance = 0;
    QLH_SetDt(1.0f / 60.0f); // 60 fps: the distance stays
    facesRendered = 0;
    QLH_Step(1);
    EXPECT_EQ(renderDistance, 0);
    EXPECT_EQ(facesRendered, 4) << "north, west and south sides, and the top";
    struct Case {
        float top;
        int faces;
    } cases[] = {{0.0f, 3}, {-0.3f, 4}};
    for (const Case& c : cases) {
        Arena_CellAt(16, 15)->top = c.top;
        facesRendered = 0;
        QLH_Step(1);
        EXPECT_EQ(facesRendered, c.faces) << "top " << c.top;
    }
}

// Headless, under a cap, the distance follows the frame's own step from that frame on.
TEST_F(SceneTest, TheDistanceFollowsTheStepOfTheFrameItIsDrawnIn) {
    renderDistance = 10;
    QLH_SetDt(1.0f / 70.0f); // between the bounds: the distance stays
    QLH_Step(1);
    ASSERT_EQ(renderDistance, 10);
    QLH_SetDt(0.001f);
    QLH_Step(1);
    EXPECT_EQ(renderDistance, 11);
    QLH_SetDt(1.0f / 30.0f);
    QLH_Step(1);
    EXPECT_EQ(renderDistance, 10);
}

TEST_F(SceneTest, SkyAboveTheHorizonBlocksBelow) {
    QLH_SetDt(0.001f); // 1000 fps: one ring more every frame
    renderDistance = 0;
    QLH_Step(70);
    EXPECT_EQ(renderDistance, 64);
    Pixel sky = At(160, 5);
    EXPECT_EQ(sky.r, skyColor.r);
    EXPECT_EQ(sky.g, skyColor.g);
    EXPECT_EQ(sky.b, skyColor.b);
    Pixel ground = At(160, 230);
    EXPECT_FALSE(ground.r == sky.r && ground.g == sky.g && ground.b == sky.b);
}

// The sky is drawn while the last block face's outline colour is still set; no line may show
// along the window's top and left edges.
TEST_F(SceneTest, SkyHasNoOutlineAlongTheEdges) {
    auto scene = frame;
    frame = [scene] {
        QL_Settings_Stroke(QL_Color_Create(255, 0, 0, 255));
        scene();
    };
    renderDistance = 0;
    QLH_SetDt(1.0f / 60.0f); // the distance stays 0: only the camera's own cell below the sky
    QLH_Step(2);
    const int edge[][2] = {{0, 0}, {160, 0}, {319, 0}, {0, 3}, {319, 3}};
    for (const auto& e : edge) {
        Pixel p = At(e[0], e[1]);
        EXPECT_EQ(p.r, skyColor.r) << e[0] << "," << e[1];
        EXPECT_EQ(p.g, skyColor.g) << e[0] << "," << e[1];
    }
}

TEST_F(SceneTest, BackdropCameraCirclesTheCentre) {
    frame = [] { Camera_BackdropFrame(90.0f); };
    orbitTime = 0.01f;
    QLH_SetDt(0.02f);
    QLH_Step(1);
    EXPECT_NEAR(orbitTime, 29.99f, 1e-4f);
    EXPECT_NEAR(backdropViewAngle, 269.88f, 0.01f);
    float r = std::hypot(backdropCameraX - 16.0f, backdropCameraY - 16.0f);
    EXPECT_NEAR(r, 9.0f, 1e-4f);
    EXPECT_NEAR(backdropCameraX, 25.0f, 0.01f) << "p just under 360: east of the centre";
}

} // namespace
