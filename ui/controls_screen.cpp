// The CONTROLS screen: a grid of actions by slots, as buttons the mouse or a pad's pointer clicks
// and the arrows walk.
#include "ui/controls_screen.h"

#include <string>

#include "core/bindings.h"
#include "core/constants.h"
#include "quillon/quillon.h"
#include "ui/control_names.h"
#include "ui/front_end_state.h"
#include "ui/menu_text.h"
#include "ui/widgets.h"

namespace {

// The rows the arrows walk: the actions, then the two buttons below them.
const int kResetRow = kActionCount, kRowCount = kActionCount + 1;

struct ControlsState {
    int row = 0, slot = 0;
    bool waiting = false; // the chosen slot waits for a control
    int mutedButton = -1; // the mouse button just bound (a pad's A clicks as the left): its
                          // release is not a click on the screen
    std::string said;     // what the last choice did
};
ControlsState state;

float W() {
    return (float)QL_System_GetWindowWidth();
}
float H() {
    return (float)QL_System_GetWindowHeight();
}

WidgetButton Cell(int row, int slot) {
    return WidgetButton{W() * (0.47f + 0.18f * (float)slot), H() * (0.175f + 0.056f * (float)row),
                        0.17f * W(), 0.046f * H()};
}
const WidgetButton ResetButton() {
    return WidgetButton{0.35f * W(), 0.885f * H(), 0.26f * W(), 0.05f * H()};
}
const WidgetButton BackButton() {
    return WidgetButton{0.65f * W(), 0.885f * H(), 0.26f * W(), 0.05f * H()};
}

const QL_Color kYellow{255, 255, 0, 255};

// A button with its label, and whether it was clicked (not while the clicks are muted).
bool Button(const WidgetButton& b, const std::string& label, bool chosen) {
    if (chosen) { // the arrows' choice: framed in yellow
        QL_Settings_Fill(kYellow);
        QL_Settings_NoStroke();
        QL_Graphics_DrawRect(b.cx, b.cy, b.w + 8.0f, b.h + 8.0f);
    }
    bool clicked = Widget_Button(b) && state.mutedButton < 0;
    QL_Settings_TextSize(0.022f * H());
    Widget_ShadowedText(label.c_str(), label.c_str(), b.cx, b.cy, kWhite);
    return clicked;
}

void Choose(int row, int slot) {
    state.row = row;
    state.slot = slot;
    state.waiting = true;
    state.said = std::string("PRESS A KEY, MOUSE BUTTON OR PAD BUTTON FOR ") +
                 kActionNames[row].shown + "    ESC CANCELS";
}

void Bind(Control control) {
    int slot = state.slot;
    if (control.kind == Control::PadButton || control.kind == Control::PadTrigger)
        slot = kPadSlot;
    else if (slot == kPadSlot)
        slot = 0; // a key or mouse button chosen for the pad's slot goes in the first
    BindOutcome outcome = Bindings_Bind(&bindings, state.row, slot, control);
    state.waiting = false;
    if (control.kind == Control::Mouse) state.mutedButton = control.code;
    if (control == Control{Control::PadButton, QL_PAD_A}) state.mutedButton = QL_MOUSE_LEFT;
    std::string name = ControlNames_Of(control);
    if (!outcome.done)
        state.said = outcome.refusal;
    else if (outcome.swappedWith >= 0)
        state.said = "[" + name + "] SWAPPED WITH " + kActionNames[outcome.swappedWith].shown;
    else
        state.said = std::string(kActionNames[state.row].shown) + " = [" + name + "]";
}

// What a waiting slot takes: a key, a mouse button (not the one a pad's A makes), a pad's
// button, or for fire a trigger pulled past half way.
void Wait() {
    if (QL_Input_PlaceTriggered(QL_KEY_ESCAPE)) {
        state.waiting = false;
        state.said = "NOTHING CHANGED";
        return;
    }
    int place = QL_Input_PlaceTriggeredAny(), button = QL_Input_MouseTriggeredAny();
    int pad = QL_Pad_TriggeredAny();
    if (place >= 0) return Bind(Control{Control::Key, (int16_t)place});
    if (pad >= 0) return Bind(Control{Control::PadButton, (int16_t)pad});
    if (button >= 0) return Bind(Control{Control::Mouse, (int16_t)button});
    for (int trigger : {QL_PAD_LEFTTRIGGER, QL_PAD_RIGHTTRIGGER})
        if (state.row == (int)Action::Fire && QL_Pad_Axis(trigger) > 0.5f)
            return Bind(Control{Control::PadTrigger, (int16_t)trigger});
}

void ResetAll() {
    Bindings_Reset();
    state.said = "EVERY CONTROL IS BACK TO ITS DEFAULT";
    MenuText_Blip();
}

// The arrows walk the grid, Enter or Space chooses; both act as the key goes down, so that a
// key just bound does nothing as it comes up.
void Walk() {
    int rows = QL_Input_PlaceTriggered(QL_KEY_DOWN) - QL_Input_PlaceTriggered(QL_KEY_UP);
    int slots = QL_Input_PlaceTriggered(QL_KEY_RIGHT) - QL_Input_PlaceTriggered(QL_KEY_LEFT);
    state.row = (state.row + rows + kRowCount) % kRowCount;
    state.slot = (state.slot + slots + kSlotCount) % kSlotCount;
    if (!QL_Input_PlaceTriggered('\r') && !QL_Input_PlaceTriggered(' ')) return;
    MenuText_Blip();
    if (state.row == kResetRow)
        ResetAll();
    else
        Choose(state.row, state.slot);
}

// The button just bound is heard again once it is let go.
void Unmute() {
    int b = state.mutedButton;
    if (b >= 0 && !QL_Input_MouseDown(b) && !QL_Input_MouseReleased(b)) state.mutedButton = -1;
}

void DrawHeadings() {
    QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_MIDDLE);
    QL_Settings_TextSize(H() / 20.0f);
    Widget_ShadowedText("CONTROLS", "CONTROLS", 0.5f * W(), 0.06f * H(), kWhite);
    QL_Settings_TextSize(0.02f * H());
    const char* heads[kSlotCount] = {"KEY OR MOUSE", "OR", "PAD"};
    for (int k = 0; k < kSlotCount; k++)
        Widget_ShadowedText(heads[k], heads[k], Cell(0, k).cx, 0.125f * H(), kRed);
}

