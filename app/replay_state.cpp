// Watching a recording: the run started from its seed and carried player with its settings, each
// recorded frame played through the run's own frame, and the checkpoints checked on the way.
#include "app/replay_state.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/game_state.h"
#include "app/menu_state.h"
#include "app/online_board.h"
#include "app/run_frame.h"
#include "core/constants.h"
#include "core/desktop.h"
#include "core/settings.h"
#include "quillon/quillon.h"

namespace {

const int kFastSpeed = 4;
const int kVerifyFramesAFrame = 1000;
const int kMostFramesAFrame = 64;

float owed = 0.0f; // seconds of the recording the clock has asked for and not yet had

RunPlayback playback;
ReactionWatch reaction; // how fast the recorded hands answer what comes into sight
ReplayOptions options;
std::string playing;     // the recording's path
bool proving = false;    // played through unseen first, to be shown only once proven
Settings playerSettings; // the player's own, put back when the replay ends
bool paused = false;
bool drawFrame = true;
std::string markShown;      // the mark on the canvas, until a recorded frame is drawn over it
int drawnW = 0, drawnH = 0; // the window's size when the picture was last drawn

void PlayRecordedFrame(const RunCommand& command) {
    RunFrame_Step(command, drawFrame);
    ReactionWatch_Frame(&reaction);
}

// The mark in the top-left corner, clear of the HUD: REPLAY, and the speed or the pause, on a
// black plate as wide as the longest mark. A frame that plays no recorded frame (paused, or none
// due yet) keeps the last picture, and a new mark goes over the last one: on the plate, PAUSED
// leaves nothing of the speed showing. The same mark is not drawn again over itself, so that a
// paused replay leaves the picture as it is and presents nothing new.
void DrawMark(int speed, bool played) {
    char text[32];
    std::snprintf(text, sizeof text, paused ? "REPLAY - PAUSED" : "REPLAY - %dX", speed);
    if (!played && markShown == text) return;
    markShown = text;
    float h = (float)QL_System_GetWindowHeight(), x = 0.02f * h, y = 0.02f * h;
    QL_Settings_TextSize(0.025f * h);
    QL_Settings_TextAlignment(QL_ALIGN_LEFT, QL_ALIGN_TOP);
    int w = 0, textH = 0, pausedW = 0;
    QL_Font_MeasureText(text, &w, &textH);
    QL_Font_MeasureText("REPLAY - PAUSED", &pausedW, &textH);
    float pad = 0.01f * h;
    QL_Settings_NoStroke();
    QL_Settings_RectMode(QL_MODE_TOP_LEFT);
    QL_Settings_Fill(QL_Color{0, 0, 0, 255});
    QL_Graphics_DrawRect(x - pad, y - pad, (float)std::max(w, pausedW) + 2.0f * pad,
                         (float)textH + 2.0f * pad);
    QL_Settings_Fill(QL_Color{255, 255, 0, 255});
    QL_Font_DrawText(text, x, y);
}

// A resized window's canvas starts black: a replay that played no frame into it draws the run
// as it stands, and its mark, again.
void RepaintAfterResize(bool played) {
    int w = QL_System_GetWindowWidth(), h = QL_System_GetWindowHeight();
    if (!played && (w != drawnW || h != drawnH)) {
        RunFrame_Draw();
        markShown.clear();
    }
    drawnW = w;
    drawnH = h;
}

// How many recorded frames to play now. In real time: as many as the time passed covers (at the
// speed), so that a recording made at 200 frames a second plays at its own pace on a screen
// that shows 60 or 500. A stall is not made up for beyond a quarter of a second.
int FramesThisFrame(int speed) {
    if (!options.draw) return kVerifyFramesAFrame;
    if (!options.realTime) return speed;
    owed = std::min(owed + QL_System_GetDt() * (float)speed, 0.25f * (float)speed);
    float next = RunPlayer_NextDt(&playback);
    if (next <= 0.0f) return next < 0.0f ? 0 : 1;
    return std::min(kMostFramesAFrame, (int)(owed / next));
}

// The playback is over: the verdict said, and the way out asked for.
ScreenRequest Finish() {
    if (options.draw || playback.strayed || playback.damaged)
        std::fprintf(stderr, "zorb: %s\n", RunPlayer_Verdict(playback).c_str());
    if (options.quitAtEnd) return ScreenRequest::Quit;
    Menu_OpenAt(options.returnTo);
    return ScreenRequest::ToMenu;
}

// The run from its start, as recorded.
void Start() {
    Game_InitSeeded(playback.reader.header.seed, playback.reader.header.bestScore);
    RunPlayer_ApplyStart(playback);
    ReactionWatch_Reset(&reaction);
    paused = false;
    owed = 0.0f;
    markShown.clear();
    drawnW = drawnH = 0;
}

// A short line on why a recording is not watched: its verdict up to its details.
std::string Why(const RunPlayback& p) {
    std::string verdict = RunPlayer_Verdict(p);
    return verdict.substr(0, std::min(verdict.find(": "), verdict.find(" (")));
}

// Plays the recording through unseen; once it is over, starts it again to be watched, or deletes
// it and goes back saying why.
ScreenRequest ProveStep() {
    for (int i = 0; i < kVerifyFramesAFrame && !playback.over; i++) {
        drawFrame = false;
        if (!RunPlayer_Step(&playback, PlayRecordedFrame)) break;
    }
    if (!playback.over || playback.hasPending) return ScreenRequest::None;
    proving = false;
    std::string why;
    if (RunPlayer_Proven(playback) && RunPlayer_Open(&playback, playing, &why)) {
        Game_Exit();
        settings = playerSettings;
        Start();
        return ScreenRequest::None;
    }
    if (why.empty()) why = Why(playback);
    std::error_code failed;
    std::filesystem::remove(playing, failed);
    OnlineBoard_CannotWatch(why + "; it was deleted");
    Menu_OpenAt(options.returnTo);
    return ScreenRequest::ToMenu;
}

} // namespace

