// The game-over screen: place messages, buttons, the letter wheels, and the file afterwards.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/frames.h"
#include "scores/high_scores.h"
#include "tests/support/headless_fixture.h"
#include "ui/front_end.h"
#include "ui/game_over.h"

namespace {

int32_t runScore = 0;
bool entered = false;
GameOverFigures shownFigures{75.0, 3, 20, 9, 2, 1, 190.0, 0.4, 5, 4};
void Update() {
    GameOverView view;
    view.entered = entered;
    view.figures = &shownFigures;
    ScreenRequest request = GameOver_Update(runScore, view);
    entered = entered || request == ScreenRequest::EnterName;
    App_Act(request);
}

TEST(GameOverText, PlaceMessagesAndWheelSteps) {
    char line[100];
    struct Case {
        int p;
        const char* text;
    } cases[] = {{0, "That puts you at the 1st place on the leaderboard! Please enter your name!"},
                 {1, "That puts you at the 2nd place on the leaderboard! Please enter your name!"},
                 {2, "That puts you at the 3rd place on the leaderboard! Please enter your name!"},
                 {4, "That puts you at the 5th place on the leaderboard! Please enter your name!"}};
    for (const Case& c : cases) {
        GameOver_PlaceMessage(c.p, line);
        EXPECT_STREQ(line, c.text);
    }
    EXPECT_EQ(GameOver_WheelStep(' ', -1), '~') << "^ on a space";
    EXPECT_EQ(GameOver_WheelStep('~', +1), ' ') << "v on ~";
    EXPECT_EQ(GameOver_WheelStep('A', -1), '@');
    EXPECT_EQ(GameOver_WheelStep('A', +1), 'B');
}

TEST(GameOverText, FiguresAgainstTheBestOfTheKeptRuns) {
    struct Case {
        const char* name;
        GameOverFigures f;
        std::vector<std::string> lines;
        std::vector<bool> beaten;
    } cases[] = {
        {"no run kept before",
         {75.5, 3, 20, 9, 2, 0, 0.0, -1.0, 0, 0},
         {"TIME 1:15", "KILLS 3", "ACCURACY 45 %", "STAGE 2"},
         {false, false, false, false}},
        {"against a best",
         {75.5, 3, 20, 9, 2, 4, 190.0, 0.38, 5, 4},
         {"TIME 1:15 (BEST 3:10)", "KILLS 3 (BEST 5)", "ACCURACY 45 % (BEST 38 %)",
          "STAGE 2 (BEST 4)"},
         {false, false, true, false}},
        {"no shot fired, nor before",
         {600.0, 0, 0, 0, 8, 1, 30.0, -1.0, 0, 1},
         {"TIME 10:00 (BEST 0:30)", "KILLS 0 (BEST 0)", "ACCURACY - (BEST -)", "STAGE 8 (BEST 1)"},
         {true, false, false, true}},
    };
    for (const Case& c : cases) {
        std::vector<GameOverFigureLine> lines = GameOver_FigureLines(c.f);
        ASSERT_EQ(lines.size(), c.lines.size()) << c.name;
        for (size_t k = 0; k < lines.size(); k++) {
            EXPECT_EQ(lines[k].text, c.lines[k]) << c.name;
            EXPECT_EQ(lines[k].beaten, c.beaten[k]) << c.name << ": " << c.lines[k];
        }
    }
}

class GameOverTest : public HeadlessTest {
  protected:
    // Tests run in parallel processes: each has its own leaderboard file.
    std::string path = std::string("game_over_test_scores_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    const float w = 800.0f, h = 600.0f;
    void SetUp() override {
        StartHeadless(800, 600, 0.01f);
        std::filesystem::remove(path);
        highScoresPath = path.c_str();
        HighScores_Load();
        nameLetters[0] = nameLetters[1] = nameLetters[2] = 'A';
        entered = false;
        RunEachFrame(Update);
    }
    void TearDown() override {
        std::filesystem::remove(path);
        highScoresPath = "./Assets/HighScores.txt";
        HeadlessTest::TearDown();
    }
    std::string File() {
        std::ifstream in(path); // text mode: CR LF line ends on Windows read as \n
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(GameOverTest, ScoreOfZeroGoesBackWithoutTouchingTheFile) {
    runScore = 0;
    std::string before = File();
    EXPECT_TRUE(NextFrameDraws("ACCURACY 45 % (BEST 40 %)")) << "no letters: the figures at once";
    ClickAt(0.5f * w, 0.2f * h); // nowhere near a button
    EXPECT_NE(QLH_CurrentUpdate(), Menu_Update);
    ClickAt(w / 2.0f, h / 1.2f);
    EXPECT_EQ(QLH_CurrentUpdate(), Menu_Update);
    EXPECT_EQ(File(), before);
}

TEST_F(GameOverTest, FirstPlaceSubmitsTheLettersChosen) {
    runScore = 4001;
    QLH_Step(1);
    float upY = 0.45f * h, downY = 0.6f * h;
    ClickAt(0.60f * w, downY); // middle: A -> B
    for (int i = 0; i < 2; i++)
        ClickAt(0.85f * w, downY); // right: A -> C
    ClickAt(0.35f * w, upY);       // left: A -> @
    ClickAt(0.35f * w, downY);     // and back to A
    EXPECT_EQ(std::string(nameLetters, 3), "ABC");
    EXPECT_FALSE(NextFrameDraws("KILLS 3 (BEST 5)")) << "the figures wait for the letters";
    ClickAt(w / 2.0f, h / 1.2f);
    std::string file = File();
    EXPECT_EQ(file.substr(0, 15), "ABC 0000004001\n");
    EXPECT_EQ(file.find("HDZ"), std::string::npos);
    // The letters in, the run's figures show, and the button leaves without a second entry.
    EXPECT_NE(QLH_CurrentUpdate(), Menu_Update);
    EXPECT_TRUE(NextFrameDraws("KILLS 3 (BEST 5)"));
    EXPECT_TRUE(NextFrameDraws("Back to Main"));
    ClickAt(w / 2.0f, h / 1.2f);
    EXPECT_EQ(QLH_CurrentUpdate(), Menu_Update);
    EXPECT_EQ(File(), file);
}

// The name entered with a pad alone: the pointer steered onto the wheels' buttons, A to click.
TEST_F(GameOverTest, APadAloneEntersTheName) {
    ASSERT_TRUE(QLH_PadConnect());
    runScore = 4001;
    QLH_Step(1);
    ASSERT_TRUE(PadClickAt(0.60f * w, 0.6f * h));  // middle: A -> B
    ASSERT_TRUE(PadClickAt(0.85f * w, 0.45f * h)); // right: A -> @
    EXPECT_EQ(std::string(nameLetters, 3), "AB@");
    ASSERT_TRUE(PadClickAt(w / 2.0f, h / 1.2f));
    EXPECT_EQ(File().substr(0, 15), "AB@ 0000004001\n");
}

TEST_F(GameOverTest, FifthPlaceShowsTheWheelsAndTheSubmitButton) {
    runScore = 750;
    QLH_ResetDrawStats();
    QLH_Step(1);
    QLH_DrawStats with = QLH_GetDrawStats();
    runScore = 0;
    QLH_ResetDrawStats();
    QLH_Step(1);
    QLH_DrawStats without = QLH_GetDrawStats();
    EXPECT_EQ(with.rects, 7) << "main button and six wheel buttons";
    EXPECT_EQ(without.rects, 1) << "only the main button";
    EXPECT_GT(with.texts, without.texts + 40);
    Pixel background = At(10, 10);
    EXPECT_EQ(background.r, 200);
    EXPECT_EQ(background.g, 100);
}

} // namespace
