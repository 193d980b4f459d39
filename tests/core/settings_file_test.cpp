// settings.txt: every setting and binding read back as written, lines that cannot be read given
// their defaults and told, lines of another version kept, and bindings made sound.
#include <gtest/gtest.h>

#include <string>

#include "core/bindings.h"
#include "core/settings_file.h"
#include "quillon/quillon.h"

namespace {

Settings Defaults() {
    Settings_Reset();
    return settings;
}

Control Key(int place) {
    return Control{Control::Key, (int16_t)place};
}

bool SameSettings(const Settings& a, const Settings& b) {
    return SettingsFile_Text(a, Bindings_Defaults(), {}) ==
           SettingsFile_Text(b, Bindings_Defaults(), {});
}

TEST(SettingsFile, EverySettingAndBindingComesBackAsWritten) {
    Settings s = Defaults();
    s.mouseSensitivity = 0.7f;
    s.sfxVolume = 0.3f;
    s.musicVolume = 0.0f;
    s.fieldOfView = 115.0f;
    s.resolutionMode = 1;
    s.frameCap = 5;
    s.debugOverlay = 1;
    s.flashes = kFlashesOff;
    s.screenShake = 25;
    s.display = DisplayChoice{"HDMI-1", 1600, 0, 1280, 1024};
    Bindings b = Bindings_Defaults();
    b.actions[(int)Action::Forward].slots[0] = Key('E');
    b.actions[(int)Action::Forward].slots[1] = Control{Control::Mouse, QL_MOUSE_X1};
    b.actions[(int)Action::NextWeapon].slots[0] = Control{Control::Mouse, QL_MOUSE_WHEEL_DOWN};
    b.actions[(int)Action::Back].slots[1] = Key(QL_KEY_OTHER + 225); // Left Shift
    b.actions[(int)Action::Fire].slots[kPadSlot] = Control{Control::PadButton, QL_PAD_A};
    b.actions[(int)Action::Pause].slots[1] = Key(QL_KEY_F1 + 9);
    std::string text = SettingsFile_Text(s, b, {"future_setting = 3"});
    SettingsFileRead read = SettingsFile_Read(text, Defaults());
    EXPECT_TRUE(read.problems.empty()) << read.problems[0];
    EXPECT_EQ(SettingsFile_Text(read.settings, read.bindings, read.unknown), text);
    EXPECT_NE(text.find("key_back_2 = Left Shift\n"), std::string::npos) << text;
    EXPECT_NE(text.find("pad_fire = a\n"), std::string::npos) << text;
    EXPECT_NE(text.find("frame_cap = 60\n"), std::string::npos) << text;
}

// Each damaged or out-of-range line gets its default and is told with its line's number; the
// lines around it are read.
TEST(SettingsFile, LinesThatCannotBeReadGetTheirDefaults) {
    const Settings defaults = Defaults();
    struct Case {
        const char* line;
        bool told;
    } cases[] = {
        {"music_volume = 7", true},
        {"music_volume = 0.35", true},
        {"music_volume = loud", true},
        {"music_volume = nan", true},
        {"field_of_view = 1e999", true},
        {"field_of_view = 65", true},
        {"window_mode = huge", true},
        {"screen_shake = 30", true},
        {"flashes =", true},
        {"display_bounds = 0 0 -5 10", true},
        {"display_bounds = 1 2 3", true},
        {"music_volume", false},
        {"# a player's own note", false},
        {"", false},
    };
    for (const Case& c : cases) {
        std::string text = std::string("version = 1\n") + c.line + "\neffects_volume = 0.2\n";
        SettingsFileRead read = SettingsFile_Read(text, defaults);
        EXPECT_EQ(read.problems.size(), c.told ? 1u : 0u) << c.line;
        if (c.told) {
            EXPECT_EQ(read.problems[0].rfind("line 2: ", 0), 0u) << read.problems[0];
        }
        Settings expected = defaults;
        expected.sfxVolume = 0.2f;
        EXPECT_TRUE(SameSettings(read.settings, expected)) << c.line;
    }
}

// A line the game does not know (a newer game's, a player's note) is written back, without the
// CR of a line that Windows ended; an older file without bindings or comfort lines gets their
// defaults.
TEST(SettingsFile, OtherVersionsLinesAreKeptAndMissingOnesDefault) {
    std::string older = "version = 1\nmusic_volume = 0.8\nwindow_mode = 640x480\n";
    SettingsFileRead read = SettingsFile_Read(older + "zoom = 2\r\n# mine\n", Defaults());
    EXPECT_TRUE(read.problems.empty());
    EXPECT_FLOAT_EQ(read.settings.musicVolume, 0.8f);
    EXPECT_EQ(read.settings.resolutionMode, 0);
    EXPECT_EQ(read.settings.flashes, kFlashesFull);
    EXPECT_EQ(read.settings.screenShake, 100);
    Bindings defaults = Bindings_Defaults();
    EXPECT_EQ(SettingsFile_Text(read.settings, read.bindings, {}),
              SettingsFile_Text(read.settings, defaults, {}));
    std::string again = SettingsFile_Text(read.settings, read.bindings, read.unknown);
    EXPECT_NE(again.find("\nzoom = 2\n# mine\n"), std::string::npos) << again;
}

// A damaged binding gives its whole action its defaults; a control written twice stays with the
// first action; pause left without a key gets its defaults back.
TEST(SettingsFile, BindingsAreMadeSound) {
    struct Case {
        const char* lines;
        Action action;
        int slot;
        Control expected;
        size_t told;
    } cases[] = {
        {"key_forward = E\nkey_forward_2 = No Such Key\n", Action::Forward, 0, Key('W'), 1},
        {"pad_auto = righttrigger\n", Action::Auto, kPadSlot,
         Control{Control::PadButton, QL_PAD_DPLEFT}, 1},
        {"key_back = W\n", Action::Back, 0, Control{}, 1},
        {"key_pause = Mouse Right\n", Action::Pause, 0, Key(QL_KEY_ESCAPE), 1},
        {"key_pause =\nkey_pause_2 = Tab\n", Action::Pause, 1, Key(QL_KEY_OTHER + 43), 0},
        {"key_fire = Wheel Up\npad_fire = a\n", Action::Fire, kPadSlot,
         Control{Control::PadButton, QL_PAD_A}, 0},
    };
    for (const Case& c : cases) {
        SettingsFileRead read = SettingsFile_Read(c.lines, Defaults());
        EXPECT_EQ(read.problems.size(), c.told) << c.lines;
        EXPECT_TRUE(read.bindings.actions[(int)c.action].slots[c.slot] == c.expected) << c.lines;
    }
}

// Choosing a control another action holds swaps the two; what does not fit, or would leave pause
// without a key, is refused and changes nothing.
TEST(Bindings, ATakenControlSwapsAndPauseKeepsAKey) {
    Bindings b = Bindings_Defaults();
    BindOutcome swap = Bindings_Bind(&b, (int)Action::Forward, 0, Key('S'));
    EXPECT_TRUE(swap.done);
    EXPECT_EQ(swap.swappedWith, (int)Action::Back);
    EXPECT_TRUE(b.actions[(int)Action::Back].slots[0] == Key('W'));
    EXPECT_TRUE(b.actions[(int)Action::Forward].slots[0] == Key('S'));

    BindOutcome own = Bindings_Bind(&b, (int)Action::Forward, 1, Key('S'));
    EXPECT_EQ(own.swappedWith, -1) << "within one action the slots swap";
    EXPECT_TRUE(b.actions[(int)Action::Forward].slots[0] == Control{});

    const Bindings before = b;
    const struct {
        int action, slot;
        Control control;
    } refused[] = {
        {(int)Action::Pause, 0, Control{Control::Mouse, QL_MOUSE_LEFT}},
        {(int)Action::Forward, 0, Key(QL_KEY_ESCAPE)}, // pause's only key
        {(int)Action::Auto, kPadSlot, Control{Control::PadTrigger, QL_PAD_LEFTTRIGGER}},
        {(int)Action::Auto, 0, Control{Control::PadButton, QL_PAD_A}},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(Bindings_Bind(&b, r.action, r.slot, r.control).done);
        EXPECT_EQ(SettingsFile_Text(Defaults(), b, {}), SettingsFile_Text(Defaults(), before, {}));
    }
    // The trigger fire gives up goes nowhere it cannot be.
    Bindings_Bind(&b, (int)Action::Fire, kPadSlot, Control{Control::PadButton, QL_PAD_DPLEFT});
    EXPECT_TRUE(b.actions[(int)Action::Auto].slots[kPadSlot] == Control{});
}

} // namespace
