// zorb-headless: the whole program without a display, driven by a script on the command line.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/app.h"
#include "app/frames.h"
#include "app/online.h"
#include "app/replay_state.h"
#include "app/settings_store.h"
#include "core/output_file.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "runs/run_player.h"
#include "runs/run_recorder.h"
#include "scores/high_scores.h"
#include "tools/headless/audio_file.h"
#include "tools/headless/autoplay.h"
#include "tools/headless/report.h"
#include "tools/headless/script.h"
#include "tools/headless/send.h"
#include "world/renderer.h"

static void Apply(const HeadlessAction& a, std::vector<HeadlessAction>* later) {
    switch (a.kind) {
    case HeadlessAction::KeyTap:
        QLH_KeyDown(a.key);
        later->push_back({a.frame + 1, HeadlessAction::KeyUp, a.key, 0, 0});
        break;
    case HeadlessAction::KeyDown:
        QLH_KeyDown(a.key);
        break;
    case HeadlessAction::KeyUp:
        QLH_KeyUp(a.key);
        break;
    case HeadlessAction::Mouse:
        QLH_MouseMove(a.x, a.y);
        break;
    case HeadlessAction::Click:
        QLH_MouseMove(a.x, a.y);
        QLH_MouseButton(true);
        later->push_back({a.frame + 1, HeadlessAction::ButtonUp, -1, 0, 0});
        break;
    case HeadlessAction::ButtonUp:
        QLH_MouseButton(false);
        break;
    case HeadlessAction::Focus:
        QLH_SetFocus(a.x != 0.0f);
        break;
    case HeadlessAction::Wait:
        std::this_thread::sleep_for(std::chrono::milliseconds((long)a.x));
        break;
    case HeadlessAction::PadConnect:
        if (!QLH_PadConnect()) std::fprintf(stderr, "zorb-headless: SDL made no virtual pad\n");
        break;
    case HeadlessAction::PadDisconnect:
        QLH_PadDisconnect();
        break;
    case HeadlessAction::PadButton:
        QLH_PadButton(a.key, a.x != 0.0f);
        break;
    case HeadlessAction::PadAxis:
        QLH_PadAxis(a.key, a.x);
        break;
    }
}

// Applies every action due at this frame, including releases scheduled by taps and clicks.
static void ApplyDue(long frame, std::vector<HeadlessAction>* actions) {
    std::vector<HeadlessAction> later;
    for (const HeadlessAction& a : *actions)
        if (a.frame == frame) Apply(a, &later);
    actions->insert(actions->end(), later.begin(), later.end());
}

static bool Unwritten(const std::string& path, const char* why = "") {
    std::fprintf(stderr, "zorb-headless: could not write %s%s\n", path.c_str(), why);
    return false;
}

static bool SaveShot(const std::string& path) {
    std::vector<unsigned char> png;
    return (QLH_EncodePng(&png) && OutputFile_WriteWhole(path, png.data(), png.size())) ||
           Unwritten(path);
}

static void KeepSound(const float* samples, int frames, void* user) {
    AudioFile_Append(static_cast<AudioFile*>(user), samples, frames);
}

