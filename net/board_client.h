// The world board's API as the game calls it: send a recording, ask after its verdict, read a
// page of a board, fetch a run. Every call blocks (run it on a worker thread) and comes back with
// its error said plainly when the server cannot be reached or answers what a board would not.
#pragma once

#include <cstdint>
#include <string>

#include "net/board_answer.h"

// Who sends: the name shown on the board and the player's secret key (32 hex digits).
struct BoardPlayer {
    std::string name, key;
};

// A page of a board to read, from a rank on, marking the rows of the player whose key is given.
struct BoardQuery {
    BoardTab board = BoardTab::AllTime;
    int64_t offset = 0, limit = 8;
    std::string key;
    int waitSeconds = 15;  // the most the whole answer may take
    bool aroundMe = false; // the rows around the key's own place instead, from where the board says
};

struct BoardFile {
    bool answered = false;
    std::string bytes;
    std::string error;
};

// Sends a recording; the verdict holds its id and "waiting" (or its state, when the same run was
// sent before).
BoardVerdict Board_Send(const std::string& server, const std::string& recording,
                        const BoardPlayer& player, const std::string& session = "");
BoardVerdict Board_Status(const std::string& server, int64_t id);
// Sends (with the run's session, if given) and then asks after the verdict until there is one
// (at most waitSeconds).
BoardVerdict Board_SendAndWait(const std::string& server, const std::string& recording,
                               const BoardPlayer& player, int waitSeconds,
                               const std::string& session = "");
BoardPage Board_Fetch(const std::string& server, const BoardQuery& query);
// A run session: opened with the player's key as a run starts, giving the seed to play (the daily
// run's, the day's), closed as it ends with the recording's digest, and named when the run is
// sent.
BoardSession Board_OpenSession(const std::string& server, bool daily, const std::string& key,
                               int waitSeconds = 60);
// Closes the session with the digest of the run's recording, asked with the key that opened it;
// empty when closed, else why not.
std::string Board_EndSession(const std::string& server, const std::string& token,
                             const std::string& key, const std::string& sha256);
// A name asked for on the board for the player's key: answered when the board was reached, taken
// when another player holds the name, error why it was not given (empty when it was).
struct BoardName {
    bool answered = false, taken = false;
    std::string error;
};
BoardName Board_ClaimName(const std::string& server, const BoardPlayer& player);
// A run's recording, at most 4 MiB (whether it is one the game can play is the caller's check).
BoardFile Board_Download(const std::string& server, int64_t id);
