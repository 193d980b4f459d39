// The front end's frame: the backdrop flying over the arena, then the current screen.
#include "ui/front_end.h"

#include "core/settings.h"
#include "quillon/quillon.h"
#include "ui/controls_screen.h"
#include "ui/key_labels.h"
#include "ui/menu_text.h"
#include "ui/online_screen.h"
#include "ui/score_screens.h"
#include "ui/settings_screen.h"
#include "ui/splash.h"
#include "ui/title.h"
#include "world/camera.h"

void FrontEnd_Reset() {
    frontEnd = FrontEnd{kScreenMakerLogo, 5.0f, 1.0f, 0, false, false, -1, false};
}

static ScreenRequest ScreenStep() {
    switch (frontEnd.menuScreen) {
    case kScreenTitle:
        return Title_Step();
    case kScreenHeadphones:
        return Splash_HeadphonesStep();
    case kScreenMakerLogo:
        return Splash_MakerStep();
    case kScreenSettings:
        return SettingsScreen_Step();
    case kScreenHighScores:
        return HighScoreScreen_Step();
    case kScreenCredits:
        return CreditsScreen_Step();
    case kScreenAudioLogo:
        return Splash_AudioStep();
    case kScreenOnline:
        return OnlineScreen_Step();
    case kScreenControls:
        return ControlsScreen_Step();
    default:
        return ScreenRequest::None;
    }
}

const char* FrontEnd_ScreenName(int screen, bool quitConfirm) {
    if (screen < 0 || screen >= kMenuScreenCount) return "splash";
    if (screen == kScreenTitle && quitConfirm) return "quit question";
    if (screen == kScreenControls && ControlsScreen_Asking()) return "controls asking";
    return kMenuScreenTraits[screen].name;
}

// B on a pad backs out: to the title from the screens it opens, and out of a question asked.
static void PadBack() {
    if (!QL_Pad_Triggered(QL_PAD_B)) return;
    int shown = frontEnd.menuScreen;
    bool screen = shown >= 0 && shown < kMenuScreenCount && kMenuScreenTraits[shown].padBackToTitle;
    if (!screen && !(frontEnd.menuScreen == kScreenTitle && frontEnd.quitConfirm)) return;
    MenuText_Blip();
    if (frontEnd.resetConfirm)
        frontEnd.resetConfirm = false;
    else if (screen)
        FrontEnd_Open(kScreenTitle);
    else
        frontEnd.quitConfirm = false;
}

// The screens act on a key as it is let go: the key that skipped a splash screen is not heard
// when it is let go on the screen the splash led to.
static void FollowSkipKey() {
    frontEnd.skipLetGo = frontEnd.skipPlace >= 0 && QL_Input_PlaceReleased(frontEnd.skipPlace);
    if (frontEnd.skipPlace >= 0 && !QL_Input_PlaceDown(frontEnd.skipPlace)) frontEnd.skipPlace = -1;
}

ScreenRequest FrontEnd_Frame() {
    FollowSkipKey();
    QL_System_ShowCursor(false);
    QL_Sound_ResumeAll();
    QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
    frontEnd.colorCycle -= QL_System_GetDt();
    if (frontEnd.colorCycle <= 0.0f) frontEnd.colorCycle = 1.0f;
    Camera_BackdropFrame(settings.fieldOfView);
    KeyLabels_BeginFrame();
    PadBack();
    ScreenRequest request = ScreenStep();
    if (request != ScreenRequest::Open) return request;
    FrontEnd_Open(request.screen); // the front end's own: the program need not hear of it
    return ScreenRequest::None;
}

void FrontEnd_Open(int screen) {
    if (screen >= 0 && screen < kMenuScreenCount) frontEnd.menuScreen = screen;
}
