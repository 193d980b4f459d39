// The online screen: the world board's best of all time and of today, eight rows a page, the
// player's own best lit, each row's run to watch, and the player's name on the board. The program
// reads the board in the background and tells the screen through onlineView; the screen only
// asks.
#pragma once

#include <string>

#include "net/board_client.h"
#include "ui/screen_request.h"

// A frame of the screen: O returns to the title, T switches the board, the arrows (or P and N,
// or the pad's shoulders) page, M shows the rows around the player's own place (and the top
// again), 1 to 8 watch a row's run, V the rival's (the row just above the player's own), R renames
// the player, D plays today's run.
ScreenRequest OnlineScreen_Step();
// A row of a board as the screen prints it (monospaced, so the columns line up): its key, rank,
// name, score, stage and length.
std::string OnlineScreen_RowText(int row, const BoardRow& r);
// Whether a name may stand on the board: 1 to 16 characters, letters, digits, spaces and - _ .
bool OnlineScreen_GoodName(const std::string& name);
