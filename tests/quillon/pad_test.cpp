// Gamepads through SDL's virtual controllers: hot-plugging, edges, dead zones, and the pad
// driving the pointer on screens that do not re-centre it.
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/headless_fixture.h"

namespace {

bool recentre = false;
void Update() {
    if (recentre) QL_Input_WarpMouse(160.0f, 120.0f);
}

class PadTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        recentre = false;
        RunEachFrame(Update);
        ASSERT_TRUE(QLH_PadConnect()) << "SDL made no virtual pad";
        QLH_Step(1);
    }
};

TEST_F(PadTest, PluggingInAndOutIsSeenAtOnce) {
    EXPECT_EQ(QL_Pad_Count(), 1);
    ASSERT_TRUE(QLH_PadConnect());
    QLH_Step(1);
    EXPECT_EQ(QL_Pad_Count(), 2) << "a second pad";
    QLH_PadButton(QL_PAD_START, true);
    QLH_Step(1);
    EXPECT_TRUE(QL_Pad_Triggered(QL_PAD_START)) << "on the second pad";
    QLH_PadDisconnect();
    QLH_Step(1);
    EXPECT_TRUE(QL_Pad_Lost());
    EXPECT_EQ(QL_Pad_Count(), 1);
    QLH_Step(1);
    EXPECT_FALSE(QL_Pad_Lost()) << "for one frame";
    QLH_PadDisconnect();
    QLH_Step(1);
    EXPECT_EQ(QL_Pad_Count(), 0);
    ASSERT_TRUE(QLH_PadConnect());
    QLH_PadButton(QL_PAD_A, true);
    QLH_Step(1);
    EXPECT_EQ(QL_Pad_Count(), 1) << "plugged in again";
    EXPECT_TRUE(QL_Pad_Down(QL_PAD_A));
}

TEST_F(PadTest, ButtonEdgesLikeKeys) {
    QLH_PadButton(QL_PAD_RIGHTSHOULDER, true);
    QLH_Step(1);
    EXPECT_TRUE(QL_Pad_Triggered(QL_PAD_RIGHTSHOULDER));
    EXPECT_TRUE(QL_Pad_Down(QL_PAD_RIGHTSHOULDER));
    EXPECT_FALSE(QL_Pad_Down(QL_PAD_LEFTSHOULDER)) << "only the button pressed";
    QLH_Step(1);
    EXPECT_FALSE(QL_Pad_Triggered(QL_PAD_RIGHTSHOULDER)) << "pressed once";
    QLH_PadButton(QL_PAD_RIGHTSHOULDER, false);
    QLH_Step(1);
    EXPECT_TRUE(QL_Pad_Released(QL_PAD_RIGHTSHOULDER));
    EXPECT_FALSE(QL_Pad_Down(QL_PAD_RIGHTSHOULDER));
}

// A drifting stick reads as rest; past the dead zone the reading starts from 0 and reaches 1.
TEST_F(PadTest, DeadZones) {
    struct Case {
        int axis;
        float pushed, read;
    } cases[] = {
        {QL_PAD_LEFTX, 0.15f, 0.0f},       {QL_PAD_LEFTX, -0.15f, 0.0f},
        {QL_PAD_RIGHTX, 0.15f, 0.0f},      {QL_PAD_LEFTY, 0.6f, 0.5f},
        {QL_PAD_RIGHTX, -1.0f, -1.0f},     {QL_PAD_LEFTTRIGGER, 0.05f, 0.0f},
        {QL_PAD_RIGHTTRIGGER, 1.0f, 1.0f}, {QL_PAD_RIGHTTRIGGER, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        QLH_PadAxis(c.axis, c.pushed);
        QLH_Step(1);
        EXPECT_NEAR(QL_Pad_Axis(c.axis), c.read, 0.01f) << "axis " << c.axis << " at " << c.pushed;
        QLH_PadAxis(c.axis, 0.0f);
    }
    QLH_PadAxis(QL_PAD_LEFTX, 0.12f);
    QLH_PadAxis(QL_PAD_LEFTY, 0.12f);
    QLH_Step(1);
    EXPECT_EQ(QL_Pad_Axis(QL_PAD_LEFTX), 0.0f) << "the dead zone is round: 17 % on a diagonal";
}

// On a screen the stick moves the pointer, faster when held, and A clicks; in play (the game
// re-centres the pointer every frame) neither happens.
TEST_F(PadTest, OnScreensThePadIsThePointer) {
    QLH_MouseMove(100.0f, 100.0f);
    QLH_Step(1);
    QLH_PadAxis(QL_PAD_LEFTX, 1.0f);
    QLH_Step(10);
    float firstTenth = QL_Input_GetMouseX() - 100.0f;
    EXPECT_GT(firstTenth, 5.0f);
    QLH_Step(10);
    EXPECT_GT(QL_Input_GetMouseX() - 100.0f - firstTenth, firstTenth * 1.1f) << "it speeds up";
    QLH_Step(100);
    EXPECT_EQ(QL_Input_GetMouseX(), 319.0f) << "held at the edge";
    QLH_PadAxis(QL_PAD_LEFTX, 0.0f);
    QLH_PadButton(QL_PAD_A, true);
    QLH_Step(1);
    EXPECT_TRUE(QL_Input_MouseClicked());
    QLH_PadButton(QL_PAD_A, false);
    QLH_Step(1);
    EXPECT_TRUE(QL_Input_MouseReleased(0));

    recentre = true;
    QLH_Step(2);
    QLH_PadAxis(QL_PAD_LEFTX, 1.0f);
    QLH_PadButton(QL_PAD_A, true);
    QLH_Step(5);
    EXPECT_EQ(QL_Input_GetMouseX(), 160.0f) << "in play the stick leaves the pointer alone";
    EXPECT_FALSE(QL_Input_MouseDown(0)) << "in play A is no click";
}

// A mapping file in SDL's own format teaches SDL pads it does not know.
TEST_F(PadTest, AMappingFileTeachesSdlAPad) {
    const char* guid = "03000000f00d0000c0de000000010000";
    const char* file = "pad_test_gamecontrollerdb.txt";
    std::ofstream(file) << "# a pad made up for the test\n"
                        << guid << ",Made-up pad,a:b1,b:b0,start:b6,platform:" << SDL_GetPlatform()
                        << ",\n";
    QL_Pad_AddMappings(file);
    std::remove(file);
    char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(guid));
    ASSERT_NE(mapping, nullptr) << "not learnt from the file";
    EXPECT_NE(std::string(mapping).find("Made-up pad,a:b1,b:b0"), std::string::npos) << mapping;
    SDL_free(mapping);
}

} // namespace
