// The front end's frame: the focus gate, the backdrop flying over the arena, then the current
// screen.
#include "ui/front_end.h"

#include "app/platform.h"
#include "quillon/quillon.h"
#include "ui/menu_text.h"
#include "ui/splash.h"
#include "ui/title.h"
#include "world/camera.h"

FrontEnd frontEnd;

void FrontEnd_Reset() {
    frontEnd = FrontEnd{kScreenMakerLogo, 5.0f, 1.0f, 0, false, false};
}

// Screens still to come show their name and return to the title on their own key.
static void PlainScreen(const char* name, const char* back, int key) {
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    QL_Settings_TextSize(h / 30.0f);
    MenuText_Shadowed(name, 0.5f * w, 0.3f * h, QL_Color{255, 255, 255, 255}, 255);
    MenuText_Shadowed(back, 0.5f * w, 0.9f * h, QL_Color{250, 50, 50, 255}, 255);
    if (MenuText_KeyReleased(key)) frontEnd.menuScreen = kScreenTitle;
}

static void ScreenStep() {
    switch (frontEnd.menuScreen) {
    case kScreenTitle:
        Title_Step();
        break;
    case kScreenHeadphones:
        Splash_HeadphonesStep();
        break;
    case kScreenMakerLogo:
        Splash_MakerStep();
        break;
    case kScreenSettings:
        PlainScreen("SETTINGS", "BACK = [S]", 'S');
        break;
    case kScreenHighScores:
        PlainScreen("HIGHSCORES", "BACK = [H]", 'H');
        break;
    case kScreenCredits:
        PlainScreen("CREDITS", "BACK = [C]", 'C');
        break;
    case kScreenAudioLogo:
        Splash_AudioStep();
        break;
    default:
        break;
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
    frontEnd.colorCycle -= QL_System_GetDt();
    if (frontEnd.colorCycle <= 0.0f) frontEnd.colorCycle = 1.0f;
    Camera_BackdropFrame();
    ScreenStep();
}
