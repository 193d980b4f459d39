// Records the run being played: started with the run, fed each frame's input before the frame and
// the state after it, ended at the game over, finished when the run is left.
#pragma once

#include <string>

#include "game/run_command.h"

// Where runs are recorded: "" for Runs/ beside the leaderboard (the game's way), or one file of
// the caller's (each run overwrites it).
void Recorder_RecordTo(const std::string& path);
// Runs are not recorded (tests and benchmarks) until Recorder_RecordTo.
void Recorder_Off();
// Marks the runs recorded from now on as played by a program (a bot, or scripted input), so that
// a board can tell them from a person's.
void Recorder_MarkByProgram(bool byProgram);
// Starts recording the run just begun, where runs are recorded. Without a place to write, the
// run plays unrecorded.
void Recorder_Start();
// The frame's command, as the run is about to step on it.
void Recorder_Frame(const RunCommand& command);
// After the frame: a checkpoint every 60 frames, and the end once the player has no lives left.
void Recorder_AfterFrame();
// Finishes the recording, with the leaderboard tag when the run placed (null when not), and files
// it in Runs/. A recording not started does nothing.
void Recorder_Finish(const char* tag);
// Why the run in play, or the last one, went unrecorded ("could not record FILE: REASON", said
// once on stderr as it happened when the run goes to Runs/); "" while all is well.
const std::string& Recorder_Failure();
// Where the recording in progress (or the last one finished) is written.
const std::string& Recorder_Path();
// Once the run in play has ended (its recording whole): the SHA-256 of its recording as it will be
// filed, but with the tag empty (the tag is entered after the run); "" before, or unrecorded.
const std::string& Recorder_EndDigest();
