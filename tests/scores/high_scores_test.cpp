// The leaderboard and its file: defaults, parsing, ranking, submitting, unwritable folders, and a
// program killed while saving.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/desktop.h"
#include "scores/high_scores.h"

namespace {

// A game of its own: reads the table at its start, waits for "<path>.go", then submits four
// entries tagged with its letter, each saved, and ends.
[[noreturn]] void SubmitAsAnotherGame(char letter) {
    HighScores_Load();
    std::string go = std::string(highScoresPath) + ".go";
    while (!std::filesystem::exists(go))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bool saved = true;
    for (int i = 0; i < 4; i++) {
        const char tag[3] = {letter, letter, (char)('1' + i)};
        saved = HighScores_Submit(tag, 5000 + 10 * i + letter - 'A') && saved;
    }
    std::_Exit(saved ? 0 : 3);
}

// What the child process does: as another game, submit entries; else until it is killed, save
// the leaderboard over and over ("save"), or wait ("wait").
[[noreturn]] void ChildMain(const char* path, const char* job) {
    highScoresPath = path;
    if (std::strlen(job) == 1) SubmitAsAnotherGame(job[0]);
    bool saving = std::strcmp(job, "save") == 0;
    for (;;) {
        if (saving) {
            HighScores_WriteDefaults();
            HighScores_Submit("NEW", 9999);
        } else {
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    }
}

#ifdef _WIN32
// The file a child on `job` makes once it runs. Each job has its own, and it appears whole and
// closed (written aside, then renamed), so that the parent never meets one still held open.
std::string ReadyFile(const std::string& path, const char* job) {
    return path + ".ready-" + job;
}
#endif

// A second process of this test program, killed without warning, and killed at the latest
// when the test leaves it, so that a failed test never leaves it waiting.
class Child {
  public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (Running()) Kill();
    }
    // Starts it on its job (see ChildMain) with the leaderboard at `path`; returns once it runs.
    void Start(const std::string& path, const char* job) {
#ifdef _WIN32
        // Windows cannot fork: the program is started again, and its start-up code (below)
        // becomes the child when it finds these variables. It makes `ready` once it runs.
        std::string ready = ReadyFile(path, job);
        std::error_code ignored;
        std::filesystem::remove(ready, ignored);
        SetEnvironmentVariableA("ZORB_CHILD_SCORES", path.c_str());
        SetEnvironmentVariableA("ZORB_CHILD_JOB", job);
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string command = std::string("\"") + self + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &info));
        SetEnvironmentVariableA("ZORB_CHILD_SCORES", nullptr);
        for (int i = 0; i < 30000 && !std::filesystem::exists(ready); i++)
            Sleep(1);
        ASSERT_TRUE(std::filesystem::exists(ready)) << "the child never started";
#else
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) ChildMain(path.c_str(), job);
#endif
    }
    long Pid() const {
#ifdef _WIN32
        return (long)info.dwProcessId;
#else
        return (long)pid;
#endif
    }
    // Waits up to a minute for it to end on its own; its exit status, or -1 (and it is killed)
    // when it hangs.
    int Wait() {
#ifdef _WIN32
        if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0) {
            Kill();
            return -1;
        }
        DWORD code = 1;
        GetExitCodeProcess(info.hProcess, &code);
        Release();
        return (int)code;
#else
        int status = 0;
        for (int i = 0; i < 6000 && waitpid(pid, &status, WNOHANG) == 0; i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (waitpid(pid, &status, WNOHANG) == 0) {
            Kill();
            return -1;
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
#endif
    }
    void Kill() {
#ifdef _WIN32
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, INFINITE);
        Release();
#else
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
#endif
    }

  private:
#ifdef _WIN32
    bool Running() const {
        return info.hProcess != nullptr;
    }
    void Release() {
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        info = PROCESS_INFORMATION{};
    }
    PROCESS_INFORMATION info{};
#else
    bool Running() const {
        return pid > 0;
    }
    pid_t pid = -1;
#endif
};

#ifdef _WIN32
// The child's start: before the tests, when the kill test has started this program again.
const bool kIsChild = [] {
    const char* path = std::getenv("ZORB_CHILD_SCORES");
    if (!path) return false;
    const char* job = std::getenv("ZORB_CHILD_JOB");
    std::string ready = ReadyFile(path, job);
    std::ofstream(ready + ".tmp") << "running";
    std::filesystem::rename(ready + ".tmp", ready);
    ChildMain(path, job);
}();
#endif

// What the file system keeps of a mode: all of it here, only whether it is read-only on Windows.
std::filesystem::perms Kept(std::filesystem::perms p) {
#ifdef _WIN32
    return p & std::filesystem::perms::owner_write;
#else
    return p & std::filesystem::perms::all;
#endif
}

const char* kDefaultFile = "ZKM 0000004000\nFJX 0000003000\nVBQ 0000002000\nGXP 0000000890\n"
                           "(9) 0000000739\n-u- 0000000500\n150 0000000150\nHDZ 0000000102\n";

class HighScoresTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    std::string path;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("zorb_scores_" + std::to_string(Desktop_ProcessId()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        path = (dir / "HighScores.txt").string();
        highScoresPath = path.c_str();
        std::memset(HighScoreTable, 0, sizeof HighScoreTable);
    }
    void TearDown() override {
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
        // Windows removes no read-only file.
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
        std::filesystem::remove_all(dir);
        highScoresPath = "./Assets/HighScores.txt";
    }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    // The file's bytes as they are, and as text (CR LF line ends read as \n on Windows).
    std::string Raw() { return ReadFrom(path); }
    std::string Read() {
        std::ifstream in(path);
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
            if (e.path().filename().string().rfind(prefix, 0) == 0)
                found.push_back(e.path().string());
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
        EXPECT_EQ(Raw(), text) << "kept as it is";
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
    EXPECT_EQ(Kept(std::filesystem::status(path).permissions()),
              Kept(std::filesystem::perms::owner_read | std::filesystem::perms::owner_write));
    const std::string before = Read();
    const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                          std::filesystem::perms::others_read;
    std::filesystem::permissions(path, readOnly);
    HighScores_Submit("TOP", 9000);
    EXPECT_STREQ(HighScoreTable[0].tag, "TOP") << "kept in memory";
    EXPECT_EQ(Read(), before) << "a read-only file is not replaced";
    HighScores_WriteDefaults();
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(Kept(std::filesystem::status(path).permissions()), Kept(readOnly));
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
#ifdef _WIN32
    GTEST_SKIP() << "Windows has neither FIFOs nor devices in its folders";
#else
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
#endif
}

// Saving through a symbolic link updates the file it points to, and the link stays a link.
TEST_F(HighScoresTest, ALinkedLeaderboardKeepsUpdatingItsTarget) {
    std::filesystem::create_directories(dir / "real");
    std::filesystem::path target = dir / "real" / "scores.txt";
    std::error_code ec;
    std::filesystem::create_symlink("real/scores.txt", path, ec);
    if (ec) GTEST_SKIP() << "this account may not make symbolic links: " << ec.message();
    HighScores_Load();
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    HighScores_Submit("NEW", 5000);
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFrom(target.string()).substr(0, 4), "NEW ");
}

// The save's temporary name taken by a link to another file: the link is never written through,
// and the save is made all the same.
TEST_F(HighScoresTest, ALinkInTheTemporarysPlaceIsNotFollowed) {
    HighScores_Load();
    std::filesystem::path victim = dir / "victim.txt";
    std::ofstream(victim) << "the victim";
    std::error_code ec;
    std::string temporary = path + ".new" + std::to_string(Desktop_ProcessId());
    std::filesystem::create_symlink("victim.txt", temporary, ec);
    if (ec) GTEST_SKIP() << "this account may not make symbolic links: " << ec.message();
    EXPECT_TRUE(HighScores_Submit("NEW", 5000));
    EXPECT_EQ(ReadFrom(victim.string()), "the victim");
    EXPECT_TRUE(std::filesystem::is_symlink(temporary));
    EXPECT_EQ(Read().substr(0, 4), "NEW ");
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
#ifdef _WIN32
    EXPECT_EQ(Raw().substr(0, 16), "ABC 0000004001\r\n") << "a text file in Windows' own form";
#else
    EXPECT_EQ(Raw().find('\r'), std::string::npos);
#endif
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
#ifdef _WIN32
    GTEST_SKIP() << "Windows lets files be written in a folder marked read-only";
#else
    if (getuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
#endif
    std::filesystem::permissions(dir, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    HighScores_Load(); // must return
    ExpectDefaultsInMemory();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(HighScores_Submit("NEW", 5000)) << "a save refused is no success";
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(HighScoreTable[0].tag, "NEW") << "kept in memory";
    EXPECT_TRUE(highScoresUnsaved);
    EXPECT_NE(said.find(path), std::string::npos) << "where: " << said;
    EXPECT_NE(said.find("Permission denied"), std::string::npos) << "why: " << said;
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    EXPECT_TRUE(HighScores_Submit("NEW", 6000));
    EXPECT_FALSE(highScoresUnsaved) << "until a save succeeds";
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
#ifdef _WIN32
    const int rounds = 20; // a process start costs far more than a fork
#else
    const int rounds = 60;
#endif
    for (int round = 0; round < rounds; round++) {
        Child saver;
        saver.Start(path, "save");
        std::this_thread::sleep_for(std::chrono::microseconds(200 + 37 * round));
        saver.Kill();
        std::string text = Read();
        ASSERT_TRUE(text == before || text == after) << "round " << round << ": " << text;
    }
    // A save killed half way leaves its temporary; the next load clears those of dead savers,
    // and leaves one whose process still runs.
    Child waiting;
    waiting.Start(path, "wait");
    std::string alive = path + ".new" + std::to_string(waiting.Pid());
    Write("x");
    std::filesystem::copy_file(path, alive);
    std::filesystem::copy_file(path, path + ".new" + std::to_string(Desktop_ProcessId()));
    HighScores_Load();
    std::vector<std::string> left = Beside("HighScores.txt.new");
    waiting.Kill();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0], alive);
}

// Two games that both read the table at their start save at the same moments: neither may write
// its stale table over the other's entries.
TEST_F(HighScoresTest, TwoGamesSavingAtOnceKeepEachOthersEntries) {
    HighScores_Load();
    Child a, b;
    a.Start(path, "A");
    b.Start(path, "B");
    std::ofstream(path + ".go") << "go";
    EXPECT_EQ(a.Wait(), 0) << "the first game's saves";
    EXPECT_EQ(b.Wait(), 0) << "the second game's saves";
    HighScores_Load();
    int fromA = 0, fromB = 0;
    for (const HighScoreEntry& e : HighScoreTable) {
        fromA += e.tag[0] == 'A';
        fromB += e.tag[0] == 'B';
    }
    EXPECT_EQ(fromA, 4) << Read();
    EXPECT_EQ(fromB, 4) << Read();
}

} // namespace