bool Replay_Open(const std::string& path, const ReplayOptions& opts, std::string* why) {
    if (!RunPlayer_Open(&playback, path, why)) return false;
    options = opts;
    playing = path;
    return true;
}

void Replay_Init() {
    playerSettings = settings;
    Menu_LoadFont();
    proving = options.proveFirst;
    Start();
}

ScreenRequest Replay_Step() {
    if (proving) return ProveStep();
    // The viewer looks elsewhere: a replay on the screen waits; a verify, drawing nothing, goes on.
    if (options.draw && Desktop_GetFocus() != QL_System_GetWindowHandle()) {
        QL_Sound_PauseAll();
        return ScreenRequest::None;
    }
    if (QL_Input_KeyTriggered(QL_KEY_ESCAPE)) return Finish();
    if (QL_Input_KeyTriggered(' ')) paused = !paused;
    int speed = options.speed * (QL_Input_KeyDown(QL_KEY_RIGHT) ? kFastSpeed : 1);
    int steps = paused ? 0 : FramesThisFrame(speed);
    for (int i = 0; i < steps; i++) {
        drawFrame = options.draw && i == steps - 1;
        owed -= std::max(0.0f, RunPlayer_NextDt(&playback));
        if (!RunPlayer_Step(&playback, PlayRecordedFrame)) break;
    }
    if (paused) QL_Sound_PauseAll();
    if (options.draw) RepaintAfterResize(steps > 0);
    if (options.draw) DrawMark(speed, steps > 0);
    return playback.over && !playback.hasPending ? Finish() : ScreenRequest::None;
}

void Replay_Exit() {
    Game_Exit();
    settings = playerSettings;
}

const RunPlayback& Replay_Result() {
    return playback;
}

const ReactionWatch& Replay_Reaction() {
    return reaction;
}
