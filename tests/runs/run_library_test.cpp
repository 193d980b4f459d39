// The folder of recordings: the newest 20 and the leaderboard's runs stay, the index follows the
// leaderboard, and each place finds its own run, equal entries included.
#include "runs/run_library.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "runs/run_file.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

namespace {

class RunLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Each test its own folder: ctest runs them side by side.
        dir = fs::path(::testing::TempDir()) /
              ("run_library_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        leaderboard = (dir / "HighScores.txt").string();
        highScoresPath = leaderboard.c_str();
        for (int p = 0; p < kHighScoreCount; p++)
            SetPlace(p, "AAA", 1000 - 100 * p);
    }
    void TearDown() override {
        highScoresPath = "./Assets/HighScores.txt";
        fs::remove_all(dir);
    }
    static void SetPlace(int p, const char* tag, int score) {
        std::memcpy(HighScoreTable[p].tag, tag, 4);
        HighScoreTable[p].score = score;
    }
    // A recording made at minute n of the day (names sort as they were played).
    std::string Made(int n, const char* ending = ".zrun") {
        char name[64];
        std::snprintf(name, sizeof name, "run-20261208-10%02d00%s", n, ending);
        fs::create_directories(RunLibrary_Folder());
        std::string path = RunLibrary_Folder() + name;
        std::ofstream(path) << "x";
        return path;
    }
    fs::path dir;
    std::string leaderboard;
};

} // namespace

// Asking where the runs go (zorb --help does) makes no folder; starting a recording does.
TEST_F(RunLibraryTest, OnlyARecordingMakesTheFolder) {
    std::string folder = RunLibrary_Folder();
    EXPECT_FALSE(fs::exists(folder));
    std::string path = RunLibrary_NewPath();
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(path.rfind(folder, 0), 0u) << path;
}

TEST_F(RunLibraryTest, KeepsTheNewestAndTheLeaderboardsRuns) {
    std::string best = Made(0); // the oldest, but on the leaderboard
    SetPlace(0, "HDZ", 5000);
    RunLibrary_Keep(best, "HDZ", 5000);
    for (int n = 1; n <= 24; n++)
        RunLibrary_Keep(Made(n, n == 24 ? ".zrun.part" : ".zrun"), nullptr, 10);
    EXPECT_TRUE(fs::exists(best));
    EXPECT_EQ(RunLibrary_ForPlace(0), best);
    EXPECT_EQ(RunLibrary_ForPlace(1), "");
    int left = 0;
    for (const auto& e : fs::directory_iterator(RunLibrary_Folder()))
        left += e.path().filename().string().rfind("run-", 0) == 0;
    EXPECT_EQ(left, 21) << "the newest 20 (a cut-short one among them) and the best";
    EXPECT_FALSE(fs::exists(RunLibrary_Folder() + "run-20261208-100100.zrun"));
    // Pushed off the leaderboard, the best run is an old run like any other.
    SetPlace(0, "ZZZ", 9000);
    RunLibrary_Keep(Made(25), nullptr, 10);
    EXPECT_FALSE(fs::exists(best));
    EXPECT_EQ(RunLibrary_ForPlace(0), "");
}

// Each run's figures stay beside its recording and go with it; the best of the kept runs is read
// from them, the run just played left out, and a figures file without its recording or damaged
// counted for nothing.
TEST_F(RunLibraryTest, FiguresGoWithTheirRecordings) {
    auto keep = [&](int n, double seconds, int64_t kills, int64_t shots, int64_t hits) {
        std::string path = Made(n);
        RunLibrary_KeepFigures(path, RunFigures{seconds, 100 * n, 1 + n % 3, kills, shots, hits});
        RunLibrary_Keep(path, nullptr, 10);
        return path;
    };
    keep(0, 50.0, 9, 40, 10);                   // 25 %
    keep(1, 90.0, 3, 0, 0);                     // never fired
    std::string last = keep(2, 20.0, 4, 10, 5); // 50 %: the run just played
    std::ofstream(RunLibrary_Folder() + "run-20261208-109900.zrun.figures") << "score = 99999\n";
    std::ofstream(Made(3) + ".figures") << "kills = 50\n"; // no score line: not figures
    BestFigures best = RunFigures_Best(RunLibrary_KeptFigures(last));
    EXPECT_EQ(best.runs, 2);
    EXPECT_DOUBLE_EQ(best.seconds, 90.0);
    EXPECT_EQ(best.kills, 9);
    EXPECT_EQ(best.score, 100);
    EXPECT_DOUBLE_EQ(best.accuracy, 0.25) << "of the runs that fired, the run just played left out";
    EXPECT_EQ(RunFigures_Best(RunLibrary_KeptFigures("")).runs, 3);
    for (int n = 4; n <= 24; n++)
        RunLibrary_Keep(Made(n), nullptr, 10);
    EXPECT_FALSE(fs::exists(RunLibrary_Folder() + "run-20261208-100000.zrun.figures"))
        << "a recording let go takes its figures along";
    EXPECT_TRUE(RunLibrary_KeptFigures("").size() <= 2u);
}

