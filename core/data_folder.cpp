// Finding the game's data and the leaderboard's place.
#include "core/data_folder.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/output_file.h"
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
bool installed = false; // the data is the installed package's: never written, whoever runs it
std::string ownInUse;   // the player's own folder, when the leaderboard was put there

// Files every copy of the game's data has: a folder without them is not the data folder.
bool HoldsTheGame(const fs::path& folder) {
    std::error_code ec;
    const size_t prefix = std::strlen(kAssetPrefix);
    return fs::is_regular_file(folder / (kMenuFontPath + prefix), ec) &&
           fs::is_regular_file(folder / (kSpriteSheetPath + prefix), ec);
}

// Whether a file can be made in the folder: tried for real, since permission bits say nothing
// of read-only mounts, and Windows grants writes under Program Files to no ordinary program.
bool Writable(const fs::path& folder) {
    OutputFile probe;
    bool made = OutputFile_Open(&probe, (folder / ".zorb-write-test").string());
    OutputFile_Abort(&probe);
    return made;
}

// An environment variable's value, "" when unset.
std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

} // namespace

std::string DataFolder_OwnFolder() {
#ifdef _WIN32
    std::string base = Env("APPDATA");
#else
    // The base directory rules: an empty or relative XDG_DATA_HOME counts as unset.
    std::string base = Env("XDG_DATA_HOME");
    if (base.empty() || base[0] != '/') {
        std::string home = Env("HOME");
        base = home.empty() || home[0] != '/' ? "" : home + "/.local/share";
    }
#endif
    return base.empty() ? "" : (fs::path(base) / kOwnFolder).string();
}

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
    for (size_t i = 0; i < candidates.size(); i++) {
        if (HoldsTheGame(candidates[i])) {
            assets = candidates[i];
            installed = i == 2;
            return true;
        }
        tried->push_back(candidates[i]);
    }
    return false;
}

std::string DataFolder_BrokenFont(const std::string& folder) {
    const size_t prefix = std::strlen(kAssetPrefix);
    fs::path font = fs::path(folder) / (kMenuFontPath + prefix);
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(folder) / (kSpriteSheetPath + prefix), ec) ||
        !fs::is_symlink(fs::symlink_status(font, ec)) || fs::exists(font, ec))
        return "";
    fs::path target = fs::read_symlink(font, ec);
    if (target.is_relative()) target = (font.parent_path() / target).lexically_normal();
    return "the game's menu font " + font.string() + " links to " + target.string() +
           ", which is not there: install the package fonts-dejavu-core";
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
    // An installed game's leaderboard is the player's, even where root could write beside the
    // data; one an older version left there is not taken up.
    if (!installed && (fs::exists(fs::symlink_status(beside, ec)) || Writable(assets)))
        return beside.string();
    ownInUse = DataFolder_OwnFolder();
    return ownInUse.empty() ? beside.string() : (fs::path(ownInUse) / kLeaderboard).string();
}

void DataFolder_MakeOwnFolder() {
    std::error_code ec;
    if (!ownInUse.empty()) fs::create_directories(ownInUse, ec);
}
