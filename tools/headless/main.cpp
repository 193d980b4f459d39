// zorb-headless: the whole program without a display, driven by a script on the command line.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/app.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "tools/headless/audio_file.h"
#include "tools/headless/autoplay.h"
#include "tools/headless/report.h"
#include "tools/headless/script.h"

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
    }
}

// Applies every action due at this frame, including releases scheduled by taps and clicks.
static void ApplyDue(long frame, std::vector<HeadlessAction>* actions) {
    std::vector<HeadlessAction> later;
    for (const HeadlessAction& a : *actions)
        if (a.frame == frame) Apply(a, &later);
    actions->insert(actions->end(), later.begin(), later.end());
}

static bool Unwritten(const std::string& path) {
    std::fprintf(stderr, "zorb-headless: could not write %s\n", path.c_str());
    return false;
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
    bool written = true;
    if (!QLH_Start(config.width, config.height, config.dt)) {
        std::fprintf(stderr, "zorb-headless: cannot make a %dx%d canvas\n", config.width,
                     config.height);
        return 1;
    }
    if (config.seedGiven) QLH_ForceSeed(config.seed);
    QLH_SetCountOnly(config.countOnly);
    if (!config.audio.empty()) QLH_SetAudioCapture(true);
    App_Start();
    FrameTimes times;
    for (long f = 0; f < config.frames && !QLH_Terminated(); f++) {
        ApplyDue(f, &config.actions);
        if (config.autoplay) Autoplay_Frame();
        if (config.autoplay && Autoplay_RunOver()) break;
        auto start = std::chrono::steady_clock::now();
        QLH_Step(1);
        times.Add(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        for (const HeadlessShot& shot : config.shots)
            if (shot.frame == f && !QLH_SavePng(shot.path.c_str())) written = Unwritten(shot.path);
    }
    if (!config.lastShot.empty() && !QLH_SavePng(config.lastShot.c_str()))
        written = Unwritten(config.lastShot);
    if (!config.report.empty() && !Report_Write(config.report.c_str(), times))
        written = Unwritten(config.report);
    if (!config.audio.empty() &&
        !AudioFile_WriteWav(config.audio.c_str(), QLH_AudioCapture(), QLH_AudioRate()))
        written = Unwritten(config.audio);
    QLH_Shutdown();
    return written ? 0 : 1;
}
