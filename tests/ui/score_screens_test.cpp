// The high-score and credits screens: their keys, and the leaderboard's lines on screen.
#include <algorithm>
#include <cstring>
#include <string>

#include "app/app.h"
#include "scores/high_scores.h"
#include "tests/support/headless_fixture.h"
#include "ui/front_end.h"
#include "ui/score_screens.h"

namespace {

class ScoreScreensTest : public HeadlessTest {
  protected:
    void SetUp() override {
        StartHeadless(640, 480, 0.01f);
        App_Start();
        QLH_Step(1);
    }
    void Release(int key) {
        QLH_KeyTap(key);
        QLH_Step(1);
    }
};

TEST_F(ScoreScreensTest, OnlyTheirOwnKeyReturns) {
    frontEnd.menuScreen = kScreenHighScores;
    Release('C');
    EXPECT_EQ(frontEnd.menuScreen, kScreenHighScores);
    Release('H');
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle);
    frontEnd.menuScreen = kScreenCredits;
    Release('H');
    EXPECT_EQ(frontEnd.menuScreen, kScreenCredits);
    Release('C');
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle);
}

TEST_F(ScoreScreensTest, EightPlacesAndTheirRowsAreDrawn) {
    frontEnd.menuScreen = kScreenHighScores;
    QLH_ResetDrawStats();
    QLH_Step(1);
    EXPECT_EQ(QLH_GetDrawStats().texts, 20) << "ten lines, shadow and front";
    // The eighth line's light grey front (190) stands on 0.875 H = 420.
    int grey = 0;
    for (int y = 404; y < 416; y++)
        for (int x = 200; x < 440; x++) {
            Pixel p = At(x, y);
            grey += p.r >= 185 && p.r <= 195 && p.g == p.r && p.b == p.r;
        }
    EXPECT_GT(grey, 5);
}

// Lines are drawn as formats, where "%%" prints one '%': a tag must come out as it was entered.
TEST_F(ScoreScreensTest, TagsShowEveryPercentSign) {
    const char* tags[] = {"%%%", "a%b", "%d%"};
    for (int i = 0; i < 3; i++)
        std::memcpy(HighScoreTable[i].tag, tags[i], 4);
    frontEnd.menuScreen = kScreenHighScores;
    QLH_SetTextLog(true);
    QLH_Step(1);
    for (const char* tag : tags) {
        bool shown = false;
        for (const std::string& line : QLH_TextLog())
            shown |= line.find(std::string("    ") + tag + "    ") != std::string::npos;
        EXPECT_TRUE(shown) << "tag " << tag;
    }
    QLH_SetTextLog(false);
}

// An entry the disk refused is said on the leaderboard, until a save succeeds.
TEST_F(ScoreScreensTest, AnUnsavedEntryIsSaid) {
    frontEnd.menuScreen = kScreenHighScores;
    for (bool unsaved : {true, false}) {
        highScoresUnsaved = unsaved;
        QLH_SetTextLog(true);
        QLH_Step(1);
        bool said = false;
        for (const std::string& line : QLH_TextLog())
            said |= line == "THE LAST ENTRY COULD NOT BE SAVED";
        EXPECT_EQ(said, unsaved);
    }
    QLH_SetTextLog(false);
}

TEST_F(ScoreScreensTest, CreditsShowTheirLinesAndTheLogo) {
    frontEnd.menuScreen = kScreenCredits;
    QLH_ResetDrawStats();
    QLH_Step(1);
    QLH_DrawStats stats = QLH_GetDrawStats();
    EXPECT_EQ(stats.texts, 2 * 17);
    EXPECT_EQ(stats.images, 2);
}

} // namespace

namespace {
ScreenRequest scoreRequest = ScreenRequest::None;
void ScoresOnly() {
    scoreRequest = HighScoreScreen_Step();
}
bool HintShown() {
    for (const std::string& t : QLH_TextLog())
        if (t.find("WATCH A RUN") != std::string::npos) return true;
    return false;
}
} // namespace

// A place's number watches its recorded run; without recordings neither the hint nor the keys.
TEST_F(ScoreScreensTest, APlacesNumberWatchesItsRecording) {
    RunEachFrame(ScoresOnly);
    std::fill(highScoreRecorded, highScoreRecorded + kHighScoreCount, false);
    QLH_SetTextLog(true);
    Release('3');
    EXPECT_EQ(scoreRequest, ScreenRequest::None);
    EXPECT_FALSE(HintShown());
    highScoreRecorded[2] = true;
    Release('2');
    EXPECT_EQ(scoreRequest, ScreenRequest::None) << "place 2 has no recording";
    EXPECT_TRUE(HintShown());
    Release('3');
    EXPECT_EQ(scoreRequest, ScreenRequest::WatchRun);
    EXPECT_EQ(scoreRequest.place, 2) << "the request carries its place";
    highScoreRecorded[2] = false;
}
