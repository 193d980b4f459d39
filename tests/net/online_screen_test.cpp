// The online screen against a real world board: a board of twenty runs paged with the keys, the
// mouse and a pad, the player's own best lit, a row's run fetched and watched to its proven end
// and back, and what a board should never send refused with nothing kept.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "app/frames.h"
#include "app/online.h"
#include "app/online_board.h"
#include "app/replay_state.h"
#include "core/data_folder.h"
#include "core/sha256.h"
#include "game/player.h"
#include "net/player_identity.h"
#include "net/run_sender.h"
#include "runs/run_file.h"
#include "runs/run_library.h"
#include "runs/run_recorder.h"
#include "tests/server/server_process.h"
#include "tests/support/bot_run.h"
#include "ui/front_end_state.h"
#include "ui/key_labels.h"
#include "ui/online_screen.h"

namespace {

const int kRuns = 20;

class OnlineScreen : public HeadlessTest {
  protected:
    std::string data, scoresPath;
    std::unique_ptr<LeaderboardPathFor> scores;

    void SetUp() override {
        ResetTestDatabase();
        data = FreshFolder("online-screen");
        std::filesystem::create_directories(data + "/game");
        setenv("XDG_DATA_HOME", (data + "/home").c_str(), 1);
        scoresPath = data + "/game/HighScores.txt";
        scores = std::make_unique<LeaderboardPathFor>(scoresPath);
        StartHeadless(320, 240, 0.05f);
        Recorder_RecordTo(""); // runs filed in Runs/, as the game does
        App_Start();
        QLH_Step(1); // the front end starts at its splash screens
    }
    void TearDown() override {
        Online_Stop();
        HeadlessTest::TearDown();
        unsetenv("XDG_DATA_HOME");
    }

