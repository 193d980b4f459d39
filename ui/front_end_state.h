// The front end's state: which screen shows, the splash timer, the colour cycle and the questions
// asked. The screens read it; the front end (ui/front_end.cpp) alone changes the screen shown, as
// the screens ask.
#pragma once

#include <string>

#include <cstdint>

enum MenuScreen {
    kScreenTitle = 0,
    kScreenHeadphones = 1,
    kScreenMakerLogo = 2,
    kScreenSettings = 3,
    kScreenHighScores = 4,
    kScreenCredits = 5,
    kScreenAudioLogo = 6,
};
const int kMenuScreenCount = 7;

// What sets each screen apart where the front end handles them all alike: its name in the state
// log, and whether B on a pad backs out of it to the title. A new screen needs its row.
struct MenuScreenTraits {
    const char* name;
    bool padBackToTitle;
};
constexpr MenuScreenTraits kMenuScreenTraits[] = {
    {"title", false},      {"splash", false}, {"splash", false}, {"settings", true},
    {"high scores", true}, {"credits", true}, {"splash", false},
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
};

extern FrontEnd frontEnd;

// What the screens show of the world board, told them by the program each frame: whether a board
// is set, and where the last run sent stands ("VERIFIED - WORLD #3", empty when none was sent).
struct OnlineView {
    bool online = false;
    std::string sendStatus;
};
extern OnlineView onlineView;
