// Keys and the mouse over consecutive frames: held, pressed this frame, released this frame.
#include <vector>

#include "tests/support/headless_fixture.h"

namespace {

struct Seen {
    bool down, pressed, released;
};
std::vector<Seen> seen;
bool mouseClicked = false, mouseReleased = false, mouseDown = false;

void Record() {
    seen.push_back({QL_Input_KeyDown('W'), QL_Input_KeyTriggered('W'), QL_Input_KeyReleased('W')});
    mouseClicked = QL_Input_MouseClicked();
    mouseReleased = QL_Input_MouseReleased(0);
    mouseDown = QL_Input_MouseDown(0);
}

class InputTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        seen.clear();
        RunEachFrame(Record);
    }
};

TEST_F(InputTest, KeyEdgesLastExactlyOneFrame) {
    QLH_Step(1);
    QLH_KeyDown('W');
    QLH_Step(3);
    QLH_KeyUp('W');
    QLH_Step(2);
    ASSERT_EQ(seen.size(), 6u);
    const Seen expected[] = {{false, false, false}, {true, true, false},  {true, false, false},
                             {true, false, false},  {false, false, true}, {false, false, false}};
    for (size_t i = 0; i < 6; i++) {
        EXPECT_EQ(seen[i].down, expected[i].down) << "frame " << i;
        EXPECT_EQ(seen[i].pressed, expected[i].pressed) << "frame " << i;
        EXPECT_EQ(seen[i].released, expected[i].released) << "frame " << i;
    }
}

// A tap shorter than a frame counts once each way, and as held for the frame it fell in, so that
// a quick click still fires and a quick key still moves.
TEST_F(InputTest, TapBetweenTwoFramesCountsOnceEachWayAndAsHeldForItsFrame) {
    QLH_KeyTap('W');
    QLH_MouseButton(true);
    QLH_MouseButton(false);
    QLH_Step(1);
    EXPECT_TRUE(mouseDown) << "a click inside one frame is held for that frame";
    EXPECT_TRUE(mouseClicked && mouseReleased);
    QLH_Step(1);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].pressed);
    EXPECT_TRUE(seen[0].released);
    EXPECT_TRUE(seen[0].down) << "a tap inside one frame is held for that frame";
    EXPECT_FALSE(seen[1].pressed || seen[1].released || seen[1].down);
    EXPECT_FALSE(mouseDown || mouseClicked || mouseReleased);
}

TEST_F(InputTest, OutOfRangeKeysAreNeverDown) {
    QLH_Step(1);
    for (int key : {-1, (int)QL_KEY_COUNT, 100000}) {
        EXPECT_FALSE(QL_Input_KeyDown(key));
        EXPECT_FALSE(QL_Input_KeyTriggered(key));
        EXPECT_FALSE(QL_Input_KeyReleased(key));
    }
    EXPECT_FALSE(QL_Input_MouseDown(7));
}

TEST_F(InputTest, MouseButtonAndPosition) {
    QLH_MouseMove(100, 50);
    QLH_MouseButton(true);
    QLH_Step(1);
    EXPECT_TRUE(mouseClicked);
    EXPECT_TRUE(mouseDown);
    EXPECT_FLOAT_EQ(QL_Input_GetMouseX(), 100.0f);
    EXPECT_FLOAT_EQ(QL_Input_GetMouseWorldY(), 50.0f);
    QLH_Step(1);
    EXPECT_FALSE(mouseClicked);
    EXPECT_TRUE(mouseDown);
    QLH_MouseButton(false);
    QLH_Step(1);
    EXPECT_TRUE(mouseReleased);
    EXPECT_FALSE(mouseDown);
}

TEST_F(InputTest, FocusLossReleasesHeldKeys) {
    QLH_KeyDown('W');
    QLH_Step(1);
    QLH_SetFocus(false);
    QLH_Step(1);
    EXPECT_FALSE(seen.back().down);
    EXPECT_FALSE(QL_System_HasFocus());
}

} // namespace
