// What an uploaded recording says of itself, read through without playing it: whether it is a
// whole recording this server can verify, and the figures the board and the session check need.
#pragma once

#include <cstdint>
#include <string>

#include "runs/run_file.h"

// The most play a run may hold: two hours at a thousand frames a second.
const uint32_t kUploadMostFrames = 2u * 3600u * 1000u;
// The largest recording taken.
const size_t kUploadMostBytes = 4u << 20;
// The most a request of JSON (a session's) may hold.
const size_t kJsonMostBytes = 4096;

struct UploadFacts {
    RunHeader header;
    RunEnd end;             // what the recording claims; the board shows the replay's own
    double gameSeconds = 0; // the sum of its time steps, pauses included
    double lostSeconds = 0; // wall time its slow frames lost beyond the step's bound
    // The SHA-256 (hex) of the play alone: what steers the simulation (its version, seed, mouse
    // sensitivity, carried state and commands, as read), never its format, date, tag, flags, field
    // of view, best score, lost time or claimed end. A copy sent with any of those changed is the
    // same play.
    std::string playSha256;
    int64_t checkpoints = 0; // the state hashes it carries
    // Figures of the hands behind the play, for a moderator: the spread (standard deviation) of the
    // mouse's turn from frame to frame, in pixels, and presses of fire a second of game time.
    double turnSpread = 0, firePresses = 0;
};

// Reads the recording's bytes through. False with the reason to answer 422 with: not a
// recording, another format or simulation version (saying which this server takes), cut short,
// damaged, too long, a value the game cannot produce, bytes after its end, or a date after now
// (seconds since 1970).
bool Upload_Check(const std::string& bytes, int64_t now, UploadFacts* facts, std::string* why);
