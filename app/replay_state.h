// The replay state: a recorded run played back in the window, then back to the title. Space
// pauses, the Right arrow held plays four times as fast (frames simulated, one in four drawn),
// Escape stops. The HUD carries a small REPLAY mark and the speed.
#pragma once

#include <string>

#include "runs/reaction_watch.h"
#include "runs/run_player.h"
#include "ui/screen_request.h"

struct ReplayOptions {
    int speed = 1;          // how fast it plays, before the Right arrow's 4x
    bool realTime = true;   // paced by the clock (the window); false: `speed` recorded frames a
                            // frame, whatever the clock says (the headless driver's frames)
    bool draw = true;       // false: nothing drawn, as fast as it goes (verifying)
    bool quitAtEnd = false; // the program ends with the playback (the headless driver)
    int returnTo = 0;       // the front end's screen afterwards (a MenuScreen): the title
    // Played through unseen before it is shown (a run fetched from the world board): a recording
    // that the game does not play out as recorded is deleted, and the online screen says why.
    bool proveFirst = false;
};

// Opens a recording to watch with the next Replay_Init; false with the reason when it cannot be
// played.
bool Replay_Open(const std::string& path, const ReplayOptions& options, std::string* why);
void Replay_Init();
// A frame of the replay; it returns the way out once the playback is over or stopped: back to the
// front end, or (quitAtEnd) the end of the program.
ScreenRequest Replay_Step();
void Replay_Exit();
// How the playback went so far.
const RunPlayback& Replay_Result();
// How fast the recorded hands answered what came into sight, over the last playback.
const ReactionWatch& Replay_Reaction();
