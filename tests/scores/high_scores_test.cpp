// The leaderboard and its file: defaults, parsing, ranking, submitting, unwritable folders, and a
// program killed while saving.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "scores/high_scores.h"

namespace {

const char* kDefaultFile = "ZKM 0000004000\nFJX 0000003000\nVBQ 0000002000\nGXP 0000000890\n"
                           "(9) 0000000739\n-u- 0000000500\n150 0000000150\nHDZ 0000000102\n";

class HighScoresTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    std::string path;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("zorb_scores_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        path = (dir / "HighScores.txt").string();
        highScoresPath = path.c_str();
        std::memset(HighScoreTable, 0, sizeof HighScoreTable);
    }
    void TearDown() override {
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(dir);
        highScoresPath = "./Assets/HighScores.txt";
    }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void ExpectDefaultsInMemory() {
        EXPECT_STREQ(HighScoreTable[0].tag, "ZKM");
        EXPECT_EQ(HighScoreTable[0].score, 4000);
        EXPECT_STREQ(HighScoreTable[7].tag, "HDZ");
        EXPECT_EQ(HighScoreTable[7].score, 102);
    }
};

TEST_F(HighScoresTest, BadFilesAreReplacedByTheDefaults) {
    const std::string eight = "AAA 1\nBBB 2\nCCC 3\nDDD 4\nEEE 5\nFFF 6\nGGG 7\nHHH 8\n";
    struct Case {
        const char* what;
        std::string text;
        bool exists;
    } cases[] = {{"no file", "", false},
                 {"empty", "", true},
                 {"five lines", "AAA 1\nBBB 2\nCCC 3\nDDD 4\nEEE 5\n", true},
                 {"eight and an empty line", eight + "\n", true},
                 {"a score beyond 32 bits", "AAA 2147483648\n" + eight, true},
                 {"no number", "AAA x\n" + eight, true},
                 {"a ninth line malformed", eight + "ZZ", true}};
    for (const Case& c : cases) {
        std::filesystem::remove(path);
        if (c.exists) Write(c.text);
        HighScores_Load();
        EXPECT_EQ(Read(), kDefaultFile) << c.what;
        ExpectDefaultsInMemory();
    }
}

TEST_F(HighScoresTest, EightGoodLinesAreTakenAsTheyAre) {
    Write("AB  42\n-2- -7\n\x01\x7f\xff 2147483647\nDDD 4 and more\nEEE\t5\nFFF 6\nGGG 7\n"
          "HHH 8");
    HighScores_Load();
    EXPECT_EQ(std::string(HighScoreTable[0].tag), "AB ");
    EXPECT_EQ(HighScoreTable[0].score, 42);
    EXPECT_EQ(HighScoreTable[1].score, -7);
    EXPECT_EQ(std::string(HighScoreTable[2].tag), "\x01\x7f\xff") << "odd bytes kept as read";
    EXPECT_EQ(HighScoreTable[2].score, 2147483647);
    EXPECT_EQ(HighScoreTable[3].score, 4);
    EXPECT_EQ(HighScoreTable[7].score, 8) << "the last line needs no newline";
}

TEST_F(HighScoresTest, LongLinesAreSplitAtNineteenBytes) {
    HighScoreEntry table[kHighScoreCount];
    // 22 bytes before the newline: read as "AAA 000000000000000" and "123\n", a tag without a
    // score.
    std::string text = "AAA 000000000000000123\nBBB 2\nCCC 3\nDDD 4\nEEE 5\nFFF 6\nGGG 7\nHHH 8\n";
    EXPECT_FALSE(HighScores_Parse(text.data(), text.size(), table));
    // A split line whose remainder is itself a good line makes nine lines, eight of them kept.
    std::string split = "AAA 1               XY 9\nBBB 2\nCCC 3\nDDD 4\nEEE 5\nFFF 6\nGGG 7\n";
    ASSERT_TRUE(HighScores_Parse(split.data(), split.size(), table));
    EXPECT_EQ(table[0].score, 1);
    EXPECT_EQ(std::string(table[1].tag), " XY") << "the remainder starts a line";
}

TEST_F(HighScoresTest, RankGivesTiesToTheEntryAlreadyThere) {
    HighScores_Load();
    struct Case {
        int score, place;
    } cases[] = {{4001, 0}, {4000, 1}, {750, 4}, {103, 7}, {102, 8}, {0, 8}};
    for (const Case& c : cases)
        EXPECT_EQ(HighScores_Rank(c.score), c.place) << c.score;
}

TEST_F(HighScoresTest, SubmitInsertsAndRewritesTheFile) {
    HighScores_Load();
    HighScores_Submit("ABC", 4001);
    std::string text = Read();
    EXPECT_EQ(text.substr(0, 15), "ABC 0000004001\n");
    EXPECT_EQ(text.find("HDZ"), std::string::npos) << "the last entry is dropped";
    EXPECT_NE(text.find("150 0000000150\n"), std::string::npos);
    HighScores_Submit("LOW", 102);
    EXPECT_EQ(Read(), text) << "place 8 changes nothing";
    HighScores_Submit("A\x01 ", 200);
    HighScores_Load();
    EXPECT_EQ(std::string(HighScoreTable[7].tag), "A\x01 ");
    EXPECT_EQ(HighScoreTable[7].score, 200);
}

TEST_F(HighScoresTest, UnwritableFolderKeepsTheDefaultsInMemory) {
    if (getuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    std::filesystem::permissions(dir, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    HighScores_Load(); // must return
    ExpectDefaultsInMemory();
    HighScores_Submit("NEW", 5000);
    EXPECT_STREQ(HighScoreTable[0].tag, "NEW") << "kept in memory";
}

TEST_F(HighScoresTest, AFolderInTheFilesPlaceKeepsTheDefaultsInMemory) {
    std::filesystem::create_directories(path); // neither readable as a file nor replaceable
    HighScores_Load();                         // must return
    ExpectDefaultsInMemory();
    EXPECT_TRUE(std::filesystem::is_directory(path));
    HighScores_Submit("NEW", 5000);
    EXPECT_STREQ(HighScoreTable[0].tag, "NEW") << "kept in memory";
}

TEST_F(HighScoresTest, MissingFolderKeepsTheDefaultsInMemory) {
    std::string missing = (dir / "no" / "such" / "HighScores.txt").string();
    highScoresPath = missing.c_str();
    HighScores_Load(); // must return
    ExpectDefaultsInMemory();
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// Kills a process that saves over and over at many moments; the file must always hold one of
// the two tables whole.
TEST_F(HighScoresTest, KillDuringAWriteLeavesAWholeFile) {
    HighScores_Load();
    const std::string before = Read();
    HighScores_Submit("NEW", 9999);
    const std::string after = Read();
    for (int round = 0; round < 60; round++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                HighScores_WriteDefaults();
                HighScores_Submit("NEW", 9999);
            }
        }
        usleep(200 + 37 * round);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string text = Read();
        ASSERT_TRUE(text == before || text == after) << "round " << round << ": " << text;
    }
}

} // namespace
