// Runs/ and its index. Recordings are named by their start time, so that their names sort in the
// order they were played; the index is rewritten whole through a temporary file.
#include "runs/run_library.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

#include "scores/high_scores.h"

namespace fs = std::filesystem;

namespace {

struct IndexEntry {
    int score;
    std::string tag, file;
};

std::vector<IndexEntry> ReadIndex(const std::string& folder) {
    std::vector<IndexEntry> entries;
    std::ifstream in(folder + "index.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        IndexEntry e;
        if (fields >> e.score >> e.tag >> e.file && e.tag.size() == 3 &&
            e.file.find_first_of("/\\") == std::string::npos)
            entries.push_back(e);
    }
    return entries;
}

void WriteIndex(const std::string& folder, const std::vector<IndexEntry>& entries) {
    std::string temp = folder + "index.txt.part";
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const IndexEntry& e : entries)
            out << e.score << ' ' << e.tag << ' ' << e.file << '\n';
        if (!out.flush()) return;
    }
    std::error_code ec;
    fs::rename(temp, folder + "index.txt", ec);
    if (ec) fs::remove(temp, ec);
}

bool OnLeaderboard(const IndexEntry& e) {
    for (const HighScoreEntry& h : HighScoreTable)
        if (h.score == e.score && e.tag == h.tag) return true;
    return false;
}

bool IsRecording(const std::string& name) {
    auto ends = [&](const char* s) {
        std::string t = s;
        return name.size() > t.size() && name.compare(name.size() - t.size(), t.size(), t) == 0;
    };
    return name.rfind("run-", 0) == 0 && (ends(".zrun") || ends(".zrun.part"));
}

// Removes the recordings neither in the index nor among the newest.
void Prune(const std::string& folder, const std::vector<IndexEntry>& index) {
    std::set<std::string> kept;
    for (const IndexEntry& e : index)
        kept.insert(e.file);
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& d : fs::directory_iterator(folder, ec))
        if (IsRecording(d.path().filename().string()))
            names.push_back(d.path().filename().string());
    std::sort(names.rbegin(), names.rend()); // newest first
    int recent = 0;
    for (const std::string& name : names)
        if (!kept.count(name) && ++recent > kRunLibraryRecent) fs::remove(folder + name, ec);
}

} // namespace

std::string RunLibrary_Folder() {
    if (!highScoresPath || !*highScoresPath) return "";
    fs::path folder = fs::path(highScoresPath).parent_path() / "Runs";
    return folder.string() + (char)fs::path::preferred_separator;
}

std::string RunLibrary_NewPath() {
    std::string folder = RunLibrary_Folder();
    std::error_code ec;
    if (!folder.empty()) fs::create_directories(folder, ec);
    std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "run-%Y%m%d-%H%M%S", std::gmtime(&now));
    std::string path = folder + stamp + ".zrun";
    for (int n = 2; fs::exists(path, ec) || fs::exists(path + ".part", ec); n++)
        path = folder + stamp + "-" + std::to_string(n) + ".zrun";
    return path;
}

void RunLibrary_Keep(const std::string& path, const char* tag, int score) {
    std::string folder = RunLibrary_Folder();
    if (folder.empty()) return;
    std::vector<IndexEntry> index = ReadIndex(folder);
    if (tag) index.push_back({score, std::string(tag, 3), fs::path(path).filename().string()});
    index.erase(std::remove_if(index.begin(), index.end(),
                               [](const IndexEntry& e) { return !OnLeaderboard(e); }),
                index.end());
    WriteIndex(folder, index);
    Prune(folder, index);
}

std::string RunLibrary_ForPlace(int place) {
    if (place < 0 || place >= kHighScoreCount) return "";
    std::string folder = RunLibrary_Folder();
    if (folder.empty()) return "";
    const HighScoreEntry& h = HighScoreTable[place];
    // The same tag and score on several places: the leaderboard puts a new entry below an equal
    // one, and the index lists runs in the order they were kept, so the n-th such place has the
    // n-th such line.
    int same = 0;
    for (int p = 0; p < place; p++)
        same += HighScoreTable[p].score == h.score && std::string(HighScoreTable[p].tag) == h.tag;
    std::error_code ec;
    for (const IndexEntry& e : ReadIndex(folder))
        if (e.score == h.score && e.tag == h.tag && same-- == 0)
            return fs::exists(folder + e.file, ec) ? folder + e.file : "";
    return "";
}
