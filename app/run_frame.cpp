// A frame of a run, live or played back, from the player's command: the focus and pause gates,
// the whole step, then its picture.
#include "app/run_frame.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/player_command.h"
#include "core/settings.h"
#include "game/game_assets.h"
#include "game/game_update.h"
#include "game/player.h"
#include "game/step_effects.h"
#include "quillon/quillon.h"
#include "runs/run_story.h"
#include "ui/hud.h"
#include "ui/pause.h"
#include "world/camera.h"
#include "world/debug_overlay.h"

namespace {

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

// ZORB_STORY=off leaves the run's story untold: only for measuring what telling it costs.
bool StoryTold() {
    static const bool told =
        !(std::getenv("ZORB_STORY") && std::strcmp(std::getenv("ZORB_STORY"), "off") == 0);
    return told;
}

// The whole step, then its picture.
void PlayFrame(const RunCommand& command, bool draw) {
    GameUpdate_Step(command);
    if (StoryTold()) RunStory_Frame(&runStory);
    StepEffects_CarryOut();
    PlayerCommand_AfterStep();
    if (draw) DrawFrame();
}

} // namespace

void RunFrame_Draw() {
    DrawFrame();
}

void RunFrame_DrawCursor() {
    QL_System_ShowCursor(false);
    QL_Settings_ImageMode(QL_MODE_TOP_LEFT);
    QL_Image_Draw(cursorImage, QL_Input_GetMouseX(), QL_Input_GetMouseY(), 32.0f, 32.0f, 255);
    QL_Settings_ImageMode(QL_MODE_CENTRE);
}

ScreenRequest RunFrame_Step(const RunCommand& command, bool draw) {
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
            RunFrame_DrawCursor();
        }
    } else {
        PlayFrame(command, draw);
    }
    GameUpdate_PauseToggle(command);
    StepEffects_CarryOut();
    return request;
}
