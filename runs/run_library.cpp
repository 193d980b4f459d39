// Runs/ and its index. Recordings are named by their start time, so that their names sort in the
// order they were played. The index is a line a kept run: the score, a space, the tag's three
// bytes as they are (a space among them too), a space and the file's name. It is read from a
// regular file of bounded size only, and changed only under the leaderboard's lock, against the
// leaderboard as it is on disk then, since another game may have placed a run meanwhile.
#include "runs/run_library.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "core/output_file.h"
#include "quillon/quillon.h"
#include "scores/high_scores.h"
#include "scores/score_file.h"

namespace fs = std::filesystem;

namespace {

// Eight places' lines take under 400 bytes; an index far beyond that is not ours.
const size_t kIndexMaxBytes = 16384;
const int kIndexMaxLines = 64;

using IndexEntry = RunIndexEntry;

// "SCORE TAG FILE": the tag is exactly three bytes between single spaces. A line may end in CR LF,
// as an index edited on Windows does.
bool ParseIndexLine(std::string line, IndexEntry* e) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t space = line.find(' ');
    if (space == std::string::npos || space == 0 || line.size() < space + 6) return false;
    std::string digits = line.substr(0, space);
    size_t sign = digits[0] == '-' ? 1 : 0;
    if (digits.size() == sign || digits.size() > sign + 10 ||
        digits.find_first_not_of("0123456789", sign) != std::string::npos)
        return false;
    long long score = std::strtoll(digits.c_str(), nullptr, 10);
    if (score < INT32_MIN || score > INT32_MAX || line[space + 4] != ' ') return false;
    e->score = (int)score;
    e->tag = line.substr(space + 1, 3);
    e->file = line.substr(space + 5);
    // A recording's name: printable, with no space and no separator (so never a path elsewhere).
    bool plain = !e->file.empty();
    for (char c : e->file)
        plain = plain && c > ' ' && c < 0x7F && c != '/' && c != '\\';
    return plain;
}

std::vector<IndexEntry> ReadIndex(const std::string& folder) {
    std::vector<unsigned char> bytes;
    if (QL_File_Read((folder + "index.txt").c_str(), kIndexMaxBytes, &bytes) != QL_FILE_OK)
        return {};
    return RunLibrary_ParseIndex(std::string(bytes.begin(), bytes.end()));
}

void WriteIndex(const std::string& folder, const std::vector<IndexEntry>& entries) {
    std::string text = RunLibrary_FormatIndex(entries), why;
    if (!OutputFile_WriteWhole(folder + "index.txt", text.data(), text.size(), &why))
        std::fprintf(stderr, "ZORB: could not write %sindex.txt: %s\n", folder.c_str(),
                     why.c_str());
}

// The places that name runs now: those in memory and those on disk, where another game may
// have saved since this one read the leaderboard.
std::vector<HighScoreEntry> CurrentPlaces() {
    std::vector<HighScoreEntry> places(HighScoreTable, HighScoreTable + kHighScoreCount);
    std::string bytes;
    HighScoreEntry onDisk[kHighScoreCount];
    if (ScoreFile_Read(highScoresPath, &bytes) == ScoreFileRead::Ok &&
        HighScores_Parse(bytes.data(), bytes.size(), onDisk))
        places.insert(places.end(), onDisk, onDisk + kHighScoreCount);
    return places;
}

bool Named(const IndexEntry& e, const std::vector<HighScoreEntry>& places) {
    for (const HighScoreEntry& h : places)
        if (h.score == e.score && e.tag == std::string(h.tag, 3)) return true;
    return false;
}

bool IsRecording(const std::string& name) {
    auto ends = [&](const char* s) {
        std::string t = s;
        return name.size() > t.size() && name.compare(name.size() - t.size(), t.size(), t) == 0;
    };
    return name.rfind("run-", 0) == 0 && (ends(".zrun") || ends(".zrun.part"));
}

// Removes the recordings neither in the index nor among the newest, each with its session token
// (NAME.session) if it has one.
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
    for (const std::string& name : names) {
        if (kept.count(name) || ++recent <= kRunLibraryRecent) continue;
        fs::remove(folder + name, ec);
        fs::remove(folder + name + ".session", ec);
        fs::remove(folder + name + ".figures", ec);
    }
}

} // namespace

std::vector<RunIndexEntry> RunLibrary_ParseIndex(const std::string& text) {
    std::vector<IndexEntry> entries;
    size_t pos = 0;
    for (int lines = 0; pos < text.size() && lines < kIndexMaxLines; lines++) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        IndexEntry e;
        if (ParseIndexLine(text.substr(pos, end - pos), &e)) entries.push_back(e);
        pos = end + 1;
    }
    return entries;
}

