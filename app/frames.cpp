// The frames of the two game states and the state switches. Only this folder knows the states:
// the screens return what the player asked for, and App_Act switches.
#include "app/frames.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/game_state.h"
#include "app/menu_state.h"
#include "app/online.h"
#include "app/online_board.h"
#include "app/player_command.h"
#include "app/replay_state.h"
#include "app/run_frame.h"
#include "app/settings_store.h"
#include "core/desktop.h"
#include "core/settings.h"
#include "game/player.h"
#include "quillon/quillon.h"
#include "runs/run_figures.h"
#include "runs/run_library.h"
#include "runs/run_recorder.h"
#include "runs/run_story.h"
#include "scores/high_scores.h"
#include "ui/front_end.h"
#include "ui/game_over.h"
#include "ui/key_labels.h"
#include "ui/pause.h"
#include "ui/score_screens.h"
#include "world/fps_log.h"
#include "world/renderer.h"

namespace {

// With ZORB_STATE_LOG=1, each change of what the player sees goes to stderr as "state NAME",
// then "presents N", the pictures handed to the display so far: the real-window test waits on
// these lines instead of waiting for fixed times, and sees a minimised game present nothing.
// A run's states add "player X Y", where the player stands: the test sees the player walk.
void LogState(const char* name, bool inRun = false) {
    static const bool on = std::getenv("ZORB_STATE_LOG") && *std::getenv("ZORB_STATE_LOG") == '1';
    static const char* last = nullptr;
    if (!on || name == last) return;
    last = name;
    std::fprintf(stderr, "state %s\npresents %ld\n", name, QL_System_GetPresentCount());
    if (inRun) std::fprintf(stderr, "player %.2f %.2f\n", (double)player.x, (double)player.y);
    std::fflush(stderr);
}

const char* ScreenName() {
    return FrontEnd_ScreenName(frontEnd.menuScreen, frontEnd.quitConfirm);
}

const char* RunName() {
    if (QL_System_IsHidden()) return "minimised";
    if (player.lives < 1) return "game over";
    if (!runState.paused) return "run";
    return pauseQuitConfirm ? "pause quit question" : "paused";
}

bool Focused() {
    return Desktop_GetFocus() == QL_System_GetWindowHandle();
}

bool runSent = false;     // the run over was sent to the world board from the game-over screen
bool nameEntered = false; // the run over placed, and its letters are in
bool figuresRead = false; // the run's figures and the best of the kept runs are in gameOverFigures
GameOverFigures gameOverFigures;

// The run's figures from its story, against the best of the runs kept before it: read once, as
// the game-over screen first shows.
const GameOverFigures* FiguresOfTheRun() {
    if (figuresRead) return &gameOverFigures;
    figuresRead = true;
    RunFigures run = RunFigures_Of(runStory);
    BestFigures best = RunFigures_Best(RunLibrary_KeptFigures(Recorder_Path()));
    gameOverFigures =
        GameOverFigures{run.seconds, run.kills,    run.shots,     run.hits,   run.stage,
                        best.runs,   best.seconds, best.accuracy, best.kills, best.stage};
    return &gameOverFigures;
}

// The name entry after a run, then its figures; entering the name, leaving, or sending the run,
// files the run's recording, with the tag when it placed.
void GameOverFrame() {
    bool placed = nameEntered || (!runSent && HighScores_Rank(player.score) < kHighScoreCount);
    KeyLabels_BeginFrame();
    GameOverView view{Recorder_Failure().empty(), runSent, nameEntered, FiguresOfTheRun()};
    ScreenRequest request = GameOver_Update(player.score, view);
    RunFrame_DrawCursor();
    QL_Sound_StopAll();
    if (request == ScreenRequest::EnterName) nameEntered = true;
    if (request == ScreenRequest::ToMenu || request == ScreenRequest::SendLastRun ||
        request == ScreenRequest::EnterName)
        Recorder_Finish(placed ? nameLetters : nullptr);
    if (request == ScreenRequest::SendLastRun) {
        runSent = true;
        Online_SendLast(Recorder_Path(), placed ? nameLetters : nullptr);
    }
    Online_RunFrame();
    if (runSent) Online_ShowSending();
    App_Act(request);
}

// The leaderboard's place's recording, when it still plays.
void WatchPlace(int place) {
    std::string why;
    std::string path = RunLibrary_ForPlace(place);
    ReplayOptions options;
    options.returnTo = kScreenHighScores;
    if (!path.empty() && !App_Watch(path, options, &why))
        std::fprintf(stderr, "zorb: %s: %s\n", path.c_str(), why.c_str());
}

// A world board's run, fetched to watch from the online screen and back to it.
void WatchOnlineRun(const std::string& path) {
    std::string why;
    ReplayOptions options;
    options.returnTo = kScreenOnline;
    options.proveFirst = true;
    if (!path.empty() && !App_Watch(path, options, &why)) OnlineBoard_CannotWatch(why);
}

// As the leaderboard opens, which of its places have a run to watch.
void NoteRecordedPlaces() {
    static int lastScreen = -1;
    if (frontEnd.menuScreen == kScreenHighScores && lastScreen != kScreenHighScores) {
        std::string paths[kHighScoreCount];
        RunLibrary_Places(paths);
        for (int p = 0; p < kHighScoreCount; p++)
            highScoreRecorded[p] = !paths[p].empty();
    }
    lastScreen = frontEnd.menuScreen;
}

// The settings are kept as the player leaves the settings screen (or the CONTROLS screen it
// opens) for another.
void KeepSettingsOnLeaving() {
    static bool wasIn = false;
    bool in = frontEnd.menuScreen == kScreenSettings || frontEnd.menuScreen == kScreenControls;
    if (wasIn && !in) SettingsStore_Save();
    wasIn = in;
}

} // namespace

