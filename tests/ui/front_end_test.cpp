// The front end through the headless engine: the splash timings and clicks, the title's keys and
// quit question, the focus freeze, and what the title draws.
#include <set>
#include <string>

#include "app/app.h"
#include "app/frames.h"
#include "game/game_update.h"
#include "tests/support/headless_fixture.h"
#include "ui/front_end.h"
#include "ui/key_labels.h"

namespace {

const char* kDowntime = "./Assets/Music/BGM/Downtime.wav";

class FrontEndTest : public HeadlessTest {
  protected:
    void SetUp() override {
        StartHeadless(640, 480, 0.01f);
        App_Start();
        QLH_Step(1); // the first frame runs Menu_Init, then one update
    }
    // Frames until the screen changes from the current one, at most limit.
    int FramesOnScreen(int limit) {
        int screen = frontEnd.menuScreen;
        for (int n = 1; n <= limit; n++) {
            QLH_Step(1);
            if (frontEnd.menuScreen != screen) return n;
        }
        return -1;
    }
    long MusicStartFrame() {
        for (const QLH_PlayEntry& e : QLH_PlayLog())
            if (e.path == kDowntime) return e.frame;
        return -1;
    }
    void Click() {
        QLH_MouseButton(true);
        QLH_Step(1);
        QLH_MouseButton(false);
    }
    void Release(int key) {
        QLH_KeyTap(key);
        QLH_Step(1);
    }
};

TEST_F(FrontEndTest, TitleAppearsAfterNinePointEightSecondsWithoutInput) {
    EXPECT_EQ(frontEnd.menuScreen, kScreenMakerLogo);
    int maker = FramesOnScreen(1000) + 1;
    EXPECT_EQ(frontEnd.menuScreen, kScreenAudioLogo);
    int audio = FramesOnScreen(1000);
    EXPECT_EQ(frontEnd.menuScreen, kScreenHeadphones);
    int headphones = FramesOnScreen(1000);
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle);
    EXPECT_NEAR(maker, 500, 1);
    EXPECT_NEAR(audio, 240, 1);
    EXPECT_NEAR(headphones, 240, 1);
    EXPECT_NEAR(MusicStartFrame(), 260, 1) << "the music starts 2.6 s in";
    const QLH_PlayEntry* music = nullptr;
    for (const QLH_PlayEntry& e : QLH_PlayLog())
        if (e.path == kDowntime) music = &e;
    ASSERT_NE(music, nullptr);
    EXPECT_FLOAT_EQ(music->volume, 1.0f);
    EXPECT_TRUE(music->looping);
    EXPECT_EQ(music->group, 1);
}

TEST_F(FrontEndTest, ClickOnTheMakerLogoJumpsToItsLastTwoPointFourSeconds) {
    QLH_Step(50);
    Click();
    EXPECT_NEAR(frontEnd.splashTimer, 2.4f, 1e-4f);
    EXPECT_EQ(MusicStartFrame(), -1);
    QLH_Step(1);
    EXPECT_EQ(MusicStartFrame(), QLH_FrameCount() - 1) << "music on the next frame";
    EXPECT_NEAR(FramesOnScreen(1000), 240, 1);
}

TEST_F(FrontEndTest, ClickInTheMakerLogosLastSecondsDoesNothing) {
    QLH_Step(300);
    float before = frontEnd.splashTimer;
    Click();
    EXPECT_NEAR(frontEnd.splashTimer, before - 0.01f, 1e-4f);
}

// Any key or pad button cuts a splash screen short as a click does, and does nothing else: E
// held from the last splash onto the title and let go there starts no run, and a key let go
// afterwards is heard again.
TEST_F(FrontEndTest, KeysAndPadButtonsSkipTheSplashesAndNothingElse) {
    ASSERT_TRUE(QLH_PadConnect());
    QLH_Step(10);
    Release(QL_KEY_ESCAPE);
    EXPECT_NEAR(frontEnd.splashTimer, 2.4f, 1e-4f) << "Escape on the maker's logo";
    EXPECT_NEAR(FramesOnScreen(300), 240, 1);
    EXPECT_EQ(frontEnd.menuScreen, kScreenAudioLogo);
    QLH_Step(10);
    QLH_PadButton(QL_PAD_Y, true);
    QLH_Step(1);
    QLH_PadButton(QL_PAD_Y, false);
    EXPECT_NEAR(frontEnd.splashTimer, 0.4f, 1e-4f) << "a pad's Y on the audio logo";
    EXPECT_NEAR(FramesOnScreen(100), 40, 1);
    QLH_Step(10);
    QLH_KeyDown('E');
    QLH_Step(1);
    EXPECT_NEAR(frontEnd.splashTimer, 0.4f, 1e-4f) << "E on the headphones notice";
    EXPECT_NEAR(FramesOnScreen(100), 40, 1);
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle);
    QLH_Step(5);
    QLH_KeyUp('E');
    QLH_Step(2);
    EXPECT_EQ(QLH_CurrentUpdate(), Menu_Update) << "the E that skipped started a run";
    Release('E');
    QLH_Step(1);
    EXPECT_NE(QLH_CurrentUpdate(), Menu_Update) << "a new E starts one";
}

