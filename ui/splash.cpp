// The splash sequence: 5.0 s of the maker's logo (music from 2.6 s in), 2.4 s of the audio
// libraries' logo, 2.4 s of the headphones notice, each fading out over its last 0.4 s. A click,
// any key or any pad button jumps to the fade, and does nothing else on the screen it lands on.
#include "ui/splash.h"

#include "core/constants.h"
#include "quillon/quillon.h"
#include "ui/front_end_state.h"
#include "ui/menu_assets.h"
#include "ui/menu_text.h"

const char* const kMakerNotice = "ZORB (c) 2026 the ZORB team. All rights reserved.";
const char* const kAudioNotice = "Sound by SDL2 and the Quillon software mixer.";

// A logo over its shadow, centred on the window, each of its pixels 1/1500 of W.
// The player asks to skip: a click, or any key or pad button. The screens act on a key as it is
// let go, so the key that skipped is followed until it is (see FrontEnd_Frame); clicks and pad
// buttons they take as they go down, which the splash has had.
static bool SkipAsked() {
    int place = QL_Input_PlaceTriggeredAny();
    if (place >= 0) frontEnd.skipPlace = place;
    return place >= 0 || QL_Input_MouseClicked() || QL_Pad_AnyTriggered();
}

static void DrawLogo(QL_Image front, QL_Image shadow, int alpha) {
    int w = QL_System_GetWindowWidth(), h = QL_System_GetWindowHeight();
    float fw = (float)w;
    float wide = fw * ((float)QL_Image_GetWidth(front) / 1500.0f);
    float high = fw * ((float)QL_Image_GetHeight(front) / 1500.0f);
    QL_Image_Draw(shadow, (float)(w / 2 + 2), (float)(h / 2 + 2), wide, high, alpha);
    QL_Image_Draw(front, (float)(w / 2), (float)(h / 2), wide, high, alpha);
}

static void DrawNotice(const char* text, int alpha) {
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    MenuText_Shadowed(text, 0.5f * w, 0.95f * h, kWhite, alpha);
}

static void DrawMaker(int alpha) {
    DrawLogo(menuAssets.makerWhite, menuAssets.makerBlack, alpha);
    DrawNotice(kMakerNotice, alpha);
}

ScreenRequest Splash_MakerStep() {
    QL_Settings_TextSize((float)QL_System_GetWindowHeight() / 65.0f);
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_BOTTOM);
    frontEnd.splashTimer -= QL_System_GetDt();
    float t = frontEnd.splashTimer;
    if (t > 2.4f) {
        DrawMaker(255);
        if (SkipAsked()) {
            frontEnd.splashTimer = 2.4f;
            return ScreenRequest::None;
        }
    } else {
        if (frontEnd.menuMusicStarted == 0) {
            QL_Sound_PlayAdvanced(menuAssets.music, 1.0f, 1.0f, true, QL_GROUP_MUSIC);
            frontEnd.menuMusicStarted = 1;
        }
        DrawMaker(MenuText_SplashAlpha(t));
    }
    if (frontEnd.splashTimer > 0.0f) return ScreenRequest::None;
    frontEnd.splashTimer = 2.4f;
    return ScreenRequest::OpenScreen(kScreenAudioLogo);
}

ScreenRequest Splash_AudioStep() {
    frontEnd.splashTimer -= QL_System_GetDt();
    if (frontEnd.splashTimer > 0.4f && SkipAsked()) frontEnd.splashTimer = 0.4f;
    int alpha = MenuText_SplashAlpha(frontEnd.splashTimer);
    DrawLogo(menuAssets.audioWhite, menuAssets.audioBlack, alpha);
    QL_Settings_TextSize((float)QL_System_GetWindowHeight() / 65.0f);
    DrawNotice(kAudioNotice, alpha);
    if (frontEnd.splashTimer > 0.0f) return ScreenRequest::None;
    frontEnd.splashTimer = 2.4f;
    return ScreenRequest::OpenScreen(kScreenHeadphones);
}

ScreenRequest Splash_HeadphonesStep() {
    QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
    frontEnd.splashTimer -= QL_System_GetDt();
    float t = frontEnd.splashTimer;
    int w = QL_System_GetWindowWidth(), h = QL_System_GetWindowHeight();
    if (t > 0.4f) {
        QL_Image_Draw(menuAssets.headphones, (float)(w / 2), (float)(h / 2), (float)w, (float)h,
                      255);
        if (SkipAsked()) {
            frontEnd.splashTimer = 0.4f;
            return ScreenRequest::None;
        }
    } else {
        QL_Image_Draw(menuAssets.headphones, (float)(w / 2), (float)(h / 2), (float)w, (float)h,
                      MenuText_SplashAlpha(t));
    }
    return frontEnd.splashTimer <= 0.0f ? ScreenRequest::OpenScreen(kScreenTitle)
                                        : ScreenRequest::None;
}
