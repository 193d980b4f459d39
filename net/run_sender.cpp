// The worker thread's side of a send, and the outbox.
#include "net/run_sender.h"

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "core/output_file.h"
#include "net/http_cancel.h"
#include "net/http_client.h"
#include "quillon/quillon.h"

namespace fs = std::filesystem;

namespace {

std::string ReadRecording(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (QL_File_Read(path.c_str(), 4u << 20, &bytes) != QL_FILE_OK) return "";
    return std::string(bytes.begin(), bytes.end());
}

const char* const kSessionSuffix = ".session";

// Keeps a copy of the recording in outbox, under its own name, with its session.
void KeepInOutbox(const std::string& outbox, const std::string& path, const std::string& bytes) {
    std::error_code failed;
    fs::create_directories(outbox, failed);
    std::string kept = outbox + "/" + fs::path(path).filename().string();
    std::string session = RunSender_SessionOf(path);
    if (!session.empty()) RunSender_KeepSession(kept, session);
    OutputFile_WriteWhole(kept, bytes.data(), bytes.size());
}

// Sends with the run's session; a run that its session cannot vouch for (closed too late, say)
// goes again without one, and is ranked as a run played without a session.
BoardVerdict SendWithSession(const std::string& server, const std::string& bytes,
                             const BoardPlayer& player, const std::string& session) {
    BoardVerdict v = Board_Send(server, bytes, player, session);
    if (!session.empty() && !v.answered && v.refused) v = Board_Send(server, bytes, player);
    return v;
}

} // namespace

std::string RunSender_SessionOf(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (QL_File_Read((path + kSessionSuffix).c_str(), 256, &bytes) != QL_FILE_OK) return "";
    std::string token(bytes.begin(), bytes.end());
    while (!token.empty() && (token.back() == '\n' || token.back() == '\r'))
        token.pop_back();
    bool sound = token.find_first_not_of("0123456789abcdef.") == std::string::npos;
    return sound ? token : "";
}

bool RunSender_KeepSession(const std::string& path, const std::string& token) {
    std::string text = token + "\n";
    return OutputFile_WriteWhole(path + kSessionSuffix, text.data(), text.size());
}

struct RunSender::Shared {
    mutable std::mutex mutex;
    SendStatus status;
    std::thread worker;

    void Set(const SendStatus& s) {
        std::lock_guard<std::mutex> hold(mutex);
        status = s;
    }
};

std::string RunSender_Text(const SendStatus& s) {
    switch (s.state) {
    case SendState::Sending:
        return "SENDING";
    case SendState::Verifying:
        return "VERIFYING";
    case SendState::Verified:
        return std::string(s.board == "open"    ? "VERIFIED - OPEN BOARD #"
                           : s.board == "bots"  ? "VERIFIED - BOTS' BOARD #"
                           : s.board == "today" ? "VERIFIED - TODAY #"
                                                : "VERIFIED - WORLD #") +
               std::to_string(s.worldRank);
    case SendState::Rejected:
        return "REJECTED: " + s.reason;
    case SendState::NotSent:
        return "NOT SENT: " + s.reason;
    case SendState::Unconfirmed:
        return "NOT VERIFIED YET: SEE THE BOARD";
    default:
        return "";
    }
}

RunSender::RunSender(int verdictSeconds)
    : shared_(std::make_shared<Shared>()), verdictSeconds_(verdictSeconds) {}

RunSender::~RunSender() {
    if (shared_->worker.joinable()) shared_->worker.join();
}

SendStatus RunSender::Status() const {
    std::lock_guard<std::mutex> hold(shared_->mutex);
    return shared_->status;
}

void RunSender::Send(const std::string& server, const std::string& path, const BoardPlayer& player,
                     const std::string& outbox) {
    SendState now = Status().state;
    if (now == SendState::Sending || now == SendState::Verifying) return;
    if (shared_->worker.joinable()) shared_->worker.join();
    shared_->Set(SendStatus{SendState::Sending, 0, 0, "", ""});
    std::shared_ptr<Shared> shared = shared_;
    int verdictSeconds = verdictSeconds_;
    shared_->worker = std::thread([shared, server, path, player, outbox, verdictSeconds] {
        std::string bytes = ReadRecording(path);
        if (bytes.empty())
            return shared->Set({SendState::NotSent, 0, 0, "the recording cannot be read", ""});
        BoardVerdict v = SendWithSession(server, bytes, player, RunSender_SessionOf(path));
        if (!v.answered) {
            if (!v.refused) KeepInOutbox(outbox, path, bytes);
            return shared->Set(
                {v.refused ? SendState::Rejected : SendState::NotSent, 0, 0, v.error, ""});
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(verdictSeconds);
        while (v.status == "waiting" && std::chrono::steady_clock::now() < deadline) {
            shared->Set({SendState::Verifying, 0, 0, "", ""});
            if (!Http_Wait(500)) break;
            BoardVerdict asked = Board_Status(server, v.id);
            if (asked.answered) v = asked;
        }
        if (v.status == "verified")
            return shared->Set({SendState::Verified, v.worldRank, v.score, "", v.board});
        if (v.status == "rejected") return shared->Set({SendState::Rejected, 0, 0, v.reason, ""});
        // The board holds it; its verdict comes later, and the next send may go.
        shared->Set({SendState::Unconfirmed, 0, 0, "", ""});
    });
}

int RunSender_SendOutbox(const std::string& server, const std::string& outbox,
                         const BoardPlayer& player) {
    std::error_code failed;
    std::vector<fs::path> waiting;
    for (const fs::directory_entry& e : fs::directory_iterator(outbox, failed))
        if (e.path().extension() == ".zrun") waiting.push_back(e.path());
    int sent = 0;
    for (const fs::path& file : waiting) {
        if (Http_Cancelled()) break; // the game is closing: the rest wait for the next start
        std::string bytes = ReadRecording(file.string());
        std::string session = RunSender_SessionOf(file.string());
        BoardVerdict v =
            bytes.empty() ? BoardVerdict{} : SendWithSession(server, bytes, player, session);
        // Held by the board, or refused by it for good (not a recording it takes): out of the
        // outbox. Anything else (no answer, a wrong address's 404, a busy board) keeps it.
        if (v.answered || v.refused) {
            fs::remove(file, failed);
            fs::remove(file.string() + kSessionSuffix, failed);
            sent++;
        }
    }
    return sent;
}