std::string RunLibrary_FormatIndex(const std::vector<RunIndexEntry>& entries) {
    std::string text;
    for (const IndexEntry& e : entries)
        text += std::to_string(e.score) + ' ' + e.tag + ' ' + e.file + '\n';
    return text;
}

std::string RunLibrary_Folder() {
    if (!highScoresPath || !*highScoresPath) return "";
    fs::path folder = fs::path(highScoresPath).parent_path() / "Runs";
    return folder.string() + (char)fs::path::preferred_separator;
}

std::string RunLibrary_NewPath(std::string* why) {
    std::string folder = RunLibrary_Folder();
    std::error_code ec;
    if (folder.empty()) {
        if (why) *why = "there is no folder for recordings";
        return "";
    }
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
        if (why) *why = "the folder " + folder + " cannot be made";
        return "";
    }
    std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "run-%Y%m%d-%H%M%S", std::gmtime(&now));
    std::string path = folder + stamp + ".zrun";
    for (int n = 2; fs::exists(fs::symlink_status(path, ec)) ||
                    fs::exists(fs::symlink_status(path + ".part", ec));
         n++)
        path = folder + stamp + "-" + std::to_string(n) + ".zrun";
    return path;
}

void RunLibrary_Keep(const std::string& path, const char* tag, int score) {
    std::string folder = RunLibrary_Folder();
    if (folder.empty()) return;
    ScoreFileLock lock = ScoreFile_Lock(highScoresPath);
    std::vector<IndexEntry> index = ReadIndex(folder);
    if (tag) index.push_back({score, std::string(tag, 3), fs::path(path).filename().string()});
    std::vector<HighScoreEntry> places = CurrentPlaces();
    index.erase(std::remove_if(index.begin(), index.end(),
                               [&](const IndexEntry& e) { return !Named(e, places); }),
                index.end());
    WriteIndex(folder, index);
    Prune(folder, index);
    ScoreFile_Unlock(&lock);
}

void RunLibrary_KeepFigures(const std::string& path, const RunFigures& figures) {
    std::string text = RunFigures_Text(figures), why;
    if (!OutputFile_WriteWhole(path + ".figures", text.data(), text.size(), &why))
        std::fprintf(stderr, "zorb: the run's figures were not kept: %s\n", why.c_str());
}

std::vector<RunFigures> RunLibrary_KeptFigures(const std::string& except) {
    std::vector<RunFigures> kept;
    std::string folder = RunLibrary_Folder();
    std::error_code ec;
    std::string skip = except.empty() ? "" : fs::path(except).filename().string();
    for (const fs::directory_entry& d : fs::directory_iterator(folder, ec)) {
        std::string name = d.path().filename().string(), suffix = ".zrun.figures";
        if (name.size() <= suffix.size() || name.rfind("run-", 0) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::string recording = name.substr(0, name.size() - 8);
        if (recording == skip || !fs::is_regular_file(folder + recording, ec)) continue;
        std::vector<unsigned char> bytes;
        RunFigures f;
        if (QL_File_Read((folder + name).c_str(), 4096, &bytes) == QL_FILE_OK &&
            RunFigures_Parse(std::string(bytes.begin(), bytes.end()), &f))
            kept.push_back(f);
    }
    return kept;
}

void RunLibrary_Places(std::string paths[kHighScoreCount]) {
    for (int p = 0; p < kHighScoreCount; p++)
        paths[p].clear();
    std::string folder = RunLibrary_Folder();
    if (folder.empty()) return;
    std::vector<IndexEntry> index = ReadIndex(folder);
    std::vector<bool> taken(index.size(), false);
    // The same tag and score on several places: the leaderboard puts a new entry below an equal
    // one, and the index lists runs in the order they were kept, so the n-th such place has the
    // n-th such line.
    for (int p = 0; p < kHighScoreCount; p++) {
        const HighScoreEntry& h = HighScoreTable[p];
        for (size_t i = 0; i < index.size(); i++) {
            const IndexEntry& e = index[i];
            if (taken[i] || e.score != h.score || e.tag != std::string(h.tag, 3)) continue;
            taken[i] = true;
            std::error_code ec;
            if (fs::is_regular_file(folder + e.file, ec)) paths[p] = folder + e.file;
            break;
        }
    }
}

std::string RunLibrary_ForPlace(int place) {
    if (place < 0 || place >= kHighScoreCount) return "";
    std::string paths[kHighScoreCount];
    RunLibrary_Places(paths);
    return paths[place];
}
