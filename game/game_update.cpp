// The frame of play: a focus gate, then Escape returns to the front end.
#include "game/game_update.h"

#include "app/menu_state.h"
#include "app/platform.h"
#include "quillon/quillon.h"
#include "ui/front_end.h"

void Game_Update() {
    if (GetFocus() != (HWND)QL_System_GetWindowHandle()) {
        QL_Sound_PauseAll();
        return;
    }
    QL_Sound_ResumeAll();
    QL_Settings_Background(QL_Color_Create(63, 127, 255, 255));
    if (QL_Input_KeyReleased(QL_KEY_ESCAPE))
        QL_Engine_SetNextGameState(Menu_Init, Menu_Update, Menu_Exit);
}
