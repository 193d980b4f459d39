// The front end's per-frame update and its screen state.
#pragma once

#include <cstdint>

struct FrontEnd {
    int32_t menuScreen; // 0 title, 1 headphones, 2 maker's logo, 3 settings, 4 scores, 5 credits, 6
                        // audio logo
    float splashTimer;  // seconds left on the current splash screen
    float colorCycle;   // counts down from 1 to 0 once a second
    int32_t menuMusicStarted;
    bool quitConfirm;
    bool resetConfirm;
};

extern FrontEnd frontEnd;

void FrontEnd_Reset(); // the start values of every entry into the front end
void Menu_Update();
