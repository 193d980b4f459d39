// The recording of the run in play: the header at its start, one frame record per frame, a
// checkpoint every 60 frames, the end at the game over.
#include "runs/run_recorder.h"

#include <ctime>

#include "core/settings.h"
#include "game/player.h"
#include "game/sim_state.h"
#include "quillon/quillon.h"
#include "runs/run_file.h"
#include "runs/run_library.h"

namespace {

RunWriter writer;
bool recording = false;
bool ended = false;
bool enabled = true;
std::string target;     // the caller's file, or "" for Runs/
bool inLibrary = false; // the recording in progress goes to Runs/
std::string lastPath;

} // namespace

void Recorder_RecordTo(const std::string& path) {
    enabled = true;
    target = path;
}

void Recorder_Off() {
    enabled = false;
}

void Recorder_Start() {
    if (recording) Recorder_Finish(nullptr);
    if (!enabled) return;
    RunHeader h;
    h.seed = QL_Random_GetSeed();
    h.mouseSensitivity = settings.mouseSensitivity;
    h.fieldOfView = settings.fieldOfView;
    h.carry = Player_GetCarry();
    h.bestScore = player.bestScore;
    h.date = (int64_t)std::time(nullptr);
    inLibrary = target.empty();
    lastPath = inLibrary ? RunLibrary_NewPath() : target;
    ended = false;
    recording = RunWriter_Open(&writer, lastPath, h);
    if (!recording) RunWriter_Discard(&writer);
}

void Recorder_Frame(bool focused) {
    if (!recording || ended) return;
    RunFrame f;
    QL_Input_GetFrame(&f.input);
    f.focused = focused;
    RunWriter_Frame(&writer, f);
}

void Recorder_AfterFrame() {
    if (!recording || ended) return;
    if (writer.frames % kRunCheckpointFrames == 0) RunWriter_Checkpoint(&writer, SimState_Hash());
    if (player.lives >= 1) return;
    RunWriter_End(&writer, RunEnd{player.score, runState.stage, writer.frames});
    ended = true;
}

void Recorder_Finish(const char* tag) {
    if (!recording) return;
    recording = false;
    if (!ended) RunWriter_End(&writer, RunEnd{player.score, runState.stage, writer.frames});
    if (RunWriter_Finish(&writer, tag) && inLibrary) RunLibrary_Keep(lastPath, tag, player.score);
}

const std::string& Recorder_Path() {
    return lastPath;
}
