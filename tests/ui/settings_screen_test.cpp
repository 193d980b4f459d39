// The settings screen: steps and bounds, the music group, window modes and the reset question.
#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/frames.h"
#include "core/settings.h"
#include "scores/high_scores.h"
#include "tests/support/headless_fixture.h"
#include "ui/front_end.h"
#include "ui/key_labels.h"
#include "ui/settings_screen.h"

namespace {

TEST(SettingsSteps, BoundsHoldAndRoundingIsAbsorbed) {
    struct Case {
        const char* what;
        float start, step, lower, upper;
        int downs, ups;
        float expected;
    } cases[] = {{"five E from 0.5", 0.5f, 0.1f, 0.0f, 1.0f, 5, 0, 0.0f},
                 {"six E from 0.5", 0.5f, 0.1f, 0.0f, 1.0f, 6, 0, 0.0f},
                 {"four C from 90", 90.0f, 5.0f, 70.0f, 120.0f, 4, 0, 70.0f},
                 {"six V from 90", 90.0f, 5.0f, 70.0f, 120.0f, 0, 6, 120.0f},
                 {"nine V from 90", 90.0f, 5.0f, 70.0f, 120.0f, 0, 9, 120.0f},
                 {"three G from 0.4", 0.4f, 0.1f, 0.1f, 1.0f, 3, 0, 0.1f},
                 {"six H from 0.4", 0.4f, 0.1f, 0.1f, 1.0f, 0, 6, 1.0f},
                 {"D at 0.1", 0.1f, 0.1f, 0.0f, 1.0f, 1, 0, 0.0f}};
    for (const Case& c : cases) {
        float v = c.start;
        for (int i = 0; i < c.downs; i++)
            SettingsScreen_StepDown(&v, c.step, c.lower);
        for (int i = 0; i < c.ups; i++)
            SettingsScreen_StepUp(&v, c.step, c.upper);
        EXPECT_NEAR(v, c.expected, 1e-5f) << c.what;
        EXPECT_GE(v, c.lower) << c.what;
        EXPECT_LE(v, c.upper) << c.what;
    }
}

class SettingsScreenTest : public HeadlessTest {
  protected:
    // Tests run in parallel processes: each has its own leaderboard file.
    std::string path = std::string("settings_test_scores_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    void SetUp() override {
        StartHeadless(640, 480, 0.01f);
        std::filesystem::remove(path);
        highScoresPath = path.c_str();
        App_Start();
        QLH_Step(1);
        frontEnd.menuScreen = kScreenSettings;
    }
    void TearDown() override {
        HeadlessTest::TearDown();
        std::filesystem::remove(path);
        highScoresPath = "./Assets/HighScores.txt";
    }
    void Release(int key) {
        QLH_KeyTap(key);
        QLH_Step(1);
    }
    const QLH_PlayEntry& LastPlay() { return QLH_PlayLog().back(); }
};

// With a pad alone: from the title to the settings, a value raised by its label, and B back.
TEST_F(SettingsScreenTest, APadAloneReachesAndChangesTheSettings) {
    ASSERT_TRUE(QLH_PadConnect());
    frontEnd.menuScreen = kScreenTitle;
    QLH_Step(1);
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(KeyLabels_Find('S', &x, &y)) << "the title shows SETTINGS = [S]";
    ASSERT_TRUE(PadClickAt(x, y));
    ASSERT_EQ(frontEnd.menuScreen, kScreenSettings);
    QLH_Step(1); // the settings drawn
    ASSERT_TRUE(KeyLabels_Find('R', &x, &y)) << "the music line's [R]";
    float before = settings.musicVolume;
    ASSERT_TRUE(PadClickAt(x, y));
    EXPECT_GT(settings.musicVolume, before);
    QLH_PadButton(QL_PAD_B, true);
    QLH_Step(1);
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle) << "B backs out";
}

TEST_F(SettingsScreenTest, EffectBlipSoundsAtTheNewLevel) {
    settings.sfxVolume = 0.1f;
    Release('D');
    EXPECT_FLOAT_EQ(settings.sfxVolume, 0.0f);
    EXPECT_FLOAT_EQ(LastPlay().volume, 0.0f) << "silent at 0";
    Release('F');
    EXPECT_NEAR(LastPlay().volume, 0.1f, 1e-6f);
}

TEST_F(SettingsScreenTest, MusicKeysSetTheMusicGroupAndBlip) {
    size_t plays = QLH_PlayLog().size();
    for (int i = 0; i < 7; i++)
        Release('E');
    EXPECT_EQ(settings.musicVolume, 0.0f);
    EXPECT_EQ(QLH_PlayLog().size(), plays + 7) << "a blip even at the bound";
    Release('R');
    EXPECT_NEAR(settings.musicVolume, 0.1f, 1e-6f);
}

