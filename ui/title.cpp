// The title screen. Keys act on release and blip: E starts a run, S, H and C open the settings,
// high-score and credits screens (and O, with a world board set, the online screen), Q asks
// whether to quit and Y answers it. These are letters, as the layout types them; the play keys it
// names are places, named as the layout has them.
#include "ui/title.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/constants.h"
#include "quillon/quillon.h"
#include "ui/control_names.h"
#include "ui/front_end_state.h"
#include "ui/menu_assets.h"
#include "ui/menu_text.h"
#include "ui/splash.h"

namespace {

struct TitleLine {
    float y; // fraction of the window height
    const char* text;
    QL_Color color;
    bool playKeys = false; // names play keys: nothing in it is the title's to click
};

const char* const kMenuKeys = "HIGHSCORES = [H]    SETTINGS = [S]    CREDITS = [C]    QUIT = [Q]";
// With a world board set, the title offers its screen.
const char* const kOnlineMenuKeys =
    "HIGHSCORES = [H]    [O] ONLINE    SETTINGS = [S]    CREDITS = [C]    QUIT = [Q]";
const char* const kQuitQuestion = "REALLY QUIT? [Y]ES / [N]O";

ScreenRequest TitleKeys() {
    ScreenRequest request = ScreenRequest::None;
    if (frontEnd.quitConfirm) { // Y or Return for yes, N or Escape for no
        if (MenuText_KeyReleased('Y') || MenuText_KeyReleased('\r'))
            request = ScreenRequest::Quit;
        else if (MenuText_KeyReleased('N') || MenuText_KeyReleased(QL_KEY_ESCAPE))
            frontEnd.quitConfirm = false;
    }
    if (!frontEnd.quitConfirm && MenuText_KeyReleased('Q'))
        frontEnd.quitConfirm = true;
    else if (MenuText_KeyReleased('E') || QL_Pad_Triggered(QL_PAD_START))
        request = ScreenRequest::StartRun;
    else if (MenuText_KeyReleased('S'))
        request = ScreenRequest::OpenScreen(kScreenSettings);
    else if (MenuText_KeyReleased('H'))
        request = ScreenRequest::OpenScreen(kScreenHighScores);
    else if (MenuText_KeyReleased('C'))
        request = ScreenRequest::OpenScreen(kScreenCredits);
    else if (onlineView.online && MenuText_KeyReleased('O'))
        request = ScreenRequest::OpenScreen(kScreenOnline);
    return request;
}

// The lines that name play keys, each key named as the player's layout has it at its place (the
// line reads "MOVE = [Z] [Q] [S] [D]" on AZERTY).
struct PlayKeyLines {
    char move[kMenuLineSize], weapons[3][kMenuLineSize];
};

// An action's control as a label: "[W]".
std::string Label(Action action, bool pad) {
    return std::string("[").append(ControlNames_Action(action, pad)).append("]");
}

// While a pad is in use the same lines name the pad's controls.
void NamePadControls(PlayKeyLines* out) {
    std::snprintf(out->move, kMenuLineSize,
                  "MOVE = [LEFT STICK]    TURN = [RIGHT STICK]    FIRE = %s    PAUSE = %s",
                  Label(Action::Fire, true).c_str(), Label(Action::Pause, true).c_str());
    const Action guns[3] = {Action::Auto, Action::Spread, Action::Bomb};
    const char* names[3] = {"AUTO GUN", "SPREAD GUN", "BOMB GUN"};
    std::string cycle = Label(Action::PreviousWeapon, true) + "/" + Label(Action::NextWeapon, true);
    for (int i = 0; i < 3; i++)
        std::snprintf(out->weapons[i], kMenuLineSize, "WEAPON %s or %s = %s",
                      Label(guns[i], true).c_str(), cycle.c_str(), names[i]);
}

void NamePlayKeys(PlayKeyLines* out) {
    if (QL_Pad_InUse()) {
        NamePadControls(out);
        return;
    }
    // The mouse turns; it fires too while fire is on its left button.
    bool mouseFires = ControlNames_Action(Action::Fire, false) == "MOUSE LEFT";
    std::string aim = mouseFires ? "TURN & FIRE = [MOUSE]"
                                 : "TURN = [MOUSE]    FIRE = " + Label(Action::Fire, false);
    std::snprintf(out->move, kMenuLineSize, "MOVE = %s %s %s %s    %s    PAUSE = %s",
                  Label(Action::Forward, false).c_str(), Label(Action::StrafeLeft, false).c_str(),
                  Label(Action::Back, false).c_str(), Label(Action::StrafeRight, false).c_str(),
                  aim.c_str(), Label(Action::Pause, false).c_str());
    const Action guns[3] = {Action::Auto, Action::Spread, Action::Bomb};
    const char* names[3] = {"Rapid-Firing and Accurate AUTO GUN",
                            "Close Quarters Sweeping SPREAD GUN",
                            "Dangerous but Destructive BOMB GUN"};
    for (int i = 0; i < 3; i++)
        std::snprintf(out->weapons[i], kMenuLineSize, "WEAPON %s = %s",
                      Label(guns[i], false).c_str(), names[i]);
}

// The lines below the logo; the first one is drawn apart, with its circling shadow.
void TitleLines(TitleLine lines[9]) {
    static PlayKeyLines keys;
    NamePlayKeys(&keys);
    const TitleLine table[9] = {
        {0.55f, keys.move, kWhite, true},
        {0.60f, keys.weapons[0], {255, 0, 255, 255}, true},
        {0.65f, keys.weapons[1], {0, 255, 255, 255}, true},
        {0.70f, keys.weapons[2], {255, 255, 0, 255}, true},
        {0.75f, "Defend yourself against eight kinds of enemies!", kWhite},
        {0.80f, "Rack up score to earn extra lives!", kWhite},
        {0.85f, "Try to survive for as long as possible!", kWhite},
        {0.90f, kMakerNotice, kWhite},
        {0.95f,
         frontEnd.quitConfirm ? kQuitQuestion : (onlineView.online ? kOnlineMenuKeys : kMenuKeys),
         kRed},
    };
    for (int i = 0; i < 9; i++)
        lines[i] = table[i];
}

void TitleDraw() {
    int w = QL_System_GetWindowWidth();
    float fw = (float)w, fh = (float)QL_System_GetWindowHeight();
    QL_Settings_NoStroke();
    QL_Image logo = menuAssets.gameLogo; // each of its pixels 1/2000 of W
    QL_Image_Draw(logo, (float)(w / 2), 0.25f * fh, fw * (float)QL_Image_GetWidth(logo) / 2000.0f,
                  fw * (float)QL_Image_GetHeight(logo) / 2000.0f, 255);
    QL_Settings_TextSize(fh / 50.0f);
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_BOTTOM);
    float theta = QL_Math_Radians(frontEnd.colorCycle * 360.0f);
    float ox = 2.0f * std::cos(theta), oy = 2.0f * std::sin(theta);
    const char* play = QL_Pad_InUse() ? "HIT [START] TO PLAY!" : "HIT [E] TO PLAY!";
    TitleLine lines[9];
    TitleLines(lines);
    const QL_Color black{0, 0, 0, 255};
    MenuText_Draw(play, 0.5f * fw + ox, 0.5f * fh + oy, black, 255);
    for (const TitleLine& line : lines)
        (line.playKeys ? MenuText_DrawPlain : MenuText_Draw)(line.text, 0.5f * fw + 2.0f,
                                                             line.y * fh + 2.0f, black, 255);
    MenuText_Draw(play, 0.5f * fw - ox, 0.5f * fh - oy, MenuText_CycleColor(), 255);
    for (const TitleLine& line : lines)
        (line.playKeys ? MenuText_DrawPlain : MenuText_Draw)(line.text, 0.5f * fw, line.y * fh,
                                                             line.color, 255);
}

} // namespace

ScreenRequest Title_Step() {
    ScreenRequest request = TitleKeys();
    TitleDraw();
    return request;
}
