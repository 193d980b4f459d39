// The settings screen. Keys act on release with a blip; nothing is saved.
#include "ui/settings_screen.h"

#include <cstdio>
#include <vector>

#include "core/constants.h"
#include "core/settings.h"
#include "quillon/quillon.h"
#include "scores/high_scores.h"
#include "ui/controls_screen.h"
#include "ui/front_end_state.h"
#include "ui/menu_assets.h"
#include "ui/menu_text.h"

namespace {

// Whichever of the two keys was released first changes the value.
bool DownUp(int down, int up, float* value, float step, float lower, float upper, bool blipFirst) {
    int key = MenuText_Asked(down) ? down : (MenuText_Asked(up) ? up : 0);
    if (key == 0) return false;
    if (blipFirst) MenuText_Blip();
    if (key == down)
        SettingsScreen_StepDown(value, step, lower);
    else
        SettingsScreen_StepUp(value, step, upper);
    return true;
}

void ResetQuestion() {
    if (frontEnd.resetConfirm) {
        if (MenuText_KeyReleased('N')) {
            frontEnd.resetConfirm = false;
        } else if (MenuText_KeyReleased('Y')) {
            HighScores_WriteDefaults();
            frontEnd.resetConfirm = false;
        }
    } else if (MenuText_KeyReleased('M')) {
        frontEnd.resetConfirm = true;
    }
}

// K and L step through the caps on offer, as the other lines step their values.
void FrameCapKeys() {
    int step = MenuText_KeyReleased('K') ? -1 : (MenuText_KeyReleased('L') ? 1 : 0);
    int choice = settings.frameCap + step;
    if (step == 0 || choice < 0 || choice >= kFrameCapChoiceCount) return;
    settings.frameCap = choice; // the program holds the frames to it from this frame on
}

// The cap's line: the cap in force, with the display's rate as "60 (DISPLAY)".
void FrameCapLine(char out[kMenuLineSize]) {
    int shown = (int)Settings_CapInForce(QL_System_GetDisplayRefreshRate());
    bool display =
        kFrameCapChoices[settings.frameCap] == 0 &&
        shown == (int)Settings_FrameCap(settings.frameCap, QL_System_GetDisplayRefreshRate());
    std::snprintf(out, kMenuLineSize,
                  display ? "[K]    FRAME CAP: %d (DISPLAY)    [L]" : "[K]    FRAME CAP: %d    [L]",
                  shown);
}

// With more than one display, J moves the window (or full screen) to the next.
void DisplayKey() {
    int count = QL_System_GetDisplayCount();
    if (count < 2 || !MenuText_KeyReleased('J')) return;
    int next = (QL_System_GetWindowDisplay() + 1) % count;
    QL_System_MoveToDisplay(next);
    settings.display = Settings_DescribeDisplay(next);
}

// The display's line, where there is more than one: its number and name.
const char* DisplayLine(char out[kMenuLineSize]) {
    int count = QL_System_GetDisplayCount();
    if (count < 2) return nullptr;
    QL_Display d;
    int shown = QL_System_GetWindowDisplay();
    QL_System_GetDisplay(shown, &d);
    std::snprintf(out, kMenuLineSize, "[J]    DISPLAY %d OF %d: %s    [J]", shown + 1, count,
                  MenuText_Escaped(d.name, 24).c_str());
    return out;
}

void Keys() {
    // The effect volume's blip sounds at the level just chosen.
    if (DownUp('D', 'F', &settings.sfxVolume, 0.1f, 0.0f, 1.0f, false)) MenuText_Blip();
    if (DownUp('E', 'R', &settings.musicVolume, 0.1f, 0.0f, 1.0f, true))
        QL_Sound_SetGroupVolume(QL_GROUP_MUSIC, settings.musicVolume * 2.0f);
    DownUp('C', 'V', &settings.fieldOfView, 5.0f, kFieldOfViewLowest, kFieldOfViewHighest, true);
    DownUp('G', 'H', &settings.mouseSensitivity, 0.1f, kSensitivityLowest, kSensitivityHighest,
           true);
    if (MenuText_KeyReleased('P')) {
        settings.resolutionMode = (settings.resolutionMode + 1) % 3;
        SettingsScreen_ApplyWindow();
    }
    if (MenuText_KeyReleased('B')) settings.debugOverlay = (settings.debugOverlay + 1) % 2;
    if (MenuText_KeyReleased('X')) settings.flashes = (settings.flashes + 1) % kFlashesChoiceCount;
    float shake = (float)settings.screenShake;
    if (DownUp('U', 'I', &shake, (float)kShakeStep, 0.0f, 100.0f, true))
        settings.screenShake = (int32_t)shake;
    FrameCapKeys();
    DisplayKey();
    ResetQuestion();
}

void DrawRows(const std::vector<const char*>& rows, const char* reset);

void Draw() {
    static char music[kMenuLineSize], sfx[kMenuLineSize], fov[kMenuLineSize], mouse[kMenuLineSize];
    static char cap[kMenuLineSize], shake[kMenuLineSize], display[kMenuLineSize];
    FrameCapLine(cap);
    std::snprintf(music, kMenuLineSize, "[E]    BGM VOLUME: %.0f%%%%    [R]",
                  (double)settings.musicVolume * 100.0);
    std::snprintf(sfx, kMenuLineSize, "[D]    SFX VOLUME: %.0f%%%%    [F]",
                  (double)settings.sfxVolume * 100.0);
    std::snprintf(fov, kMenuLineSize, "[C]    FOV: %.0f DEGREES    [V]",
                  (double)settings.fieldOfView);
    std::snprintf(mouse, kMenuLineSize, "[G]    MOUSE SENSITIVITY: %.1f    [H]",
                  (double)settings.mouseSensitivity);
    const char* resolutions[3] = {"[P]    RESO: 640 x 480 WINDOW    [P]",
                                  "[P]    RESO: 1280 x 720 WINDOW    [P]",
                                  "[P]    RESO: FULLSCREEN    [P]"};
    const char* resolution =
        resolutions[settings.resolutionMode == 0 ? 0 : (settings.resolutionMode == 1 ? 1 : 2)];
    const char* debug =
        settings.debugOverlay ? "[B]    PRINT DEBUG INFO    [B]" : "[B]    NO DEBUG INFO    [B]";
    const char* reset =
        frontEnd.resetConfirm ? "REALLY RESET? [Y]ES / [N]O" : "[M] = RESET HIGHSCORES";
    const char* flashes[kFlashesChoiceCount] = {
        "[X]    FLASHES: FULL    [X]", "[X]    FLASHES: SOFT    [X]", "[X]    FLASHES: OFF    [X]"};
    const char* flash =
        flashes[settings.flashes >= 0 && settings.flashes < 3 ? settings.flashes : 0];
    std::snprintf(shake, kMenuLineSize, "[U]    SCREEN SHAKE: %d%%%%    [I]",
                  (int)settings.screenShake);
    std::vector<const char*> rows = {music, sfx,   fov,   mouse, resolution,
                                     debug, flash, shake, cap,   "CONTROLS = [O]"};
    if (const char* shown = DisplayLine(display)) rows.insert(rows.begin() + 5, shown);
    rows.push_back(reset);
    DrawRows(rows, reset);
}

// The title, the rows spaced evenly below it (the reset question in red) and the way back.
void DrawRows(const std::vector<const char*>& rows, const char* reset) {
    const float body = 1.0f / 28.0f, gap = 0.75f / (float)rows.size();
    std::vector<MenuLine> lines = {{0.065f, 1.0f / 20.0f, "SETTINGS", "SETTINGS", kWhite}};
    for (size_t r = 0; r < rows.size(); r++) {
        bool asking = rows[r] == reset && frontEnd.resetConfirm;
        lines.push_back(
            MenuLine{0.15f + gap * (float)r, body, rows[r], rows[r], asking ? kRed : kWhite});
    }
    lines.push_back(MenuLine{0.96f, body, "RETURN = [S]", "RETURN = [S]", kRed});
    MenuText_DrawLines(lines.data(), (int)lines.size());
}

} // namespace

void SettingsScreen_ApplyWindow() {
    if (settings.resolutionMode == 0)
        QL_System_SetWindowSize(640, 480);
    else if (settings.resolutionMode == 1)
        QL_System_SetWindowSize(1280, 720);
    else
        QL_System_Fullscreen();
}

void SettingsScreen_StepDown(float* value, float step, float lower) {
    if (*value > lower) *value -= step;
    if (*value < lower) *value = lower;
}

void SettingsScreen_StepUp(float* value, float step, float upper) {
    if (*value < upper) *value += step;
    if (*value > upper) *value = upper;
}

ScreenRequest SettingsScreen_Step() {
    Keys();
    Draw();
    if (MenuText_KeyReleased('O')) {
        ControlsScreen_Reset();
        return ScreenRequest::OpenScreen(kScreenControls);
    }
    return MenuText_KeyReleased('S') ? ScreenRequest::OpenScreen(kScreenTitle)
                                     : ScreenRequest::None;
}
