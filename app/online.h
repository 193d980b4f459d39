// The game on the world board: which server, the player's identity, a run sent from the
// leaderboard in the background, and the outbox sent again at the start. With no server set the
// game opens no connection.
#pragma once

#include <cstdint>
#include <string>

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
void Online_ReadBoard(bool today, int page);
std::string Online_Watch(int row);
void Online_Rename(const std::string& name);
// Tells the screens where the last run sent stands.
void Online_ShowSending();
// What the world board's background work asks of the program, this frame.
struct OnlineAsk {
    std::string watch;  // a run fetched to watch, once it is here
    bool daily = false; // today's run's session is open: start the run with its seed
    uint32_t seed = 0;
};
// Tells the screens where things stand, and reads the board as the online screen opens; once a
// frame.
OnlineAsk Online_Frame();
// A run starts from the title: with a player who takes part online, its session opens.
void Online_RunStarts();
// The online screen's D: today's run's session opens; Online_Frame says when to start the run.
void Online_OpenDaily();
// Once a frame of a run: as it ends, its session is closed with its recording.
void Online_RunFrame();
// Cuts off the background work's transfers and waits for it to end: at the program's end.
void Online_Stop();
