// The CONTROLS screen: a slot chosen by a click or the arrows takes the next key, mouse button or
// pad button; a taken control swaps and is said; Escape cancels; pause keeps a key; RESET puts
// every binding back; and the player leaves for the settings screen with Escape or B.
#include <string>

#include "app/app.h"
#include "core/bindings.h"
#include "scores/high_scores.h"
#include "tests/support/headless_fixture.h"
#include "ui/controls_screen.h"
#include "ui/front_end.h"

namespace {

class ControlsScreenTest : public HeadlessTest {
  protected:
    // Tests run in parallel processes: each has its own leaderboard file.
    std::string scores = std::string("controls_test_scores_") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    void SetUp() override {
        StartHeadless(1280, 720, 0.01f);
        highScoresPath = scores.c_str();
        App_Start();
        QLH_Step(1);
        frontEnd.menuScreen = kScreenSettings;
        QLH_SetTextLog(true);
        Tap('O');
        ASSERT_EQ(frontEnd.menuScreen, kScreenControls);
    }
    void TearDown() override {
        HeadlessTest::TearDown();
        std::remove(scores.c_str());
        highScoresPath = "./Assets/HighScores.txt";
    }
    static void Tap(int key) {
        QLH_KeyTap(key);
        QLH_Step(1);
    }
    // Clicks at a point of the 1280 x 720 window: the button goes down and comes up.
    static void Click(float x, float y, int button = QL_MOUSE_LEFT) {
        QLH_MouseMove(x, y);
        QLH_MouseButtonOf(button, true);
        QLH_Step(1);
        QLH_MouseButtonOf(button, false);
        QLH_Step(1);
    }
    // A slot's centre, where the screen draws it.
    static void ClickSlot(Action action, int slot) {
        Click(1280.0f * (0.47f + 0.18f * (float)slot), 720.0f * (0.175f + 0.056f * (float)action));
    }
    static bool Said(const std::string& text) {
        for (const std::string& line : QLH_TextLog())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    static Control Slot(Action action, int slot) {
        return bindings.actions[(int)action].slots[slot];
    }
};

TEST_F(ControlsScreenTest, AClickedSlotTakesTheNextControlAndATakenOneSwaps) {
    ClickSlot(Action::Forward, 0);
    Tap('E');
    EXPECT_TRUE(Slot(Action::Forward, 0) == (Control{Control::Key, 'E'}));
    ClickSlot(Action::Forward, 1);
    Click(640.0f, 360.0f, QL_MOUSE_RIGHT);
    EXPECT_TRUE(Slot(Action::Forward, 1) == (Control{Control::Mouse, QL_MOUSE_RIGHT}));
    ClickSlot(Action::Back, 0);
    Tap('E');
    EXPECT_TRUE(Slot(Action::Back, 0) == (Control{Control::Key, 'E'}));
    EXPECT_TRUE(Slot(Action::Forward, 0) == (Control{Control::Key, 'S'})) << "the two swap";
    QLH_Step(1);
    EXPECT_TRUE(Said("[E] SWAPPED WITH FORWARD"));

    ASSERT_TRUE(QLH_PadConnect());
    ClickSlot(Action::Fire, kPadSlot);
    QLH_PadButton(QL_PAD_A, true);
    QLH_Step(1);
    QLH_PadButton(QL_PAD_A, false);
    QLH_Step(1);
    EXPECT_TRUE(Slot(Action::Fire, kPadSlot) == (Control{Control::PadButton, QL_PAD_A}));
    EXPECT_TRUE(Slot(Action::Fire, 0) == (Control{Control::Mouse, QL_MOUSE_LEFT}))
        << "A's click on the screens is not the mouse's";
    EXPECT_EQ(frontEnd.menuScreen, kScreenControls);
}

// The arrows and Enter choose as a click does; Escape cancels a choice, and leaves only once
// nothing is asked; pause cannot lose its last key.
TEST_F(ControlsScreenTest, TheArrowsChooseEscapeCancelsAndPauseKeepsAKey) {
    for (int row = 0; row < (int)Action::Pause; row++)
        Tap(QL_KEY_DOWN);
    Tap('\r');
    Tap(QL_KEY_ESCAPE);
    EXPECT_TRUE(Slot(Action::Pause, 0) == (Control{Control::Key, QL_KEY_ESCAPE}));
    EXPECT_EQ(frontEnd.menuScreen, kScreenControls) << "Escape cancelled the choice only";
    Tap('\r');
    Click(640.0f, 360.0f, QL_MOUSE_MIDDLE);
    EXPECT_TRUE(Slot(Action::Pause, 0) == (Control{Control::Key, QL_KEY_ESCAPE}));
    QLH_Step(1);
    EXPECT_TRUE(Said("PAUSE MUST KEEP A KEY"));
    Tap(QL_KEY_RIGHT);
    Tap('\r');
    Tap('P');
    EXPECT_TRUE(Slot(Action::Pause, 1) == (Control{Control::Key, 'P'}));
    Tap(QL_KEY_DOWN);
    Tap('\r'); // RESET TO DEFAULTS
    EXPECT_TRUE(Slot(Action::Pause, 1) == Control{});
    Tap(QL_KEY_ESCAPE);
    EXPECT_EQ(frontEnd.menuScreen, kScreenSettings);
}

TEST_F(ControlsScreenTest, BOnAPadGoesBackToTheSettings) {
    ASSERT_TRUE(QLH_PadConnect());
    QLH_Step(1);
    QLH_PadButton(QL_PAD_B, true);
    QLH_Step(1);
    EXPECT_EQ(frontEnd.menuScreen, kScreenSettings);
}

} // namespace
