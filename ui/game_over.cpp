// The game-over screen, driven by the mouse.
#include "ui/game_over.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/constants.h"
#include "quillon/quillon.h"
#include "scores/high_scores.h"
#include "ui/front_end_state.h"
#include "ui/menu_text.h"
#include "ui/widgets.h"

char nameLetters[3] = {'A', 'A', 'A'};

namespace {

const int kBufferSize = 100;
const QL_Color kWarning = {255, 230, 0, 255}; // reads on the screen's red, as red would not
char line[kBufferSize];

float W() {
    return (float)QL_System_GetWindowWidth();
}
float H() {
    return (float)QL_System_GetWindowHeight();
}

void Text(const char* shadow, const char* front, float x, float y, float size, QL_Color color) {
    QL_Settings_TextSize(size);
    Widget_ShadowedText(shadow, front, x, y, color);
}

bool Button(float x, float y, float w, float h) {
    return Widget_Button(WidgetButton{x, y, w, h});
}

// A printable character stepped along the wheel's range 32 to 126.
char Wrapped(int c) {
    while (c < 32)
        c += 95;
    while (c > 126)
        c -= 95;
    return (char)c;
}

void Wheel(int k) {
    float x = (0.35f + 0.25f * (float)k) * W(), h = H();
    char& letter = nameLetters[k];
    if (Button(x, 0.45f * h, W() / 16.0f, h / 8.0f)) letter = GameOver_WheelStep(letter, -1);
    Text("^", "^", x, 0.45f * h, 0.05f * h, kWhite);
    if (Button(x, 0.6f * h, W() / 16.0f, h / 8.0f)) letter = GameOver_WheelStep(letter, +1);
    Text("v", "v", x, 0.6f * h, 0.05f * h, kWhite);
    float wheelX = (0.25f + 0.25f * (float)k) * W();
    for (int i = 0; i < 3; i++) {
        int g = 64 * i;
        char above[2] = {Wrapped(letter + i - 3), 0}, below[2] = {Wrapped(letter - i + 3), 0};
        float size = 0.01f * (float)(i + 1) * h;
        Text(above, above, wheelX, (0.375f + 0.025f * (float)i) * h, size, {g, g, g, 255});
        Text(below, below, wheelX, (0.65f - 0.025f * (float)i) * h, size, {g, g, g, 255});
    }
    char self[2] = {letter, 0};
    Text(self, self, wheelX, 0.5f * h, 0.08f * h, kWhite);
}

// With a world board set and the run recorded: U sends the run (its entry submitted first, with
// the name on the wheels), and from then on the screen says where the run stands.
bool SendLine(bool sent) {
    float w = W(), h = H();
    QL_Settings_TextSize(0.025f * h);
    if (sent) {
        std::string status = MenuText_Escaped(onlineView.sendStatus, 72);
        Text(status.c_str(), status.c_str(), w / 2.0f, 0.72f * h, 0.025f * h, kWhite);
        return false;
    }
    // The board the run is for: ranked when played in its session, else the open board.
    std::string board = MenuText_Escaped(onlineView.runFor, 72);
    Text(board.c_str(), board.c_str(), w / 2.0f, 0.77f * h, 0.02f * h, kWhite);
    // Drawn as the menus draw their lines, bottom-aligned, so that its key label can be clicked.
    const char* offer = "[U] SEND THIS RUN";
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_BOTTOM);
    MenuText_Draw(offer, w / 2.0f + 2.0f, 0.73f * h + 2.0f, QL_Color{0, 0, 0, 255}, 255);
    MenuText_Draw(offer, w / 2.0f, 0.73f * h, kWhite, 255);
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_MIDDLE);
    return MenuText_KeyReleased('U');
}

// "2:08" for 128 seconds.
std::string Clock(double seconds) {
    long s = seconds > 0 ? (long)seconds : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

std::string Percent(int64_t hits, int64_t shots) {
    return shots > 0 ? std::to_string((int)std::lround(100.0 * (double)hits / (double)shots)) + " %"
                     : "-";
}

GameOverFigureLine Line(const char* name, const std::string& value, const std::string& best,
                        bool shown, bool beaten) {
    return {std::string(name) + " " + value + (shown ? " (BEST " + best + ")" : ""),
            shown && beaten};
}

// The run's figures, a line each, down the middle of the screen.
void Figures(const GameOverFigures& f) {
    float h = H(), y = 0.37f * h;
    for (const GameOverFigureLine& line : GameOver_FigureLines(f)) {
        Text(line.text.c_str(), line.text.c_str(), W() / 2.0f, y, 0.03f * h,
             line.beaten ? kWarning : kWhite);
        y += 0.06f * h;
    }
}

} // namespace

