// The program's start.
#include "app/app.h"

#include "app/frames.h"
#include "core/settings.h"
#include "quillon/quillon.h"

void App_Start() {
    Settings_Reset();
    QL_System_Fullscreen();
    QL_System_SetFrameRate(1000.0);
    // Pads SDL does not know yet can be taught in SDL's own format, beside the assets (SDL also
    // reads SDL_GAMECONTROLLERCONFIG itself).
    QL_Pad_AddMappings("./Assets/gamecontrollerdb.txt");
    App_Act(ScreenRequest::ToMenu);
}
