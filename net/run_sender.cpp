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

// Keeps a copy of the recording in outbox, under its own name.
void KeepInOutbox(const std::string& outbox, const std::string& path, const std::string& bytes) {
    std::error_code failed;
    fs::create_directories(outbox, failed);
    std::string name = fs::path(path).filename().string();
    OutputFile_WriteWhole(outbox + "/" + name, bytes.data(), bytes.size());
}

} // namespace

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
        BoardVerdict v = Board_Send(server, bytes, player);
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
        BoardVerdict v = bytes.empty() ? BoardVerdict{} : Board_Send(server, bytes, player);
        // Held by the board, or refused for good (not a recording it takes): out of the outbox.
        if (v.answered || v.refused) {
            fs::remove(file, failed);
            sent++;
        }
    }
    return sent;
}