// The grid; a click on a slot chooses it.
void DrawGrid() {
    for (int a = 0; a < kActionCount; a++) {
        QL_Settings_TextAlignment(QL_ALIGN_LEFT, QL_ALIGN_MIDDLE);
        QL_Settings_TextSize(0.024f * H());
        Widget_ShadowedText(kActionNames[a].shown, kActionNames[a].shown, 0.08f * W(),
                            Cell(a, 0).cy, kWhite);
        QL_Settings_TextAlignment(QL_ALIGN_CENTER, QL_ALIGN_MIDDLE);
        for (int k = 0; k < kSlotCount; k++) {
            Control c = bindings.actions[a].slots[k];
            bool asking = state.waiting && state.row == a && state.slot == k;
            std::string label =
                asking ? "..." : (c.kind == Control::None ? "-" : ControlNames_Of(c));
            bool chosen = state.row == a && state.slot == k;
            if (Button(Cell(a, k), label, chosen) && !state.waiting) {
                MenuText_Blip();
                Choose(a, k);
            }
        }
    }
}

ScreenRequest DrawFoot() {
    ScreenRequest request = ScreenRequest::None;
    if (Button(ResetButton(), "RESET TO DEFAULTS", state.row == kResetRow) && !state.waiting)
        ResetAll();
    if (Button(BackButton(), "BACK = [ESC]", false) && !state.waiting)
        request = ScreenRequest::OpenScreen(kScreenSettings);
    QL_Settings_TextSize(0.022f * H());
    Widget_ShadowedText(state.said.c_str(), state.said.c_str(), 0.5f * W(), 0.81f * H(),
                        state.waiting ? kYellow : kWhite);
    QL_Settings_TextSize(0.018f * H());
    const char* hint = "CLICK A SLOT, OR THE ARROWS AND [ENTER], THEN PRESS ITS NEW CONTROL";
    Widget_ShadowedText(hint, hint, 0.5f * W(), 0.955f * H(), kWhite);
    return request;
}

} // namespace

void ControlsScreen_Reset() {
    state = ControlsState();
}

bool ControlsScreen_Asking() {
    return state.waiting;
}

ScreenRequest ControlsScreen_Step() {
    bool waited = state.waiting;
    if (state.waiting)
        Wait();
    else
        Walk();
    Unmute();
    QL_Settings_RectMode(QL_MODE_CENTRE);
    DrawHeadings();
    DrawGrid();
    ScreenRequest request = DrawFoot();
    QL_Settings_RectMode(QL_MODE_TOP_LEFT);
    QL_Settings_TextAlignment(QL_ALIGN_LEFT, QL_ALIGN_BASELINE);
    // Escape or B leave, but not in the frame they answered a choice.
    bool leave = QL_Input_PlaceTriggered(QL_KEY_ESCAPE) || QL_Pad_Triggered(QL_PAD_B);
    if (!waited && leave) request = ScreenRequest::OpenScreen(kScreenSettings);
    if (request.kind != ScreenRequest::None) MenuText_Blip();
    return request;
}