TEST_F(FrontEndTest, ClicksOnTheOtherSplashesJumpToTheirFade) {
    frontEnd.menuScreen = kScreenAudioLogo;
    frontEnd.splashTimer = 2.4f;
    QLH_Step(10);
    Click();
    EXPECT_NEAR(frontEnd.splashTimer, 0.4f, 1e-4f);
    EXPECT_NEAR(FramesOnScreen(100), 40, 1);
    EXPECT_EQ(frontEnd.menuScreen, kScreenHeadphones);
    QLH_Step(10);
    Click();
    EXPECT_NEAR(frontEnd.splashTimer, 0.4f, 1e-4f);
    EXPECT_NEAR(FramesOnScreen(100), 40, 1);
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle);
}

TEST_F(FrontEndTest, TitleKeysActOnReleaseWithABlip) {
    frontEnd.menuScreen = kScreenTitle;
    QLH_KeyDown('S');
    QLH_Step(5);
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle) << "holding a key does nothing";
    size_t plays = QLH_PlayLog().size();
    QLH_KeyUp('S');
    QLH_Step(1);
    EXPECT_EQ(frontEnd.menuScreen, kScreenSettings);
    EXPECT_EQ(QLH_PlayLog().size(), plays + 1);
    EXPECT_EQ(QLH_PlayLog().back().path, "./Assets/Music/SFX/BombGunBlip.wav");
    Release('S');
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle);
    struct Case {
        int key, screen;
    } cases[] = {{'H', kScreenHighScores}, {'C', kScreenCredits}};
    for (const Case& c : cases) {
        Release(c.key);
        EXPECT_EQ(frontEnd.menuScreen, c.screen);
        Release(c.key);
        EXPECT_EQ(frontEnd.menuScreen, kScreenTitle);
    }
}

// The title asks for letters: on AZERTY the letter Q sits in A's place, and still asks to quit.
TEST_F(FrontEndTest, TitleLettersFollowTheLayoutNotThePlace) {
    frontEnd.menuScreen = kScreenTitle;
    QLH_KeyDownAs('Q', 'A');
    QLH_Step(1);
    QLH_KeyUpAs('Q', 'A');
    QLH_Step(1);
    EXPECT_FALSE(frontEnd.quitConfirm) << "the key in Q's place typing A";
    QLH_KeyDownAs('A', 'Q');
    QLH_Step(1);
    QLH_KeyUpAs('A', 'Q');
    QLH_Step(1);
    EXPECT_TRUE(frontEnd.quitConfirm) << "the letter Q in A's place";
}

// A key's label on a screen is a button: pressed and released on it, it asks for its key; a click
// that began elsewhere (cutting a splash screen short) asks for nothing where it ends.
TEST_F(FrontEndTest, KeyLabelsAnswerClicksThatBeginAndEndOnThem) {
    frontEnd.menuScreen = kScreenTitle;
    QLH_Step(1);
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(KeyLabels_Find('Q', &x, &y));
    QLH_MouseMove(10.0f, 10.0f);
    QLH_MouseButton(true);
    QLH_Step(1);
    QLH_MouseMove(x, y);
    QLH_MouseButton(false);
    QLH_Step(1);
    EXPECT_FALSE(frontEnd.quitConfirm) << "a press elsewhere, released on [Q]";
    ClickAt(x, y);
    EXPECT_TRUE(frontEnd.quitConfirm) << "a click on [Q]";
}

