// The program's start.
#include "app/app.h"

#include "app/game_state.h"
#include "app/menu_state.h"
#include "app/settings.h"
#include "game/game_update.h"
#include "quillon/quillon.h"
#include "ui/front_end.h"

void App_Start() {
    Settings_Reset();
    QL_System_Fullscreen();
    QL_System_SetFrameRate(1000.0);
    QL_Engine_SetNextGameState(Menu_Init, Menu_Update, Menu_Exit);
}