// Runs the frames, taking the shots due; false when a shot could not be written.
static bool Run(HeadlessConfig& config, const AudioFile& audio) {
    bool written = true, lastTaken = false;
    FrameTimes times;
    long f = 0;
    for (; f < config.frames && !QLH_Terminated() && !audio.full; f++) {
        ApplyDue(f, &config.actions);
        if (config.autoplay) Autoplay_Frame();
        if (config.autoplay && Autoplay_RunOver()) break;
        // The bot's run ends at its game-over screen: the last picture of the run itself.
        if (config.autoplay && Autoplay_GameOverShown() && !lastTaken && !config.lastShot.empty()) {
            written = SaveShot(config.lastShot) && written;
            lastTaken = true;
        }
        auto start = std::chrono::steady_clock::now();
        QLH_Step(1);
        times.Add(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        for (const HeadlessShot& shot : config.shots)
            if (shot.frame == f) written = SaveShot(shot.path) && written;
    }
    for (const HeadlessShot& shot : config.shots)
        if (shot.frame >= f) written = Unwritten(shot.path, ": the run ended before its frame");
    if (!config.lastShot.empty() && !lastTaken) written = SaveShot(config.lastShot) && written;
    long runFrames = config.autoplay ? Autoplay_RunFrames() : -1;
    if (!config.report.empty() && !Report_Write(config.report.c_str(), times, runFrames))
        written = Unwritten(config.report);
    return written;
}

// The sound is streamed to its file as the run goes; a run longer than a WAV file can hold stops
// there, and the file is not kept.
static bool FinishAudio(const HeadlessConfig& config, AudioFile* audio) {
    if (config.audio.empty()) return true;
    QLH_SetAudioSink(nullptr, nullptr);
    if (audio->full)
        std::fprintf(stderr,
                     "zorb-headless: %s: a WAV file holds at most 4 GB of sound; the run "
                     "stopped there\n",
                     config.audio.c_str());
    return AudioFile_Finish(audio) || Unwritten(config.audio);
}

// Records the run, or starts playing a recording in its place; false when it cannot be played.
static bool StartRecording(const HeadlessConfig& config) {
    if (config.record.empty())
        Recorder_Off();
    else
        Recorder_RecordTo(config.record);
    // The bot, or input scripted at given frames: a program's run, never a person's.
    Recorder_MarkByProgram(config.autoplay || !config.actions.empty());
    const std::string& path = config.verify.empty() ? config.play : config.verify;
    if (path.empty()) return true;
    ReplayOptions options;
    options.speed = config.speed;
    options.realTime = false; // one recorded frame (or --speed of them) a frame of the driver's
    options.draw = config.verify.empty();
    options.quitAtEnd = true;
    std::string why;
    if (App_Watch(path, options, &why)) return true;
    std::fprintf(stderr, "zorb-headless: %s: %s\n", path.c_str(), why.c_str());
    return false;
}

// Whether the run asked to be recorded was recorded whole; says why not.
static bool Recorded(const HeadlessConfig& config) {
    if (config.record.empty()) return true;
    std::string failure = Recorder_Failure();
    if (failure.empty() && Recorder_Path().empty())
        failure = "could not record " + config.record + ": no run was played";
    if (failure.empty()) return true;
    std::fprintf(stderr, "zorb-headless: %s\n", failure.c_str());
    return false;
}

// What a playback proved: printed for --verify; false when it strayed, was damaged or ended
// otherwise than its recording says (and, when verifying, when it did not reach its end).
static bool PlaybackHeld(const HeadlessConfig& config) {
    if (config.play.empty() && config.verify.empty()) return true;
    const RunPlayback& p = Replay_Result();
    if (!config.verify.empty()) std::printf("%s\n", RunPlayer_Verdict(p).c_str());
    if (!config.verify.empty() && RunPlayer_Proven(p))
        std::printf("reaction: median %.3f s over %zu enemies, from first in sight to first hit\n",
                    ReactionWatch_Median(Replay_Reaction()), Replay_Reaction().times.size());
    if (RunPlayer_Contradicted(p)) return false;
    return config.verify.empty() || RunPlayer_Proven(p);
}

int main(int argc, char** argv) {
    HeadlessConfig config;
    std::string error;
    if (!Headless_ParseArgs(argc, argv, &config, &error)) {
        std::fprintf(stderr, "zorb-headless: %s\n%s", error.c_str(), kHeadlessUsage);
        return 2;
    }
    if (config.help) {
        std::fputs(kHeadlessUsage, stdout);
        return 0;
    }
    if (!config.send.empty()) return Headless_Send(config);
    std::string why;
    if (!App_FindData(&why)) {
        std::fprintf(stderr, "zorb-headless: %s\n", why.c_str());
        return 1;
    }
    if (!config.scores.empty()) highScoresPath = config.scores.c_str();
    renderDistancePinned = config.renderDistance;
    if (!QLH_Start(config.width, config.height, config.dt)) {
        std::fprintf(stderr, "zorb-headless: cannot make a %dx%d canvas\n", config.width,
                     config.height);
        return 1;
    }
    AudioFile audio;
    if (!config.audio.empty() && !AudioFile_Open(&audio, config.audio, QLH_AudioRate())) {
        QLH_Shutdown();
        return Unwritten(config.audio), 1;
    }
    if (!config.audio.empty()) QLH_SetAudioSink(KeepSound, &audio);
    if (config.seedGiven) QLH_ForceSeed(config.seed);
    QLH_SetCountOnly(config.countOnly);
    App_Start();
    if (!config.settings.empty()) { // read, and never written back
        SettingsStore_Use(config.settings);
        SettingsStore_Load();
        SettingsStore_Use("");
    }
    if (!StartRecording(config)) {
        QLH_Shutdown();
        return 1;
    }
    Online_Start(config.server);
    bool written = Run(config, audio);
    bool held = PlaybackHeld(config);
    written = FinishAudio(config, &audio) && written;
    Online_Stop();
    QLH_Shutdown(); // leaving the run finishes its recording
    written = Recorded(config) && written;
    return written && held ? 0 : 1;
}
