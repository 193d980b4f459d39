// The front end's state: which screen shows, the splash timer, the colour cycle and the questions
// asked. The screens read it; the front end (ui/front_end.cpp) alone changes the screen shown, as
// the screens ask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/board_client.h"

enum MenuScreen {
    kScreenTitle = 0,
    kScreenHeadphones = 1,
    kScreenMakerLogo = 2,
    kScreenSettings = 3,
    kScreenHighScores = 4,
    kScreenCredits = 5,
    kScreenAudioLogo = 6,
    kScreenOnline = 7,
    kScreenControls = 8,
};
const int kMenuScreenCount = 9;

// What sets each screen apart where the front end handles them all alike: its name in the state
// log, and whether B on a pad backs out of it to the title. A new screen needs its row.
struct MenuScreenTraits {
    const char* name;
    bool padBackToTitle;
};
constexpr MenuScreenTraits kMenuScreenTraits[] = {
    {"title", false},      {"splash", false}, {"splash", false}, {"settings", true},
    {"high scores", true}, {"credits", true}, {"splash", false}, {"online", true},
    {"controls", false}, // B there goes back to the settings
};
static_assert(sizeof kMenuScreenTraits / sizeof kMenuScreenTraits[0] == kMenuScreenCount,
              "every screen has its row of traits");

struct FrontEnd {
    int32_t menuScreen; // a MenuScreen
    float splashTimer;  // seconds left on the current splash screen
    float colorCycle;   // counts down from 1 to 0 once a second
    int32_t menuMusicStarted;
    bool quitConfirm;  // the title asks whether to quit
    bool resetConfirm; // the settings screen asks whether to reset the high scores
    int32_t skipPlace; // the key (by place) that skipped a splash screen, until it is let go
    bool skipLetGo;    // it is let go this frame: no key's release counts in it
};

extern FrontEnd frontEnd;

// What the screens show of the world board, told them by the program each frame: whether a board
// is set, where the last run sent stands ("VERIFIED - WORLD #3", empty when none was sent), and
// the online screen's page of a board.
struct OnlineView {
    bool online = false;
    std::string sendStatus;
    BoardTab board = BoardTab::AllTime; // the board the page shown is of
    int page = 0;                       // eight rows a page, from 0
    bool loading = false;
    bool lastPage = true;       // no rows beyond this page
    std::string problem;        // why the page shows no rows: the server unreachable, say
    std::vector<BoardRow> rows; // at most eight
    std::string day;            // today's board's day (UTC)
    std::string playerName;     // the player's name on the board; empty before the first send
    std::string watchStatus;    // a run being fetched to watch, or why it cannot be watched
    std::string runFor;         // the board the last run is for (empty without a board)
    bool aroundMe = false;      // the page is the rows around the player's own place
    bool placed = false;        // and the player has a place on the board shown
};
extern OnlineView onlineView;
