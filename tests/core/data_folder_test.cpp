// Where the game finds its data and keeps its leaderboard, whatever folder it is started from.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/data_folder.h"
#include "core/desktop.h"

#ifndef _WIN32
#include <cstdlib>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

class DataFolderTest : public ::testing::Test {
  protected:
    fs::path home = fs::current_path();
    fs::path elsewhere =
        fs::temp_directory_path() / ("zorb_data_folder_" + std::to_string(Desktop_ProcessId()));
    void SetUp() override {
        fs::remove_all(elsewhere);
        fs::create_directories(elsewhere);
    }
    void TearDown() override {
        fs::current_path(home);
        std::vector<std::string> tried;
        DataFolder_Find(&tried); // the build folder's ./Assets again, for the other tests
        fs::remove_all(elsewhere);
    }
    // A folder holding what marks the game's data.
    static void MakeData(const fs::path& assets) {
        fs::create_directories(assets / "Fonts");
        fs::create_directories(assets / "Art");
        std::ofstream(assets / "Fonts" / "Monodeco Bold.ttf") << "font";
        std::ofstream(assets / "Art" / "Spritesheet.png") << "sheet";
    }
};

TEST_F(DataFolderTest, TheWorkingFoldersDataComesFirstThenThePrograms) {
    std::vector<std::string> tried;
    fs::current_path(elsewhere);
    fs::create_directories("Assets/Art"); // a folder of that name without the game in it
    ASSERT_TRUE(DataFolder_Find(&tried)) << "the data beside the program";
    EXPECT_NE(DataFolder_Assets(), "./Assets");
    EXPECT_TRUE(fs::exists(fs::path(DataFolder_Assets()) / "Art" / "Spritesheet.png"));
    MakeData("Assets");
    ASSERT_TRUE(DataFolder_Find(&tried));
    EXPECT_EQ(DataFolder_Assets(), "./Assets") << "a copy in the working folder wins";
    EXPECT_EQ(DataFolder_Path("./Assets/Art/Cursor.png"), "./Assets/Art/Cursor.png");
    EXPECT_EQ(DataFolder_Path("elsewhere.png"), "elsewhere.png") << "other paths are left alone";
}

#ifndef _WIN32
// An install whose font link points at a font that is not installed: the data is there, and
// what is missing is said with the link's target and the package that brings it.
TEST_F(DataFolderTest, ADanglingFontLinkIsSaidWithItsTargetAndPackage) {
    fs::path assets = elsewhere / "Assets";
    MakeData(assets);
    EXPECT_EQ(DataFolder_BrokenFont(assets.string()), "") << "a font that is there";
    fs::remove(assets / "Fonts" / "Monodeco Bold.ttf");
    fs::create_symlink("../../fonts/DejaVuSansMono-Bold.ttf",
                       assets / "Fonts" / "Monodeco Bold.ttf");
    std::string why = DataFolder_BrokenFont(assets.string());
    EXPECT_NE(why.find("links to " + (elsewhere / "fonts" / "DejaVuSansMono-Bold.ttf").string()),
              std::string::npos)
        << why;
    EXPECT_NE(why.find("fonts-dejavu-core"), std::string::npos) << why;
    fs::remove(assets / "Art" / "Spritesheet.png");
    EXPECT_EQ(DataFolder_BrokenFont(assets.string()), "") << "no game's data at all";
}
#endif

TEST_F(DataFolderTest, TheLeaderboardStaysBesideTheDataWhereItMayBeWritten) {
    fs::current_path(elsewhere);
    MakeData("Assets");
    std::vector<std::string> tried;
    ASSERT_TRUE(DataFolder_Find(&tried));
    EXPECT_EQ(fs::path(DataFolder_Leaderboard()), fs::path("./Assets") / "HighScores.txt");
    for (const fs::directory_entry& e : fs::directory_iterator("Assets"))
        EXPECT_EQ(e.path().filename().string().rfind(".zorb-", 0), std::string::npos)
            << "the write test left " << e.path();
}

// Run as an ordinary user too (root writes into read-only folders): a data folder nobody may
// write sends the leaderboard to the player's own folder, made then.
TEST_F(DataFolderTest, UnwritableDataSendsTheLeaderboardToThePlayersFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows lets files be written in a folder marked read-only";
#else
    if (getuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    fs::current_path(elsewhere);
    MakeData("Assets");
    fs::permissions("Assets", fs::perms::owner_read | fs::perms::owner_exec);
    std::string own = (elsewhere / "own").string();
    setenv("XDG_DATA_HOME", own.c_str(), 1);
    std::vector<std::string> tried;
    ASSERT_TRUE(DataFolder_Find(&tried));
    std::string leaderboard = DataFolder_Leaderboard();
    unsetenv("XDG_DATA_HOME");
    fs::permissions("Assets", fs::perms::owner_all);
    EXPECT_EQ(fs::path(leaderboard), fs::path(own) / "zorb" / "HighScores.txt");
    EXPECT_FALSE(fs::exists(own)) << "asking where the leaderboard goes makes nothing";
    DataFolder_MakeOwnFolder();
    EXPECT_TRUE(fs::is_directory(fs::path(own) / "zorb")) << "the game's start makes it";
#endif
}

// The base directory rules: an empty or relative XDG_DATA_HOME is as good as unset.
TEST_F(DataFolderTest, OwnFolderFollowsTheBaseDirectoryRules) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps the player's files under %APPDATA%";
#else
    const char* home = std::getenv("HOME");
    std::string savedHome = home ? home : "", fallback = (elsewhere / ".local/share/zorb").string();
    setenv("HOME", elsewhere.c_str(), 1);
    const struct {
        const char* value; // null: unset
        std::string expected;
    } cases[] = {{"/var/tmp/data", "/var/tmp/data/zorb"},
                 {nullptr, fallback},
                 {"", fallback},
                 {"rel/data", fallback}};
    for (const auto& c : cases) {
        if (c.value)
            setenv("XDG_DATA_HOME", c.value, 1);
        else
            unsetenv("XDG_DATA_HOME");
        EXPECT_EQ(DataFolder_OwnFolder(), c.expected)
            << "XDG_DATA_HOME=" << (c.value ? c.value : "(unset)");
    }
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", savedHome.c_str(), 1);
#endif
}

} // namespace
