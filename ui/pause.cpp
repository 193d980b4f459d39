// The pause overlay. It never clears the frame: each paused frame lays another alpha-8 black
// veil over the last picture, so the frozen game fades toward black behind the buttons.
#include "ui/pause.h"

#include "core/constants.h"
#include "quillon/quillon.h"
#include "ui/control_names.h"
#include "ui/front_end_state.h"
#include "ui/widgets.h"

bool pauseQuitConfirm = false;

namespace {

void ShadowedText(const char* text, float x, float y) {
    Widget_ShadowedText(text, text, x, y, kWhite);
}

// Draws the button with its label and tells whether it was clicked.
bool Button(const WidgetButton& b, const char* label) {
    bool clicked = Widget_Button(b);
    QL_Settings_TextSize(0.015f * (float)QL_System_GetWindowHeight());
    ShadowedText(label, b.cx, b.cy);
    return clicked;
}

// The quit question's answers by key, as the title's question takes them: Y or Return for yes,
// N or Escape for no (Escape then does not resume: the run's command leaves it to the question).
bool KeyYes() {
    return QL_Input_KeyTriggered('Y') || QL_Input_KeyTriggered('\r');
}
bool KeyNo() {
    return QL_Input_KeyTriggered('N') || QL_Input_PlaceTriggered(QL_KEY_ESCAPE);
}

ScreenRequest Buttons(float w, float h) {
    float rowY = h / 1.5f, bh = 0.0625f * h;
    if (!pauseQuitConfirm) {
        if (Button({0.5f * w, rowY, 0.25f * w, bh}, "Quit (Score not saved)"))
            pauseQuitConfirm = true;
        return ScreenRequest::None;
    }
    ScreenRequest request = ScreenRequest::None;
    bool yes = Button({0.5f * w - 0.0625f * w, rowY, 0.125f * w, bh}, "[Y]es");
    bool no = Button({0.5f * w + 0.0625f * w, rowY, 0.125f * w, bh}, "[N]o");
    if (yes || KeyYes()) {
        request = ScreenRequest::ToMenu;
        pauseQuitConfirm = false;
    } else if (no || KeyNo()) {
        pauseQuitConfirm = false;
    }
    return request;
}

} // namespace

ScreenRequest Pause_Update() {
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    QL_Settings_RectMode(QL_MODE_CENTRE);
    QL_Settings_Fill(QL_Color{0, 0, 0, 8});
    QL_Settings_Stroke(kBlack);
    QL_Graphics_DrawRect(0.5f * w, 0.5f * h, w, h);
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_MIDDLE);
    ScreenRequest request = Buttons(w, h);
    QL_Settings_TextSize(0.05f * h);
    ShadowedText("PAUSED", 0.5f * w, h / 3.0f);
    QL_Settings_TextSize(0.018f * h);
    // The resume line names the pause control the player has, on the pad while it is in use.
    std::string resume =
        "Hit [" + ControlNames_Action(Action::Pause, QL_Pad_InUse()) + "] again to resume!";
    ShadowedText(pauseQuitConfirm ? "Really quit? Highscore will not be saved!" : resume.c_str(),
                 0.5f * w, h / 1.7f);
    QL_Settings_RectMode(QL_MODE_TOP_LEFT);
    QL_Settings_TextAlignment(QL_ALIGN_LEFT, QL_ALIGN_BASELINE);
    return request;
}
