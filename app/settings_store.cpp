// Reading and writing the player's settings file.
#include "app/settings_store.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/bindings.h"
#include "core/output_file.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "quillon/quillon.h"
#include "ui/settings_screen.h"

namespace fs = std::filesystem;

namespace {

std::string path;
std::string kept;                 // the file's text as last read or written
std::vector<std::string> unknown; // its lines the game does not know, written back as they were
bool failureSaid = false;
int fileFrameCap = -1; // the file's frame cap, while ZORB_FRAME_CAP holds another

// The settings as the file keeps them: a cap given by ZORB_FRAME_CAP is for its start alone.
std::string Text() {
    Settings kept = settings;
    bool overridden = frameCapOverride.cap > 0 && settings.frameCap == frameCapOverride.choice;
    if (overridden && fileFrameCap >= 0) kept.frameCap = fileFrameCap;
    return SettingsFile_Text(kept, bindings, unknown);
}

} // namespace

std::string SettingsStore_PathBeside(const std::string& leaderboard) {
    return (fs::path(leaderboard).parent_path() / "settings.txt").string();
}

void SettingsStore_Use(const std::string& file) {
    path = file;
    kept.clear();
    unknown.clear();
    failureSaid = false;
    fileFrameCap = -1;
}

const std::string& SettingsStore_Path() {
    return path;
}

void SettingsStore_Load() {
    kept = Text(); // a missing file holds the defaults
    std::ifstream in(path, std::ios::binary);
    if (path.empty() || !in) return;
    std::ostringstream text;
    text << in.rdbuf();
    SettingsFileRead read = SettingsFile_Read(text.str(), settings);
    for (const std::string& problem : read.problems)
        std::fprintf(stderr, "zorb: %s, %s\n", path.c_str(), problem.c_str());
    // ZORB_FRAME_CAP wins over the file for this start.
    fileFrameCap = read.settings.frameCap;
    if (frameCapOverride.cap > 0) read.settings.frameCap = settings.frameCap;
    settings = read.settings;
    bindings = read.bindings;
    unknown = read.unknown;
    kept = Text();
    QL_Sound_SetGroupVolume(QL_GROUP_MUSIC, settings.musicVolume * 2.0f);
    QL_Display wanted;
    Settings_WantedDisplay(&wanted);
    QL_System_ChooseDisplay(wanted);
    SettingsScreen_ApplyWindow();
}

void SettingsStore_FollowDisplay() {
    static int last = -1;
    int now = QL_System_GetWindowDisplay();
    if (last >= 0 && now != last) {
        settings.display = Settings_DescribeDisplay(now);
        SettingsStore_Save();
    }
    last = now;
}

bool SettingsStore_Save() {
    std::string text = Text();
    if (path.empty() || text == kept) return true;
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    OutputFileOptions options;
    options.text = true;
    options.inPlace = false;
    std::string why;
    if (OutputFile_WriteWhole(path, text.data(), text.size(), &why, options)) {
        kept = text;
        return true;
    }
    if (!failureSaid)
        std::fprintf(stderr, "zorb: the settings cannot be kept in %s (%s): play goes on\n",
                     path.c_str(), why.c_str());
    failureSaid = true;
    return false;
}