namespace {
const double kIdleFrameCap = 30.0;
} // namespace

// ZORB_FRAME_CAP=N caps the frames at N a second from the start (for the benchmarks and tests;
// the player's own cap is chosen on the settings screen), until the player chooses another. The
// settings screen shows it while it holds; a value that is not a cap is said, and not used.
void Frames_CapFromEnvironment() {
    Frames_CapFrom(std::getenv("ZORB_FRAME_CAP"));
}

void Frames_CapFrom(const char* asked) {
    frameCapOverride = FrameCapOverride();
    if (!asked) return;
    int cap = Settings_ParseFrameCap(asked);
    if (cap == 0) {
        std::fprintf(stderr,
                     "zorb: ZORB_FRAME_CAP takes a whole number from %d to %d; the cap stays at "
                     "%.0f\n",
                     kFrameCapLowest, kFrameCapHighest,
                     Settings_FrameCap(settings.frameCap, QL_System_GetDisplayRefreshRate()));
        return;
    }
    for (int k = 0; k < kFrameCapChoiceCount; k++)
        if (kFrameCapChoices[k] == cap) settings.frameCap = k;
    frameCapOverride = FrameCapOverride{cap, settings.frameCap};
}

void Frames_Pace(bool idle) {
    FpsLog_Frame(QL_System_GetDt(), (int)renderDistance, QL_System_GetFrameRate());
    // The display is asked for its rate only when that is the cap chosen: this runs every frame.
    bool display = kFrameCapChoices[settings.frameCap] == 0;
    QL_System_SetVSync(display); // through a GPU the present waits for the display itself
    double cap = Settings_CapInForce(display ? QL_System_GetDisplayRefreshRate() : 0);
    QL_System_SetFrameRate(idle && cap > kIdleFrameCap ? kIdleFrameCap : cap);
}

bool App_Watch(const std::string& path, const ReplayOptions& options, std::string* why) {
    if (!Replay_Open(path, options, why)) return false;
    QL_Engine_SetNextGameState(Replay_Init, Frames_Replay, Replay_Exit);
    return true;
}

void App_Act(ScreenRequest request) {
    switch (request.kind) {
    case ScreenRequest::StartRun:
        // With the board, the run waits a moment for its session (Menu_Update starts it).
        if (!Online_AskRun(false)) QL_Engine_SetNextGameState(Game_Init, Game_Update, Game_Exit);
        break;
    case ScreenRequest::DailyRun:
        Online_AskRun(true);
        break;
    case ScreenRequest::ToMenu:
        QL_Engine_SetNextGameState(Menu_Init, Menu_Update, Menu_Exit);
        break;
    case ScreenRequest::Quit:
        QL_Engine_Terminate();
        break;
    case ScreenRequest::WatchRun:
        WatchPlace(request.place);
        break;
    case ScreenRequest::SendRun:
        Online_SendPlace(request.place);
        break;
    case ScreenRequest::ReadBoard:
        Online_ReadBoard(request.board, request.page, request.aroundMe);
        break;
    case ScreenRequest::WatchOnline:
        WatchOnlineRun(Online_Watch(request.place));
        break;
    case ScreenRequest::Rename:
        Online_Rename(request.text);
        break;
    case ScreenRequest::None:
    case ScreenRequest::Open:
    case ScreenRequest::SendLastRun: // the game-over frame's own
    case ScreenRequest::EnterName:
        break;
    }
}

void Frames_Replay() {
    LogState("replay");
    App_Act(Replay_Step());
    Frames_Pace(!Focused());
}

void Menu_Update() {
    if (!Focused()) {
        QL_Sound_PauseAll();
        Frames_Pace(true);
        return;
    }
    NoteRecordedPlaces();
    KeepSettingsOnLeaving();
    SettingsStore_FollowDisplay();
    OnlineAsk ask = Online_Frame();
    WatchOnlineRun(ask.watch);
    if (ask.start) {
        if (ask.seeded) Game_SetNextSeed(ask.seed); // its session is open already
        QL_Engine_SetNextGameState(Game_Init, Game_Update, Game_Exit);
    }
    ScreenRequest request = FrontEnd_Frame();
    // The run starting this frame was asked for already: a second ask is the same run.
    if (ask.start && (request == ScreenRequest::StartRun || request == ScreenRequest::DailyRun))
        request = ScreenRequest::None;
    if (QL_Pad_InUse()) RunFrame_DrawCursor(); // where the pad's pointer is
    LogState(ScreenName());
    App_Act(request);
    Frames_Pace(false);
}

// A run's frame is recorded as the game sees it: the input before, the state after.
void Game_Update() {
    bool focused = Focused();
    if (focused && player.lives < 1) {
        GameOverFrame();
        LogState(RunName(), true);
        return;
    }
    runSent = nameEntered = figuresRead = false;
    RunCommand command = PlayerCommand_Build(focused);
    Recorder_Frame(command);
    ScreenRequest request = RunFrame_Step(command, true);
    Recorder_AfterFrame();
    Online_RunFrame();
    App_Act(request);
    Frames_Pace(!focused && runState.paused);
    LogState(RunName(), true);
}