// The frame cap steps through its choices with K and L, held at both ends, applied at once; the
// display's own rate (unknown headless: 60) is named as such. The mouse reaches it by its label.
TEST_F(SettingsScreenTest, TheFrameCapStepsThroughItsChoicesAndAppliesAtOnce) {
    EXPECT_EQ(QL_System_GetFrameCap(), 1000.0);
    Release('K');
    EXPECT_EQ(QL_System_GetFrameCap(), 1000.0) << "no cap above the default";
    Release('L');
    EXPECT_TRUE(NextFrameDraws("[K]    FRAME CAP: 60 (DISPLAY)    [L]"))
        << "the display's rate is not named";
    EXPECT_EQ(QL_System_GetFrameCap(), 60.0);
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(KeyLabels_Find('L', &x, &y));
    ClickAt(x, y);
    EXPECT_EQ(QL_System_GetFrameCap(), 240.0);
    for (double cap : {144.0, 120.0, 60.0, 30.0, 30.0}) {
        Release('L');
        EXPECT_EQ(QL_System_GetFrameCap(), cap);
    }
}

// ZORB_FRAME_CAP holds only as a whole number that plays at true speed; while it holds, the screen
// shows it as the cap in force, until the player picks another.
TEST_F(SettingsScreenTest, ACapFromTheEnvironmentIsShownWhileItHolds) {
    struct Case {
        const char* text;
        int cap;
    } cases[] = {{"45", 45},   {"1000", 1000},
                 {"20", 20},   {"1e9", 0},
                 {"60abc", 0}, {" 60", 0},
                 {"abc", 0},   {"0", 0},
                 {"-1", 0},    {"100000", 0},
                 {"", 0},      {"7", 0},
                 {"19", 0},    {"99999999999999999999", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(Settings_ParseFrameCap(c.text), c.cap) << "\"" << c.text << "\"";
    Frames_CapFrom("45"); // as ZORB_FRAME_CAP=45
    EXPECT_TRUE(NextFrameDraws("[K]    FRAME CAP: 45    [L]")) << "the cap in force is not shown";
    EXPECT_EQ(QL_System_GetFrameCap(), 45.0);
    Release('L');
    EXPECT_EQ(QL_System_GetFrameCap(), 60.0) << "the player's choice takes over";
    frameCapOverride = FrameCapOverride();
}

TEST_F(SettingsScreenTest, WindowModesCycleAndApplyAtOnce) {
    EXPECT_EQ(settings.resolutionMode, 2);
    struct Step {
        int mode, w, h;
    } steps[] = {{0, 640, 480}, {1, 1280, 720}, {2, 640, 480}}; // full screen: the display's size
    for (const Step& s : steps) {
        Release('P');
        EXPECT_EQ(settings.resolutionMode, s.mode);
        EXPECT_EQ(QL_System_GetWindowWidth(), s.w);
        EXPECT_EQ(QL_System_GetWindowHeight(), s.h);
    }
}

TEST_F(SettingsScreenTest, DebugToggleAndTheResetQuestion) {
    Release('B');
    EXPECT_EQ(settings.debugOverlay, 1);
    Release('B');
    EXPECT_EQ(settings.debugOverlay, 0);
    HighScores_Submit("TOP", 99999);
    Release('M');
    EXPECT_TRUE(frontEnd.resetConfirm);
    Release('N');
    EXPECT_FALSE(frontEnd.resetConfirm);
    EXPECT_STREQ(HighScoreTable[0].tag, "TOP") << "No leaves the table alone";
    Release('M');
    Release('S');
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle) << "S works while the question shows";
    frontEnd.menuScreen = kScreenSettings;
    EXPECT_TRUE(frontEnd.resetConfirm) << "still asking on return";
    Release('Y');
    EXPECT_FALSE(frontEnd.resetConfirm);
    EXPECT_STREQ(HighScoreTable[0].tag, "ZKM") << "the defaults again";
}

} // namespace

namespace {

// With two displays the settings show a DISPLAY line, and J moves the window to the next and
// makes it the display kept; with one the line is not there.
TEST_F(SettingsScreenTest, JStepsThroughTheDisplaysWhereThereAreMore) {
    QLH_SetTextLog(true);
    QLH_Step(1);
    for (const std::string& line : QLH_TextLog())
        EXPECT_EQ(line.find("DISPLAY"), std::string::npos) << line;
    QLH_SetDisplayCount(2);
    Release('J');
    EXPECT_EQ(QL_System_GetWindowDisplay(), 1);
    EXPECT_EQ(settings.display.name, "HEADLESS 2");
    QLH_SetTextLog(true);
    QLH_Step(1);
    bool shown = false;
    for (const std::string& line : QLH_TextLog())
        shown = shown || line.find("DISPLAY 2 OF 2: HEADLESS 2") != std::string::npos;
    EXPECT_TRUE(shown);
    Release('J');
    EXPECT_EQ(QL_System_GetWindowDisplay(), 0) << "round to the first";
}

} // namespace
