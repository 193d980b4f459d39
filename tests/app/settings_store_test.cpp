// The settings file between starts: written only as something changed, read back at the next
// start with lines of other versions kept, a start's ZORB_FRAME_CAP not taken for the player's
// choice, and a folder that cannot be written told once while play goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/frames.h"
#include "app/settings_store.h"
#include "core/bindings.h"
#include "core/settings.h"
#include "tests/support/headless_fixture.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class SettingsStoreTest : public HeadlessTest {
  protected:
    void SetUp() override {
        StartHeadless(320, 240, 0.01f);
        // Its own folder: ctest runs the tests of this suite side by side.
        folder = ::testing::TempDir() + "settings_store_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        fs::remove_all(folder);
        path = folder + "settings.txt";
    }
    void TearDown() override {
        SettingsStore_Use("");
        Frames_CapFrom(nullptr);
        HeadlessTest::TearDown();
    }
    // A new start: the defaults, a cap from the environment, then the file.
    void Restart(const char* frameCap = nullptr) {
        Settings_Reset();
        Bindings_Reset();
        Frames_CapFrom(frameCap);
        SettingsStore_Use(path);
        SettingsStore_Load();
    }
    std::string folder, path;
};

TEST_F(SettingsStoreTest, WhatChangedLastsToTheNextStart) {
    Restart();
    EXPECT_TRUE(SettingsStore_Save());
    EXPECT_FALSE(fs::exists(path)) << "nothing changed: nothing written";
    settings.musicVolume = 0.8f;
    settings.flashes = kFlashesSoft;
    Bindings_Bind(&bindings, (int)Action::Forward, 0, Control{Control::Key, 'E'});
    ASSERT_TRUE(SettingsStore_Save());
    std::ofstream(path, std::ios::app) << "a_newer_setting = yes\n";

    Restart();
    EXPECT_FLOAT_EQ(settings.musicVolume, 0.8f);
    EXPECT_FLOAT_EQ(QLH_GroupVolume(QL_GROUP_MUSIC), 1.6f) << "the music plays at its volume";
    EXPECT_EQ(settings.flashes, kFlashesSoft);
    EXPECT_TRUE(bindings.actions[(int)Action::Forward].slots[0] == (Control{Control::Key, 'E'}));
    settings.sfxVolume = 0.5f;
    ASSERT_TRUE(SettingsStore_Save());
    EXPECT_NE(Read(path).find("a_newer_setting = yes\n"), std::string::npos) << Read(path);
}

TEST_F(SettingsStoreTest, AStartsFrameCapIsNotKeptAsThePlayersChoice) {
    fs::create_directories(folder);
    std::ofstream(path) << "version = 1\nframe_cap = 144\n";
    Restart("60");
    EXPECT_EQ(Settings_CapInForce(0), 60.0) << "ZORB_FRAME_CAP wins for its start";
    settings.sfxVolume = 0.5f;
    ASSERT_TRUE(SettingsStore_Save());
    EXPECT_NE(Read(path).find("frame_cap = 144\n"), std::string::npos) << Read(path);
}

TEST_F(SettingsStoreTest, AFolderThatCannotBeWrittenIsToldOnceAndPlayGoesOn) {
    fs::create_directories(folder);
    std::ofstream(folder + "blocked") << "a file where the folder would be\n";
    path = folder + "blocked/settings.txt";
    Restart();
    EXPECT_FLOAT_EQ(settings.musicVolume, 0.5f) << "the defaults";
    settings.musicVolume = 0.1f;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(SettingsStore_Save());
    settings.musicVolume = 0.2f;
    EXPECT_FALSE(SettingsStore_Save());
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("the settings cannot be kept in " + path), std::string::npos) << said;
    EXPECT_EQ(said.find("cannot be kept", said.find("cannot be kept") + 1), std::string::npos)
        << "told once: " << said;
    EXPECT_FLOAT_EQ(settings.musicVolume, 0.2f);
}

} // namespace