TEST_F(FrontEndTest, QuitQuestionWaitsForYesOrNo) {
    frontEnd.menuScreen = kScreenTitle;
    Release('Q');
    EXPECT_TRUE(frontEnd.quitConfirm);
    Release('Q');
    EXPECT_TRUE(frontEnd.quitConfirm) << "Q again neither clears nor repeats it";
    Release('S');
    EXPECT_EQ(frontEnd.menuScreen, kScreenSettings);
    Release('S');
    EXPECT_TRUE(frontEnd.quitConfirm) << "the question shows again on return";
    Release('N');
    EXPECT_FALSE(frontEnd.quitConfirm);
    Release('Q');
    Release(QL_KEY_ESCAPE);
    EXPECT_FALSE(frontEnd.quitConfirm) << "Escape answers no";
    Release('Y');
    Release('\r');
    EXPECT_FALSE(QLH_Terminated()) << "Y or Return without the question does nothing";
    Release('Q');
    Release('\r');
    EXPECT_TRUE(QLH_Terminated()) << "Return answers yes";
}

TEST_F(FrontEndTest, EStartsARunEvenWhileTheQuestionShows) {
    frontEnd.menuScreen = kScreenTitle;
    Release('Q');
    Release('E');
    QLH_Step(1);
    EXPECT_EQ(QLH_CurrentUpdate(), Game_Update);
}

TEST_F(FrontEndTest, UnfocusedFramesFreezeEverythingAndDrawNothing) {
    QLH_Step(300); // music playing
    float splash = frontEnd.splashTimer, cycle = frontEnd.colorCycle;
    QLH_SetFocus(false);
    QLH_ResetDrawStats();
    int voices = QLH_ActiveVoices();
    QLH_Step(100);
    QLH_DrawStats stats = QLH_GetDrawStats();
    EXPECT_EQ(stats.quads + stats.rects + stats.images + stats.texts, 0);
    EXPECT_EQ(frontEnd.splashTimer, splash);
    EXPECT_EQ(frontEnd.colorCycle, cycle);
    EXPECT_EQ(QLH_ActiveVoices(), voices) << "paused, not stopped";
    QLH_SetFocus(true);
    QLH_Step(1);
    EXPECT_NEAR(frontEnd.splashTimer, splash - 0.01f, 1e-4f);
}

TEST_F(FrontEndTest, TitleLinesSitOnTheirRows) {
    frontEnd.menuScreen = kScreenTitle;
    QLH_Step(1);
    // The red menu line stands on 0.95 H; the white line "Try to survive..." on 0.85 H.
    auto redInRow = [this](int y) {
        for (int x = 200; x < 440; x++) {
            Pixel p = At(x, y);
            if (p.r > 200 && p.g < 90 && p.b < 90) return true;
        }
        return false;
    };
    EXPECT_TRUE(redInRow(454)) << "just above 0.95 H = 456";
    EXPECT_FALSE(redInRow(470)) << "below the line";
    auto whiteInRow = [this](int y) {
        for (int x = 200; x < 440; x++) {
            Pixel p = At(x, y);
            if (p.r > 240 && p.g > 240 && p.b > 240) return true;
        }
        return false;
    };
    EXPECT_TRUE(whiteInRow(405)) << "just above 0.85 H = 408";
}

} // namespace

// Every screen has its name in the state log, the splash screens alike and the others each their
// own; and B on a pad backs out to the title from exactly the screens the title opens.
TEST_F(FrontEndTest, EveryScreenHasANameAndBBacksOutOfTheTitlesScreens) {
    std::set<std::string> names;
    ASSERT_TRUE(QLH_PadConnect());
    for (int screen = 0; screen < kMenuScreenCount; screen++) {
        std::string name = FrontEnd_ScreenName(screen, false);
        bool splash =
            screen == kScreenMakerLogo || screen == kScreenAudioLogo || screen == kScreenHeadphones;
        EXPECT_EQ(name == "splash", splash) << "screen " << screen << " is named " << name;
        EXPECT_TRUE(splash || names.insert(name).second) << name << " names two screens";
        bool opened = screen == kScreenSettings || screen == kScreenHighScores ||
                      screen == kScreenCredits || screen == kScreenOnline;
        frontEnd.menuScreen = screen;
        frontEnd.splashTimer = 100.0f;
        QLH_PadButton(QL_PAD_B, true);
        QLH_Step(1);
        QLH_PadButton(QL_PAD_B, false);
        QLH_Step(1);
        EXPECT_EQ(frontEnd.menuScreen == kScreenTitle, opened || screen == kScreenTitle)
            << "B on " << name;
    }
    EXPECT_STREQ(FrontEnd_ScreenName(kScreenTitle, true), "quit question");
}
