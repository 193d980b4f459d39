// The worker thread's side of a send.
#include "net/run_sender.h"

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "core/output_file.h"
#include "quillon/quillon.h"

namespace fs = std::filesystem;

namespace {

const int kVerdictSeconds = 120;

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
        return "VERIFIED - WORLD #" + std::to_string(s.worldRank);
    case SendState::Rejected:
        return "REJECTED: " + s.reason;
    case SendState::NotSent:
        return "NOT SENT: " + s.reason;
    default:
        return "";
    }
}

RunSender::RunSender() : shared_(std::make_shared<Shared>()) {}

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
    shared_->Set(SendStatus{SendState::Sending, 0, 0, ""});
    std::shared_ptr<Shared> shared = shared_;
    shared_->worker = std::thread([shared, server, path, player, outbox] {
        std::string bytes = ReadRecording(path);
        if (bytes.empty())
            return shared->Set({SendState::NotSent, 0, 0, "the recording cannot be read"});
        BoardVerdict v = SendWithSession(server, bytes, player, RunSender_SessionOf(path));
        if (!v.answered) {
            if (!v.refused) KeepInOutbox(outbox, path, bytes);
            return shared->Set(
                {v.refused ? SendState::Rejected : SendState::NotSent, 0, 0, v.error});
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kVerdictSeconds);
        while (v.status == "waiting" && std::chrono::steady_clock::now() < deadline) {
            shared->Set({SendState::Verifying, 0, 0, ""});
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            BoardVerdict asked = Board_Status(server, v.id);
            if (asked.answered) v = asked;
        }
        if (v.status == "verified")
            return shared->Set({SendState::Verified, v.worldRank, v.score, ""});
        if (v.status == "rejected") return shared->Set({SendState::Rejected, 0, 0, v.reason});
        shared->Set(
            {SendState::Verifying, 0, 0, ""}); // the board holds it; its verdict comes later
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
        std::string bytes = ReadRecording(file.string());
        std::string session = RunSender_SessionOf(file.string());
        BoardVerdict v =
            bytes.empty() ? BoardVerdict{} : SendWithSession(server, bytes, player, session);
        // Held by the board, or refused for good (not a recording it takes): out of the outbox.
        if (v.answered || v.refused) {
            fs::remove(file, failed);
            fs::remove(file.string() + kSessionSuffix, failed);
            sent++;
        }
    }
    return sent;
}
