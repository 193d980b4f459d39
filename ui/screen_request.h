// What a screen asks of the program when the player has chosen, with what the request carries:
// the screens only ask; the front end shows the screen asked for, and the program (app/) switches
// the game state.
#pragma once

#include <string>

#include "net/board_answer.h"

struct ScreenRequest {
    enum Kind {
        None,
        StartRun, // the title's E
        ToMenu,   // the pause overlay's confirmed quit, the game-over screen's button
        Quit,     // the title's confirmed quit
        WatchRun, // the high-score screen's 1 to 8: the recording of that place
        SendRun, // the high-score screen's U then 1 to 8: that place's recording to the world board
        Open,    // another screen of the front end: the title's S, H and C, a splash's end
        ReadBoard,   // the online screen's board and page (board, page) to be read
        WatchOnline, // the online screen's 1 to 8: that row's run (place) to fetch and watch
        Rename,      // the player's name on the world board changed to text
        DailyRun,    // the online screen's D: today's run, its session opened first
        SendLastRun, // the game-over screen's U: the run just filed, to the world board
        EnterName    // the game-over screen's Submit Score: the entry is in, the run to be filed
    } kind = None;
    int screen = 0; // Open: the screen (a MenuScreen)
    int place = -1; // WatchRun, SendRun: the leaderboard's place, 0 to 7; WatchOnline: the row
    BoardTab board = BoardTab::AllTime; // ReadBoard
    int page = 0;                       // ReadBoard
    bool aroundMe = false;              // ReadBoard: the rows around the player's own place
    std::string text;                   // Rename

    ScreenRequest(Kind k = None) : kind(k) {}
    static ScreenRequest OpenScreen(int screen) {
        ScreenRequest r(Open);
        r.screen = screen;
        return r;
    }
    static ScreenRequest Watch(int place) {
        ScreenRequest r(WatchRun);
        r.place = place;
        return r;
    }
    static ScreenRequest Send(int place) {
        ScreenRequest r(SendRun);
        r.place = place;
        return r;
    }
    static ScreenRequest Board(BoardTab board, int page) {
        ScreenRequest r(ReadBoard);
        r.board = board;
        r.page = page;
        return r;
    }
    static ScreenRequest AroundMe(BoardTab board) {
        ScreenRequest r = Board(board, 0);
        r.aroundMe = true;
        return r;
    }
    bool operator==(Kind k) const { return kind == k; }
    bool operator!=(Kind k) const { return kind != k; }
};
