// The online screen's work: a page of a world board read in the background, a row's run fetched
// into Runs/online/ to watch, and the player's name changed. Nothing here waits on the network
// in the frame: each piece runs on a thread of its own and the frame only looks whether it is done.
#pragma once

#include <string>

#include "net/board_client.h"

// Reads a page (eight rows) of a board (all time's, today's or the open one) from server, as the
// player key (may be empty) sees it; LOADING shows meanwhile. A page asked for while one is read is
// read next.
void OnlineBoard_Read(const std::string& server, BoardTab board, int page, const std::string& key,
                      bool aroundMe = false);
// The run of the page's row (0 to 7) to watch: the copy kept, else "" while it is fetched.
std::string OnlineBoard_Watch(const std::string& server, int row);
// Once a frame: takes what the threads have done into the screen's view; a fetched run to watch
// once it is in and the online screen still shows, else "".
std::string OnlineBoard_Frame();
// Says on the screen why a run cannot be watched.
void OnlineBoard_CannotWatch(const std::string& why);
// Waits for the threads (each ends within its timeouts): at the program's end.
void OnlineBoard_Stop();
// The board's rows as the screen keeps them: a page holds eight, a ninth says that more follow.
const int kOnlineBoardRows = 8;
// Where the runs fetched to watch are kept: the last kOnlineRunsKept of them.
std::string OnlineBoard_RunsFolder();
const int kOnlineRunsKept = 20;
