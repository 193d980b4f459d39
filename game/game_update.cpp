// The frame of play.
#include "game/game_update.h"

#include <algorithm>

#include "app/menu_state.h"
#include "app/platform.h"
#include "app/settings.h"
#include "game/enemies.h"
#include "game/enemy_behaviour.h"
#include "game/game_assets.h"
#include "game/pickups.h"
#include "game/player.h"
#include "game/player_motion.h"
#include "game/projectiles.h"
#include "game/weapons.h"
#include "quillon/quillon.h"
#include "ui/front_end.h"
#include "ui/game_over.h"
#include "ui/hud.h"
#include "ui/pause.h"
#include "world/arena.h"
#include "world/camera.h"
#include "world/debug_overlay.h"

namespace {

// The sky each stage drifts to; stage 0's sky is set by the arena build.
const QL_Color kStageSky[8] = {{63, 127, 255, 255},  {63, 191, 255, 255},  {127, 191, 255, 255},
                               {127, 127, 255, 255}, {191, 127, 191, 255}, {127, 63, 127, 255},
                               {127, 0, 63, 255},    {63, 0, 0, 255}};

void PlayEffect(QL_Sound sound, float factor) {
    QL_Sound_PlayAdvanced(sound, settings.sfxVolume * factor, 1.0f, false, 0);
}

// The game's cursor over the pause and game-over screens, its top-left at the mouse.
void DrawCursor() {
    QL_System_ShowCursor(false);
    QL_Settings_ImageMode(1);
    QL_Image_Draw(cursorImage, QL_Input_GetMouseX(), QL_Input_GetMouseY(), 32.0f, 32.0f, 255);
    QL_Settings_ImageMode(0);
}

void GameOverFrame() {
    GameOver_Update(player.score);
    DrawCursor();
    QL_Sound_StopAll();
}

void DrawFrame() {
    QL_Settings_TextSize((float)(QL_System_GetDisplayWidth() / 100));
    QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
    Camera_GameFrame(player.x, player.y, player.angle, settings.fieldOfView);
    if (settings.debugOverlay != 0) Debug_DrawOverlay(DebugPlace{player.x, player.y, player.angle});
    Hud_Draw(std::max(player.score, player.bestScore));
}

void EnemiesFrame() {
    player.contactCooldown -= QL_System_GetDt();
    for (Enemy& e : EnemyPool)
        if (Enemy_Update(&e)) Enemy_ContactTest(&e);
}

void PlayFrame() {
    QL_Sound_ResumeAll();
    Enemy_SpawnStep();
    Pickups_Update();
    Projectiles_Update();
    EnemiesFrame();
    Weapons_Update();
    PlayerMotion_Update();
    DrawFrame();
    Game_CheckExtraLife();
    Game_AdvanceStage(QL_System_GetDt());
}

void EscapeToggle() {
    if (!QL_Input_KeyTriggered(QL_KEY_ESCAPE)) return;
    PlayEffect(gameSounds.blip, 3.0f);
    runState.paused = runState.paused ? 0 : 1;
}

} // namespace

void Game_CheckExtraLife() {
    if (player.score < player.nextLifeScore) return;
    player.extraLifeLevel += 1;
    player.lives += 1;
    player.nextLifeScore = player.extraLifeLevel * player.extraLifeLevel * 100;
    PlayEffect(gameSounds.healthUp, 0.5f);
}

void Game_AdvanceStage(float dt) {
    runState.elapsed += dt;
    runState.stageTimer -= dt;
    if (runState.stageTimer > 0.0f || runState.stage >= 7) return;
    runState.stageTimer += runState.stageLength;
    runState.stage += 1;
    GameMusic_Start(runState.stage);
    skyTargetColor = kStageSky[runState.stage];
}

void Game_Update() {
    if (GetFocus() != (HWND)QL_System_GetWindowHandle()) {
        runState.paused = 1;
        QL_Sound_PauseAll();
        return;
    }
    if (player.lives < 1) {
        GameOverFrame();
        return;
    }
    if (runState.paused) {
        QL_Sound_PauseAll();
        Pause_Update();
        DrawCursor();
    } else {
        PlayFrame();
    }
    EscapeToggle();
}
