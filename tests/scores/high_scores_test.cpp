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
#include <vector>

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
    std::string ReadFrom(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Files beside the leaderboard whose names start with a prefix.
    std::vector<std::string> Beside(const std::string& prefix) {
        std::vector<std::string> found;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().filename().string().rfind(prefix, 0) == 0) found.push_back(e.path());
        return found;
    }
    std::vector<std::string> BadFiles() { return Beside("HighScores.txt.bad-"); }
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

// What editors and other systems add to a good file is no reason to replace it.
TEST_F(HighScoresTest, HarmlessExtrasAreAccepted) {
    const std::string eight = "AAA 1\nBBB 2\nCCC 3\nDDD 4\nEEE 5\nFFF 6\nGGG 7\nHHH 8\n";
    for (const std::string& text :
         {eight + "\n", eight + "\r\n\r\n", eight + "  \n\t\n", "\xEF\xBB\xBF" + eight}) {
        Write(text);
        HighScores_Load();
        EXPECT_EQ(Read(), text) << "kept as it is";
        EXPECT_STREQ(HighScoreTable[0].tag, "AAA");
        EXPECT_EQ(HighScoreTable[7].score, 8);
    }
    EXPECT_TRUE(BadFiles().empty());
}

// A file that exists but is not a leaderboard is moved aside, under a name never reused, before
// the defaults are written: one bad line must not cost the player the other seven.
TEST_F(HighScoresTest, DamagedFilesAreMovedAsideNotOverwritten) {
    const std::string seven = "AAA 1\nBBB 2\nCCC 3\nDDD 4\nEEE 5\nFFF 6\nGGG 7\n";
    const std::string cases[] = {
        "AAA 1\rBBB 2\rCCC 3\rDDD 4\rEEE 5\rFFF 6\rGGG 7\rHHH 8\r", // CR-only line ends
        seven + "HHH 8" + std::string(40, '0') + "x\n",             // an overlong line
        "\xC3\x89"
        "AB 100\n" +
            seven,              // a 2-byte UTF-8 tag
        seven,                  // seven lines
        seven + "HH",           // truncated
        std::string(5000, 'Z'), // far too large
    };
    size_t moved = 0;
    for (const std::string& text : cases) {
        Write(text);
        HighScores_Load();
        EXPECT_EQ(Read(), kDefaultFile);
        ExpectDefaultsInMemory();
        std::vector<std::string> bad = BadFiles();
        ASSERT_EQ(bad.size(), ++moved) << "each damaged file kept under its own name";
        bool kept = false;
        for (const std::string& b : bad)
            kept |= ReadFrom(b) == text;
        EXPECT_TRUE(kept) << "the damaged bytes are kept whole";
    }
    HighScores_Load();
    EXPECT_EQ(BadFiles().size(), moved) << "the defaults themselves are never moved aside";
}

// A read-only leaderboard is the player's choice: saves leave it alone, and a saved file keeps
// the mode it had.
TEST_F(HighScoresTest, SavesKeepTheFilesOwnPermissions) {
    HighScores_Load();
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write);
    HighScores_Submit("NEW", 5000);
    EXPECT_EQ(Read().substr(0, 4), "NEW ");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::string before = Read();
    const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                          std::filesystem::perms::others_read;
    std::filesystem::permissions(path, readOnly);
    HighScores_Submit("TOP", 9000);
    EXPECT_STREQ(HighScoreTable[0].tag, "TOP") << "kept in memory";
    EXPECT_EQ(Read(), before) << "a read-only file is not replaced";
    HighScores_WriteDefaults();
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all, readOnly);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    Write("damaged");
    std::filesystem::permissions(path, readOnly);
    HighScores_Load();
    ExpectDefaultsInMemory();
    EXPECT_EQ(Read(), "damaged") << "a read-only file is not moved either";
    EXPECT_TRUE(BadFiles().empty());
}

// A FIFO or a device in the file's place is neither read (it could block or never end) nor
// replaced.
TEST_F(HighScoresTest, FifosAndDevicesAreNeitherReadNorReplaced) {
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    HighScores_Load(); // must return at once
    ExpectDefaultsInMemory();
    EXPECT_TRUE(std::filesystem::is_fifo(path));
    std::filesystem::remove(path);
    std::filesystem::create_symlink("/dev/zero", path);
    HighScores_Load(); // must not read for ever
    ExpectDefaultsInMemory();
    HighScores_Submit("NEW", 5000);
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/zero"));
    EXPECT_TRUE(BadFiles().empty());
}

// Saving through a symbolic link updates the file it points to, and the link stays a link.
TEST_F(HighScoresTest, ALinkedLeaderboardKeepsUpdatingItsTarget) {
    std::filesystem::create_directories(dir / "real");
    std::filesystem::path target = dir / "real" / "scores.txt";
    std::filesystem::create_symlink("real/scores.txt", path);
    HighScores_Load();
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    HighScores_Submit("NEW", 5000);
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFrom(target.string()).substr(0, 4), "NEW ");
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
    // A save killed half way leaves its temporary; the next load clears those of dead savers,
    // and leaves one whose process still runs.
    std::string alive = path + ".new1";
    Write("x");
    std::filesystem::copy_file(path, alive);
    std::filesystem::copy_file(path, path + ".new" + std::to_string(getpid()));
    HighScores_Load();
    std::vector<std::string> left = Beside("HighScores.txt.new");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0], alive);
}

} // namespace
