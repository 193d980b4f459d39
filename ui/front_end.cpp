// The front end's frame: a focus gate, then the title with its keys.
#include "ui/front_end.h"

#include "app/game_state.h"
#include "app/platform.h"
#include "app/settings.h"
#include "game/game_update.h"
#include "quillon/quillon.h"
#include "ui/menu_assets.h"

FrontEnd frontEnd;

void FrontEnd_Reset() {
    frontEnd = FrontEnd{2, 5.0f, 1.0f, 0, false, false};
}

static void Blip() {
    QL_Sound_PlayAdvanced(menuAssets.blip, settings.sfxVolume, 1.0f, false, 0);
}

static void TitleKeys() {
    if (frontEnd.quitConfirm && QL_Input_KeyReleased('Y')) {
        Blip();
        QL_Engine_Terminate();
    } else if (frontEnd.quitConfirm && QL_Input_KeyReleased('N')) {
        Blip();
        frontEnd.quitConfirm = false;
    }
    if (QL_Input_KeyReleased('Q') && !frontEnd.quitConfirm) {
        Blip();
        frontEnd.quitConfirm = true;
    } else if (QL_Input_KeyReleased('E')) {
        Blip();
        QL_Engine_SetNextGameState(Game_Init, Game_Update, Game_Exit);
    }
}

void Menu_Update() {
    if (GetFocus() != (HWND)QL_System_GetWindowHandle()) {
        QL_Sound_PauseAll();
        return;
    }
    QL_System_ShowCursor(false);
    QL_Sound_ResumeAll();
    QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
    if (!frontEnd.menuMusicStarted) {
        QL_Sound_PlayAdvanced(menuAssets.music, 1.0f, 1.0f, true, 1);
        frontEnd.menuMusicStarted = 1;
    }
    TitleKeys();
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    QL_Settings_TextSize(h / 50.0f);
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_BOTTOM);
    QL_Settings_Fill(QL_Color_Create(255, 255, 255, 255));
    QL_Font_DrawText("HIT [E] TO PLAY!", 0.5f * w, 0.5f * h);
    QL_Settings_Fill(QL_Color_Create(250, 50, 50, 255));
    QL_Font_DrawText(frontEnd.quitConfirm ? "REALLY QUIT? [Y]ES / [N]O" : "QUIT = [Q]", 0.5f * w,
                     0.95f * h);
}
