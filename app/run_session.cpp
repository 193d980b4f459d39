// The run's session: one open and one close, each on a thread of its own.
#include "app/run_session.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <vector>

#include "net/board_client.h"
#include "net/run_sender.h"

namespace {

std::future<BoardSession> opening;
BoardSession open;   // once opening is done
std::string openKey; // the key it was opened with, which closes it too
std::future<void> closing;
bool closed = false; // this run's session was closed, or given up
// An earlier run's session work still under way as a new run starts: left to end on its own
// rather than waited for in the frame, and waited for at the program's end.
std::vector<std::future<BoardSession>> retiredOpens;
std::vector<std::future<void>> retiredCloses;

bool Done(const std::future<BoardSession>& f) {
    return f.valid() && f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// Takes the opened session in, once it is there.
void TakeOpened() {
    if (Done(opening)) open = opening.get();
}

} // namespace

void RunSession_Open(const std::string& server, bool daily, const std::string& key,
                     int waitSeconds) {
    auto over = [](const auto& f) {
        return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };
    retiredOpens.erase(std::remove_if(retiredOpens.begin(), retiredOpens.end(), over),
                       retiredOpens.end());
    retiredCloses.erase(std::remove_if(retiredCloses.begin(), retiredCloses.end(), over),
                        retiredCloses.end());
    if (opening.valid()) retiredOpens.push_back(std::move(opening));
    if (closing.valid()) retiredCloses.push_back(std::move(closing));
    open = BoardSession();
    openKey = key;
    closed = false;
    opening = std::async(std::launch::async, Board_OpenSession, server, daily, key, waitSeconds);
}

bool RunSession_Ready(uint32_t* seed, std::string* why) {
    TakeOpened();
    if (opening.valid() || closed) return false;
    if (!open.answered) *why = open.error.empty() ? "no session was opened" : open.error;
    *seed = open.seed;
    return open.answered;
}

void RunSession_GiveUp() {
    if (opening.valid()) retiredOpens.push_back(std::move(opening));
    open = BoardSession();
    closed = true;
}

void RunSession_Frame(const std::string& server, const std::string& digest,
                      const std::string& path) {
    TakeOpened();
    if (closed || digest.empty() || path.empty() || opening.valid()) return;
    closed = true; // a session that did not open leaves the run without one
    if (!open.answered) return;
    std::string token = open.token, key = openKey;
    closing = std::async(std::launch::async, [server, token, key, digest, path] {
        if (Board_EndSession(server, token, key, digest).empty())
            RunSender_KeepSession(path, token);
    });
}

bool RunSession_Closing() {
    if (closing.valid() && closing.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        closing.get();
    return closing.valid() || (opening.valid() && !closed);
}

void RunSession_Stop() {
    if (opening.valid()) retiredOpens.push_back(std::move(opening));
    if (closing.valid()) retiredCloses.push_back(std::move(closing));
    retiredOpens.clear(); // each waits for its thread as it goes
    retiredCloses.clear();
    open = BoardSession();
    closed = false;
}
