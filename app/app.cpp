// The program's start.
#include "app/app.h"

#include "app/frames.h"
#include "core/settings.h"
#include "quillon/quillon.h"

void App_Start() {
    Settings_Reset();
    QL_System_Fullscreen();
    QL_System_SetFrameRate(1000.0);
    App_Act(ScreenRequest::ToMenu);
}
