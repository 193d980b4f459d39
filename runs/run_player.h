// Plays a recording back: each of its frames handed to the game as the frame's input, and the
// game's state checked against every checkpoint.
#pragma once

#include <cstdint>
#include <string>

#include "runs/run_file.h"

struct RunPlayback {
    RunReader reader;
    RunCommand pending{};
    bool hasPending = false;
    bool over = false;       // nothing more to play
    bool ended = false;      // the end record was reached
    bool damaged = false;    // a record that cannot be one stopped it
    bool strayed = false;    // a checkpoint differed
    uint32_t strayFrame = 0; // the frame after which it first differed
    uint64_t expected = 0, found = 0;
    uint32_t checkpoints = 0; // checkpoints that matched
    RunEnd end;
};

// Opens a recording. False with the reason when it cannot be played.
bool RunPlayer_Open(RunPlayback* p, const std::string& path, std::string* why);
// The settings and carried player of the recording, applied after the run's start.
void RunPlayer_ApplyStart(const RunPlayback& p);
// Plays one frame: its command handed to frame, then the checkpoints and the end that follow it
// read. False when there was no frame left.
bool RunPlayer_Step(RunPlayback* p, void (*frame)(const RunCommand& command));
// The time step of the frame to be played next; -1 when none is left.
float RunPlayer_NextDt(RunPlayback* p);
// The frames played so far.
uint32_t RunPlayer_Frames(const RunPlayback& p);
// Whether the recording is shown false: it strays, is damaged, or ends otherwise than it says.
bool RunPlayer_Contradicted(const RunPlayback& p);
// Whether the playback reached the recording's end with every checkpoint and the end matching.
bool RunPlayer_Proven(const RunPlayback& p);
// One line on how the playback went: proven, strayed, damaged or cut short.
std::string RunPlayer_Verdict(const RunPlayback& p);
