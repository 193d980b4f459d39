// The game's leaderboard sending a placed run to a real world board: U, then the place's key,
// and the screen tells the run's way from SENDING to VERIFIED - OPEN BOARD #1 (a run played
// offline) while frames go on.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/frames.h"
#include "app/online.h"
#include "core/data_folder.h"
#include "net/player_identity.h"
#include "net/run_sender.h"
#include "runs/run_library.h"
#include "tests/server/server_process.h"
#include "tests/support/bot_run.h"
#include "ui/front_end_state.h"
#include "ui/score_screens.h"

namespace {

// Whether the last frame drew this line.
bool Drew(const std::string& text) {
    for (const std::string& line : QLH_TextLog())
        if (line == text) return true;
    return false;
}

// A world board started for the test, the player's own folder, and a leaderboard that any run of
// the bot's makes, even one that scores nothing (a run with a session plays the seed the board
// deals, and on some seeds the bot falls before its first point); the bot's seed given back and
// the engine stopped at the end.
class OnlineLeaderboard : public ::testing::Test {
  protected:
    std::string data, scores;
    std::unique_ptr<ServerProcess> server;
    std::unique_ptr<LeaderboardPathFor> guard;

    void SetUp() override {
        ResetTestDatabase();
        data = FreshFolder("online");
        scores = data + "/game/HighScores.txt";
        std::filesystem::create_directories(data + "/game");
        server = std::make_unique<ServerProcess>(std::vector<std::string>{"--workers", "1"},
                                                 data + "/board");
        ASSERT_GT(server->port(), 0);
        setenv("XDG_DATA_HOME", (data + "/home").c_str(), 1);
        guard = std::make_unique<LeaderboardPathFor>(scores);
        std::ofstream table(scores);
        for (int p = 0; p < kHighScoreCount; p++)
            table << "AAA -000000001\n";
    }
    void TearDown() override {
        QLH_SetTextLog(false);
        Online_Stop();
        QLH_Shutdown();
        QLH_ReleaseSeed(); // the bot's seed, which a later replay would otherwise take
        unsetenv("XDG_DATA_HOME");
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(server->port()); }
};

TEST_F(OnlineLeaderboard, APlacedRunIsSentFromItsPlaceAndItsVerdictShown) {
    ASSERT_TRUE(BotPlaysUntil(Autoplay_RunOver));
    int place = BotsPlace();
    ASSERT_LT(place, kHighScoreCount);
    Online_Start(Url());
    frontEnd.menuScreen = kScreenHighScores;
    QLH_SetTextLog(true);
    QLH_Step(1);
    EXPECT_TRUE(Drew("WATCH A RUN = ITS PLACE [1] - [8]    [U] SEND THIS RUN"));
    QLH_KeyTap('U');
    QLH_Step(2); // the key is read after the frame's lines are drawn
    EXPECT_TRUE(Drew("SEND WHICH RUN? ITS PLACE [1] - [8]"));
    QLH_KeyTap('1' + place);
    QLH_Step(2);
    EXPECT_EQ(frontEnd.menuScreen, kScreenHighScores) << "the place's key watched instead of sent";
    // Frames go on while the worker thread sends; the screen says where the run stands.
    for (int k = 0; k < 3000 && onlineView.sendStatus.rfind("VERIFIED", 0) != 0; k++) {
        QLH_Step(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    QLH_Step(1);
    EXPECT_EQ(onlineView.sendStatus, "VERIFIED - OPEN BOARD #1");
    EXPECT_TRUE(Drew("VERIFIED - OPEN BOARD #1"));

    // Offline, nothing is offered.
    Online_Start("");
    EXPECT_FALSE(onlineView.online);
    Online_Stop();
}

// On the game-over screen, U files the run with the name on the wheels and sends it; the screen
// then says where the run stands, and leaving it files nothing twice.
//
// The player takes part online (their identity is kept), so the run, started from the title, has
// a session, closed as it ended. The bot plays far faster than the clock, so the board cannot
// vouch for it under its session: the run goes again without one, and is ranked as such.
TEST_F(OnlineLeaderboard, TheRunJustOverIsSentFromTheGameOverScreen) {
    BoardPlayer me;
    std::string why;
    std::filesystem::create_directories(DataFolder_OwnFolder());
    ASSERT_TRUE(Identity_Load(DataFolder_OwnFolder(), "ZED", &me, &why)) << why;
    Online_Start(Url());
    ASSERT_TRUE(BotPlaysUntil(Autoplay_GameOverShown));
    for (int k = 0; k < 1000 && RunSender_SessionOf(Recorder_Path()).empty(); k++) {
        QLH_Step(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(RunSender_SessionOf(Recorder_Path()).empty()) << "the run's session not closed";
    nameLetters[0] = 'Z', nameLetters[1] = 'E', nameLetters[2] = 'D';
    QLH_SetTextLog(true);
    QLH_Step(1);
    EXPECT_TRUE(Drew("[U] SEND THIS RUN"));
    // Its session opened, but the bot plays faster than the clock: not a live run.
    EXPECT_TRUE(Drew("FOR THE RANKED BOARD")) << onlineView.runFor;
    QLH_KeyTap('U');
    for (int k = 0; k < 3000 && onlineView.sendStatus.rfind("VERIFIED", 0) != 0; k++) {
        QLH_Step(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    QLH_SetTextLog(false);
    QLH_SetTextLog(true);
    QLH_Step(1);
    EXPECT_TRUE(Drew("VERIFIED - OPEN BOARD #1")) << onlineView.sendStatus;
    EXPECT_FALSE(Drew("[U] SEND THIS RUN"));
    BoardQuery open;
    open.board = BoardTab::Open;
    BoardPage board = Board_Fetch(Url(), open);
    ASSERT_EQ(board.rows.size(), 1u) << board.error;
    EXPECT_EQ(board.rows[0].player, "ZED");
    EXPECT_EQ(board.rows[0].unranked, "sped-up play");
    EXPECT_STREQ(HighScoreTable[0].tag, "ZED");
    std::string filed = RunLibrary_ForPlace(0);
    EXPECT_FALSE(filed.empty());
    // The button now leaves, without a second entry.
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    QLH_MouseMove(w / 2.0f, h / 1.2f);
    QLH_MouseButton(true);
    QLH_Step(1);
    QLH_MouseButton(false);
    QLH_Step(2);
    EXPECT_EQ(QLH_CurrentUpdate(), Menu_Update);
    HighScores_Load();
    EXPECT_STRNE(HighScoreTable[1].tag, "ZED");
    EXPECT_EQ(RunLibrary_ForPlace(0), filed);
}

} // namespace
