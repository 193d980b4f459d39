// The frame of play: extra lives, stages with their music and sky, pausing, focus, and a scripted
// run through the whole program.
#include <cmath>
#include <string>

#include "app/app.h"
#include "app/frames.h"
#include "core/settings.h"
#include "game/game_update.h"
#include "game/player.h"
#include "tests/support/headless_fixture.h"
#include "ui/front_end.h"
#include "ui/pause.h"
#include "world/arena.h"

namespace {

class RunTest : public HeadlessTest {
  protected:
    void SetUp() override {
        StartHeadless(640, 480, 0.01f);
        QLH_ForceSeed(5);
        App_Start();
        QLH_Step(1);
        frontEnd.menuScreen = kScreenTitle;
        QLH_MouseMove(320, 240);
        QLH_KeyTap('E');
        QLH_Step(2);
        ASSERT_EQ(QLH_CurrentUpdate(), Game_Update);
        pauseQuitConfirm = false;
    }
};

TEST_F(RunTest, ExtraLivesAtSquaresTimesAHundredOnePerFrame) {
    QLH_ClearLogs();
    struct Step {
        int score, lives, next;
    } steps[] = {{99, 3, 100}, {100, 4, 400}, {950, 5, 900}, {950, 6, 1600}, {950, 6, 1600}};
    for (const Step& s : steps) {
        player.score = s.score;
        QLH_Step(1);
        EXPECT_EQ(player.lives, s.lives) << "score " << s.score;
        EXPECT_EQ(player.nextLifeScore, s.next) << "score " << s.score;
    }
    EXPECT_EQ(Plays("HealthUp.wav"), 3);
}

TEST_F(RunTest, StagesChangeEvery51Point2SecondsOfPlay) {
    player.lives = 1000000; // outlive the enemies
    QLH_SetCountOnly(true); // seven stages of play; the picture does not matter here
    QLH_SetDt(0.05f);       // the longest step the engine takes
    QLH_Step(1023);
    EXPECT_EQ(runState.stage, 0);
    QLH_Step(2);
    EXPECT_EQ(runState.stage, 1);
    EXPECT_EQ(skyTargetColor.g, 191);
    const QLH_PlayEntry* last = LastPlay("/BGM/");
    ASSERT_NE(last, nullptr);
    const QLH_PlayEntry& music = *last;
    EXPECT_NE(music.path.find("Zorb2.wav"), std::string::npos);
    EXPECT_TRUE(music.looping);
    EXPECT_EQ(music.group, 1);
    EXPECT_FLOAT_EQ(music.volume, settings.musicVolume * 2.0f);
    QLH_Step(7 * 1024);
    EXPECT_EQ(runState.stage, 7) << "the last stage stays";
    EXPECT_EQ(skyTargetColor.r, 63);
    EXPECT_EQ(skyTargetColor.g, 0);
    EXPECT_EQ(Plays("Zorb8.wav"), 1);
}

TEST_F(RunTest, EscapePausesWithABlipAndPausedTimeDoesNotCount) {
    float elapsed = runState.elapsed;
    QLH_ClearLogs();
    QLH_KeyTap(QL_KEY_ESCAPE);
    QLH_Step(1);
    EXPECT_EQ(runState.paused, 1);
    const QLH_PlayEntry* found = LastPlay("BombGunBlip.wav");
    ASSERT_NE(found, nullptr);
    const QLH_PlayEntry& blip = *found;
    EXPECT_NE(blip.path.find("BombGunBlip.wav"), std::string::npos);
    EXPECT_FLOAT_EQ(blip.volume, 3.0f);
    float paused = runState.elapsed;
    QLH_Step(200);
    EXPECT_EQ(runState.elapsed, paused);
    QLH_KeyTap(QL_KEY_ESCAPE);
    QLH_Step(1);
    EXPECT_EQ(runState.paused, 0);
    QLH_Step(10);
    EXPECT_NEAR(runState.elapsed - elapsed, 0.11f, 1e-3f);
}

TEST_F(RunTest, LosingFocusPausesTheGame) {
    QLH_KeyDown('W');
    QLH_Step(10);
    QLH_SetFocus(false);
    float x = player.x;
    QLH_ResetDrawStats();
    QLH_Step(50);
    EXPECT_EQ(runState.paused, 1);
    EXPECT_EQ(player.x, x);
    QLH_DrawStats stats = QLH_GetDrawStats();
    EXPECT_EQ(stats.quads + stats.rects + stats.images + stats.texts, 0);
    QLH_SetFocus(true);
    QLH_Step(5);
    EXPECT_EQ(runState.paused, 1) << "the pause overlay shows when the focus returns";
    EXPECT_EQ(player.x, x);
}

TEST_F(RunTest, ScriptedWalkLookPauseAndResume) {
    QLH_KeyDown('W');
    QLH_Step(100); // a second of W, facing east from (16, 15.5)
    QLH_KeyUp('W');
    QLH_Step(50);
    EXPECT_GT(player.x, 18.5f) << "about three cells walked";
    EXPECT_LT(player.x, 19.5f);
    EXPECT_NEAR(player.y, 15.5f, 1e-4f);
    QLH_MouseMove(370, 240); // 50 pixels right of the centre: a turn toward smaller angles
    QLH_Step(100);
    EXPECT_GT(player.angle, 340.0f);
    EXPECT_LT(player.angle, 359.0f);
    // The HUD's red lives figure stands centred above 0.92 H.
    int red = 0;
    for (int x = 300; x < 340; x++)
        for (int y = 400; y < 432; y++)
            red += At(x, y).r > 200 && At(x, y).g < 80;
    EXPECT_GT(red, 20);
    QLH_KeyTap(QL_KEY_ESCAPE);
    QLH_Step(1);
    Pixel before = At(40, 40);
    QLH_Step(30);
    Pixel after = At(40, 40);
    EXPECT_LT(after.r + after.g + after.b, before.r + before.g + before.b) << "the veil darkens";
    float angle = player.angle;
    QLH_KeyTap(QL_KEY_ESCAPE);
    QLH_Step(1);
    EXPECT_EQ(runState.paused, 0);
    EXPECT_NEAR(player.angle, angle, 1.0f);
}

} // namespace
