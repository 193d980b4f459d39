// The online screen's background work, and its results given to the screen.
#include "app/online_board.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <future>
#include <vector>

#include "core/output_file.h"
#include "runs/run_file.h"
#include "runs/run_library.h"
#include "ui/front_end_state.h"

namespace fs = std::filesystem;

namespace {

// The most a page may take: an unreachable board is said within this.
const int kBoardWaitSeconds = 5;

struct PageAsked {
    std::string server, key;
    BoardTab board = BoardTab::AllTime;
    int page = 0;
    bool aroundMe = false; // the rows around the key's own place, wherever they are
};

struct Fetched {
    std::string path, why; // the run kept, or why there is none
};

std::future<BoardPage> reading;
bool nextAsked = false;
PageAsked next;
std::future<Fetched> fetching;

std::string Upper(std::string text) {
    for (char& c : text)
        c = (char)std::toupper((unsigned char)c);
    return text;
}

void StartReading(const PageAsked& asked) {
    onlineView.board = asked.board;
    onlineView.page = asked.page;
    onlineView.aroundMe = asked.aroundMe;
    onlineView.loading = true;
    onlineView.problem.clear();
    onlineView.rows.clear();
    reading = std::async(std::launch::async, [asked] {
        BoardQuery q;
        q.board = asked.board;
        q.offset = (int64_t)asked.page * kOnlineBoardRows;
        q.limit = kOnlineBoardRows + 1; // a ninth row says that another page follows
        q.key = asked.key;
        q.waitSeconds = kBoardWaitSeconds;
        q.aroundMe = asked.aroundMe && !asked.key.empty();
        return Board_Fetch(asked.server, q);
    });
}

void TakePage(BoardPage page) {
    onlineView.loading = false;
    onlineView.lastPage = page.rows.size() <= (size_t)kOnlineBoardRows;
    if (!onlineView.lastPage) page.rows.resize(kOnlineBoardRows);
    onlineView.rows = page.rows;
    onlineView.day = page.day;
    onlineView.placed = page.placed;
    // Around the player's place, the page is where the board put it (its paging goes on from
    // there).
    if (onlineView.aroundMe) onlineView.page = (int)(page.offset / kOnlineBoardRows);
    if (!page.answered) onlineView.problem = "NO BOARD: " + Upper(page.error);
}

template <typename T> bool Ready(const std::future<T>& f) {
    return f.valid() && f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// Keeps the newest runs fetched, removing the rest.
void Prune(const std::string& folder) {
    std::vector<fs::directory_entry> runs;
    std::error_code failed;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, failed))
        if (e.path().extension() == ".zrun") runs.push_back(e);
    if (runs.size() <= (size_t)kOnlineRunsKept) return;
    std::sort(runs.begin(), runs.end(), [](const fs::directory_entry& a, const auto& b) {
        std::error_code ignored;
        return a.last_write_time(ignored) > b.last_write_time(ignored);
    });
    for (size_t k = kOnlineRunsKept; k < runs.size(); k++)
        fs::remove(runs[k].path(), failed);
}

// Fetches a run and keeps it at path, once it is a recording this game plays. On its own thread.
Fetched Fetch(const std::string& server, int64_t id, const std::string& path) {
    BoardFile file = Board_Download(server, id);
    if (!file.answered) return Fetched{"", file.error};
    RunReader reader;
    std::string why;
    if (!RunReader_OpenBytes(&reader, std::vector<uint8_t>(file.bytes.begin(), file.bytes.end()),
                             &why))
        return Fetched{"", "the server's run is " + why};
    std::error_code failed;
    fs::create_directories(fs::path(path).parent_path(), failed);
    if (!OutputFile_WriteWhole(path, file.bytes.data(), file.bytes.size(), &why))
        return Fetched{"", why};
    Prune(fs::path(path).parent_path().string());
    return Fetched{path, ""};
}

} // namespace

void OnlineBoard_CannotWatch(const std::string& why) {
    onlineView.watchStatus = "CANNOT WATCH: " + Upper(why);
}

std::string OnlineBoard_RunsFolder() {
    std::string runs = RunLibrary_Folder();
    return runs.empty() ? "" : runs + "online";
}

void OnlineBoard_Read(const std::string& server, BoardTab board, int page, const std::string& key,
                      bool aroundMe) {
    PageAsked asked{server, key, board, page, aroundMe};
    if (!reading.valid()) return StartReading(asked);
    next = asked; // read once the page under way is in, so that answers come in order
    nextAsked = true;
    onlineView.board = board;
    onlineView.page = page;
    onlineView.aroundMe = aroundMe;
    onlineView.loading = true;
}

std::string OnlineBoard_Watch(const std::string& server, int row) {
    if (fetching.valid() || row < 0 || row >= (int)onlineView.rows.size()) return "";
    std::string folder = OnlineBoard_RunsFolder();
    if (folder.empty()) {
        onlineView.watchStatus = "NO FOLDER TO KEEP RUNS IN";
        return "";
    }
    const BoardRow& r = onlineView.rows[row];
    std::string path = folder + "/run-" + std::to_string(r.id) + ".zrun", why;
    RunReader kept;
    if (RunReader_Open(&kept, path, &why)) return path;
    onlineView.watchStatus = "FETCHING THE RUN OF #" + std::to_string(r.rank);
    fetching = std::async(std::launch::async, Fetch, server, r.id, path);
    return "";
}

std::string OnlineBoard_Frame() {
    if (Ready(reading)) {
        BoardPage page = reading.get();
        if (nextAsked)
            StartReading(next);
        else
            TakePage(std::move(page));
        nextAsked = false;
    }
    if (!Ready(fetching)) return "";
    Fetched got = fetching.get();
    onlineView.watchStatus.clear();
    if (got.path.empty()) OnlineBoard_CannotWatch(got.why);
    // The player may have left the screen meanwhile: the run is kept, and waits to be asked for.
    return frontEnd.menuScreen == kScreenOnline ? got.path : "";
}

void OnlineBoard_Stop() {
    if (reading.valid()) reading.wait();
    if (fetching.valid()) fetching.wait();
    reading = {};
    fetching = {};
    nextAsked = false;
}
