// Sending runs to the world board without ever holding up a frame: a worker thread does the
// network, and the frame only reads where it stands. A run that cannot be sent is kept in the
// outbox folder and sent again by SendOutbox, at the next start; it leaves the outbox only once
// the board holds it.
#pragma once

#include <memory>
#include <string>

#include "net/board_client.h"

// Unconfirmed: the board holds the run, but gave no verdict while the game asked.
enum class SendState { Idle, Sending, Verifying, Verified, Rejected, NotSent, Unconfirmed };

struct SendStatus {
    SendState state = SendState::Idle;
    int64_t worldRank = 0, score = 0;
    std::string reason; // a rejection's, or why it was not sent
    std::string board;  // a verified run's: ranked, today, open or bots
};

// What the screens show for a status: SENDING, VERIFYING, VERIFIED - WORLD #N (or TODAY #N, OPEN
// BOARD #N, BOTS' BOARD #N), REJECTED: REASON, NOT SENT: REASON, NOT VERIFIED YET: SEE THE BOARD
// (empty when idle).
std::string RunSender_Text(const SendStatus& status);

class RunSender {
  public:
    // verdictSeconds: how long a send asks after its verdict before leaving it to the board.
    explicit RunSender(int verdictSeconds = 120);
    // Waits for the worker thread: a send in flight ends within its timeouts, or at once when the
    // transfers are cancelled (Http_CancelAll).
    ~RunSender();
    RunSender(const RunSender&) = delete;
    RunSender& operator=(const RunSender&) = delete;

    // Starts sending the recording at path, with its session when it has one (ignored while a
    // send is under way). A run that cannot be sent is copied into outbox.
    void Send(const std::string& server, const std::string& path, const BoardPlayer& player,
              const std::string& outbox);
    // Where the last send stands; cheap, for every frame.
    SendStatus Status() const;

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    int verdictSeconds_;
};

// A recording's session token, kept beside it as PATH.session once the session was closed with it;
// sent with the recording. Empty when the run had none.
std::string RunSender_SessionOf(const std::string& path);
bool RunSender_KeepSession(const std::string& path, const std::string& token);

// Sends every recording in outbox, removing each that the board now holds; the number sent.
// Blocks: run it on a thread of its own.
int RunSender_SendOutbox(const std::string& server, const std::string& outbox,
                         const BoardPlayer& player);
