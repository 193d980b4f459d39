// The persistent canvas and shapes: only the background clears, quads and rectangles fill and
// outline where they should, alpha blends, and an alpha-8 black veil darkens step by step.
#include <functional>

#include "tests/support/headless_fixture.h"

namespace {

std::function<void()> draw;
void Update() {
    if (draw) draw();
}

class CanvasTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        draw = nullptr;
        RunEachFrame(Update);
    }
    void TearDown() override {
        draw = nullptr;
        HeadlessTest::TearDown();
    }
};

TEST_F(CanvasTest, PictureStaysUntilTheBackgroundClearsIt) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color_Create(255, 0, 0, 255));
        QL_Graphics_DrawRect(10, 10, 20, 20);
    };
    QLH_Step(1);
    draw = [] {};
    QLH_Step(3);
    EXPECT_EQ(At(15, 15).r, 255) << "an uncleared frame keeps its last picture";
    draw = [] { QL_Settings_Background(QL_Color_Create(0, 0, 255, 255)); };
    QLH_Step(1);
    EXPECT_EQ(At(15, 15).b, 255);
    EXPECT_EQ(At(15, 15).r, 0);
}

TEST_F(CanvasTest, BlackVeilDarkensStepByStepDownToBlack) {
    draw = [] { QL_Settings_Background(QL_Color_Create(200, 200, 200, 255)); };
    QLH_Step(1);
    draw = [] {
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color_Create(0, 0, 0, 8));
        QL_Graphics_DrawRect(0, 0, 320, 240);
    };
    int last = At(100, 100).r;
    for (int frame = 0; frame < 20; frame++) {
        QLH_Step(1);
        int now = At(100, 100).r;
        EXPECT_LT(now, last) << "frame " << frame;
        last = now;
    }
    QLH_Step(600);
    EXPECT_EQ(At(100, 100).r, 0) << "the veil must reach black";
}

TEST_F(CanvasTest, QuadFillsItsInsideAndOutlineUsesStroke) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_Fill(QL_Color_Create(0, 255, 0, 255));
        QL_Settings_Stroke(QL_Color_Create(255, 0, 255, 255));
        QL_Graphics_DrawQuad(50, 50, 150, 50, 150, 150, 50, 150);
    };
    QLH_Step(1);
    EXPECT_EQ(At(100, 100).g, 255);
    EXPECT_EQ(At(100, 100).r, 0);
    EXPECT_EQ(At(200, 100).g, 0) << "outside the quad";
    Pixel edge = At(100, 50);
    EXPECT_EQ(edge.r, 255) << "outline on the top edge";
    EXPECT_EQ(edge.b, 255);
}

TEST_F(CanvasTest, RectModesAndTransparentStroke) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_Stroke(QL_Color_Create(0, 0, 0, 0));
        QL_Settings_Fill(QL_Color_Create(255, 255, 255, 255));
        QL_Settings_RectMode(0);
        QL_Graphics_DrawRect(100, 100, 20, 20); // centred: 90..110
        QL_Settings_RectMode(1);
        QL_Graphics_DrawRect(200, 100, 20, 20); // corner: 200..220
    };
    QLH_Step(1);
    EXPECT_EQ(At(91, 91).r, 255);
    EXPECT_EQ(At(89, 100).r, 0);
    EXPECT_EQ(At(201, 101).r, 255);
    EXPECT_EQ(At(199, 101).r, 0);
    EXPECT_EQ(At(200, 100).r, 255) << "a transparent stroke leaves the fill visible";
}

TEST_F(CanvasTest, HalfAlphaFillBlendsWithWhatIsThere) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color_Create(255, 255, 255, 128));
        QL_Graphics_DrawRect(0, 0, 50, 50);
    };
    QLH_Step(1);
    EXPECT_NEAR(At(10, 10).r, 128, 2);
}

TEST_F(CanvasTest, OutOfRangeFillChannelsAreClampedNotWrapped) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color{300, -40, 255, 400});
        QL_Graphics_DrawRect(0, 0, 50, 50);
    };
    QLH_Step(1);
    Pixel p = At(10, 10);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 0);
    EXPECT_EQ(p.b, 255);
}

TEST_F(CanvasTest, WindowSizeChangeGivesAFreshCanvasOfTheNewSize) {
    QL_System_SetWindowSize(640, 480);
    EXPECT_EQ(QL_System_GetWindowWidth(), 640);
    EXPECT_EQ(QL_System_GetWindowHeight(), 480);
    draw = [] { QL_Settings_Background(QL_Color_Create(9, 9, 9, 255)); };
    QLH_Step(1);
    EXPECT_EQ(At(639, 479).r, 9);
    QL_System_Fullscreen();
    EXPECT_EQ(QL_System_GetWindowWidth(), QL_System_GetDisplayWidth());
}

} // namespace
