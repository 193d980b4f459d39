// Finding the game's data and the leaderboard's place.
#include "core/data_folder.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/desktop.h"
#include "quillon/quillon.h"

namespace fs = std::filesystem;

namespace {

const char* const kAssetPrefix = "./Assets/";
const char* const kLeaderboard = "HighScores.txt";
// The player's own folder's name: as Linux names such folders, and as Windows does.
#ifdef _WIN32
const char* const kOwnFolder = "ZORB";
#else
const char* const kOwnFolder = "zorb";
#endif
std::string assets = "./Assets";

// Files every copy of the game's data has: a folder without them is not the data folder.
bool HoldsTheGame(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / "Fonts" / "Monodeco Bold.ttf", ec) &&
           fs::is_regular_file(folder / "Art" / "Spritesheet.png", ec);
}

// Whether a file can be made in the folder: tried for real, since permission bits say nothing
// of read-only mounts, and Windows grants writes under Program Files to no ordinary program.
bool Writable(const fs::path& folder) {
    fs::path probe = folder / (".zorb-write-test-" + std::to_string(Desktop_ProcessId()));
    bool made = static_cast<bool>(std::ofstream(probe));
    std::error_code ec;
    fs::remove(probe, ec);
    return made;
}

} // namespace

bool DataFolder_Find(std::vector<std::string>* tried) {
    std::string base = QL_System_GetBasePath();
    std::vector<std::string> candidates = {"./Assets"};
    if (!base.empty()) {
        candidates.push_back(base + "Assets");
        candidates.push_back((fs::path(base) / ".." / "share" / "games" / "zorb" / "Assets")
                                 .lexically_normal()
                                 .string());
    }
    tried->clear();
    for (const std::string& c : candidates) {
        if (HoldsTheGame(c)) {
            assets = c;
            return true;
        }
        tried->push_back(c);
    }
    return false;
}

const std::string& DataFolder_Assets() {
    return assets;
}

std::string DataFolder_Path(const char* assetPath) {
    std::string path = assetPath ? assetPath : "";
    const std::string prefix = kAssetPrefix;
    if (path.compare(0, prefix.size(), prefix) != 0) return path;
    return assets + "/" + path.substr(prefix.size());
}

std::string DataFolder_Leaderboard() {
    fs::path beside = fs::path(assets) / kLeaderboard;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(beside, ec)) || Writable(assets)) return beside.string();
    std::string own = QL_System_GetPrefPath("", kOwnFolder);
    return own.empty() ? beside.string() : (fs::path(own) / kLeaderboard).string();
}
