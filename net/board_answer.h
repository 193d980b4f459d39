// The board's answers read and judged, apart from the network: every field is checked for its
// type and for what a board can mean by it, so that whatever bytes a server sends come back as
// a board's answer or as a plain refusal, never as garbage on the screen or an exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/http_client.h"

struct BoardVerdict {
    bool answered = false; // false: error says why
    bool refused = false;  // the board refused the run for good (sending it again cannot help)
    int64_t id = 0;
    std::string status; // waiting, verified or rejected
    std::string reason; // a rejection's
    int64_t score = 0, stage = 0, worldRank = 0;
    // ranked (of all time), today (a day's session's), open or bots: the board it went to
    // (worldRank is its place there)
    std::string board;
    std::string error;
};

// The boards the game reads: the ranked boards of all time and of today, and the open board (runs
// that verify but were not played live on the board's seed and clock).
enum class BoardTab { AllTime, Today, Open };

struct BoardRow {
    int64_t rank = 0, id = 0, score = 0, stage = 0;
    std::string player;
    std::string unranked; // on the open board: why the run is not ranked, in a few words
    double seconds = 0;
    bool mine = false; // the asking player's own best
};

struct BoardPage {
    bool answered = false;
    std::vector<BoardRow> rows;
    std::string day; // today's board's day
    std::string error;
    int64_t offset = 0;  // the rank before the first row
    bool placed = false; // asked for the rows around the player: they have a place on the board
};

struct BoardSession {
    bool answered = false;
    std::string token, day, error;
    uint32_t seed = 0; // the seed the run is to play
};

// An answer to an upload or a status request: a run's id and state, or why there is none. The
// verdict is refused (sending again cannot help) only when the board itself refused the run.
BoardVerdict BoardAnswer_Verdict(const HttpAnswer& answer);
// A page of a board: every row whole and in range, or no board at all.
BoardPage BoardAnswer_Page(const HttpAnswer& answer);
// A session opened, with the seed to play.
BoardSession BoardAnswer_Session(const HttpAnswer& answer);
// Empty when the board took what was asked (a session closed, say), else why not.
std::string BoardAnswer_Taken(const HttpAnswer& answer);
// A server's text as the game may show or print it: printable ASCII alone, at most `most`
// characters (cut with "...").
std::string BoardAnswer_Printable(const std::string& text, size_t most);
