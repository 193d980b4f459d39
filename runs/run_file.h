// A recorded run (.zrun): the run's start (seed, settings, what the player carried in), then one
// record per frame of the player's command (RunCommand), a hash of the simulation's state every 60
// frames, and the run's end. Frames are stored as changes from the frame before, so a run at a few
// hundred frames a second costs a few bytes a frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/output_file.h"
#include "core/sha256.h"
#include "game/player.h"
#include "game/run_command.h"
#include "quillon/quillon.h"

// 3: the header ends with flags (bit 0: the run was played by a program, not a person).
// 2: frames are the player's commands; still read, as a run of a person (1 kept the devices'
// state, and is no longer read).
const uint16_t kRunFormatVersion = 3;
const uint16_t kRunOldestFormat = 2;
// Raised whenever a change to the game alters how a recorded run plays out: a recording of
// another simulation version cannot be played.
const uint16_t kRunSimVersion = 2;
// A checkpoint follows every this many frames.
const uint32_t kRunCheckpointFrames = 60;
// Where the tag sits in the file, written when the run is finished.
const long kRunTagOffset = 64;
// Where the date sits, the eight bytes before the tag.
const long kRunDateOffset = 56;
static_assert(kRunDateOffset + 8 == kRunTagOffset);
// Where the flags sit (format 3 on), the four bytes after the tag.
const long kRunFlagsOffset = 68;

struct RunHeader {
    uint16_t format = kRunFormatVersion, simVersion = kRunSimVersion;
    uint32_t seed = 0;
    float mouseSensitivity = 0.0f, fieldOfView = 0.0f;
    PlayerCarry carry{};
    int32_t bestScore = 0;
    int64_t date = 0;       // seconds since 1970, UTC
    char tag[4] = {};       // the leaderboard's three letters, empty when the run placed none
    bool byProgram = false; // played by a program (the headless game's autoplay or actions)
};

struct RunEnd {
    int32_t score = 0, stage = 0;
    uint32_t frames = 0;
};

// ---- Writing ----

struct RunWriter {
    OutputFile out;              // path + ".part" until finished; out.why says why it failed
    bool open = false;           // started and not yet finished or discarded
    std::string path;            // the finished file's name
    std::vector<uint8_t> buffer; // whole records not yet written
    RunCommand last{};
    uint32_t frames = 0;
    double lastFlush = 0.0; // seconds on a steady clock
    Sha256 digest;          // of every byte written, the tag still empty
};

// Starts a recording at path + ".part" (made new: a name taken, even by a link, moves it to
// ".part-2" and on). False, with w->out.why, when it cannot be written.
bool RunWriter_Open(RunWriter* w, const std::string& path, const RunHeader& header);
void RunWriter_Frame(RunWriter* w, const RunCommand& frame);
// Notes that the frame just written took this much wall time beyond its time step's bound (the
// game plays a slower frame in slow motion), so that the run's game time can be set against the
// clock.
void RunWriter_LostTime(RunWriter* w, double seconds);
void RunWriter_Checkpoint(RunWriter* w, uint64_t hash);
void RunWriter_End(RunWriter* w, const RunEnd& end);
// Writes what is buffered when a second has passed since the last write (or always, if forced),
// so that a crash loses at most the last second.
void RunWriter_Flush(RunWriter* w, bool force);
// Writes the tag (may be null), closes the file and renames it into place. False on any failure
// (w->out.why says which), the part file then removed and the file at path left as it was.
bool RunWriter_Finish(RunWriter* w, const char* tag);
// Closes and removes the part file.
void RunWriter_Discard(RunWriter* w);
// The SHA-256 (hex) of what was written so far: once the run's end is written, the digest of the
// finished recording with its tag left empty, which the run's session is closed with.
std::string RunWriter_Digest(const RunWriter& w);

// ---- Reading ----

enum class RunRecord { Frame, Checkpoint, End, Over, Damaged };

struct RunReader {
    std::vector<uint8_t> bytes;
    size_t pos = 0;
    RunHeader header;
    RunCommand last{};
    uint32_t frames = 0;      // frames read so far
    bool ended = false;       // the end record was read
    double lostSeconds = 0.0; // wall time beyond the time step's bound, over the frames read
};

// Reads a recording's header. False with a reason (a foreign or damaged file, another format or
// simulation version) on failure.
bool RunReader_Open(RunReader* r, const std::string& path, std::string* why);
bool RunReader_OpenBytes(RunReader* r, std::vector<uint8_t> bytes, std::string* why);
// The next record. Over at the end of the file or at a cut-short record; Damaged at a record that
// cannot be one.
RunRecord RunReader_Next(RunReader* r, RunCommand* frame, uint64_t* hash, RunEnd* end);
