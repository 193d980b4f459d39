// zorb-headless's command line: key names in any case, actions, and --help.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "quillon/quillon.h"
#include "tools/headless/audio_file.h"
#include "tools/headless/script.h"

namespace {

TEST(HeadlessScript, KeyNamesInAnyCase) {
    struct Case {
        const char* name;
        int key;
    } cases[] = {{"Escape", QL_KEY_ESCAPE},
                 {"esc", QL_KEY_ESCAPE},
                 {"ESC", QL_KEY_ESCAPE},
                 {"space", ' '},
                 {"Enter", '\r'},
                 {"RETURN", '\r'},
                 {"e", 'E'},
                 {"W", 'W'},
                 {"7", '7'},
                 {"F1", QL_KEY_F1},
                 {"f12", QL_KEY_F1 + 11},
                 {"left", QL_KEY_LEFT},
                 {"F13", -1},
                 {"F0", -1},
                 {"F01", -1},
                 {"", -1},
                 {"?", -1},
                 {"Escapes", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(Headless_ParseKey(c.name), c.key) << "\"" << c.name << "\"";
}

TEST(HeadlessScript, ActionsAndHelp) {
    HeadlessAction a;
    ASSERT_TRUE(Headless_ParseAction("12:key:Escape", &a));
    EXPECT_EQ(a.frame, 12);
    EXPECT_EQ(a.kind, HeadlessAction::KeyTap);
    EXPECT_EQ(a.key, QL_KEY_ESCAPE);
    ASSERT_TRUE(Headless_ParseAction("3:click:10.5,20", &a));
    EXPECT_FLOAT_EQ(a.y, 20.0f);
    ASSERT_TRUE(Headless_ParseAction("40:wait:2500", &a));
    EXPECT_EQ(a.kind, HeadlessAction::Wait);
    EXPECT_FLOAT_EQ(a.x, 2500.0f);
    for (const char* bad : {"x:key:E", "-1:key:E", "5:press:E", "5:key:", "5:mouse:1", "5:wait:-1",
                            "5:wait:60001", "5:wait:soon"})
        EXPECT_FALSE(Headless_ParseAction(bad, &a)) << bad;

    std::vector<std::string> words = {"zorb-headless", "--frames", "5", "--help"};
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    HeadlessConfig config;
    std::string error;
    EXPECT_TRUE(Headless_ParseArgs((int)argv.size(), argv.data(), &config, &error));
    EXPECT_TRUE(config.help);
    EXPECT_NE(std::string(kHeadlessUsage).find("Escape/Esc"), std::string::npos);
}

// A capture longer than a WAV file can state is refused whole, never written with sizes that
// wrapped around; one that fits is written with its true length.
TEST(HeadlessAudioFile, ACaptureTooLongForItsHeaderIsNotKept) {
    const std::string path = "headless_audio_limit.wav";
    const float block[2 * 100] = {};
    for (int blocks : {2, 3}) {
        AudioFile file;
        ASSERT_TRUE(AudioFile_Open(&file, path, 48000, 8 * 250));
        for (int i = 0; i < blocks; i++)
            AudioFile_Append(&file, block, 100);
        bool fits = blocks == 2;
        EXPECT_EQ(AudioFile_Finish(&file), fits) << blocks << " blocks";
        std::error_code ec;
        EXPECT_EQ(std::filesystem::file_size(path, ec), fits ? 58u + 200 * 8 : (uintmax_t)-1)
            << blocks << " blocks";
        std::remove(path.c_str());
    }
}

} // namespace