    // Opens the online screen on server and steps frames (bounded) until its page is in.
    void Open(const std::string& server) {
        Online_Start(server);
        frontEnd.menuScreen = kScreenOnline;
        QLH_Step(1);
        WaitForPage();
    }
    // Frames go on while the board is read.
    static void WaitForPage() {
        for (int k = 0; k < 1000 && onlineView.loading; k++) {
            QLH_Step(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        QLH_Step(1);
    }
    static std::vector<int64_t> Ranks() {
        std::vector<int64_t> ranks;
        for (const BoardRow& r : onlineView.rows)
            ranks.push_back(r.rank);
        return ranks;
    }
    static std::vector<int64_t> RanksFrom(int64_t first, int count) {
        std::vector<int64_t> ranks;
        for (int k = 0; k < count; k++)
            ranks.push_back(first + k);
        return ranks;
    }
};

// The player on this machine, named ME on the board.
BoardPlayer Me() {
    BoardPlayer me;
    std::string why;
    std::filesystem::create_directories(DataFolder_OwnFolder());
    EXPECT_TRUE(Identity_Load(DataFolder_OwnFolder(), "ME", &me, &why)) << why;
    return me;
}

// Twenty players' runs verified on the board, each played live on its session's seed, and one
// sent without a session (on the open board); the player on this machine's is the eighth.
void FillBoard(const std::string& server, const std::string& folder) {
    BoardPlayer me = Me();
    for (int k = 0; k < kRuns; k++) {
        BoardPlayer p = k == 7 ? me : BoardPlayer{"P" + std::to_string(k), Identity_NewKey()};
        BoardSession s = Board_OpenSession(server, false, p.key);
        ASSERT_TRUE(s.answered) << s.error;
        std::string run = TinyRun(folder, s.seed);
        ASSERT_EQ(Board_EndSession(server, s.token, p.key, Sha256_Of(run.data(), run.size())), "");
        BoardVerdict v = Board_SendAndWait(server, run, p, 60, s.token);
        ASSERT_EQ(v.status, "verified") << k << ": " << v.error << v.reason;
        ASSERT_EQ(v.board, "ranked") << k;
    }
    BoardPlayer offline{"OFFLINE", Identity_NewKey()};
    BoardVerdict open = Board_SendAndWait(server, TinyRun(folder, 99), offline, 60);
    ASSERT_EQ(open.board, "open") << open.error << open.reason;
}

bool Drew(const std::string& text) {
    for (const std::string& line : QLH_TextLog())
        if (line == text) return true;
    return false;
}

TEST_F(OnlineScreen, ABoardOfTwentyPagesAndARowsRunIsWatchedToItsEndAndBack) {
    ServerProcess server({"--workers", "2", "--uploads-a-minute", "100"}, data + "/board");
    ASSERT_GT(server.port(), 0);
    std::string url = "http://127.0.0.1:" + std::to_string(server.port());
    FillBoard(url, data);
    QLH_SetTextLog(true);
    Online_Start(url);
    frontEnd.menuScreen = kScreenOnline;
    QLH_Step(2);
    WaitForPage();
    EXPECT_EQ(Ranks(), RanksFrom(1, 8));
    EXPECT_TRUE(Drew("ALL TIME    [T] TODAY    [D] DAILY RUN"));
    EXPECT_EQ(onlineView.rows.size(), 8u);
    EXPECT_TRUE(Drew("PAGE 1    [N] NEXT    [M] AROUND ME    [V] WATCH RIVAL"))
        << "the player's row is the page's last: the row above is the rival";
    std::set<int64_t> mine;
    // Paged with the arrow, the N key's label clicked, and a pad's shoulder: each page in order.
    auto page = [&](int first, int count) {
        QLH_Step(2); // a key is read on the frame after its tap
        WaitForPage();
        EXPECT_EQ(Ranks(), RanksFrom(first, count));
        for (const BoardRow& r : onlineView.rows)
            if (r.mine) {
                mine.insert(r.rank);
                EXPECT_EQ(r.player, "ME");
            }
    };
    page(1, 8);
    QLH_KeyTap(QL_KEY_RIGHT);
    page(9, 8);
    float x = 0, y = 0;
    ASSERT_TRUE(KeyLabels_Find('N', &x, &y));
    ClickAt(x, y);
    page(17, 4);
    EXPECT_TRUE(onlineView.lastPage);
    EXPECT_TRUE(Drew("[P] PREVIOUS    PAGE 3    [M] AROUND ME"));
    QLH_KeyTap(QL_KEY_RIGHT); // nothing beyond the last page
    QLH_Step(2);
    EXPECT_EQ(onlineView.page, 2);
    ASSERT_TRUE(QLH_PadConnect());
    QLH_Step(1);
    QLH_PadButton(QL_PAD_LEFTSHOULDER, true);
    QLH_Step(1);
    QLH_PadButton(QL_PAD_LEFTSHOULDER, false);
    page(9, 8);
    QLH_PadDisconnect();
    QLH_KeyTap('P');
    page(1, 8);
    EXPECT_EQ(mine.size(), 1u) << "the player's own best is lit, and only it";

    // M: the eight rows around the player's own place (the eighth), theirs the fifth; the row
    // above is the rival, and V watches its run.
    QLH_KeyTap('M');
    page(4, 8);
    EXPECT_TRUE(onlineView.aroundMe);
    ASSERT_TRUE(onlineView.rows[4].mine);
    EXPECT_TRUE(Drew("AROUND YOU    [N] NEXT    [M] TOP    [V] WATCH RIVAL"));
    int64_t rival = onlineView.rows[3].id;
    QLH_KeyTap('V');
    bool watching = false;
    for (int k = 0; k < 5000 && !watching; k++) {
        watching = QLH_CurrentUpdate() == Frames_Replay;
        QLH_Step(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(watching) << onlineView.watchStatus;
    EXPECT_TRUE(std::filesystem::is_regular_file(OnlineBoard_RunsFolder() + "/run-" +
                                                 std::to_string(rival) + ".zrun"))
        << "V fetched the rival's run";
    QLH_KeyTap(QL_KEY_ESCAPE);
    QLH_Step(3);
    EXPECT_EQ(frontEnd.menuScreen, kScreenOnline);
    page(4, 8); // back around the player's place
    QLH_KeyTap('M');
    page(1, 8);

    // Row 3's run is fetched, kept, watched to its proven end, and the screen comes back.
    int64_t id = onlineView.rows[2].id;
    QLH_KeyTap('3');
    bool watched = false;
    for (int k = 0; k < 20000 && !(watched && QLH_CurrentUpdate() == Menu_Update); k++) {
        watched = watched || QLH_CurrentUpdate() == Frames_Replay;
        QLH_Step(1);
        if (!watched) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(watched) << onlineView.watchStatus;
    EXPECT_TRUE(Replay_Result().over);
    EXPECT_FALSE(Replay_Result().strayed);
    EXPECT_FALSE(Replay_Result().damaged);
    QLH_Step(2);
    EXPECT_EQ(frontEnd.menuScreen, kScreenOnline);
    EXPECT_TRUE(std::filesystem::is_regular_file(OnlineBoard_RunsFolder() + "/run-" +
                                                 std::to_string(id) + ".zrun"));
    WaitForPage();
    EXPECT_EQ(Ranks(), RanksFrom(1, 8));

    // Today's board holds only runs of today's sessions: none of these.
    QLH_KeyTap('T');
    QLH_Step(2);
    WaitForPage();
    EXPECT_EQ(onlineView.board, BoardTab::Today);
    EXPECT_TRUE(onlineView.rows.empty());
    EXPECT_TRUE(Drew("NO RUNS ON THIS BOARD YET"));
    // The open board holds the run sent without a session, saying why it is not ranked.
    QLH_KeyTap('T');
    QLH_Step(2);
    WaitForPage();
    EXPECT_EQ(onlineView.board, BoardTab::Open);
    ASSERT_EQ(onlineView.rows.size(), 1u);
    EXPECT_EQ(onlineView.rows[0].player, "OFFLINE");
    EXPECT_NE(OnlineScreen_RowText(0, onlineView.rows[0]).find("NO SESSION"), std::string::npos);
    EXPECT_TRUE(Drew("OPEN (NOT RANKED)    [T] ALL TIME    [D] DAILY RUN"));
    QLH_SetTextLog(false);
}

// Today's run from the online screen: its session opens first and gives the day's seed, the run is
// played (in real time: the board holds its game time to the clock), its session closes as it
// ends, and, sent from the game-over screen, it lands on today's board.
TEST_F(OnlineScreen, TodaysRunIsPlayedWithTheDaysSeedAndLandsOnTodaysBoard) {
    ServerProcess server({"--workers", "1"}, data + "/board");
    ASSERT_GT(server.port(), 0);
    Me(); // today's run is played with the player's key
    Open("http://127.0.0.1:" + std::to_string(server.port()));
    QLH_KeyTap('D');
    for (int k = 0; k < 1000 && QLH_CurrentUpdate() != Game_Update; k++) {
        QLH_Step(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(QLH_CurrentUpdate(), Game_Update) << onlineView.watchStatus;
    // Left alone, the player falls to the enemies: within a minute of play for most seeds, but
    // the day's seed comes from the board's own secret, and a few seeds take two minutes or more.
    auto start = std::chrono::steady_clock::now();
    for (int f = 1; f < 6000 && player.lives >= 1; f++) {
        QLH_Step(1);
        std::this_thread::sleep_until(start + std::chrono::milliseconds(50 * f));
    }
    ASSERT_LT(player.lives, 1);
    QLH_Step(1);
    for (int k = 0; k < 1000 && RunSender_SessionOf(Recorder_Path()).empty(); k++) {
        QLH_Step(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(RunSender_SessionOf(Recorder_Path()).empty()) << "the session was not closed";
    QLH_KeyTap('U');
    for (int k = 0; k < 3000 && onlineView.sendStatus.rfind("VERIFIED", 0) != 0; k++) {
        QLH_Step(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(onlineView.sendStatus, "VERIFIED - TODAY #1");
    httplib::Client board("127.0.0.1", server.port());
    auto daily = board.Get("/api/v1/daily");
    auto today = board.Get("/api/v1/leaderboard?board=today");
    ASSERT_TRUE(daily && today);
    RunReader reader;
    std::string why;
    ASSERT_TRUE(RunReader_Open(&reader, Recorder_Path(), &why)) << why;
    EXPECT_EQ(nlohmann::json::parse(daily->body)["seed"], reader.header.seed);
    nlohmann::json rows = nlohmann::json::parse(today->body)["runs"];
    ASSERT_EQ(rows.size(), 1u) << today->body;
    EXPECT_EQ(rows[0]["session"], true);
}

// A run from the title opens its session with the player's key first and plays the seed it gives;
// when the board does not answer within a moment, the run starts offline on a seed of its own,
// for the open board, without waiting for the board.
TEST_F(OnlineScreen, ARunFromTheTitlePlaysItsSessionsSeedOrStartsOfflineAtOnce) {
    std::mutex mutex;
    std::condition_variable wake;
    bool holding = false, released = false;
    std::vector<std::string> keys;
    httplib::Server board;
    board.Post("/api/v1/sessions", [&](const httplib::Request& req, httplib::Response& r) {
        std::unique_lock<std::mutex> lock(mutex);
        if (holding) wake.wait_for(lock, std::chrono::seconds(10), [&] { return released; });
        keys.push_back(req.get_header_value("X-Zorb-Key"));
        r.status = 201;
        r.set_content(R"({"token": "ab.cd", "seed": 4242})", "application/json");
    });
    int port = board.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { board.listen_after_bind(); });
    BoardPlayer me = Me();
    Online_Start("http://127.0.0.1:" + std::to_string(port));
    auto startRun = [&] {
        App_Act(ScreenRequest::ToMenu);
        QLH_Step(1);
        frontEnd.menuScreen = kScreenTitle;
        QLH_KeyTap('E');
        for (int k = 0; k < 2000 && QLH_CurrentUpdate() != Game_Update; k++) {
            QLH_Step(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return QLH_CurrentUpdate() == Game_Update;
    };
    ASSERT_TRUE(startRun());
    EXPECT_EQ(QL_Random_GetSeed(), 4242u);
    EXPECT_EQ(onlineView.runFor, "FOR THE RANKED BOARD");
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(keys, std::vector<std::string>{me.key});
        holding = true;
    }
    ASSERT_TRUE(startRun());
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(keys.size(), 1u) << "the run waited for the board";
        released = true;
    }
    wake.notify_all();
    EXPECT_NE(QL_Random_GetSeed(), 4242u);
    EXPECT_EQ(onlineView.runFor, "FOR THE OPEN BOARD: PLAYED OFFLINE");
    Online_Stop();
    board.stop();
    serving.join();
}

// A board that takes ten seconds to answer anything: every frame goes on meanwhile, with the
// send and the page both waiting on it. The frames' times are printed beside those before.
TEST_F(OnlineScreen, ASlowBoardHoldsUpNoFrame) {
    std::mutex mutex;
    std::condition_variable wake;
    bool released = false;
    std::atomic<int> answered{0};
    auto hold = [&](httplib::Response& r) {
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait_for(lock, std::chrono::seconds(10), [&] { return released; });
        r.status = 503;
        r.set_content("{\"error\": \"busy\"}", "application/json");
        answered++;
    };
    httplib::Server slow;
    slow.Get(".*", [&](const httplib::Request&, httplib::Response& r) { hold(r); });
    slow.Post(".*", [&](const httplib::Request&, httplib::Response& r) { hold(r); });
    int port = slow.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { slow.listen_after_bind(); });
    std::string run = data + "/run.zrun";
    std::filesystem::copy_file(ZORB_SOURCE_DIR "/tests/runs/autoplay.zrun", run);
    // Frames of a player's size, drawn whole.
    QLH_Shutdown();
    StartHeadless(1280, 720, 0.05f);
    App_Start();
    QLH_Step(1);
    Online_Start("http://127.0.0.1:" + std::to_string(port));
    frontEnd.menuScreen = kScreenTitle;
    auto frames = [](int n, double* longest) {
        double total = 0;
        for (int k = 0; k < n; k++) {
            auto t0 = std::chrono::steady_clock::now();
            QLH_Step(1);
            double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count();
            total += ms;
            *longest = std::max(*longest, ms);
        }
        return total / n;
    };
    double longestBefore = 0, longestDuring = 0;
    double before = frames(200, &longestBefore);
    Online_SendLast(run, "ABC");
    frontEnd.menuScreen = kScreenOnline;
    QLH_SetTextLog(true);
    double during = frames(200, &longestDuring);
    EXPECT_EQ(answered, 0) << "the frames waited for the board's answers";
    EXPECT_TRUE(onlineView.loading);
    EXPECT_TRUE(Drew("LOADING")); // the page the board holds back
    QLH_SetTextLog(false);
    EXPECT_EQ(onlineView.sendStatus, "SENDING");
    std::printf("1280x720 frames before the send: mean %.2f ms, longest %.2f ms; while sending "
                "and loading: mean %.2f ms, longest %.2f ms (%.2fx the longest before)\n",
                before, longestBefore, during, longestDuring, longestDuring / longestBefore);
    {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
    }
    wake.notify_all();
    Online_Stop();
    slow.stop();
    serving.join();
}

// A refused connection is said as soon as the read gives up, while frames go on (no wall clock is
// held to: the machine may be busy).
TEST_F(OnlineScreen, AServerThatIsGoneIsSaid) {
    Open("http://127.0.0.1:1");
    EXPECT_FALSE(onlineView.loading);
    EXPECT_EQ(onlineView.problem, "NO BOARD: THE SERVER CANNOT BE REACHED");
    // The player's name on the board is typed here and kept, the board reached or not; a name the
    // board would refuse is not taken.
    auto type = [](const std::string& keys) {
        for (char c : keys) {
            QLH_KeyTap((unsigned char)c);
            QLH_Step(1);
        }
        QLH_Step(1);
    };
    type("R");
    type("ACE 9X\b\r");
    for (int k = 0; k < 500 && onlineView.playerName != "ACE 9"; k++) // the board is asked first
        QLH_Step(1);
    EXPECT_EQ(onlineView.playerName, "ACE 9");
    BoardPlayer kept;
    std::string why;
    ASSERT_TRUE(Identity_Load(DataFolder_OwnFolder(), "", &kept, &why)) << why;
    EXPECT_EQ(kept.name, "ACE 9");
    type("R");
    type("\b\b\b\b\b\r"); // empty: not taken, and the typing goes on
    QLH_KeyTap(QL_KEY_ESCAPE);
    QLH_Step(2);
    type("O");
    EXPECT_EQ(onlineView.playerName, "ACE 9");
    EXPECT_EQ(frontEnd.menuScreen, kScreenTitle) << "O typed into the name after Escape";
}

// A name is asked of the board: one another player holds is said to be taken, and the player
// keeps the name they had; one that is free becomes theirs there and here.
TEST_F(OnlineScreen, ANameAnotherPlayerHoldsIsSaidTakenAndTheOldOneKept) {
    ServerProcess server({"--workers", "0"}, data + "/board");
    ASSERT_GT(server.port(), 0);
    httplib::Client other("127.0.0.1", server.port());
    auto held = other.Post("/api/v1/names", {{"X-Zorb-Key", std::string(32, 'e')}},
                           "{\"name\": \"Ace\"}", "application/json");
    ASSERT_TRUE(held);
    ASSERT_EQ(held->status, 200);
    Open("http://127.0.0.1:" + std::to_string(server.port()));
    auto rename = [](const std::string& name) {
        for (char c : "R" + std::string(16, '\b') + name + "\r") { // the old name rubbed out
            QLH_KeyTap((unsigned char)c);
            QLH_Step(1);
        }
        for (int k = 0; k < 500 && onlineView.watchStatus.rfind("ASKING", 0) == 0; k++) {
            QLH_Step(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    rename("BOB");
    EXPECT_EQ(onlineView.playerName, "BOB");
    rename("ACE");
    EXPECT_EQ(onlineView.watchStatus, "TAKEN: ACE IS ANOTHER PLAYER'S");
    EXPECT_EQ(onlineView.playerName, "BOB");
    BoardPlayer kept;
    std::string why;
    ASSERT_TRUE(Identity_Load(DataFolder_OwnFolder(), "", &kept, &why)) << why;
    EXPECT_EQ(kept.name, "BOB");
    Online_Stop();
}

// A board that lists runs it then sends wrong: bytes that are no recording, and a recording of
// another simulation version. Neither is kept nor played.
TEST_F(OnlineScreen, ARunThatIsNoPlayableRecordingIsRefusedAndNotKept) {
    std::ifstream in(ZORB_SOURCE_DIR "/tests/runs/autoplay.zrun", std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    std::string otherVersion = read.str();
    std::string damaged = read.str();
    for (size_t k = 200; k < damaged.size(); k += 7) // a whole header, the frames changed
        damaged[k] = (char)(damaged[k] ^ 0x21);
    otherVersion[10] = (char)(otherVersion[10] + 1); // the simulation version, after the magic
    httplib::Server board;
    board.Get("/api/v1/leaderboard", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"({"runs": [{"rank": 1, "id": 1, "player": "A", "score": 5},
                                   {"rank": 2, "id": 2, "player": "B", "score": 4},
                                   {"rank": 3, "id": 3, "player": "C", "score": 3}]})",
                      "application/json");
    });
    board.Get(R"(/api/v1/runs/(\d+)/file)", [&](const httplib::Request& q, httplib::Response& r) {
        std::string id = q.matches[1];
        r.set_content(id == "1"   ? std::string(4096, 'x')
                      : id == "2" ? otherVersion
                                  : damaged,
                      "application/octet-stream");
    });
    int port = board.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { board.listen_after_bind(); });
    struct Stop {
        httplib::Server& board;
        std::thread& serving;
        ~Stop() {
            board.stop();
            serving.join();
        }
    } stop{board, serving};
    Open("http://127.0.0.1:" + std::to_string(port));
    ASSERT_EQ(onlineView.rows.size(), 3u);
    // The third is a recording whose frames were changed on the way: it plays, but not as
    // recorded, and is found out before it is shown.
    const char* says[] = {"NOT A RECORDED RUN OF ZORB", "ANOTHER VERSION OF THE GAME",
                          "; IT WAS DELETED"};
    QLH_SetTextLog(true);
    for (int row = 0; row < 3; row++) {
        QLH_KeyTap('1' + row);
        QLH_Step(2);
        for (int k = 0; k < 1000 && onlineView.watchStatus.rfind("CANNOT", 0) != 0; k++) {
            QLH_Step(1);
            EXPECT_FALSE(Drew("REPLAY - 1X")) << "shown before it was proven";
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_NE(onlineView.watchStatus.find(says[row]), std::string::npos)
            << onlineView.watchStatus;
        EXPECT_EQ(QLH_CurrentUpdate(), Menu_Update);
    }
    std::string kept = OnlineBoard_RunsFolder();
    EXPECT_TRUE(!std::filesystem::exists(kept) || std::filesystem::is_empty(kept));
}

} // namespace
