// The game on the world board: which server, the player's identity, a run sent from the
// leaderboard in the background, and the outbox sent again at the start. With no server set the
// game opens no connection.
#pragma once

#include <cstdint>
#include <string>

#include "net/board_answer.h"

// Chooses the server (--server, ZORB_SERVER, server.txt, the build's default) and, with one,
// starts sending the outbox's runs in the background.
void Online_Start(const std::string& serverFromArguments);
// The server in use; empty when the game is offline.
const std::string& Online_Server();
// Sends the recording of a leaderboard's place, in the background.
void Online_SendPlace(int place);
// Sends the recording just filed (at path, its leaderboard tag or null), in the background.
void Online_SendLast(const std::string& path, const char* tag);
// The online screen's asks: a board's page read, a row's run to watch (its recording's path once
// it is here, else "" while it is fetched), the player renamed.
void Online_ReadBoard(BoardTab board, int page, bool aroundMe = false);
std::string Online_Watch(int row);
void Online_Rename(const std::string& name);
// Tells the screens where the last run sent stands.
void Online_ShowSending();
// What the world board's background work asks of the program, this frame.
struct OnlineAsk {
    std::string watch;   // a run fetched to watch, once it is here
    bool start = false;  // the run asked for may start: its session is open, or was given up
    bool seeded = false; // with the session's seed (else the run's own)
    uint32_t seed = 0;
};
// Tells the screens where things stand, and reads the board as the online screen opens; once a
// frame.
OnlineAsk Online_Frame();
// A run is asked for: from the title (daily false) or the online screen's D (today's run). For a
// player who takes part online (and for today's run), its session opens first, for the seed the
// board gives, and Online_Frame says when the run may start: false when it may start at once,
// offline. A run from the title that cannot open its session within a moment starts offline on a
// seed of its own, for the open board.
bool Online_AskRun(bool daily);
// Once a frame of a run: as it ends, its session is closed with its recording.
void Online_RunFrame();
// Cuts off the background work's transfers and waits for it to end: at the program's end.
void Online_Stop();