std::vector<GameOverFigureLine> GameOver_FigureLines(const GameOverFigures& f) {
    bool best = f.bestRuns > 0;
    double accuracy = f.shots > 0 ? (double)f.hits / (double)f.shots : -1.0;
    std::string bestAccuracy =
        f.bestAccuracy < 0 ? "-" : std::to_string((int)std::lround(100.0 * f.bestAccuracy)) + " %";
    return {
        Line("TIME", Clock(f.seconds), Clock(f.bestSeconds), best, f.seconds > f.bestSeconds),
        Line("KILLS", std::to_string(f.kills), std::to_string(f.bestKills), best,
             f.kills > f.bestKills),
        Line("ACCURACY", Percent(f.hits, f.shots), bestAccuracy, best, accuracy > f.bestAccuracy),
        Line("STAGE", std::to_string(f.stage), std::to_string(f.bestStage), best,
             f.stage > f.bestStage)};
}

char GameOver_WheelStep(char letter, int delta) {
    int c = (unsigned char)letter + delta;
    if (c < 32) c = 126;
    if (c > 126) c = 32;
    return (char)c;
}

void GameOver_PlaceMessage(int p, char* out) {
    const char* suffix = p == 0 ? "st" : (p == 1 ? "nd" : (p == 2 ? "rd" : "th"));
    std::snprintf(out, kBufferSize,
                  "That puts you at the %d%s place on the leaderboard! Please enter your name!",
                  p + 1, suffix);
}

ScreenRequest GameOver_Update(int32_t score, const GameOverView& view) {
    float w = W(), h = H();
    ScreenRequest request = ScreenRequest::None;
    // A sent run's entry is in, as is one submitted.
    int p = view.sent || view.entered ? kHighScoreCount : HighScores_Rank(score);
    QL_Settings_Background(QL_Color_Create(200, 100, 100, 255));
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_MIDDLE);
    QL_Settings_RectMode(QL_MODE_CENTRE);
    if (Button(w / 2.0f, h / 1.2f, w / 2.0f, h / 12.0f)) {
        if (p < kHighScoreCount) HighScores_Submit(nameLetters, score);
        request = p < kHighScoreCount ? ScreenRequest::EnterName : ScreenRequest::ToMenu;
    }
    Text("GAME OVER", "GAME OVER", w / 2.0f, h / 8.0f, 0.1f * h, kWhite);
    char shadow[kBufferSize];
    std::snprintf(shadow, kBufferSize, "You scored %.10d points!", score);
    std::snprintf(line, kBufferSize, "You scored %10d points!", score);
    Text(shadow, line, w / 2.0f, h / 4.0f, 0.04f * h, kWhite);
    if (p < kHighScoreCount) {
        GameOver_PlaceMessage(p, line);
        Text(line, line, w / 2.0f, h / 3.0f, 0.016f * h, kWhite);
        for (int k = 0; k < 3; k++)
            Wheel(k);
    } else if (view.figures) {
        Figures(*view.figures);
    }
    if (onlineView.online && view.recorded && SendLine(view.sent) &&
        request == ScreenRequest::None) {
        if (p < kHighScoreCount) HighScores_Submit(nameLetters, score);
        request = ScreenRequest::SendLastRun;
    }
    const char* label = p < kHighScoreCount ? "Submit Score" : "Back to Main";
    Text(label, label, w / 2.0f, h / 1.2f, 0.03f * h, kWhite);
    // A run the disk refused is not lost quietly, as an unsaved leaderboard entry is not.
    const char* unrecorded = "THIS RUN WAS NOT RECORDED";
    if (!view.recorded) Text(unrecorded, unrecorded, w / 2.0f, 0.94f * h, 0.025f * h, kWarning);
    QL_Settings_RectMode(QL_MODE_TOP_LEFT);
    QL_Settings_TextAlignment(QL_ALIGN_LEFT, QL_ALIGN_BASELINE);
    return request;
}
