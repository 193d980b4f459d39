// The recording of the run in play: the header at its start, one frame record per frame, a
// checkpoint every 60 frames, the end at the game over.
#include "runs/run_recorder.h"

#include <cstdio>
#include <ctime>

#include "core/settings.h"
#include "game/player.h"
#include "game/sim_state.h"
#include "quillon/quillon.h"
#include "runs/run_file.h"
#include "runs/run_library.h"
#include "runs/run_story.h"

namespace {

RunWriter writer;
bool recording = false;
bool ended = false;
bool enabled = true;
bool byProgram = false; // the runs are played by a program
std::string target;     // the caller's file, or "" for Runs/
bool inLibrary = false; // the recording in progress goes to Runs/
std::string lastPath;
std::string endDigest; // the recording's digest (its tag empty) once the run's end is written
std::string failure;   // why the run in play (or the last) went unrecorded; "" when it did not

// Notes the first failure of this run's recording, and says it once.
void Failed(const std::string& why) {
    if (!failure.empty()) return;
    std::string what = lastPath.empty() ? "the run" : lastPath;
    failure = "could not record " + what + ": " + (why.empty() ? "it cannot be written" : why);
    // A caller's own file is the caller's to report; the game's Runs/ is said here.
    if (inLibrary) std::fprintf(stderr, "ZORB: %s; this run is not recorded\n", failure.c_str());
}

void CheckWriter() {
    if (writer.out.failed) Failed(writer.out.why);
}

} // namespace

void Recorder_RecordTo(const std::string& path) {
    enabled = true;
    target = path;
}

void Recorder_Off() {
    enabled = false;
}

void Recorder_MarkByProgram(bool mark) {
    byProgram = mark;
}

void Recorder_Start() {
    if (recording) Recorder_Finish(nullptr);
    failure.clear();
    endDigest.clear();
    if (!enabled) return;
    RunHeader h;
    h.seed = QL_Random_GetSeed();
    h.mouseSensitivity = settings.mouseSensitivity;
    h.fieldOfView = settings.fieldOfView;
    h.carry = Player_GetCarry();
    h.bestScore = player.bestScore;
    h.date = (int64_t)std::time(nullptr);
    h.byProgram = byProgram;
    inLibrary = target.empty();
    std::string why;
    lastPath = inLibrary ? RunLibrary_NewPath(&why) : target;
    ended = false;
    if (lastPath.empty()) {
        Failed(why);
        return;
    }
    recording = RunWriter_Open(&writer, lastPath, h);
    CheckWriter();
    if (!recording) RunWriter_Discard(&writer);
}

void Recorder_Frame(const RunCommand& command) {
    if (!recording || ended) return;
    RunWriter_Frame(&writer, command);
    // A frame slower than the time step's bound plays in slow motion: the wall time it lost is
    // noted (a millisecond or more), so that the run can be set against the clock.
    float rate = QL_System_GetFrameRate();
    double lost = rate > 0.0f ? 1.0 / (double)rate - (double)command.dt : 0.0;
    if (lost >= 0.001) RunWriter_LostTime(&writer, lost);
    CheckWriter();
}

void Recorder_AfterFrame() {
    if (!recording || ended) return;
    if (writer.frames % kRunCheckpointFrames == 0) RunWriter_Checkpoint(&writer, SimState_Hash());
    if (player.lives >= 1) return;
    RunWriter_End(&writer, RunEnd{player.score, runState.stage, writer.frames});
    CheckWriter();
    ended = true;
    if (failure.empty()) endDigest = RunWriter_Digest(writer);
}

void Recorder_Finish(const char* tag) {
    if (!recording) return;
    recording = false;
    if (!ended) RunWriter_End(&writer, RunEnd{player.score, runState.stage, writer.frames});
    bool kept = RunWriter_Finish(&writer, tag);
    CheckWriter();
    // The figures go beside it first: keeping it may let older runs (and their figures) go.
    if (kept && inLibrary) RunLibrary_KeepFigures(lastPath, RunFigures_Of(runStory));
    if (kept && inLibrary) RunLibrary_Keep(lastPath, tag, player.score);
}

const std::string& Recorder_Failure() {
    return failure;
}

const std::string& Recorder_EndDigest() {
    return endDigest;
}

const std::string& Recorder_Path() {
    return lastPath;
}
