// The pause overlay: strict button insides, the quit question, and the way back to the front end.
#include "app/frames.h"
#include "core/settings.h"
#include "game/player.h"
#include "tests/support/headless_fixture.h"
#include "ui/front_end.h"
#include "ui/pause.h"
#include "ui/widgets.h"

namespace {

TEST(Buttons, InsidesAreStrict) {
    WidgetButton yes{400.0f - 50.0f, 320.0f, 100.0f, 30.0f},
        no{400.0f + 50.0f, 320.0f, 100.0f, 30.0f};
    EXPECT_FALSE(Widget_Hovered(yes, 400.0f, 320.0f)) << "the centre line hovers neither";
    EXPECT_FALSE(Widget_Hovered(no, 400.0f, 320.0f));
    EXPECT_TRUE(Widget_Hovered(yes, 399.9f, 320.0f));
    EXPECT_TRUE(Widget_Hovered(no, 400.1f, 320.0f));
    EXPECT_FALSE(Widget_Hovered(yes, 350.0f, 305.0f)) << "the top edge is outside";
    EXPECT_TRUE(Widget_Hovered(yes, 350.0f, 305.1f));
}

void Update() {
    App_Act(Pause_Update());
}

class PauseTest : public HeadlessTest {
  protected:
    const float w = 800.0f, h = 600.0f;
    void SetUp() override {
        StartHeadless(800, 600, 0.01f);
        pauseQuitConfirm = false;
        RunEachFrame(Update);
    }
};

TEST_F(PauseTest, QuitAsksThenNoAndYesAnswer) {
    QLH_Step(1);
    ClickAt(0.5f * w, h / 1.5f);
    EXPECT_TRUE(pauseQuitConfirm);
    ClickAt(0.5f * w + 0.0625f * w, h / 1.5f);
    EXPECT_FALSE(pauseQuitConfirm) << "No";
    ClickAt(0.5f * w, h / 1.5f);
    ClickAt(0.5f * w, h / 1.5f); // the centre line: neither Yes nor No
    EXPECT_TRUE(pauseQuitConfirm);
    ClickAt(0.5f * w - 0.0625f * w, h / 1.5f);
    EXPECT_FALSE(pauseQuitConfirm) << "Yes";
    EXPECT_EQ(QLH_CurrentUpdate(), Menu_Update) << "back to the front end";
}

// The quit question takes keys as the title's does: N and Escape answer no, Y and Return yes.
TEST_F(PauseTest, TheQuitQuestionAnswersKeys) {
    struct Case {
        int key;
        bool quits;
    } cases[] = {{'N', false}, {QL_KEY_ESCAPE, false}, {'Y', true}, {'\r', true}};
    for (const Case& c : cases) {
        RunEachFrame(Update);
        QLH_Step(1);
        ClickAt(0.5f * w, h / 1.5f);
        ASSERT_TRUE(pauseQuitConfirm);
        QLH_KeyTap(c.key);
        QLH_Step(2);
        EXPECT_FALSE(pauseQuitConfirm) << c.key;
        EXPECT_EQ(QLH_CurrentUpdate() == Menu_Update, c.quits) << c.key;
    }
}

TEST_F(PauseTest, OnlyTheReleaseOverAButtonActs) {
    QLH_MouseMove(10, 10);
    QLH_MouseButton(true);
    QLH_Step(1);
    QLH_MouseMove(0.5f * w, h / 1.5f);
    QLH_MouseButton(false);
    QLH_Step(1);
    EXPECT_TRUE(pauseQuitConfirm) << "pressed elsewhere, released over Quit";
    pauseQuitConfirm = false;
    QLH_MouseButton(true);
    QLH_Step(1);
    QLH_MouseMove(10, 10);
    QLH_MouseButton(false);
    QLH_Step(1);
    EXPECT_FALSE(pauseQuitConfirm) << "pressed over Quit, released elsewhere";
}

TEST_F(PauseTest, VeilDarkensTheFrozenPictureEachFrame) {
    QL_Settings_Background(QL_Color_Create(200, 200, 200, 255));
    int last = 200;
    for (int i = 0; i < 5; i++) {
        QLH_Step(1);
        int now = At(20, 20).r;
        EXPECT_LT(now, last) << "frame " << i;
        last = now;
    }
}

} // namespace
