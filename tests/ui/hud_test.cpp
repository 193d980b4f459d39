// The HUD: its lines in both passes, and the flashes' decay.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/settings.h"
#include "game/player.h"
#include "tests/support/headless_fixture.h"
#include "ui/hud.h"

namespace {

TEST(HudLines, WeaponSegmentLiesOverItsShadow) {
    char shadow[100], front[100];
    Hud_FormatWeaponShadow(shadow, 1, 12, 99);
    EXPECT_STREQ(shadow, "AUTO 01        SPRD 12        BOMB 99");
    const char* segments[3] = {"AUTO 01", "SPRD 12", "BOMB 99"};
    const int levels[3] = {1, 12, 99};
    for (int w = 0; w < 3; w++) {
        Hud_FormatWeaponFront(front, w, levels[w]);
        EXPECT_EQ(std::strlen(front), std::strlen(shadow)) << "weapon " << w;
        const char* at = std::strstr(shadow, segments[w]);
        ASSERT_NE(at, nullptr);
        EXPECT_EQ(std::strncmp(front + (at - shadow), segments[w], 7), 0) << "weapon " << w;
        for (size_t i = 0; i < std::strlen(front); i++) {
            bool inSegment = i >= (size_t)(at - shadow) && i < (size_t)(at - shadow) + 7;
            if (!inSegment) {
                EXPECT_EQ(front[i], ' ') << "weapon " << w << " column " << i;
            }
        }
    }
}

void Update() {
    QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
    QL_Settings_Stroke(QL_Color_Create(0, 255, 0, 255)); // as a block face may leave it
    Hud_Draw(HudView{player.score, player.nextLifeScore, std::max(player.score, player.bestScore),
                     player.lives, player.weapon, player.autoLevel, player.spreadLevel,
                     player.bombLevel, &whiteFlash, &hurtFlash});
}

class HudTest : public HeadlessTest {
  protected:
    QL_Font font = nullptr;
    void SetUp() override {
        StartHeadless(640, 480, 0.001f);
        font = QL_Font_Load(TestFontPath());
        QL_Font_Set(font);
        Player_ResetForRun(16, 15.5f, 0, 4000);
        RunEachFrame(Update);
    }
    void TearDown() override {
        QL_Font_Free(&font);
        HeadlessTest::TearDown();
    }
    // Columns of the score's row (y 10 to 29) holding a white pixel.
    int WhiteColumnsOfTheScore() {
        int columns = 0;
        for (int x = 0; x < 640; x++)
            for (int y = 10; y < 30; y++)
                if (At(x, y).r > 250 && At(x, y).g > 250 && At(x, y).b > 250) {
                    columns++;
                    break;
                }
        return columns;
    }
    // Whether any pixel of a row segment is (nearly) the colour.
    bool RowHas(int y, int x0, int x1, int r, int g, int b) {
        for (int x = x0; x < x1; x++) {
            Pixel p = At(x, y);
            if (std::abs(p.r - r) < 30 && std::abs(p.g - g) < 30 && std::abs(p.b - b) < 30)
                return true;
        }
        return false;
    }
};

TEST_F(HudTest, FlashHalvesInSixtyNineFramesAtAThousandPerSecond) {
    whiteFlash = 100.0f;
    hurtFlash = 100.0f;
    QLH_Step(69);
    EXPECT_NEAR(whiteFlash, 50.0f, 0.5f);
    EXPECT_NEAR(hurtFlash, 50.0f, 0.5f);
}

TEST_F(HudTest, ScoreShowsOnlyItsOwnDigitsInWhite) {
    QLH_Step(1);
    // Score 0: ten shadow zeros; only the last place is white. The score line spans the top.
    int whiteColumns = WhiteColumnsOfTheScore();
    EXPECT_GT(whiteColumns, 2);
    EXPECT_LT(whiteColumns, 16) << "one white digit";
    player.score = 2147483647;
    QLH_Step(1);
    int wide = WhiteColumnsOfTheScore();
    EXPECT_GT(wide, 6 * whiteColumns) << "ten white digits";
}

TEST_F(HudTest, SelectedWeaponIsHighlightedInItsColour) {
    int y = (int)(0.98f * 480 - 10) - 4; // just above the line's bottom
    QLH_Step(1);
    EXPECT_TRUE(RowHas(y, 200, 300, 255, 0, 255)) << "AUTO in magenta on the left";
    EXPECT_FALSE(RowHas(y, 300, 440, 0, 255, 255));
    player.weapon = 1;
    QLH_Step(1);
    EXPECT_TRUE(RowHas(y, 280, 360, 0, 255, 255)) << "SPREAD in cyan in the middle";
    EXPECT_FALSE(RowHas(y, 200, 280, 255, 0, 255));
}

TEST_F(HudTest, FlashesOfZeroChangeNothingAndRedCoversEverything) {
    QLH_Step(1);
    Pixel before = At(5, 240);
    QLH_Step(1);
    Pixel after = At(5, 240);
    EXPECT_EQ(before.r, after.r);
    hurtFlash = 1000.0f;
    QLH_Step(1);
    Pixel red = At(5, 240);
    EXPECT_NEAR(red.r, 200, 2);
    EXPECT_NEAR(red.g, 100, 2);
    for (Pixel edge : {At(0, 240), At(320, 0), At(639, 240), At(320, 479)})
        EXPECT_EQ(edge.g, red.g) << "the flash has no outline along the window's edge";
}

// A hit under each FLASHES setting: FULL covers the picture, SOFT covers it at a quarter, OFF
// leaves the middle as it was and reddens the edge instead; a shot's white flash alike.
TEST_F(HudTest, EachFlashesSettingDrawsAHitItsWay) {
    struct Case {
        int flashes;
        float* flash;
        Pixel middle, edge; // on black, red channel and green channel
        const char* what;
    } cases[] = {
        {kFlashesFull, &hurtFlash, {200, 100, 0, 255}, {200, 100, 0, 255}, "a hit, FULL"},
        {kFlashesSoft, &hurtFlash, {50, 25, 0, 255}, {50, 25, 0, 255}, "a hit, SOFT"},
        {kFlashesOff, &hurtFlash, {0, 0, 0, 255}, {230, 20, 0, 255}, "a hit, OFF"},
        {kFlashesSoft, &whiteFlash, {64, 64, 0, 255}, {64, 64, 0, 255}, "a shot, SOFT"},
        {kFlashesOff, &whiteFlash, {0, 0, 0, 255}, {0, 0, 0, 255}, "a shot, OFF"},
    };
    for (const Case& c : cases) {
        settings.flashes = c.flashes;
        whiteFlash = hurtFlash = 0.0f;
        *c.flash = 1000.0f;
        QLH_Step(1);
        Pixel middle = At(320, 240), edge = At(3, 240);
        EXPECT_NEAR(middle.r, c.middle.r, 3) << c.what;
        EXPECT_NEAR(middle.g, c.middle.g, 3) << c.what;
        EXPECT_NEAR(edge.r, c.edge.r, 3) << c.what;
        EXPECT_NEAR(edge.g, c.edge.g, 3) << c.what;
    }
}

} // namespace
