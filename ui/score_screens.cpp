// The high-score and credits screens, over the flying backdrop.
#include "ui/score_screens.h"

#include <cstdio>
#include <string>

#include "core/constants.h"
#include "quillon/quillon.h"
#include "scores/high_scores.h"
#include "ui/front_end_state.h"
#include "ui/menu_assets.h"
#include "ui/menu_text.h"
#include "ui/splash.h"

namespace {

// A tag as it goes into a line that is drawn as a format (where "%%" prints one '%'): every '%'
// doubled, so the tag shows exactly as it was entered.
void EscapedTag(const HighScoreEntry& e, char out[7]) {
    int n = 0;
    for (int i = 0; i < 3 && e.tag[i]; i++) {
        if (e.tag[i] == '%') out[n++] = '%';
        out[n++] = e.tag[i];
    }
    out[n] = 0;
}

// The leaderboard's line of a place: zero-padded in the shadow, space-padded in front.
void PlaceLines(int place, char* shadow, char* front) {
    const HighScoreEntry& e = HighScoreTable[place];
    char tag[7];
    EscapedTag(e, tag);
    std::snprintf(shadow, kMenuLineSize, "#%d    %s    %.10d", place + 1, tag, e.score);
    std::snprintf(front, kMenuLineSize, "#%d    %s    %10d", place + 1, tag, e.score);
}

// Credit lines: every name is the project, its team, or a library or font it is built on.
const char* const kCredits[] = {
    "A GAME BY THE ZORB TEAM",
    "DESIGN, CODE, ART AND SOUND: THE ZORB TEAM",
    "INSTRUCTORS",
    "SIMPLE DIRECTMEDIA LAYER    FREETYPE",
    "PRESIDENT",
    "THE ZORB TEAM",
    "EXECUTIVES",
    "SDL2    SDL2_IMAGE    SDL2_TTF    LIBPNG    ZLIB",
    "GOOGLETEST    GOOGLE BENCHMARK    CMAKE    NINJA    GCC",
    "QUILLON ENGINE",
    "THE ZORB TEAM, ON SDL2",
    "SPECIAL THANKS",
    "DEJAVU FONTS (BITSTREAM VERA)    DEBIAN",
};

void CreditsPass(bool shadow) {
    int w = QL_System_GetWindowWidth(), h = QL_System_GetWindowHeight();
    float fw = (float)w, fh = (float)h, d = shadow ? 2.0f : 0.0f;
    QL_Color color = shadow ? QL_Color{0, 0, 0, 255} : kWhite;
    QL_Settings_TextSize(fh / 20.0f);
    MenuText_Draw("CREDITS", 0.5f * fw + d, 0.075f * fh + d, color, 255);
    QL_Settings_TextSize(fh / 65.0f);
    for (int i = 0; i < 13; i++)
        MenuText_Draw(kCredits[i], 0.5f * fw + d, (0.125f + 0.05f * (float)i) * fh + d, color, 255);
    QL_Image logo = shadow ? menuAssets.audioBlack : menuAssets.audioWhite; // 1/4000 W a pixel
    QL_Image_Draw(logo, (float)(w / 2) + d, 1.6f * (float)(h / 2) + d,
                  fw * (float)QL_Image_GetWidth(logo) / 4000.0f,
                  fw * (float)QL_Image_GetHeight(logo) / 4000.0f, 255);
    MenuText_Draw(kAudioNotice, 0.5f * fw + d, 0.875f * fh + d, color, 255);
    MenuText_Draw(kMakerNotice, 0.5f * fw + d, 0.925f * fh + d, color, 255);
    MenuText_Draw("RETURN = [C]", 0.5f * fw + d, 0.975f * fh + d, shadow ? color : kRed, 255);
}

// U, then a place's key, sends that place's recording to the world board; U again changes its mind.
bool sendChosen = false;

// The place (0 to 7) whose key was let go, when that place has a recording; -1 when none.
int PlaceKey() {
    for (int p = 0; p < kHighScoreCount; p++)
        if (highScoreRecorded[p] && MenuText_KeyReleased('1' + p)) return p;
    return -1;
}

bool AnyRecorded() {
    for (bool r : highScoreRecorded)
        if (r) return true;
    return false;
}

// The line under the title: how to watch a place's run, and with a world board, how to send one
// (or which place, once U was pressed).
const char* HintLine(bool sending) {
    if (!sending) return "WATCH A RUN = ITS PLACE [1] - [8]";
    return sendChosen ? "SEND WHICH RUN? ITS PLACE [1] - [8]"
                      : "WATCH A RUN = ITS PLACE [1] - [8]    [U] SEND THIS RUN";
}

} // namespace

bool highScoreRecorded[kHighScoreCount] = {};

ScreenRequest HighScoreScreen_Step() {
    static char shadows[kHighScoreCount][kMenuLineSize], fronts[kHighScoreCount][kMenuLineSize];
    MenuLine lines[kHighScoreCount + 5];
    lines[0] = {0.075f, 1.0f / 20.0f, "THE VIDAZIDAD PLAYERS", "THE VIDAZIDAD PLAYERS", kWhite};
    for (int i = 0; i < kHighScoreCount; i++) {
        PlaceLines(i, shadows[i], fronts[i]);
        int g = 250 - 10 * (i - 1);
        QL_Color color = i == 0 ? MenuText_CycleColor() : QL_Color{g, g, g, 255};
        lines[i + 1] = {0.175f + 0.1f * (float)i, 1.0f / 25.0f, shadows[i], fronts[i], color};
    }
    lines[kHighScoreCount + 1] = {0.95f, 1.0f / 25.0f, "RETURN = [H]", "RETURN = [H]", kRed};
    // An entry the player made that the disk refused is not kept quietly.
    const char* unsaved = "THE LAST ENTRY COULD NOT BE SAVED";
    lines[kHighScoreCount + 2] = {0.905f, 1.0f / 40.0f, unsaved, unsaved, kRed};
    int count = kHighScoreCount + (highScoresUnsaved ? 3 : 2);
    bool sending = onlineView.online && AnyRecorded();
    const char* hint = HintLine(sending);
    if (AnyRecorded())
        lines[count++] = {0.125f, 1.0f / 40.0f, hint, hint, sendChosen ? kRed : kWhite};
    // Where the last run sent stands, in the unsaved entry's place (which, when shown, wins).
    std::string status = MenuText_Escaped(onlineView.sendStatus, 72);
    if (!status.empty() && !highScoresUnsaved)
        lines[count++] = {0.905f, 1.0f / 40.0f, status.c_str(), status.c_str(), kWhite};
    MenuText_DrawLines(lines, count);
    if (MenuText_KeyReleased('H')) return ScreenRequest::OpenScreen(kScreenTitle);
    if (sending && MenuText_KeyReleased('U')) sendChosen = !sendChosen;
    int place = PlaceKey();
    if (place < 0) return ScreenRequest::None;
    bool send = sending && sendChosen;
    sendChosen = false;
    return send ? ScreenRequest::Send(place) : ScreenRequest::Watch(place);
}

ScreenRequest CreditsScreen_Step() {
    CreditsPass(true);
    CreditsPass(false);
    return MenuText_KeyReleased('C') ? ScreenRequest::OpenScreen(kScreenTitle)
                                     : ScreenRequest::None;
}