TEST(RunFigures, TextRoundTripsAndDamagedLinesArePassedOver) {
    RunFigures f{128.929, 342, 3, 11, 154, 61}, back;
    ASSERT_TRUE(RunFigures_Parse(RunFigures_Text(f), &back));
    EXPECT_NEAR(back.seconds, f.seconds, 1e-3);
    EXPECT_EQ(back.score, f.score);
    EXPECT_EQ(back.stage, f.stage);
    EXPECT_EQ(back.kills, f.kills);
    EXPECT_EQ(back.shots, f.shots);
    EXPECT_EQ(back.hits, f.hits);
    ASSERT_TRUE(RunFigures_Parse("score = 5\r\nkills = -3\nshots = x\nseconds = 1e999\n"
                                 "stage = 2\nhits = 7\nwho = me\n",
                                 &back));
    EXPECT_EQ(back.score, 5) << "a line ended by Windows";
    EXPECT_EQ(back.kills, 0);
    EXPECT_EQ(back.shots, 0);
    EXPECT_EQ(back.seconds, 0.0);
    EXPECT_EQ(back.stage, 2);
    EXPECT_DOUBLE_EQ(RunFigures_Accuracy(back), -1.0) << "no shot, no accuracy";
    EXPECT_FALSE(RunFigures_Parse("", &back));
    EXPECT_FALSE(RunFigures_Parse("\x89PNG\r\n", &back));
}

// Two equal entries: the older run holds the higher place, as the leaderboard keeps it.
TEST_F(RunLibraryTest, EqualEntriesFindTheirOwnRuns) {
    SetPlace(2, "BOT", 300);
    std::string first = Made(1);
    RunLibrary_Keep(first, "BOT", 300);
    SetPlace(3, "BOT", 300);
    std::string second = Made(2);
    RunLibrary_Keep(second, "BOT", 300);
    EXPECT_EQ(RunLibrary_ForPlace(2), first);
    EXPECT_EQ(RunLibrary_ForPlace(3), second);
    fs::remove(second);
    EXPECT_EQ(RunLibrary_ForPlace(3), "") << "a recording removed by hand is not offered";
}

// A tag with a space in it ("A B", as the name wheel allows) keeps its run through the index, in
// an index written before (here with Windows' line ends) as well as one written now.
TEST_F(RunLibraryTest, TagsWithSpacesKeepTheirRuns) {
    std::string spaced = Made(0);
    SetPlace(0, "A B", 5000);
    SetPlace(1, " Z ", 4000);
    std::ofstream(RunLibrary_Folder() + "index.txt", std::ios::binary)
        << "5000 A B " << fs::path(spaced).filename().string() << "\r\n";
    EXPECT_EQ(RunLibrary_ForPlace(0), spaced) << "a line of an index already written (CR LF)";
    std::string padded = Made(1);
    RunLibrary_Keep(padded, " Z ", 4000);
    for (int n = 2; n <= 24; n++)
        RunLibrary_Keep(Made(n), nullptr, 10);
    EXPECT_EQ(RunLibrary_ForPlace(0), spaced);
    EXPECT_EQ(RunLibrary_ForPlace(1), padded);
    EXPECT_TRUE(fs::exists(spaced) && fs::exists(padded)) << "pruned while still placed";
}

// Another game placed a run while this one played: this one's leaderboard in memory is stale,
// but the file says otherwise, and the other game's run stays.
TEST_F(RunLibraryTest, AnotherGamesPlacedRunIsNotPruned) {
    std::string theirs = Made(0);
    HighScoreEntry board[kHighScoreCount];
    std::memcpy(board, HighScoreTable, sizeof board);
    std::memcpy(board[0].tag, "BBB", 4);
    board[0].score = 9000;
    char text[512];
    size_t length = 0;
    HighScores_Format(board, text, sizeof text, &length);
    std::ofstream(leaderboard, std::ios::binary).write(text, (std::streamsize)length);
    std::ofstream(RunLibrary_Folder() + "index.txt")
        << "9000 BBB " << fs::path(theirs).filename().string() << "\n";
    for (int n = 1; n <= 22; n++)
        RunLibrary_Keep(Made(n), nullptr, 10); // this game's runs, none placed
    EXPECT_TRUE(fs::exists(theirs)) << "the other game's placed run was deleted";
    SetPlace(0, "BBB", 9000);
    EXPECT_EQ(RunLibrary_ForPlace(0), theirs) << "its line left the index";
}

// Links planted where the next recordings' part files would go (this second and the next few),
// pointing nowhere yet: a new recording takes another name and makes nothing through them.
TEST_F(RunLibraryTest, PlantedPartLinksAreNotWrittenThrough) {
    fs::create_directories(RunLibrary_Folder());
    fs::path victim = dir / "made-through-a-link.txt";
    std::time_t now = std::time(nullptr);
    for (int s = 0; s < 5; s++) {
        std::time_t t = now + s;
        char name[64];
        std::strftime(name, sizeof name, "run-%Y%m%d-%H%M%S.zrun.part", std::gmtime(&t));
        std::error_code ec;
        fs::create_symlink(victim, RunLibrary_Folder() + name, ec);
        if (ec) GTEST_SKIP() << "this account may not make symbolic links: " << ec.message();
    }
    std::string path = RunLibrary_NewPath();
    RunWriter w;
    ASSERT_TRUE(RunWriter_Open(&w, path, RunHeader())) << w.out.why;
    ASSERT_TRUE(RunWriter_Finish(&w, nullptr)) << w.out.why;
    EXPECT_FALSE(fs::exists(fs::symlink_status(victim))) << "a file was made through a link";
    EXPECT_TRUE(fs::is_regular_file(path) && !fs::is_symlink(path)) << path;
}
