// The frames of the two game states and the state switches. Only this folder knows the states:
// the screens return what the player asked for, and App_Act switches.
#include "app/frames.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/game_state.h"
#include "app/menu_state.h"
#include "app/player_command.h"
#include "app/replay_state.h"
#include "core/constants.h"
#include "core/desktop.h"
#include "core/settings.h"
#include "game/game_assets.h"
#include "game/game_update.h"
#include "game/player.h"
#include "quillon/quillon.h"
#include "runs/run_library.h"
#include "runs/run_recorder.h"
#include "scores/high_scores.h"
#include "ui/front_end.h"
#include "ui/game_over.h"
#include "ui/hud.h"
#include "ui/pause.h"
#include "ui/score_screens.h"
#include "world/camera.h"
#include "world/debug_overlay.h"

namespace {

// With ZORB_STATE_LOG=1, each change of what the player sees goes to stderr as "state NAME":
// the real-window test waits on these lines instead of waiting for fixed times.
void LogState(const char* name) {
    static const bool on = std::getenv("ZORB_STATE_LOG") && *std::getenv("ZORB_STATE_LOG") == '1';
    static const char* last = nullptr;
    if (!on || name == last) return;
    last = name;
    std::fprintf(stderr, "state %s\n", name);
    std::fflush(stderr);
}

const char* ScreenName() {
    return FrontEnd_ScreenName(frontEnd.menuScreen, frontEnd.quitConfirm);
}

const char* RunName() {
    if (player.lives < 1) return "game over";
    if (!runState.paused) return "run";
    return pauseQuitConfirm ? "pause quit question" : "paused";
}

bool Focused() {
    return Desktop_GetFocus() == QL_System_GetWindowHandle();
}

// The game's cursor over the pause and game-over screens, its top-left at the mouse.
void DrawCursor() {
    QL_System_ShowCursor(false);
    QL_Settings_ImageMode(QL_MODE_TOP_LEFT);
    QL_Image_Draw(cursorImage, QL_Input_GetMouseX(), QL_Input_GetMouseY(), 32.0f, 32.0f, 255);
    QL_Settings_ImageMode(QL_MODE_CENTRE);
}

// The name entry after a run; leaving it files the run's recording, with the tag when it placed.
void GameOverFrame() {
    bool placed = HighScores_Rank(player.score) < kHighScoreCount;
    ScreenRequest request = GameOver_Update(player.score, Recorder_Failure().empty());
    DrawCursor();
    QL_Sound_StopAll();
    if (request == ScreenRequest::ToMenu) Recorder_Finish(placed ? nameLetters : nullptr);
    App_Act(request);
}

HudView HudOfTheRun() {
    return HudView{
        player.score,       player.nextLifeScore, std::max(player.score, player.bestScore),
        player.lives,       player.weapon,        player.autoLevel,
        player.spreadLevel, player.bombLevel,     &whiteFlash,
        &hurtFlash};
}

void DrawFrame() {
    QL_Settings_TextSize((float)(QL_System_GetDisplayWidth() / 100));
    QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
    Camera_GameFrame(player.x, player.y, player.angle, settings.fieldOfView);
    if (settings.debugOverlay != 0) Debug_DrawOverlay(DebugPlace{player.x, player.y, player.angle});
    Hud_Draw(HudOfTheRun());
}

// The whole step, then its picture.
void PlayFrame(const RunCommand& command, bool draw) {
    Game_SimulateStep(command);
    PlayerCommand_AfterStep();
    if (draw) DrawFrame();
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

} // namespace

bool App_Watch(const std::string& path, const ReplayOptions& options, std::string* why) {
    if (!Replay_Open(path, options, why)) return false;
    QL_Engine_SetNextGameState(Replay_Init, Replay_Update, Replay_Exit);
    return true;
}

void App_Act(ScreenRequest request) {
    switch (request) {
    case ScreenRequest::StartRun:
        QL_Engine_SetNextGameState(Game_Init, Game_Update, Game_Exit);
        break;
    case ScreenRequest::ToMenu:
        QL_Engine_SetNextGameState(Menu_Init, Menu_Update, Menu_Exit);
        break;
    case ScreenRequest::Quit:
        QL_Engine_Terminate();
        break;
    case ScreenRequest::WatchRun:
        WatchPlace(highScoreWatchPlace);
        break;
    case ScreenRequest::None:
        break;
    }
}

void Menu_Update() {
    if (!Focused()) {
        QL_Sound_PauseAll();
        return;
    }
    NoteRecordedPlaces();
    ScreenRequest request = FrontEnd_Frame();
    if (QL_Pad_InUse()) DrawCursor(); // where the pad's pointer is
    LogState(ScreenName());
    App_Act(request);
}

ScreenRequest Run_Frame(const RunCommand& command, bool draw) {
    if (!command.focused) {
        runState.paused = 1;
        QL_Sound_PauseAll();
        return ScreenRequest::None;
    }
    if (command.padLost) runState.paused = 1; // an unplugged pad pauses, as losing focus does
    ScreenRequest request = ScreenRequest::None;
    if (runState.paused) {
        QL_Sound_PauseAll();
        if (draw) {
            request = Pause_Update();
            DrawCursor();
        }
    } else {
        PlayFrame(command, draw);
    }
    Game_EscapeToggle(command);
    return request;
}

// A run's frame is recorded as the game sees it: the input before, the state after.
void Game_Update() {
    bool focused = Focused();
    if (focused && player.lives < 1) {
        GameOverFrame();
        LogState(RunName());
        return;
    }
    RunCommand command = PlayerCommand_Build(focused);
    Recorder_Frame(command);
    ScreenRequest request = Run_Frame(command, true);
    Recorder_AfterFrame();
    App_Act(request);
    LogState(RunName());
}
